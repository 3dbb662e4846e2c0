// The user's desktop folder, where the report is written.
#pragma once

#include <string>

namespace kenshin::platform {

// XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (else
// ~/.config/user-dirs.dirs) when that folder exists; else ~/Desktop when it
// exists; else the home folder.
std::string default_desktop_folder();

}  // namespace kenshin::platform
