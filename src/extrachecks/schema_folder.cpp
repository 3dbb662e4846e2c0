#include "extrachecks/schema_folder.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxml/xmlIO.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "docs/xml.h"

namespace fs = std::filesystem;

namespace kenshin::extrachecks {

namespace {

constexpr const char kMainSchema[] = "hc08_V08.xsd";

const ConfinedLoader* active_loader = nullptr;

xmlParserInputPtr confined_load(const char* url, const char* /*id*/, xmlParserCtxtPtr ctxt) {
  if (active_loader == nullptr || url == nullptr) return nullptr;
  return active_loader->load(url, ctxt);
}

// The parser's input from bytes in memory, known by `url` so that the
// schemas it includes are looked for beside it.
xmlParserInputPtr input_from_memory(xmlParserCtxtPtr ctxt, std::string_view content, const std::string& url) {
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateMem(content.data(), static_cast<int>(content.size()), XML_CHAR_ENCODING_NONE);
  if (buffer == nullptr) return nullptr;
  xmlParserInputPtr input = xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE);
  if (input == nullptr) {
    xmlFreeParserInputBuffer(buffer);
    return nullptr;
  }
  input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url.c_str())));
  return input;
}

// The local path a URL names, or nullopt for any other scheme.
std::optional<std::string> local_path(const char* url) {
  xmlURIPtr uri = xmlParseURI(url);
  if (uri == nullptr) return std::string(url);  // a plain path with characters a URI may not hold
  std::optional<std::string> path;
  if (uri->scheme == nullptr || std::string(uri->scheme) == "file") {
    if (uri->server == nullptr && uri->path != nullptr) path = uri->path;
  }
  xmlFreeURI(uri);
  return path;
}

std::string executable_folder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

}  // namespace

std::optional<std::string> shipped_schema_folder() {
  std::string beside = executable_folder();
  const std::string candidates[] = {
      beside.empty() ? std::string() : beside + "/" + KENSHIN_XSD_FROM_BINDIR,
      KENSHIN_INSTALLED_XSD_DIR,
      KENSHIN_SOURCE_XSD_DIR,
  };
  for (const std::string& folder : candidates) {
    std::error_code ec;
    if (!folder.empty() && fs::is_regular_file(folder + "/" + kMainSchema, ec)) {
      return fs::weakly_canonical(folder, ec).string();
    }
  }
  return std::nullopt;
}

std::string archive_url(const std::string& path_in_archive) { return "/" + path_in_archive; }

ConfinedLoader::ConfinedLoader(platform::ZipReader& reader, const platform::ZipArchive& archive,
                               const std::string& folder)
    : folder_(folder), reader_(&reader), archive_(&archive), previous_(xmlGetExternalEntityLoader()) {
  while (!folder_.empty() && folder_.back() == '/') folder_.pop_back();
  active_loader = this;
  xmlSetExternalEntityLoader(confined_load);
}

ConfinedLoader::ConfinedLoader(const std::string& folder) : previous_(xmlGetExternalEntityLoader()) {
  std::error_code ec;
  folder_ = fs::weakly_canonical(folder, ec).string();
  if (ec) folder_.clear();
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  active_loader = this;
  xmlSetExternalEntityLoader(confined_load);
}

ConfinedLoader::~ConfinedLoader() {
  xmlSetExternalEntityLoader(previous_);
  active_loader = nullptr;
}

xmlParserInputPtr ConfinedLoader::load(const char* url, xmlParserCtxtPtr ctxt) const {
  std::optional<std::string> path = resolve(url);
  if (!path) return nullptr;
  if (archive_ == nullptr) return xmlNewInputFromFile(ctxt, path->c_str());
  std::optional<std::string_view> content = reader_->read(*path, docs::kMaxDocumentSize);
  if (!content) return nullptr;
  return input_from_memory(ctxt, *content, archive_url(*path));
}

// Paths inside the archive are resolved by their names alone: "." and ".."
// are taken away, and folder names compared ignoring ASCII case, as the
// archive's folders are.
std::optional<std::string> ConfinedLoader::resolve_in_archive(const std::string& path) const {
  std::vector<std::string_view> parts;
  for (std::string_view part : base::path_components(path)) {
    if (part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else {
      parts.push_back(part);
    }
  }
  std::vector<std::string_view> folder = base::path_components(folder_);
  if (parts.size() <= folder.size()) return std::nullopt;
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i < folder.size() && !base::equals_ignoring_ascii_case(parts[i], folder[i])) return std::nullopt;
    if (i > 0) joined += '/';
    joined += parts[i];
  }
  if (!archive_->is_file(joined)) return std::nullopt;
  return joined;
}

std::optional<std::string> ConfinedLoader::resolve(const char* url) const {
  if (folder_.empty()) return std::nullopt;
  std::optional<std::string> path = local_path(url);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  if (archive_ != nullptr) return resolve_in_archive(*path);
  std::error_code ec;
  std::string canonical = fs::weakly_canonical(*path, ec).string();
  if (ec || canonical.size() <= folder_.size() + 1 || canonical.compare(0, folder_.size(), folder_) != 0 ||
      canonical[folder_.size()] != '/') {
    return std::nullopt;
  }
  return canonical;
}

}  // namespace kenshin::extrachecks
