// Unpacks a submission archive (zip) into a private working folder. Every entry is checked before
// anything is written: an archive that names a path outside the folder, holds a link or special
// file, is encrypted, too large or damaged is refused as a whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kenshin::platform {

// Extracts every entry of the archive at `archive_path` below `destination_folder` (which exists),
// keeping the entries' folder paths and overwriting existing files. Returns 0 on success and
// non-zero on any failure; after a failure the folder may hold partial output, which the caller
// removes with the folder. Paths are UTF-8. A failure to write below the destination (a full or
// unwritable disk) says nothing about the archive: it throws RunFailure naming the folder and the
// system's reason. A stop request ends the unpacking early with a non-zero result.
int unpack_zip(const std::string& archive_path, const std::string& destination_folder);

// As unpack_zip, with `progress` as for the detailed form below.
using UnpackProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
int unpack_archive(const std::string& archive_path, const std::string& destination_folder,
                   const UnpackProgress& progress);

// Bounds on what an archive may make the unpacking write.
struct UnpackLimits {
  std::uint64_t max_entries = 200'000;
  std::uint64_t max_total_size = std::uint64_t{8} << 30;  // sum of declared uncompressed sizes
  // Longer entries are not decompressed: their file gets the declared length and no content,
  // and the document loader refuses it by its length.
  std::uint64_t max_unread_entry_size = std::uint64_t{16} << 20;
};

enum class UnpackResult {
  kOk = 0,
  kCannotOpen,  // missing, truncated or not a zip archive
  kTooManyEntries,
  kTooLarge,     // declared sizes over the limit, or an entry longer than it declares
  kUnsafeEntry,  // absolute path, drive letter, "..", link, device, fifo or socket
  kEncrypted,
  kUndecodableName,  // neither UTF-8 nor code page 932
  kReadError,        // damaged entry data, CRC mismatch
  kWriteError,       // a folder or file could not be created or written
  kStopped,          // the caller asked to stop, or a stop signal came (stop_request.h)
};

// `progress` is told how many entries are done (of how many) before each
// entry and at the end; returning false stops the unpacking before the next
// entry. Write failures are returned as kWriteError here.

// As above, with explicit limits and the reason for a failure.
UnpackResult unpack_zip(const std::string& archive_path, const std::string& destination_folder,
                        const UnpackLimits& limits, const UnpackProgress& progress = {});

}  // namespace kenshin::platform
