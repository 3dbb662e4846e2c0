#include "app/run_check.h"

#include <exception>
#include <new>

#include "intake/archive_name.h"
#include "app/run_failure.h"
#include "intake/unpack_inventory.h"
#include "report/report.h"

namespace kenshin {

namespace {

RunOutcome run_stages(RunState& run, platform::Platform& platform) {
  run.run_status = kFlagClear;
  intake::select_archive(run, platform);
  if (run.run_status == kFlagSet) return RunOutcome::kCancelled;
  intake::check_archive_name(run, platform);
  if (run.run_status == kFlagSet) return RunOutcome::kFindings;
  intake::unpack_and_inventory(run, platform);
  if (run.run_status == kFlagSet) return RunOutcome::kFindings;

  RunOutcome outcome = RunOutcome::kFindings;
  if (run.findings_flag != kFlagSet) {
    report::open_report(run);
    report::write_line(run, report::kNoErrorLine);
    outcome = RunOutcome::kClean;
  }
  intake::remove_extraction_folder(run);
  report::close_and_show_report(run, platform);
  return outcome;
}

}  // namespace

RunResult run_check(RunState& run, platform::Platform& platform) {
  RunResult result;
  try {
    result.outcome = run_stages(run, platform);
  } catch (const RunStopped& stopped) {
    result = {RunOutcome::kStopped, stopped.what()};
  } catch (const std::bad_alloc&) {
    result = {RunOutcome::kFailed, "メモリが不足したためチェックを中止しました"};
  } catch (const std::exception& e) {
    result = {RunOutcome::kFailed, std::string(e.what())};
  } catch (...) {
    result = {RunOutcome::kFailed, "予期しないエラーのためチェックを中止しました"};
  }
  if (result.outcome == RunOutcome::kFailed || result.outcome == RunOutcome::kStopped) {
    report::abandon_report(run);
  }
  intake::remove_extraction_folder(run);  // on every path, stops included
  return result;
}

}  // namespace kenshin
