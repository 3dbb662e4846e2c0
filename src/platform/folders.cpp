#include "platform/folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "run/run_failure.h"

namespace fs = std::filesystem;

namespace kenshin::platform {

std::string create_working_folder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string tmp_root = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  std::string templ = tmp_root + "/kenshin-check.XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) {
    throw RunFailure("作業フォルダを作成できません: " + tmp_root + " (" + std::strerror(errno) + ")");
  }
  return templ;
}

bool folder_exists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::path(path), ec);
}

std::vector<std::string> list_folder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(fs::path(path), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

std::optional<std::string> find_sub_folder(const std::string& parent, const std::string& name) {
  std::string exact = parent + "/" + name;
  if (folder_exists(exact)) return exact;
  for (const std::string& entry : list_folder(parent)) {
    std::string candidate = parent + "/" + entry;
    if (base::equals_ignoring_ascii_case(entry, name) && folder_exists(candidate)) return candidate;
  }
  return std::nullopt;
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

}  // namespace kenshin::platform
