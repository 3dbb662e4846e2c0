#include "support/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kenshin::testing {
namespace {

[[noreturn]] void fail(const std::string& what, zip_t* archive) {
  std::string reason = zip_strerror(archive);
  zip_discard(archive);
  throw std::runtime_error(what + ": " + reason);
}

}  // namespace

void write_zip(const std::string& path, const std::vector<ZipEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("cannot create " + path);
  for (const ZipEntry& entry : entries) {
    // Either way libzip stores the name bytes as given. ZIP_FL_ENC_CP437 would refuse names that
    // happen to be valid UTF-8, so undeclared names are left to its guess.
    zip_flags_t name_flags = entry.utf8_flag ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
    zip_int64_t index;
    if (entry.kind == ZipEntry::kDirectory) {
      index = zip_dir_add(archive, entry.raw_name.c_str(), name_flags);
    } else {
      zip_source_t* source =
          zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
      if (source == nullptr) fail("source for " + entry.raw_name, archive);
      index = zip_file_add(archive, entry.raw_name.c_str(), source, name_flags);
      if (index < 0) zip_source_free(source);
    }
    if (index < 0) fail("add " + entry.raw_name, archive);
    std::uint32_t mode = entry.unix_mode;
    if (mode == 0 && entry.kind == ZipEntry::kSymlink) mode = S_IFLNK | 0777;
    if (mode != 0 &&
        zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, mode << 16) != 0) {
      fail("attributes of " + entry.raw_name, archive);
    }
    if (entry.stored && zip_set_file_compression(archive, index, ZIP_CM_STORE, 0) != 0) {
      fail("compression of " + entry.raw_name, archive);
    }
    if (entry.encrypted && zip_file_set_encryption(archive, index, ZIP_EM_AES_256, "secret") != 0) {
      fail("encryption of " + entry.raw_name, archive);
    }
  }
  if (zip_close(archive) != 0) fail("write " + path, archive);
}

bool can_write_encrypted_entries() { return zip_encryption_method_supported(ZIP_EM_AES_256, 1); }

void write_truncated_copy(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
  if (!in.is_open() || bytes.empty() || !out) throw std::runtime_error("cannot truncate " + from);
}

}  // namespace kenshin::testing
