#include "app/run_check.h"

#include <cstdio>
#include <exception>
#include <new>

#include "claimchecks/claims_check.h"
#include "datachecks/data_check.h"
#include "docs/pair_loop.h"
#include "intake/archive_name.h"
#include "intake/unpack_inventory.h"
#include "platform/zip_archive.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace kenshin {

namespace {

RunOutcome run_stages(RunState& run, platform::Platform& platform, platform::ZipArchive& archive,
                      FurtherChecks* further_checks) {
  run.run_status = kFlagClear;
  intake::select_archive(run, platform);
  if (run.run_status == kFlagSet) return RunOutcome::kCancelled;
  intake::check_archive_name(run, platform);
  if (run.run_status == kFlagSet) return RunOutcome::kFindings;
  intake::unpack_and_inventory(run, platform, archive);
  if (run.run_status == kFlagSet) return RunOutcome::kFindings;
  if (further_checks != nullptr) further_checks->start(run, archive);
  try {
    docs::pair_loop(run, platform, archive, {datachecks::check_data_document, claimchecks::check_claims_document},
                    further_checks);
    intake::check_unread_entries(platform, archive);
  } catch (const platform::DamagedArchive&) {
    intake::report_damaged_archive(run, platform);
    return RunOutcome::kFindings;
  }

  RunOutcome outcome = RunOutcome::kFindings;
  if (!report::has_findings(run)) {
    report::report_no_error(run);
    outcome = RunOutcome::kClean;
  }
  if (further_checks != nullptr && further_checks->finish(run)) outcome = RunOutcome::kFindings;
  report::close_and_show_report(run, platform);
  return outcome;
}

}  // namespace

RunResult run_check(RunState& run, platform::Platform& platform, FurtherChecks* further_checks) {
  platform::ZipArchive archive;  // the run's archive, read in memory, gone with the run
  RunResult result;
  try {
    result.outcome = run_stages(run, platform, archive, further_checks);
  } catch (const RunStopped&) {
    result.outcome = RunOutcome::kStopped;
  } catch (const std::bad_alloc&) {
    result = {RunOutcome::kFailed, "メモリが不足したためチェックを中止しました"};
  } catch (const std::exception& e) {
    result = {RunOutcome::kFailed, std::string(e.what())};
  } catch (...) {
    result = {RunOutcome::kFailed, "予期しないエラーのためチェックを中止しました"};
  }
  if (further_checks != nullptr) further_checks->close();
  if (result.outcome == RunOutcome::kFailed || result.outcome == RunOutcome::kStopped) {
    // This run's unfinished report goes; the earlier ERR.txt was never touched.
    report::abandon_report(run);
  }
  return result;
}

}  // namespace kenshin
