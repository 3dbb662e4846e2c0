#include "intake/unpack_inventory.h"

#include <algorithm>

#include "base/text.h"
#include "platform/folders.h"
#include "platform/stop_request.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace kenshin::intake {

namespace {

// Lists one document folder of the unpacked archive. A missing folder yields
// an empty list; so does a folder without documents.
std::vector<std::string> list_documents(const std::string& extraction_folder, const std::string& name,
                                        std::string& folder_out) {
  std::optional<std::string> folder = platform::find_sub_folder(extraction_folder, name);
  folder_out = folder.value_or(extraction_folder + "/" + name);
  if (!folder) return {};
  return document_names(platform::list_folder(*folder));
}

void stop_run(RunState& run, platform::Platform& platform, std::string_view message) {
  report::report_archive_finding(run, platform, message);
  run.run_status = kFlagSet;
}

// The count rules clean up before they stop; the unpacking rules leave that to
// the end of the run.
void stop_after_count_rule(RunState& run, platform::Platform& platform, std::string_view message) {
  remove_extraction_folder(run);
  stop_run(run, platform, message);
}

}  // namespace

std::vector<std::string> document_names(const std::vector<std::string>& listing) {
  std::vector<std::string> names;
  for (const std::string& entry : listing) {
    if (entry.size() >= 3 && base::equals_ignoring_ascii_case(std::string_view(entry).substr(entry.size() - 3), "xml")) {
      names.push_back(entry);
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return base::name_less(a, b); });
  return names;
}

void unpack_and_inventory(RunState& run, platform::Platform& platform) {
  run.working_folder = platform::create_working_folder(run.working_folder_lock);
  run.data_file_list.clear();
  run.claims_file_list.clear();
  run.pair_count = 0;

  const int unpacked = platform.unpack(run.archive_path, run.working_folder);
  if (platform.stop_requested()) throw RunStopped();
  if (unpacked != 0) {
    stop_run(run, platform, "ＺＩＰファイルの展開に失敗しました");
    return;
  }

  run.extraction_folder = run.working_folder + "/" + run.archive_stem;
  if (!platform::folder_exists(run.extraction_folder)) {
    stop_run(run, platform,
             "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください");
    return;
  }

  run.data_file_list = list_documents(run.extraction_folder, "DATA", run.data_folder);
  run.claims_file_list = list_documents(run.extraction_folder, "CLAIMS", run.claims_folder);

  if (run.data_file_list.empty() || run.claims_file_list.empty()) {
    stop_after_count_rule(run, platform, "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です");
    return;
  }
  if (run.data_file_list.size() != run.claims_file_list.size()) {
    stop_after_count_rule(run, platform, "データファイルと決済情報ファイルの件数が違います");
    return;
  }
  run.pair_count = static_cast<int>(run.data_file_list.size());
}

void remove_extraction_folder(RunState& run) noexcept {
  platform::remove_working_folder(run.working_folder, run.working_folder_lock);
  run.working_folder.clear();
}

}  // namespace kenshin::intake
