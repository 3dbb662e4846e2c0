#include "platform/desktop_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/folders.h"

namespace kenshin::platform {

namespace {

std::string home_folder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  const passwd* pw = ::getpwuid(::getuid());
  return (pw != nullptr && pw->pw_dir != nullptr) ? pw->pw_dir : "/";
}

// Reads a line like XDG_DESKTOP_DIR="$HOME/Desktop"; empty when there is none.
std::string xdg_desktop(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string dirs = (config != nullptr && *config != '\0') ? std::string(config) : home + "/.config";
  std::ifstream in(dirs + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DESKTOP_DIR=";
  std::string value;
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    value = line.substr(start + key.size());
  }
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
  if (value.empty() || value.front() != '/') return {};
  return value;
}

}  // namespace

std::string default_desktop_folder() {
  std::string home = home_folder();
  std::string xdg = xdg_desktop(home);
  if (!xdg.empty() && folder_exists(xdg)) return xdg;
  if (folder_exists(home + "/Desktop")) return home + "/Desktop";
  return home;
}

}  // namespace kenshin::platform
