// Writes small zip archives for tests, names stored byte for byte (code page 932, backslashes, unsafe paths).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kenshin::testkit {

struct ZipEntry {
  std::string raw_name;  // stored exactly as given (a folder gains a trailing / if it lacks one)
  std::string content;   // file content, or the target of a link
  enum Kind { kFile, kDirectory, kSymlink } kind = kFile;
  bool utf8_flag = false;       // libzip flags valid non-ASCII UTF-8 names as UTF-8 anyway
  std::uint32_t unix_mode = 0;  // non-zero: stored as the Unix file type and permissions
  bool encrypted = false;       // AES-256, password "secret"
};

// Writes the entries, in order, to a new archive at `path`; throws std::runtime_error on failure.
void write_zip(const std::string& path, const std::vector<ZipEntry>& entries);

// The same for many plain files whose texts are held elsewhere (one text may
// stand for many entries): nothing is copied, and each entry is compressed at
// the fastest level, so that ten thousand pairs are written in moments.
void write_zip_of_views(const std::string& path, const std::vector<std::pair<std::string, std::string_view>>& files);

bool can_write_encrypted_entries();

// Gives the entry stored under `raw_name` in the archive at `path` a wrong CRC in both its
// headers, as damaged data would show.
void damage_entry(const std::string& path, const std::string& raw_name);

// Copies the first half of the file at `from` to `to`, as a download cut short would leave it.
void write_truncated_copy(const std::string& from, const std::string& to);

}  // namespace kenshin::testkit
