// A submission archive (zip) read in memory. Opening it reads its central
// directory and checks every entry: an archive that names a path outside its
// own tree, holds a link or special file, is encrypted, too large or damaged
// is refused as a whole. The entries that pass form a tree of folders and
// files; a file's content is decompressed only when it is read, into a buffer
// the reader reuses. Nothing of the archive is ever written anywhere.
//
// Paths inside the archive are UTF-8, '/' between folders. Folders whose names
// differ only in ASCII case are one folder, as on the Windows file systems the
// archives are made on; file names are kept exactly as stored.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/read_limit.h"

struct zip;  // libzip's handle

namespace kenshin::platform {

// Bounds on what an archive may hold.
struct ArchiveLimits {
  std::uint64_t max_entries = 200'000;
  std::uint64_t max_total_size = std::uint64_t{8} << 30;  // sum of declared uncompressed sizes
  // Longer entries are never decompressed: nobody reads them, and the
  // document loader refuses them by their declared length.
  std::uint64_t max_read_size = kMaxReadSize;
};

enum class ArchiveResult {
  kOk = 0,
  kCannotOpen,  // missing, truncated or not a zip archive
  kTooManyEntries,
  kTooLarge,     // declared sizes over the limit, or an entry longer or shorter than it declares
  kUnsafeEntry,  // absolute path, drive letter, "..", link, device, fifo or socket
  kEncrypted,
  kUndecodableName,   // neither UTF-8 nor code page 932
  kConflictingNames,  // a file and a folder of the same name in one folder
  kReadError,         // damaged entry data, CRC mismatch
  kStopped,           // the caller asked to stop
};

// Told how many entries are done (of how many) before each entry and at the
// end; returning false stops before the next entry.
using ArchiveProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// An entry's data turned out damaged (or longer or shorter than its header
// says) when it was read, or the archive file changed while the run read it.
class DamagedArchive : public std::runtime_error {
 public:
  explicit DamagedArchive(const std::string& what) : std::runtime_error(what) {}
};

class ZipReader;

class ZipArchive {
 public:
  ZipArchive();
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Reads the archive's directory and checks every entry; kOk leaves the
  // archive open for questions and readers. Opening again starts afresh.
  ArchiveResult open(const std::string& archive_path, const ArchiveLimits& limits = {},
                     const ArchiveProgress& progress = {});

  // The folder at `path` as the archive spells it (the first spelling met);
  // nullopt when there is none. "" is the archive's root.
  std::optional<std::string> folder_path(std::string_view path) const;

  // Bare names of a folder's files and sub-folders, in no particular order;
  // empty for a missing folder.
  std::vector<std::string> list_folder(std::string_view path) const;

  bool is_file(std::string_view path) const;

  // Decompresses every file no reader has read yet (except those longer than
  // the read limit), as unpacking would, to find damaged data. `progress`
  // as for open().
  ArchiveResult check_unread_files(const ArchiveProgress& progress = {});

 private:
  friend class ZipReader;
  struct Tree;
  // A new handle on the archive file; nullptr when it cannot be opened as a
  // zip. Throws DamagedArchive when the file is no longer the one first opened.
  ::zip* open_zip(bool record_identity);
  // A handle for a new reader: the one the last reader gave back, else a new one.
  ::zip* take_handle();
  void give_back(::zip* zip);

  std::string path_;
  // Which file was opened: every reader opens the same one again.
  struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified_ns = 0;
    bool operator==(const FileIdentity&) const = default;
  } identity_;
  ArchiveLimits limits_;
  std::unique_ptr<Tree> tree_;
  std::mutex spare_mutex_;
  ::zip* spare_ = nullptr;  // no reader uses it now
};

// Reads files of an open archive, one at a time, through a zip handle of its
// own: each thread that reads uses its own reader. A reader's handle goes
// back to the archive for the next reader. The archive must outlive it.
class ZipReader {
 public:
  explicit ZipReader(ZipArchive& archive);
  ~ZipReader();
  ZipReader(ZipReader&&) noexcept;
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;
  ZipReader& operator=(ZipReader&&) = delete;

  // The content of the file at `path`, valid until the next read. nullopt when
  // there is no file at the path (a folder, say) or its declared size is over
  // `max_size`; such a file is not decompressed. Throws DamagedArchive.
  std::optional<std::string_view> read(std::string_view path, std::uint64_t max_size);

 private:
  friend class ZipArchive;
  std::string_view read_entry(std::uint64_t index, std::uint64_t size);

  ZipArchive* archive_;
  ::zip* zip_ = nullptr;
  std::string buffer_;
};

}  // namespace kenshin::platform
