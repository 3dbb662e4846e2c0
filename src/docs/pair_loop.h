// The loop over the document pairs: for every pair, the claims pre-read, the
// data document checks and the claims document checks, always in that order.
// The two document checks are handed in by the driver, so that document access
// knows nothing of the rules.
#pragma once

#include <string>

#include "docs/further_pass.h"
#include "docs/claim_type.h"
#include "docs/xml.h"
#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin::docs {

// What the loop runs on the current pair after the claims pre-read. Each gets
// its document of the pair, parsed once (nullptr when it failed to load); the
// claims document is the one the pre-read read.
struct DocumentChecks {
  void (*data)(RunState& run, const Document* data_document);
  void (*claims)(RunState& run, const Document* claims_document);
};

// `further` (may be nullptr) reads every pair after the checks.
void pair_loop(RunState& run, platform::Platform& platform, platform::ZipArchive& archive,
               const DocumentChecks& checks, FurtherPass* further = nullptr);

// Reads the claim type and which detailed items the claims document bills
// (nullptr: it failed to load).
void claims_pre_read(RunState& run, const Document* claims_document);

}  // namespace kenshin::docs
