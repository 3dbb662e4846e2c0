#include "support/folders_on_disk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kenshin::testkit {

std::vector<std::string> list_folder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(fs::path(path), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void remove_folder_tree(const std::string& path) noexcept {
  if (path.empty()) return;
  std::error_code ec;
  // Owner write permission on every folder, so that entries below a
  // read-only folder can be unlinked too.
  for (fs::recursive_directory_iterator it(fs::path(path), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  std::error_code ignored;
  fs::permissions(fs::path(path), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(fs::path(path), ignored);
}

}  // namespace kenshin::testkit
