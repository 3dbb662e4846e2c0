// One check run: from choosing the archive to showing the report.
#pragma once

#include <string>

#include "run/run_state.h"
#include "platform/platform.h"

namespace kenshin {

enum class RunOutcome {
  kCancelled,  // no archive chosen: nothing written, nothing shown
  kClean,      // the report holds only the no-error line
  kFindings,   // the report holds findings (archive-level or document-level)
  kFailed,     // the checker itself failed; see RunResult::failure
  kStopped,    // a stop was requested: nothing written, the earlier report kept
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kCancelled;
  std::string failure;  // one line, for kFailed
};

// Runs the stages in order and stops at the first that stops the run. Any
// unexpected failure ends the run with the report closed and the working
// folder removed, and is returned as kFailed; nothing escapes but that. A
// requested stop (platform/stop_request.h) ends the run the same way at its
// next safe point and is returned as kStopped.
RunResult run_check(RunState& run, platform::Platform& platform);

}  // namespace kenshin
