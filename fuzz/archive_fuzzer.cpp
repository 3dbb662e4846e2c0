// Archive bytes, unpacked into a fresh folder and listed as the intake lists
// them. Whatever the archive holds, afterwards there are only regular files
// and folders, all of them inside the destination, within the limits; and the
// folder can be removed again. A broken invariant aborts.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "intake/unpack_inventory.h"
#include "platform/folders.h"
#include "platform/zip_unpack.h"

namespace {

namespace fs = std::filesystem;
using kenshin::platform::UnpackLimits;

constexpr UnpackLimits kLimits{1000, 1 << 20, 64 << 10};

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

void check_unpacked(const fs::path& destination) {
  std::uint64_t total = 0, count = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(destination, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat st {};
    std::string path = it->path().string();
    if (::lstat(path.c_str(), &st) != 0) broken("vanished", path);
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) broken("neither file nor folder", path);
    if (S_ISREG(st.st_mode)) total += static_cast<std::uint64_t>(st.st_size);
    ++count;
  }
  if (ec) broken("cannot walk", destination.string());
  if (total > kLimits.max_total_size) broken("more written than the limit", destination.string());
  if (count > 2 * kLimits.max_entries + 2) broken("more entries than the archive may hold", destination.string());

  for (const std::string& top : kenshin::platform::list_folder(destination.string())) {
    std::string top_folder = (destination / top).string();
    for (const char* name : {"DATA", "CLAIMS"}) {
      if (auto sub = kenshin::platform::find_sub_folder(top_folder, name)) {
        kenshin::intake::document_names(kenshin::platform::list_folder(*sub));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& dir = folder();
  fs::path archive = dir / "archive.zip", destination = dir / "out";
  {
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::create_directory(destination);
  kenshin::platform::unpack_zip(archive.string(), destination.string(), kLimits);
  check_unpacked(destination);

  kenshin::platform::remove_folder_tree(destination.string());
  if (fs::exists(fs::symlink_status(destination))) broken("not removed", destination.string());
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path() != archive) broken("written outside the destination", entry.path().string());
  }
  return 0;
}
