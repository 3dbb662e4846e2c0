// Folder tests on the local file system. Paths are UTF-8.
#pragma once

#include <string>

namespace kenshin::platform {

bool folder_exists(const std::string& path);

}  // namespace kenshin::platform
