#include "extrachecks/archive_files.h"

#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "platform/folders.h"

namespace kenshin::extrachecks {

namespace {

std::string folder_name(const std::string& folder) { return std::filesystem::path(folder).filename().string(); }

}  // namespace

std::optional<std::string> top_level_file(const RunState& run, std::string_view name) {
  std::optional<std::string> match;
  for (const std::string& entry : platform::list_folder(run.extraction_folder)) {
    if (!base::equals_ignoring_ascii_case(entry, name)) continue;
    std::error_code ec;
    std::string path = run.extraction_folder + "/" + entry;
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    if (!match || entry == name) match = path;
  }
  return match;
}

std::string data_file_label(const RunState& run, int pair) {
  return folder_name(run.data_folder) + "/" + run.data_file_list.at(pair - 1);
}

std::string claims_file_label(const RunState& run, int pair) {
  return folder_name(run.claims_folder) + "/" + run.claims_file_list.at(pair - 1);
}

}  // namespace kenshin::extrachecks
