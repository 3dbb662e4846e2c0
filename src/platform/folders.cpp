#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/text.h"
#include "run/run_failure.h"

namespace fs = std::filesystem;

namespace kenshin::platform {

namespace {

constexpr std::string_view kWorkingPrefix = "kenshin-check.";
constexpr size_t kWorkingSuffixLength = 6;  // mkdtemp's XXXXXX

bool has_working_folder_name(std::string_view name) {
  if (name.size() != kWorkingPrefix.size() + kWorkingSuffixLength || name.substr(0, kWorkingPrefix.size()) != kWorkingPrefix) {
    return false;
  }
  for (char c : name.substr(kWorkingPrefix.size())) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// The lock is taken on the folder itself; the system drops it when its
// process ends, however it ends.
int lock_folder(const std::string& path, int how) {
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::flock(fd, how) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A run that is still going holds the lock on its folder. The age margin
// covers the moment between another run's creating its folder and locking it.
void remove_stale_working_folders(const std::string& base) noexcept {
  DIR* dir = ::opendir(base.c_str());
  if (dir == nullptr) return;
  auto now = std::chrono::system_clock::now();
  while (dirent* entry = ::readdir(dir)) {
    if (!has_working_folder_name(entry->d_name)) continue;
    std::string path = base + "/" + entry->d_name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) continue;
    auto modified = std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec);
    if (modified + std::chrono::seconds(2) > now) continue;
    int lock = lock_folder(path, LOCK_EX | LOCK_NB);
    if (lock < 0) continue;
    remove_folder_tree(path);
    ::close(lock);
  }
  ::closedir(dir);
}

}  // namespace

std::string create_working_folder(int& lock) {
  const char* tmp = std::getenv("TMPDIR");
  std::string tmp_root = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  remove_stale_working_folders(tmp_root);
  std::string templ = tmp_root + "/" + std::string(kWorkingPrefix) + "XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) {
    throw RunFailure("作業フォルダを作成できません: " + tmp_root + " (" + std::strerror(errno) + ")");
  }
  lock = lock_folder(templ, LOCK_EX);
  if (lock < 0) {
    int error_number = errno;
    remove_folder_tree(templ);
    throw RunFailure("作業フォルダを作成できません: " + tmp_root + " (" + std::strerror(error_number) + ")");
  }
  return templ;
}

void remove_working_folder(const std::string& path, int& lock) noexcept {
  remove_folder_tree(path);
  if (lock >= 0) ::close(lock);
  lock = -1;
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
