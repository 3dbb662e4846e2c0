// The files of a submission beside DATA and CLAIMS: the exchange-information
// document, the summary document and the XSD folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "docs/xml.h"
#include "platform/zip_archive.h"
#include "run/run_state.h"

namespace kenshin::extrachecks {

inline constexpr std::string_view kIndexFile = "ix08_V08.xml";    // 交換用基本情報
inline constexpr std::string_view kSummaryFile = "su08_V08.xml";  // 集計情報

// The path inside the archive of a file in its top folder, its name matched
// ignoring ASCII case as on the desktops the archives are made on.
std::optional<std::string> top_level_file(const RunState& run, const platform::ZipArchive& archive,
                                          std::string_view name);

// A document of the top folder (index or summary), read once for every
// check that needs it. Read in either settlement namespace.
struct TopLevelDocument {
  std::string name;                   // as the checks call it: kIndexFile, kSummaryFile
  std::optional<std::string> path;    // nullopt: not in the archive
  std::optional<docs::Document> doc;  // nullopt: not in the archive, or failed to load
  docs::ParseReport report;
};

TopLevelDocument read_top_level(const RunState& run, const platform::ZipArchive& archive, platform::ZipReader& reader,
                                std::string_view name);

// "DATA/h….xml" or "CLAIMS/c….xml" with the folder as the archive spells it.
std::string data_file_label(const RunState& run, int pair);
std::string claims_file_label(const RunState& run, int pair);

}  // namespace kenshin::extrachecks
