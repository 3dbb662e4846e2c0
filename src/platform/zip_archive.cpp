#include "platform/zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/text.h"
#include "platform/cp932.h"
#include "platform/stop_request.h"

namespace kenshin::platform {

namespace {

// A file entry; its name is kept in the tree's name store.
struct FileRecord {
  std::uint32_t folder;
  bool shadowed;  // a later entry of the same name replaces it, as unpacking would
  size_t name_at;
  size_t name_size;
  zip_uint64_t index;
  zip_uint64_t size;  // declared uncompressed size
};

struct FolderRecord {
  std::uint32_t parent;
  std::string name;  // as first spelled in the archive
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

// The archive's folders and files, kept small: archives hold up to hundreds of
// thousands of entries. Folders are found by their path in ASCII lower case;
// files are sorted by folder and name, so that a folder's files lie together.
struct ZipArchive::Tree {
  std::vector<FolderRecord> folders{{0, ""}};                          // [0]: the archive's root
  std::unordered_map<std::string, std::uint32_t> folder_ids{{"", 0}};  // by path in ASCII lower case
  std::string names;
  std::vector<FileRecord> files;   // every file entry, replaced ones included
  std::vector<std::uint8_t> read;  // by entry index: 1 once a reader has read it whole

  std::string_view name_of(const FileRecord& file) const {
    return std::string_view(names).substr(file.name_at, file.name_size);
  }

  void add(const SplitName& split, zip_uint64_t index, zip_uint64_t size) {
    std::uint32_t folder = 0;
    std::string key;
    size_t folder_count = split.components.size() - (split.is_directory ? 0 : 1);
    for (size_t i = 0; i < folder_count; ++i) {
      key += (i == 0 ? "" : "/") + base::lower_ascii(split.components[i]);
      auto [it, added] = folder_ids.try_emplace(key, static_cast<std::uint32_t>(folders.size()));
      if (added) folders.push_back({folder, split.components[i]});
      folder = it->second;
    }
    if (split.is_directory) return;
    const std::string& name = split.components.back();
    files.push_back({folder, false, names.size(), name.size(), index, size});
    names += name;
  }

  // Sorts the files for lookups. False when a file and a folder of the same
  // name (ignoring ASCII case) meet in one folder.
  bool finish() {
    std::sort(files.begin(), files.end(), [this](const FileRecord& a, const FileRecord& b) {
      if (a.folder != b.folder) return a.folder < b.folder;
      if (int c = base::compare_ignoring_ascii_case(name_of(a), name_of(b)); c != 0) return c < 0;
      if (int c = name_of(a).compare(name_of(b)); c != 0) return c < 0;
      return a.index < b.index;
    });
    for (size_t i = 0; i + 1 < files.size(); ++i) {
      files[i].shadowed = files[i].folder == files[i + 1].folder && name_of(files[i]) == name_of(files[i + 1]);
    }
    for (size_t id = 1; id < folders.size(); ++id) {
      if (first_named(folders[id].parent, folders[id].name) != files.end()) return false;
    }
    return true;
  }

  // The first file of the folder named `name` ignoring ASCII case, or files.end().
  std::vector<FileRecord>::const_iterator first_named(std::uint32_t folder, std::string_view name) const {
    auto it = std::lower_bound(files.begin(), files.end(), name, [&](const FileRecord& file, std::string_view n) {
      return file.folder < folder || (file.folder == folder && base::compare_ignoring_ascii_case(name_of(file), n) < 0);
    });
    bool found = it != files.end() && it->folder == folder && base::compare_ignoring_ascii_case(name_of(*it), name) == 0;
    return found ? it : files.end();
  }

  std::optional<std::uint32_t> find_folder(std::string_view path) const {
    std::string key;
    for (std::string_view component : base::path_components(path)) key += (key.empty() ? "" : "/") + base::lower_ascii(component);
    auto it = folder_ids.find(key);
    if (it == folder_ids.end()) return std::nullopt;
    return it->second;
  }

  std::string spelled_path(std::uint32_t folder) const {
    std::string path;
    for (; folder != 0; folder = folders[folder].parent) {
      path = folders[folder].name + (path.empty() ? "" : "/") + path;
    }
    return path;
  }

  const FileRecord* find_file(std::string_view path) const {
    size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::optional<std::uint32_t> folder =
        find_folder(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
    if (!folder) return nullptr;
    for (auto it = first_named(*folder, name);
         it != files.end() && it->folder == *folder && base::compare_ignoring_ascii_case(name_of(*it), name) == 0; ++it) {
      if (!it->shadowed && name_of(*it) == name) return &*it;
    }
    return nullptr;
  }
};

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive() {
  if (spare_ != nullptr) zip_discard(spare_);
}

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

zip_t* ZipArchive::take_handle() {
  {
    std::lock_guard lock(spare_mutex_);
    if (spare_ != nullptr) return std::exchange(spare_, nullptr);
  }
  return open_zip(false);
}

void ZipArchive::give_back(zip_t* zip) {
  {
    std::lock_guard lock(spare_mutex_);
    if (spare_ == nullptr) {
      spare_ = zip;
      return;
    }
  }
  zip_discard(zip);
}

ArchiveResult ZipArchive::open(const std::string& archive_path, const ArchiveLimits& limits,
                               const ArchiveProgress& progress) {
  tree_.reset();
  if (spare_ != nullptr) zip_discard(std::exchange(spare_, nullptr));
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
    tree->add(*split, index, stat.size);
  }
  if (!tree->finish()) return ArchiveResult::kConflictingNames;
  if (progress) progress(count, count);
  tree_ = std::move(tree);
  spare_ = zip.release();  // the first reader's
  return ArchiveResult::kOk;
}

std::optional<std::string> ZipArchive::folder_path(std::string_view path) const {
  std::optional<std::uint32_t> folder = tree_ ? tree_->find_folder(path) : std::nullopt;
  if (!folder) return std::nullopt;
  return tree_->spelled_path(*folder);
}

std::vector<std::string> ZipArchive::list_folder(std::string_view path) const {
  std::vector<std::string> names;
  std::optional<std::uint32_t> folder = tree_ ? tree_->find_folder(path) : std::nullopt;
  if (!folder) return names;
  for (const FolderRecord& sub : tree_->folders) {
    if (sub.parent == *folder && &sub != &tree_->folders.front()) names.push_back(sub.name);
  }
  auto it = std::lower_bound(tree_->files.begin(), tree_->files.end(), *folder,
                             [](const FileRecord& file, std::uint32_t id) { return file.folder < id; });
  for (; it != tree_->files.end() && it->folder == *folder; ++it) {
    if (!it->shadowed) names.emplace_back(tree_->name_of(*it));
  }
  return names;
}

bool ZipArchive::is_file(std::string_view path) const { return tree_ && tree_->find_file(path) != nullptr; }

ArchiveResult ZipArchive::check_unread_files(const ArchiveProgress& progress) {
  if (!tree_) return ArchiveResult::kCannotOpen;
  const std::vector<FileRecord>& files = tree_->files;
  try {
    ZipReader reader(*this);
    for (size_t i = 0; i < files.size(); ++i) {
      if (stop_requested() || (progress && !progress(i, files.size()))) return ArchiveResult::kStopped;
      if (tree_->read[files[i].index] == 0 && files[i].size <= limits_.max_read_size) {
        reader.read_entry(files[i].index, files[i].size);
      }
    }
  } catch (const DamagedArchive&) {
    return ArchiveResult::kReadError;
  }
  if (progress) progress(files.size(), files.size());
  return ArchiveResult::kOk;
}

ZipReader::ZipReader(ZipArchive& archive) : archive_(&archive) {
  if (!archive.tree_) throw std::logic_error("the archive is not open");
  zip_ = archive.take_handle();
  if (zip_ == nullptr) throw DamagedArchive("ZIPファイルを読み込めません: " + archive.path_);
}

ZipReader::~ZipReader() {
  if (zip_ != nullptr) archive_->give_back(zip_);
}

ZipReader::ZipReader(ZipReader&& other) noexcept
    : archive_(other.archive_), zip_(std::exchange(other.zip_, nullptr)), buffer_(std::move(other.buffer_)) {}

std::optional<std::string_view> ZipReader::read(std::string_view path, std::uint64_t max_size) {
  const FileRecord* file = archive_->tree_->find_file(path);
  if (file == nullptr || file->size > max_size || file->size > archive_->limits_.max_read_size) return std::nullopt;
  return read_entry(file->index, file->size);
}

std::string_view ZipReader::read_entry(std::uint64_t index, std::uint64_t size) {
  auto damaged = [&] { return DamagedArchive("ZIPファイルの内容が壊れています: " + archive_->path_); };
  ZipFile file(zip_fopen_index(zip_, index, 0));
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
