#include "platform/zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "platform/cp932.h"
#include "platform/stop_request.h"

namespace kenshin::platform {

namespace {

struct FileEntry {
  zip_uint64_t index;
  zip_uint64_t size;  // declared uncompressed size
};

struct Folder;

// The entries of one folder whose names are equal ignoring ASCII case: at most
// one folder, or files (kept apart by their exact names).
struct SameName {
  std::unique_ptr<Folder> folder;
  std::map<std::string, FileEntry> files;
};

struct Folder {
  std::string name;                        // as first spelled in the archive
  std::map<std::string, SameName> named;  // by name in ASCII lower case
};

std::string lower_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::vector<std::string_view> path_components(std::string_view path) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find('/', start), path.size());
    if (end > start) out.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

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

struct SplitName {
  std::vector<std::string> components;
  bool is_directory = false;
};

// Splits a decoded name into folder components. The name must be decoded first: the second byte
// of many code page 932 characters (表 is 0x95 0x5C) is a backslash. nullopt for names that
// could reach outside the archive's tree.
std::optional<SplitName> split_name(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty() || name.front() == '/') return std::nullopt;
  SplitName split;
  split.is_directory = name.back() == '/';
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = std::min(name.find('/', start), name.size());
    std::string_view component = std::string_view(name).substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") return std::nullopt;
    // A drive letter ("C:"), or a drive-relative or stream name on Windows.
    if (split.components.empty() && component.find(':') != std::string_view::npos) return std::nullopt;
    split.components.emplace_back(component);
  }
  if (!split.is_directory && split.components.empty()) return std::nullopt;
  return split;
}

struct ZipDiscard {
  void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct ZipFileClose {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileClose>;

}  // namespace

struct ZipArchive::Tree {
  Folder root;
  std::vector<FileEntry> files;     // every file entry, in archive order, replaced ones included
  std::vector<std::uint8_t> read;   // by entry index: 1 once a reader has read it whole

  // False when a file and a folder of the same name would meet.
  bool add(const SplitName& split, FileEntry entry) {
    Folder* folder = &root;
    size_t folder_count = split.components.size() - (split.is_directory ? 0 : 1);
    for (size_t i = 0; i < folder_count; ++i) {
      SameName& same = folder->named[lower_ascii(split.components[i])];
      if (!same.files.empty()) return false;
      if (!same.folder) {
        same.folder = std::make_unique<Folder>();
        same.folder->name = split.components[i];
      }
      folder = same.folder.get();
    }
    if (split.is_directory) return true;
    const std::string& name = split.components.back();
    SameName& same = folder->named[lower_ascii(name)];
    if (same.folder) return false;
    same.files[name] = entry;  // a later entry of the same name replaces the earlier, as unpacking would
    files.push_back(entry);
    return true;
  }

  const Folder* find_folder(std::string_view path, std::string* spelled = nullptr) const {
    const Folder* folder = &root;
    for (std::string_view component : path_components(path)) {
      auto it = folder->named.find(lower_ascii(component));
      if (it == folder->named.end() || !it->second.folder) return nullptr;
      folder = it->second.folder.get();
      if (spelled != nullptr) *spelled += (spelled->empty() ? "" : "/") + folder->name;
    }
    return folder;
  }

  const FileEntry* find_file(std::string_view path) const {
    size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const Folder* folder = find_folder(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
    if (folder == nullptr) return nullptr;
    auto same = folder->named.find(lower_ascii(name));
    if (same == folder->named.end()) return nullptr;
    auto file = same->second.files.find(std::string(name));
    return file == same->second.files.end() ? nullptr : &file->second;
  }
};

struct ZipReader::Handle {
  std::unique_ptr<zip_t, ZipDiscard> zip;
};

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;

zip_t* ZipArchive::open_zip(bool record_identity) {
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  FileIdentity seen{st.st_dev, st.st_ino, st.st_size,
                    static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
  if (record_identity) {
    identity_ = seen;
  } else if (!(seen == identity_)) {
    ::close(fd);
    throw DamagedArchive("ZIPファイルがチェック中に変更されました: " + path_);
  }
  int error = 0;
  zip_t* zip = zip_fdopen(fd, 0, &error);
  if (zip == nullptr) ::close(fd);  // libzip keeps it only on success
  return zip;
}

ArchiveResult ZipArchive::open(const std::string& archive_path, const ArchiveLimits& limits,
                               const ArchiveProgress& progress) {
  tree_.reset();
  path_ = archive_path;
  limits_ = limits;
  std::unique_ptr<zip_t, ZipDiscard> zip(open_zip(true));
  if (!zip) return ArchiveResult::kCannotOpen;
  zip_int64_t signed_count = zip_get_num_entries(zip.get(), 0);
  if (signed_count < 0) return ArchiveResult::kCannotOpen;
  auto count = static_cast<zip_uint64_t>(signed_count);
  if (count > limits.max_entries) return ArchiveResult::kTooManyEntries;

  auto tree = std::make_unique<Tree>();
  tree->read.assign(count, 0);
  zip_uint64_t total_size = 0;
  for (zip_uint64_t index = 0; index < count; ++index) {
    if (stop_requested() || (progress && !progress(index, count))) return ArchiveResult::kStopped;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip.get(), index, 0, &stat) != 0) return ArchiveResult::kReadError;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
      return ArchiveResult::kEncrypted;
    }
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > limits.max_total_size - total_size) {
      return ArchiveResult::kTooLarge;
    }
    total_size += stat.size;
    std::optional<std::string> name = decoded_name(zip.get(), index);
    if (!name) return ArchiveResult::kUndecodableName;
    std::optional<SplitName> split = split_name(std::move(*name));
    if (!split || is_link_or_special_file(zip.get(), index)) return ArchiveResult::kUnsafeEntry;
    if (!tree->add(*split, FileEntry{index, stat.size})) return ArchiveResult::kConflictingNames;
  }
  if (progress) progress(count, count);
  tree_ = std::move(tree);
  return ArchiveResult::kOk;
}

std::optional<std::string> ZipArchive::folder_path(std::string_view path) const {
  std::string spelled;
  if (!tree_ || tree_->find_folder(path, &spelled) == nullptr) return std::nullopt;
  return spelled;
}

std::vector<std::string> ZipArchive::list_folder(std::string_view path) const {
  std::vector<std::string> names;
  const Folder* folder = tree_ ? tree_->find_folder(path) : nullptr;
  if (folder == nullptr) return names;
  for (const auto& [key, same] : folder->named) {
    if (same.folder) names.push_back(same.folder->name);
    for (const auto& [name, file] : same.files) names.push_back(name);
  }
  return names;
}

bool ZipArchive::is_file(std::string_view path) const { return tree_ && tree_->find_file(path) != nullptr; }

ArchiveResult ZipArchive::check_unread_files(const ArchiveProgress& progress) {
  if (!tree_) return ArchiveResult::kCannotOpen;
  try {
    ZipReader reader(*this);
    for (size_t i = 0; i < tree_->files.size(); ++i) {
      if (stop_requested() || (progress && !progress(i, tree_->files.size()))) return ArchiveResult::kStopped;
      const FileEntry& file = tree_->files[i];
      if (tree_->read[file.index] == 0 && file.size <= limits_.max_read_size) reader.read_entry(file.index, file.size);
    }
  } catch (const DamagedArchive&) {
    return ArchiveResult::kReadError;
  }
  if (progress) progress(tree_->files.size(), tree_->files.size());
  return ArchiveResult::kOk;
}

ZipReader::ZipReader(ZipArchive& archive) : archive_(&archive), handle_(std::make_unique<Handle>()) {
  if (!archive.tree_) throw std::logic_error("the archive is not open");
  handle_->zip.reset(archive.open_zip(false));
  if (!handle_->zip) throw DamagedArchive("ZIPファイルを読み込めません: " + archive.path_);
}

ZipReader::~ZipReader() = default;
ZipReader::ZipReader(ZipReader&&) noexcept = default;

std::optional<std::string_view> ZipReader::read(std::string_view path, std::uint64_t max_size) {
  const FileEntry* file = archive_->tree_->find_file(path);
  if (file == nullptr || file->size > max_size || file->size > archive_->limits_.max_read_size) return std::nullopt;
  return read_entry(file->index, file->size);
}

std::string_view ZipReader::read_entry(std::uint64_t index, std::uint64_t size) {
  auto damaged = [&] { return DamagedArchive("ZIPファイルの内容が壊れています: " + archive_->path_); };
  ZipFile file(zip_fopen_index(handle_->zip.get(), index, 0));
  if (!file) throw damaged();
  // One byte more than declared, to see an entry that is longer than its header says.
  buffer_.resize(static_cast<size_t>(size) + 1);
  size_t filled = 0;
  for (;;) {
    zip_int64_t n = zip_fread(file.get(), buffer_.data() + filled, buffer_.size() - filled);
    if (n < 0) throw damaged();
    if (n == 0) break;
    filled += static_cast<size_t>(n);
    if (filled > size) throw damaged();
  }
  if (filled != size) throw damaged();
  archive_->tree_->read[index] = 1;
  return std::string_view(buffer_.data(), filled);
}

}  // namespace kenshin::platform
