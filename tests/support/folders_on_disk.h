// Folders of the local file system as the tests set them up and look at them.
// Paths are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace kenshin::testkit {

// Every entry of a folder (hidden ones and sub-folders included), bare names,
// sorted. Empty when the folder is missing or unreadable.
std::vector<std::string> list_folder(const std::string& path);

// Deletes the folder and everything below it, read-only entries included.
// Never follows symbolic links out of the tree. Does nothing for an empty path.
void remove_folder_tree(const std::string& path) noexcept;

}  // namespace kenshin::testkit
