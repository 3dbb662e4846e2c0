// Writes small zip archives for tests, with entry names stored byte for byte (code page 932 names
// without the UTF-8 flag, backslashes, unsafe paths), links, special files, folders and encrypted
// entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kenshin::testing {

struct ZipEntry {
  std::string raw_name;  // stored exactly as given (a folder gains a trailing / if it lacks one)
  std::string content;   // file content, or the target of a link
  enum Kind { kFile, kDirectory, kSymlink } kind = kFile;
  // Declare the name UTF-8. libzip flags every valid non-ASCII UTF-8 name as UTF-8 anyway, and
  // refuses a declared name that is not UTF-8; names that are not UTF-8 are stored unflagged.
  bool utf8_flag = false;
  std::uint32_t unix_mode = 0;  // non-zero: stored as the Unix mode (file type and permissions)
  bool encrypted = false;       // AES-256, password "secret"
  bool stored = false;          // not compressed, so the content appears verbatim in the archive
};

// Writes the entries, in order, to a new archive at `path`; throws std::runtime_error on failure.
void write_zip(const std::string& path, const std::vector<ZipEntry>& entries);

// Whether the installed libzip can write the encrypted entries above.
bool can_write_encrypted_entries();

// Copies the first half of the file at `from` to `to`, as a download cut short would leave it.
void write_truncated_copy(const std::string& from, const std::string& to);

}  // namespace kenshin::testing
