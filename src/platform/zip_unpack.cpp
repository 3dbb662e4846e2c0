#include "platform/zip_unpack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "run/run_failure.h"
#include "platform/cp932.h"
#include "platform/stop_request.h"

namespace kenshin::platform {
namespace {

struct ZipDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileClose {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscard>;
using ZipEntryReader = std::unique_ptr<zip_file_t, ZipFileClose>;

class OutputFile {
 public:
  explicit OutputFile(const std::string& path)
      : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}
  ~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  // Sets the length without writing anything: the file stays sparse.
  bool set_length(zip_uint64_t length) { return ::ftruncate(fd_, static_cast<off_t>(length)) == 0; }
  bool write_all(const char* data, size_t size) {
    while (size > 0) {
      ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }
  // Closing reports delayed write errors (full disk on a network file system), so it is checked.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// An entry that passed every check, with its path below the destination.
struct PlannedEntry {
  zip_uint64_t index;
  std::vector<std::string> components;
  bool is_directory;
  zip_uint64_t size;
};

// Names are read as stored: Windows archivers write code page 932 without the UTF-8 flag, and
// libzip would read such names as CP437.
std::optional<std::string> decoded_name(zip_t* archive, zip_uint64_t index) {
  const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
  if (raw == nullptr) return std::nullopt;
  if (is_valid_utf8(raw)) return std::string(raw);
  return cp932_to_utf8(raw);
}

bool is_link_or_special_file(zip_t* archive, zip_uint64_t index) {
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes) != 0) return true;
  if (opsys != ZIP_OPSYS_UNIX && opsys != ZIP_OPSYS_OS_X) return false;
  mode_t mode = attributes >> 16;
  return S_ISLNK(mode) || S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

// Splits a decoded name into folder components. The name must be decoded first: the second byte
// of many code page 932 characters (表 is 0x95 0x5C) is a backslash. Returns false for names that
// could reach outside the destination.
bool split_name(std::string name, PlannedEntry& entry) {
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty() || name.front() == '/') return false;
  entry.is_directory = name.back() == '/';
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = std::min(name.find('/', start), name.size());
    std::string_view component = std::string_view(name).substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") return false;
    // A drive letter ("C:"), or a drive-relative or stream name on Windows.
    if (entry.components.empty() && component.find(':') != std::string_view::npos) return false;
    entry.components.emplace_back(component);
  }
  return entry.is_directory || !entry.components.empty();
}

UnpackResult plan_entries(zip_t* archive, const UnpackLimits& limits,
                          std::vector<PlannedEntry>& entries) {
  zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count < 0) return UnpackResult::kCannotOpen;
  if (static_cast<zip_uint64_t>(count) > limits.max_entries) return UnpackResult::kTooManyEntries;
  zip_uint64_t total_size = 0;
  for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0) return UnpackResult::kReadError;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
      return UnpackResult::kEncrypted;
    }
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > limits.max_total_size - total_size) {
      return UnpackResult::kTooLarge;
    }
    total_size += stat.size;
    std::optional<std::string> name = decoded_name(archive, index);
    if (!name) return UnpackResult::kUndecodableName;
    PlannedEntry entry{index, {}, false, stat.size};
    if (!split_name(std::move(*name), entry) || is_link_or_special_file(archive, index)) {
      return UnpackResult::kUnsafeEntry;
    }
    entries.push_back(std::move(entry));
  }
  return UnpackResult::kOk;
}

// What one extraction works with; write_error keeps the system's reason for a kWriteError.
struct Extraction {
  zip_t* archive;
  const UnpackLimits& limits;
  std::vector<char> buffer = std::vector<char>(64 * 1024);
  int write_error = 0;

  UnpackResult write_failed() {
    write_error = errno;
    return UnpackResult::kWriteError;
  }
};

bool make_folder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat existing;
  return errno == EEXIST && ::lstat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode);
}

UnpackResult extract_file(Extraction& x, const PlannedEntry& entry, const std::string& path) {
  OutputFile out(path);
  if (!out.is_open()) return x.write_failed();
  if (entry.size > x.limits.max_unread_entry_size) {
    // Nobody reads it: the document loader refuses anything this long by its length alone.
    if (!out.set_length(entry.size)) return x.write_failed();
    return out.close() ? UnpackResult::kOk : x.write_failed();
  }
  ZipEntryReader reader(zip_fopen_index(x.archive, entry.index, 0));
  if (!reader) return UnpackResult::kReadError;
  zip_uint64_t written = 0;
  for (;;) {
    if (stop_requested()) return UnpackResult::kStopped;
    zip_int64_t n = zip_fread(reader.get(), x.buffer.data(), x.buffer.size());
    if (n < 0) return UnpackResult::kReadError;
    if (n == 0) break;
    // A header that understates the size would slip past the size limit: never write past it.
    if (static_cast<zip_uint64_t>(n) > entry.size - written) return UnpackResult::kTooLarge;
    if (!out.write_all(x.buffer.data(), static_cast<size_t>(n))) return x.write_failed();
    written += static_cast<zip_uint64_t>(n);
  }
  return out.close() ? UnpackResult::kOk : x.write_failed();
}

UnpackResult extract_entry(Extraction& x, const PlannedEntry& entry, const std::string& destination_folder) {
  std::string path = destination_folder;
  size_t folder_count = entry.components.size() - (entry.is_directory ? 0 : 1);
  for (size_t i = 0; i < folder_count; ++i) {
    path += '/' + entry.components[i];
    if (!make_folder(path)) return x.write_failed();
  }
  if (entry.is_directory) return UnpackResult::kOk;
  return extract_file(x, entry, path + '/' + entry.components.back());
}

UnpackResult unpack(const std::string& archive_path, const std::string& destination_folder,
                    const UnpackLimits& limits, const UnpackProgress& progress, int& write_error) {
  int error = 0;
  ZipArchive archive(zip_open(archive_path.c_str(), ZIP_RDONLY, &error));
  if (!archive) return UnpackResult::kCannotOpen;
  std::vector<PlannedEntry> entries;
  if (UnpackResult result = plan_entries(archive.get(), limits, entries);
      result != UnpackResult::kOk) {
    return result;
  }
  Extraction x{archive.get(), limits};
  for (size_t done = 0; done < entries.size(); ++done) {
    if (stop_requested() || (progress && !progress(done, entries.size()))) return UnpackResult::kStopped;
    UnpackResult result = extract_entry(x, entries[done], destination_folder);
    if (result != UnpackResult::kOk) {
      write_error = x.write_error;
      return result;
    }
  }
  if (progress) progress(entries.size(), entries.size());
  return UnpackResult::kOk;
}

}  // namespace

UnpackResult unpack_zip(const std::string& archive_path, const std::string& destination_folder,
                        const UnpackLimits& limits, const UnpackProgress& progress) {
  int write_error = 0;
  return unpack(archive_path, destination_folder, limits, progress, write_error);
}

int unpack_archive(const std::string& archive_path, const std::string& destination_folder,
                   const UnpackProgress& progress) {
  int write_error = 0;
  UnpackResult result = unpack(archive_path, destination_folder, UnpackLimits{}, progress, write_error);
  if (result == UnpackResult::kWriteError) {
    throw RunFailure("作業フォルダに書き込めません: " + destination_folder + " (" + std::strerror(write_error) + ")");
  }
  return static_cast<int>(result);
}

int unpack_zip(const std::string& archive_path, const std::string& destination_folder) {
  return unpack_archive(archive_path, destination_folder, {});
}

}  // namespace kenshin::platform
