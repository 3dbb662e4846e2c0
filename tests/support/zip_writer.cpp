#include "support/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kenshin::testkit {
namespace {

zip_int64_t add_entry(zip_t* archive, const ZipEntry& entry) {
  // Names are stored as given either way; ZIP_FL_ENC_CP437 would refuse valid UTF-8 names.
  zip_flags_t flags = entry.utf8_flag ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
  if (entry.kind == ZipEntry::kDirectory) return zip_dir_add(archive, entry.raw_name.c_str(), flags);
  zip_source_t* source = zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
  zip_int64_t index = source ? zip_file_add(archive, entry.raw_name.c_str(), source, flags) : -1;
  if (index < 0) zip_source_free(source);
  return index;
}

}  // namespace

void write_zip(const std::string& path, const std::vector<ZipEntry>& entries) {
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
  if (archive == nullptr) throw std::runtime_error("cannot create " + path);
  auto fail = [&](const std::string& what) {
    std::string reason = what + ": " + zip_strerror(archive);
    zip_discard(archive);
    throw std::runtime_error(reason);
  };
  for (const ZipEntry& entry : entries) {
    zip_int64_t index = add_entry(archive, entry);
    std::uint32_t mode = entry.kind == ZipEntry::kSymlink ? S_IFLNK | 0777 : entry.unix_mode;
    if (index < 0 ||
        (mode != 0 && zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, mode << 16) != 0) ||
        (entry.encrypted && zip_file_set_encryption(archive, index, ZIP_EM_AES_256, "secret") != 0)) {
      fail("add " + entry.raw_name);
    }
  }
  if (zip_close(archive) != 0) fail("write " + path);
}

bool can_write_encrypted_entries() { return zip_encryption_method_supported(ZIP_EM_AES_256, 1); }

void write_truncated_copy(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!in.is_open() || bytes.empty() || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2))) throw std::runtime_error(from);
}

}  // namespace kenshin::testkit
