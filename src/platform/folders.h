// Folder operations of a check run: the private working folder, existence
// tests, listing and forced removal. Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kenshin::platform {

// Creates a fresh, uniquely named folder under $TMPDIR (else /tmp) that only
// this user can read, and locks it for as long as `lock` stays open. Folders
// of the same naming left behind by a killed run (this user's, unlocked,
// older than this run) are removed first. Throws RunFailure when the folder
// cannot be created.
std::string create_working_folder(int& lock);

// Removes the working folder and releases its lock; does nothing for an empty path.
void remove_working_folder(const std::string& path, int& lock) noexcept;

bool folder_exists(const std::string& path);

// Every entry of a folder (hidden ones and sub-folders included), bare names,
// in no particular order. Empty when the folder is missing or unreadable.
std::vector<std::string> list_folder(const std::string& path);

// The sub-folder of parent named `name`, preferring the exact spelling and
// otherwise matching ASCII letters regardless of case, as on the desktops the
// archives are made on. nullopt when there is none.
std::optional<std::string> find_sub_folder(const std::string& parent, const std::string& name);

// Deletes the folder and everything below it, read-only entries included.
// Never follows symbolic links out of the tree. Does nothing for an empty path.
void remove_folder_tree(const std::string& path) noexcept;

}  // namespace kenshin::platform
