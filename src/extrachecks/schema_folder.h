// Where the national schemas come from, and the guard that keeps the XML
// engine inside that folder while it compiles schemas and validates.
//
// A submission archive may carry its own XSD folder; its schemas are read
// from the archive in memory, never from the disk or the network, and a
// schema may only include or import files inside that same folder. The
// engine knows such a file by the URL "/" + its path inside the archive.
#pragma once

#include <libxml/parser.h>

#include <optional>
#include <string>

#include "platform/zip_archive.h"

namespace kenshin::extrachecks {

// The schema set installed with the program (the 2018 edition of the national
// schemas): next to the executable (../share/kenshin-check/xsd), under the
// install prefix, else in the source tree the program was built from.
// nullopt when none of them holds the schemas.
std::optional<std::string> shipped_schema_folder();

// The URL under which the XML engine knows a file inside the archive.
std::string archive_url(const std::string& path_in_archive);

// While it lives, every external resource the XML engine asks for (schema
// documents, included and imported schemas, entities) is refused unless it is
// a file inside `folder`: a local folder, or a folder inside the archive that
// `reader` reads. Restores the previous loader on destruction.
class ConfinedLoader {
 public:
  explicit ConfinedLoader(const std::string& folder);
  ConfinedLoader(platform::ZipReader& reader, const platform::ZipArchive& archive, const std::string& folder);
  ~ConfinedLoader();
  ConfinedLoader(const ConfinedLoader&) = delete;
  ConfinedLoader& operator=(const ConfinedLoader&) = delete;

  // The file `url` names when it lies inside the folder: its canonical local
  // path, or its path inside the archive; nullopt for anything else (network,
  // other folders, "..").
  std::optional<std::string> resolve(const char* url) const;

  xmlParserInputPtr load(const char* url, xmlParserCtxtPtr ctxt) const;

 private:
  std::optional<std::string> resolve_in_archive(const std::string& path) const;

  std::string folder_;  // canonical (in the archive: as spelled), without trailing slash
  platform::ZipReader* reader_ = nullptr;
  const platform::ZipArchive* archive_ = nullptr;
  xmlExternalEntityLoader previous_;
};

}  // namespace kenshin::extrachecks
