#include "extrachecks/archive_files.h"

#include "base/text.h"
#include "platform/zip_archive.h"

namespace kenshin::extrachecks {

std::optional<std::string> top_level_file(const RunState& run, const platform::ZipArchive& archive,
                                          std::string_view name) {
  std::optional<std::string> match;
  for (const std::string& entry : archive.list_folder(run.extraction_folder)) {
    if (!base::equals_ignoring_ascii_case(entry, name)) continue;
    std::string path = run.extraction_folder + "/" + entry;
    if (!archive.is_file(path)) continue;
    if (!match || entry == name) match = path;
  }
  return match;
}

TopLevelDocument read_top_level(const RunState& run, const platform::ZipArchive& archive, platform::ZipReader& reader,
                                std::string_view name) {
  TopLevelDocument top;
  top.name = std::string(name);
  top.path = top_level_file(run, archive, name);
  if (top.path) top.doc = docs::load_document(reader, *top.path, docs::Bindings::kClaimsEitherEdition, &top.report);
  return top;
}

std::string data_file_label(const RunState& run, int pair) {
  return base::last_component(run.data_folder) + "/" + run.data_file_list.at(pair - 1);
}

std::string claims_file_label(const RunState& run, int pair) {
  return base::last_component(run.claims_folder) + "/" + run.claims_file_list.at(pair - 1);
}

}  // namespace kenshin::extrachecks
