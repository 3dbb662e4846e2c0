// One check run: from choosing the archive to showing the report.
#pragma once

#include <string>

#include "docs/further_pass.h"
#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin {

enum class RunOutcome {
  kCancelled,  // no archive chosen: nothing written, nothing shown
  kClean,      // the report holds only the no-error line
  kFindings,   // the report holds findings (archive-level or document-level)
  kFailed,     // the checker itself failed; see RunResult::failure
  kStopped,    // a stop was asked for: nothing of this run is left, the earlier report kept, nothing shown
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kCancelled;
  std::string failure;  // one line, for kFailed
};

// Checks the user asked for beyond the quick check. They read the documents
// in the pair loop's pass and write their lines after the quick check's.
using FurtherChecks = docs::FurtherPass;

// Runs the stages in order and stops at the first that stops the run. The
// archive is read in memory for the length of the run; nothing of it is
// written anywhere. Any unexpected failure ends the run with the report
// closed and is returned as kFailed; nothing escapes but that. A
// stop asked for through the platform ends the run the same way at its next
// safe point and is returned as kStopped.
RunResult run_check(RunState& run, platform::Platform& platform, FurtherChecks* further_checks = nullptr);

}  // namespace kenshin
