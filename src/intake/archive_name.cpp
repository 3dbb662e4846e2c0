#include "intake/archive_name.h"

#include "base/text.h"
#include "report/report.h"

namespace kenshin::intake {

void select_archive(RunState& run, platform::Platform& platform) {
  run.archive_path.clear();
  run.desktop_folder = platform.desktop_folder();
  report::start_report(run);

  std::optional<std::string> chosen = platform.choose_archive();
  if (!chosen || chosen->empty()) {
    run.run_status = kFlagSet;
    return;
  }
  run.archive_path = *chosen;
}

void check_archive_name(RunState& run, platform::Platform& platform) {
  std::u16string name = base::last_units(base::to_utf16(run.archive_path), 35);
  run.archive_stem = base::from_utf16(base::mid_units(name, 1, 31));
  std::u16string destination = base::mid_units(name, 12, 8);
  std::u16string kind_digit = base::mid_units(name, 31, 1);

  if (kind_digit != u"1") {
    report::report_archive_finding(run, platform, "特定健診の請求ファイルではありません");
    run.run_status = kFlagSet;
  } else if (destination != kDestinationNumber) {
    report::report_archive_finding(run, platform,
                                   "送付先機関番号を確認してください（東湖県国保連合会　９５８９９０７１）");
    run.run_status = kFlagSet;
  }
}

}  // namespace kenshin::intake
