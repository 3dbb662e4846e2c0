// Archive bytes, opened in memory and listed as the intake lists them, every
// listed document read. Whatever the archive holds, reads stay within the
// limits, damaged data is only ever the exception the run handles, and
// nothing is written to disk but the input. A broken invariant aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "intake/unpack_inventory.h"
#include "platform/zip_archive.h"

namespace {

namespace fs = std::filesystem;
using kenshin::platform::ArchiveLimits;

constexpr ArchiveLimits kLimits{1000, 1 << 20, 64 << 10};

[[noreturn]] void broken(const char* what, const std::string& path) {
  std::fprintf(stderr, "%s: %s\n", what, path.c_str());
  std::abort();
}

// Made under $TMPDIR on the first input and left there: the fuzzer may end
// the process at any time (tools/fuzz.sh removes its $TMPDIR afterwards).
const fs::path& folder() {
  static const fs::path* const path = [] {
    std::string templ = (fs::temp_directory_path() / "kenshin-archive-fuzzer.XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    return new fs::path(templ);
  }();
  return *path;
}

void read_documents(kenshin::platform::ZipArchive& archive) {
  kenshin::platform::ZipReader reader(archive);
  for (const std::string& top : archive.list_folder("")) {
    for (const char* name : {"DATA", "CLAIMS"}) {
      std::optional<std::string> sub = archive.folder_path(top + "/" + name);
      if (!sub) continue;
      for (const std::string& document : kenshin::intake::document_names(archive.list_folder(*sub))) {
        std::optional<std::string_view> content = reader.read(*sub + "/" + document, kLimits.max_read_size);
        if (content && content->size() > kLimits.max_read_size) broken("read past the limit", document);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& dir = folder();
  fs::path archive_path = dir / "archive.zip";
  {
    std::ofstream out(archive_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  kenshin::platform::ZipArchive archive;
  if (archive.open(archive_path.string(), kLimits) == kenshin::platform::ArchiveResult::kOk) {
    try {
      read_documents(archive);
      archive.check_unread_files();
    } catch (const kenshin::platform::DamagedArchive&) {
      // Damaged data: the run reports the unpacking failure.
    }
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path() != archive_path) broken("written beside the input", entry.path().string());
  }
  return 0;
}
