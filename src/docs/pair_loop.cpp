#include "docs/pair_loop.h"

#include <malloc.h>

#include <array>

#include "base/text.h"
#include "docs/pair_source.h"
#include "docs/xml.h"
#include "run/run_failure.h"

namespace kenshin::docs {

namespace {

struct DetailedItem {
  const char* path;
  int16_t RunState::*flag;
};

// The detailed checkup items a settlement can bill: anemia, ECG, fundus, creatinine.
constexpr std::array<DetailedItem, 4> kDetailedItems = {{
    {"//a:settlement/a:unitPriceDetail/a:observation[@code='1']", &RunState::anemia_detail_flag},
    {"//a:settlement/a:unitPriceDetail/a:observation[@code='2']", &RunState::ecg_detail_flag},
    {"//a:settlement/a:unitPriceDetail/a:observation[@code='3']", &RunState::fundus_detail_flag},
    {"//a:settlement/a:unitPriceDetail/a:observation[@code='4']", &RunState::creatinine_detail_flag},
}};

}  // namespace

void pair_loop(RunState& run, platform::Platform& platform, platform::ZipArchive& archive,
               const DocumentChecks& checks, FurtherPass* further) {
  // What reading and listing the archive's directory freed lies scattered
  // through the heap; given back now, the pair loop runs in a few megabytes.
  malloc_trim(0);
  PairSource source(run, archive, pair_loop_threads(), further != nullptr && further->wants_parse_reports());
  run.pair_index = 0;
  while (run.pair_index < run.pair_count) {
    ++run.pair_index;
    platform.pair_progress(run.pair_index, run.pair_count);
    if (platform.stop_requested()) throw RunStopped();
    LoadedPair pair = source.take(run.pair_index);
    const Document* claims = pair.claims ? &*pair.claims : nullptr;
    claims_pre_read(run, claims);
    checks.data(run, pair.data ? &*pair.data : nullptr);
    checks.claims(run, claims);
    if (further != nullptr) further->read_pair(run, run.pair_index, pair);
    source.give_back(std::move(pair));
  }
}

void claims_pre_read(RunState& run, const Document* doc) {
  run.claim_type = kClaimTypeNotRead;
  for (const DetailedItem& item : kDetailedItems) run.*item.flag = kFlagClear;
  if (doc == nullptr) return;  // the claims document checks report the failure

  std::optional<std::string> code = select_text(*doc, kClaimTypePath);
  if (!code) {
    run.claim_type = kClaimTypeMissing;
  } else {
    std::optional<double> v = base::numeric_value(*code);
    run.claim_type = (!v || *v < 1 || *v > 5) ? kClaimTypeOutOfRange : *v;
  }

  if (run.claim_type == 2 || run.claim_type == 4) {
    for (const DetailedItem& item : kDetailedItems) {
      if (select_node(*doc, item.path)) run.*item.flag = kFlagSet;
    }
  }
}

}  // namespace kenshin::docs
