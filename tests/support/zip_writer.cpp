#include "support/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <tuple>

namespace kenshin::testkit {
namespace {

zip_int64_t add_file(zip_t* archive, const std::string& name, std::string_view content, zip_flags_t flags) {
  zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
  zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, flags) : -1;
  if (index < 0) zip_source_free(source);
  return index;
}

// Creates the archive at `path`, lets `add` put its entries in and writes it;
// `add` returns what it failed at, or nothing.
void write_archive(const std::string& path, const std::function<std::string(zip_t*)>& add) {
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
  if (archive == nullptr) throw std::runtime_error("cannot create " + path);
  std::string failed = add(archive);
  if (failed.empty() && zip_close(archive) == 0) return;
  std::string reason = (failed.empty() ? "write " + path : failed) + ": " + zip_strerror(archive);
  zip_discard(archive);
  throw std::runtime_error(reason);
}

}  // namespace

void write_zip(const std::string& path, const std::vector<ZipEntry>& entries) {
  write_archive(path, [&](zip_t* archive) -> std::string {
    for (const ZipEntry& entry : entries) {
      // Names are stored as given either way; ZIP_FL_ENC_CP437 would refuse valid UTF-8 names.
      zip_flags_t flags = entry.utf8_flag ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
      zip_int64_t index = entry.kind == ZipEntry::kDirectory ? zip_dir_add(archive, entry.raw_name.c_str(), flags)
                                                             : add_file(archive, entry.raw_name, entry.content, flags);
      std::uint32_t mode = entry.kind == ZipEntry::kSymlink ? S_IFLNK | 0777 : entry.unix_mode;
      if (index < 0 ||
          (mode != 0 && zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, mode << 16) != 0) ||
          (entry.encrypted && zip_file_set_encryption(archive, index, ZIP_EM_AES_256, "secret") != 0)) {
        return "add " + entry.raw_name;
      }
    }
    return "";
  });
}

void write_zip_of_views(const std::string& path, const std::vector<std::pair<std::string, std::string_view>>& files) {
  write_archive(path, [&](zip_t* archive) -> std::string {
    for (const auto& [name, text] : files) {
      zip_int64_t index = add_file(archive, name, text, ZIP_FL_ENC_GUESS);
      if (index < 0 || zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 1) != 0) return "add " + name;
    }
    return "";
  });
}

bool can_write_encrypted_entries() { return zip_encryption_method_supported(ZIP_EM_AES_256, 1); }

void damage_entry(const std::string& path, const std::string& raw_name) {
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  auto u16 = [&](size_t at) {
    return static_cast<size_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
  };
  int damaged = 0;
  // Local header: CRC at 14, name length at 26, name at 30. Central header: 16, 28, 46.
  for (auto [signature, crc, length, name] :
       {std::tuple{"PK\x03\x04", 14, 26, 30}, std::tuple{"PK\x01\x02", 16, 28, 46}}) {
    for (size_t at = bytes.find(signature); at != std::string::npos; at = bytes.find(signature, at + 4)) {
      if (at + name + u16(at + length) <= bytes.size() && bytes.compare(at + name, u16(at + length), raw_name) == 0) {
        bytes[at + crc] = static_cast<char>(bytes[at + crc] ^ 0x55);
        ++damaged;
        break;
      }
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (damaged != 2 || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error(raw_name);
}

void write_truncated_copy(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!in.is_open() || bytes.empty() || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2))) throw std::runtime_error(from);
}

}  // namespace kenshin::testkit
