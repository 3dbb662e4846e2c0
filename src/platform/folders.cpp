#include "platform/folders.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kenshin::platform {

bool folder_exists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::path(path), ec);
}

}  // namespace kenshin::platform
