#include "intake/unpack_inventory.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "platform/zip_archive.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace kenshin::intake {

namespace {

constexpr std::string_view kUnpackFailed = "ＺＩＰファイルの展開に失敗しました";

// Lists one document folder of the archive. A missing folder yields an empty
// list; so does a folder without documents.
std::vector<std::string> list_documents(const platform::ZipArchive& archive, const std::string& extraction_folder,
                                        const std::string& name, std::string& folder_out) {
  std::optional<std::string> folder = archive.folder_path(extraction_folder + "/" + name);
  folder_out = folder.value_or(extraction_folder + "/" + name);
  if (!folder) return {};
  return document_names(archive.list_folder(*folder));
}

void stop_run(RunState& run, platform::Platform& platform, std::string_view message) {
  report::report_archive_finding(run, platform, message);
  run.run_status = kFlagSet;
}

bool unread_entries_intact(platform::Platform& platform, platform::ZipArchive& archive) {
  platform::ArchiveResult result =
      archive.check_unread_files([&platform](std::uint64_t, std::uint64_t) { return !platform.stop_requested(); });
  if (result == platform::ArchiveResult::kStopped || platform.stop_requested()) throw RunStopped();
  return result == platform::ArchiveResult::kOk;
}

// Unpacking finds damaged data before anything else is looked at, so the
// rules about the archive's folders speak only once every entry has been read.
void stop_after_reading_everything(RunState& run, platform::Platform& platform, platform::ZipArchive& archive,
                                   std::string_view message) {
  stop_run(run, platform, unread_entries_intact(platform, archive) ? message : kUnpackFailed);
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

void unpack_and_inventory(RunState& run, platform::Platform& platform, platform::ZipArchive& archive) {
  run.data_file_list.clear();
  run.claims_file_list.clear();
  run.pair_count = 0;

  const platform::ArchiveResult opened = platform.read_archive(run.archive_path, archive);
  if (platform.stop_requested()) throw RunStopped();
  if (opened != platform::ArchiveResult::kOk) {
    stop_run(run, platform, kUnpackFailed);
    return;
  }

  std::optional<std::string> top = archive.folder_path(run.archive_stem);
  if (!top) {
    stop_after_reading_everything(
        run, platform, archive,
        "ＺＩＰファイル名を変更すると正しく処理できません、変更する前のＺＩＰファイル名に戻してください");
    return;
  }
  run.extraction_folder = *top;

  run.data_file_list = list_documents(archive, run.extraction_folder, "DATA", run.data_folder);
  run.claims_file_list = list_documents(archive, run.extraction_folder, "CLAIMS", run.claims_folder);

  if (run.data_file_list.empty() || run.claims_file_list.empty()) {
    stop_after_reading_everything(run, platform, archive,
                                  "ＤＡＴＡフォルダ又はＣＬＡＩＭＳフォルダが存在しないか、件数が０件です");
    return;
  }
  if (run.data_file_list.size() != run.claims_file_list.size()) {
    stop_after_reading_everything(run, platform, archive, "データファイルと決済情報ファイルの件数が違います");
    return;
  }
  run.pair_count = static_cast<int>(run.data_file_list.size());
}

void check_unread_entries(platform::Platform& platform, platform::ZipArchive& archive) {
  if (!unread_entries_intact(platform, archive)) throw platform::DamagedArchive("ZIPファイルの内容が壊れています");
}

void report_damaged_archive(RunState& run, platform::Platform& platform) {
  report::abandon_report(run);
  stop_run(run, platform, kUnpackFailed);
}

}  // namespace kenshin::intake
