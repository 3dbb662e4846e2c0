// Where the national schemas come from, and the guard that keeps the XML
// engine inside that folder while it compiles schemas and validates.
//
// A submission archive may carry its own XSD folder; its schemas are read
// from the unpacked archive, never from the network, and a schema may only
// include or import files inside that same folder.
#pragma once

#include <libxml/parser.h>

#include <optional>
#include <string>

namespace kenshin::extrachecks {

// The schema set installed with the program (the 2018 edition of the national
// schemas): next to the executable (../share/kenshin-check/xsd), under the
// install prefix, else in the source tree the program was built from.
// nullopt when none of them holds the schemas.
std::optional<std::string> shipped_schema_folder();

// While it lives, every external resource the XML engine asks for (schema
// documents, included and imported schemas, entities) is refused unless it is
// a local file inside `folder`. Restores the previous loader on destruction.
class ConfinedLoader {
 public:
  explicit ConfinedLoader(const std::string& folder);
  ~ConfinedLoader();
  ConfinedLoader(const ConfinedLoader&) = delete;
  ConfinedLoader& operator=(const ConfinedLoader&) = delete;

  // The canonical path of the local file `url` names when it lies inside the
  // folder; nullopt for anything else (network, other folders, "..").
  std::optional<std::string> resolve(const char* url) const;

 private:
  std::string folder_;  // canonical, without trailing slash
  xmlExternalEntityLoader previous_;
};

}  // namespace kenshin::extrachecks
