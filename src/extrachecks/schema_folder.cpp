#include "extrachecks/schema_folder.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>
#include <libxml/xmlIO.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kenshin::extrachecks {

namespace {

constexpr const char kMainSchema[] = "hc08_V08.xsd";

const ConfinedLoader* active_loader = nullptr;

xmlParserInputPtr confined_load(const char* url, const char* /*id*/, xmlParserCtxtPtr ctxt) {
  if (active_loader == nullptr || url == nullptr) return nullptr;
  std::optional<std::string> path = active_loader->resolve(url);
  if (!path) return nullptr;
  return xmlNewInputFromFile(ctxt, path->c_str());
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

std::optional<std::string> ConfinedLoader::resolve(const char* url) const {
  if (folder_.empty()) return std::nullopt;
  std::optional<std::string> path = local_path(url);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  std::error_code ec;
  std::string canonical = fs::weakly_canonical(*path, ec).string();
  if (ec || canonical.size() <= folder_.size() + 1 || canonical.compare(0, folder_.size(), folder_) != 0 ||
      canonical[folder_.size()] != '/') {
    return std::nullopt;
  }
  return canonical;
}

}  // namespace kenshin::extrachecks
