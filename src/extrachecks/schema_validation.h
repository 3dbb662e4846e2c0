// Validation of one document against one of the national schemas with
// libxml2. Each schema is compiled once per validator, however many
// documents it checks (the vocabulary schema alone is close to 800 KB).
#pragma once

#include <libxml/xmlschemas.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/zip_archive.h"

namespace kenshin::extrachecks {

// What went wrong in a document; count 0 means it is valid.
struct ValidationErrors {
  int count = 0;
  bool well_formed = true;  // false: the XML itself is broken; the schema was not applied
  long first_line = 0;
  // The first error for the report: in Japanese for the usual kinds of
  // validity error, else libxml2's text without namespace names in braces.
  std::string first_message;
  std::string first_engine_text;  // libxml2's text of it as above; empty for errors of this program's own
};

class SchemaValidator {
 public:
  // `folder` holds hc08_V08.xsd, cc08_V08.xsd, ... and whatever they include:
  // a local folder, or a folder inside the archive.
  explicit SchemaValidator(std::string folder);
  SchemaValidator(platform::ZipArchive& archive, std::string folder);
  ~SchemaValidator();
  SchemaValidator(const SchemaValidator&) = delete;
  SchemaValidator& operator=(const SchemaValidator&) = delete;

  // Compiles the named schema unless that was done before. nullopt when it is
  // usable, else why it is not (missing file, or the first compile error).
  std::optional<std::string> prepare(const std::string& schema_name);

  // Validates a document's bytes (nullopt: they could not be read) against a
  // schema prepare() accepted; `url` names the document to the XML engine.
  ValidationErrors validate(const std::string& schema_name, std::optional<std::string_view> content,
                            const std::string& url);

 private:
  // Confines the XML engine to the folder while it lives.
  class Confinement;

  std::string folder_;
  platform::ZipArchive* archive_ = nullptr;
  std::optional<platform::ZipReader> reader_;  // reads the schemas inside the archive
  std::map<std::string, xmlSchemaPtr> compiled_;
  std::map<std::string, std::string> unusable_;
};

// libxml2's message made readable: namespace names in braces removed,
// trailing white space trimmed.
std::string readable_message(const std::string& message);

}  // namespace kenshin::extrachecks
