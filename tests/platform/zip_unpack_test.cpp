#include "platform/zip_unpack.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/zip_writer.h"

namespace kenshin::platform {
namespace {

namespace fs = std::filesystem;
using namespace kenshin::testkit;

std::string read_file(const fs::path& path) {
  return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

long items_below(const fs::path& folder) { return std::distance(fs::recursive_directory_iterator(folder), {}); }

struct UnpackTest : ::testing::Test {
  void SetUp() override { fs::create_directories(dest_); }
  void TearDown() override { fs::remove_all(root_); }
  UnpackResult unpack(const UnpackLimits& limits = {}) { return unpack_zip(archive_, dest_.string(), limits); }

  fs::path root_ = fs::temp_directory_path() / ("zip_unpack_test." + std::to_string(getpid()));
  fs::path dest_ = root_ / "work" / "dest";
  std::string archive_ = (root_ / "archive.zip").string();
};

TEST_F(UnpackTest, ExtractsEveryEntryBelowTheDestination) {
  std::string content("<a>\r\n</a>\r\n\0\x1A", 13);
  for (int i = 0; content.size() < 300'000; ++i) content += std::to_string(i);  // several read buffers
  write_zip(archive_, {{"健診\\DATA\\a.xml", content, ZipEntry::kFile, true},
                       {"健診/EMPTY/", "", ZipEntry::kDirectory},
                       {"\x83\x5C\x83\x74\x83\x67\\\x95\x5C\\\x94\x5C\x97\xCD.txt", "x"}});  // ソフト\表\能力.txt
  ASSERT_EQ(unpack_zip(archive_, dest_.string()), 0);
  EXPECT_EQ(read_file(dest_ / "健診/DATA/a.xml"), content);
  EXPECT_EQ(read_file(dest_ / "ソフト/表/能力.txt"), "x");  // decoded before splitting: ソ and 表 end in 0x5C
  EXPECT_EQ(items_below(dest_), 7);                         // and the folders 健診, DATA, EMPTY, ソフト, 表
}

TEST_F(UnpackTest, RefusesUnsafeDamagedOrOversizedArchivesBeforeWritingAnything) {
  std::vector<std::pair<ZipEntry, UnpackResult>> cases = {
      {{"/absolute", "x"}, UnpackResult::kUnsafeEntry},
      {{"\\absolute", "x"}, UnpackResult::kUnsafeEntry},
      {{"C:\\drive", "x"}, UnpackResult::kUnsafeEntry},
      {{"a/../../parent", "x"}, UnpackResult::kUnsafeEntry},
      {{"link", "/etc/passwd", ZipEntry::kSymlink}, UnpackResult::kUnsafeEntry},
      {{"device", "", ZipEntry::kFile, false, S_IFCHR | 0644}, UnpackResult::kUnsafeEntry},
      {{"neither UTF-8 nor code page 932 \x80", "x"}, UnpackResult::kUndecodableName},
  };
  if (can_write_encrypted_entries())
    cases.push_back({{"encrypted", "s", ZipEntry::kFile, false, 0, true}, UnpackResult::kEncrypted});
  for (const auto& [bad, expected] : cases) {
    write_zip(archive_, {{"first/ok.txt", "ok"}, bad});
    EXPECT_EQ(unpack(), expected) << bad.raw_name;
    EXPECT_EQ(items_below(root_ / "work"), 1) << bad.raw_name;  // the empty destination
  }
  write_zip(archive_, {{"first/ok.txt", "ok"}, {"b", "b"}});
  EXPECT_EQ(unpack({1, 3}), UnpackResult::kTooManyEntries);
  EXPECT_EQ(unpack({2, 2}), UnpackResult::kTooLarge);
  write_truncated_copy(archive_, archive_ + ".part");
  std::ofstream(archive_ + ".xml") << "<xml/>\r\n";
  for (const std::string& path : {archive_ + ".missing", archive_ + ".part", archive_ + ".xml"})
    EXPECT_EQ(unpack_zip(path, dest_.string(), {}), UnpackResult::kCannotOpen) << path;
  EXPECT_EQ(unpack({2, 3}), UnpackResult::kOk) << "at both limits";
}

TEST_F(UnpackTest, StopsAtTheDeclaredSizeAndOnAFullDisk) {
  write_zip(archive_, {{"bomb", std::string(300'000, 'x')}});
  std::string bytes = read_file(archive_);  // understate the size in the local and the central header
  for (size_t at : {size_t{22}, bytes.find("PK\x01\x02") + 24}) bytes.replace(at, 4, "\xE8\x03\0\0", 4);
  std::ofstream(archive_, std::ios::binary) << bytes;
  EXPECT_EQ(unpack(), UnpackResult::kTooLarge);
  EXPECT_LE(fs::file_size(dest_ / "bomb"), 1000u);
  fs::create_symlink("/dev/full", dest_ / "full.bin");  // writes fail as on a full disk, even for root
  write_zip(archive_, {{"full.bin", std::string(100'000, 'f')}});
  long descriptors = items_below("/proc/self/fd");
  EXPECT_EQ(unpack(), UnpackResult::kWriteError);
  EXPECT_EQ(items_below("/proc/self/fd"), descriptors);
}

}  // namespace
}  // namespace kenshin::platform
