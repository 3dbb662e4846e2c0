#include "platform/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "support/check_kit.h"

namespace kenshin::platform {
namespace {

using namespace kenshin::testkit;

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

struct ZipArchiveTest : ::testing::Test {
  ArchiveResult open(const std::vector<ZipEntry>& entries, const ArchiveLimits& limits = {}) {
    write_zip(path_, entries);
    return archive_.open(path_, limits);
  }
  // The archive with the sizes of its only entry understated as 1000 bytes,
  // in the local and the central header.
  void understate_size() {
    std::string bytes = read_file(path_);
    for (size_t at : {size_t{22}, bytes.find("PK\x01\x02") + 24}) bytes.replace(at, 4, "\xE8\x03\0\0", 4);
    std::ofstream(path_, std::ios::binary) << bytes;
  }

  TempDir dir_;
  std::string path_ = dir_.path() + "/archive.zip";
  ZipArchive archive_;
};

TEST_F(ZipArchiveTest, EntriesFormOneTreeWithFoldersMergedIgnoringCase) {
  std::string content("<a>\r\n</a>\r\n\0\x1A", 13);
  for (int i = 0; content.size() < 300'000; ++i) content += std::to_string(i);  // several read buffers
  ASSERT_EQ(open({{"健診\\DATA\\a.xml", content, ZipEntry::kFile, true},
                  {"健診/data/b.xml", "b"},
                  {"健診/Data/A.xml", "A"},
                  {"健診/data/sub.xml/", "", ZipEntry::kDirectory},
                  {"健診/EMPTY/", "", ZipEntry::kDirectory},
                  {"健診/DATA/b.xml", "b again"},
                  {"\x83\x5C\x83\x74\x83\x67\\\x95\x5C\\\x94\x5C\x97\xCD.txt", "x"}}),
            ArchiveResult::kOk);
  EXPECT_EQ(sorted(archive_.list_folder("")), (std::vector<std::string>{"ソフト", "健診"}));
  EXPECT_EQ(sorted(archive_.list_folder("健診")), (std::vector<std::string>{"DATA", "EMPTY"}));
  EXPECT_EQ(sorted(archive_.list_folder("健診/data")),
            (std::vector<std::string>{"A.xml", "a.xml", "b.xml", "sub.xml"}));
  EXPECT_EQ(archive_.folder_path("健診/dAtA"), "健診/DATA");
  EXPECT_EQ(archive_.folder_path("健診/DATA/a.xml"), std::nullopt);
  EXPECT_TRUE(archive_.is_file("健診/data/A.xml"));
  EXPECT_FALSE(archive_.is_file("健診/data/sub.xml"));

  ZipReader reader(archive_);
  struct Case {
    const char* path;
    std::optional<std::string> content;
  } cases[] = {
      {"健診/DATA/a.xml", content},
      {"健診/data/A.xml", "A"},
      {"健診/Data/b.xml", "b again"},  // the later of two entries of one name, as unpacking leaves it
      {"ソフト/表/能力.txt", "x"},     // decoded before splitting: ソ and 表 end in 0x5C
      {"健診/data/sub.xml", std::nullopt},
      {"健診/data/B.XML", std::nullopt},  // file names keep their case
      {"健診/missing.xml", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<std::string_view> read = reader.read(c.path, 1 << 20);
    EXPECT_EQ(read ? std::optional<std::string>(*read) : std::nullopt, c.content) << c.path;
  }
  EXPECT_EQ(reader.read("健診/DATA/a.xml", content.size() - 1), std::nullopt) << "over the size it may have";
  EXPECT_EQ(archive_.check_unread_files(), ArchiveResult::kOk);
}

TEST_F(ZipArchiveTest, RefusesUnsafeOrOversizedArchivesAsAWhole) {
  std::vector<std::pair<ZipEntry, ArchiveResult>> cases = {
      {{"/absolute", "x"}, ArchiveResult::kUnsafeEntry},
      {{"\\absolute", "x"}, ArchiveResult::kUnsafeEntry},
      {{"C:\\drive", "x"}, ArchiveResult::kUnsafeEntry},
      {{"a/../../parent", "x"}, ArchiveResult::kUnsafeEntry},
      {{"link", "/etc/passwd", ZipEntry::kSymlink}, ArchiveResult::kUnsafeEntry},
      {{"device", "", ZipEntry::kFile, false, S_IFCHR | 0644}, ArchiveResult::kUnsafeEntry},
      {{"neither UTF-8 nor code page 932 \x80", "x"}, ArchiveResult::kUndecodableName},
      {{"FIRST/ok.txt/inner", "x"}, ArchiveResult::kConflictingNames},
  };
  if (can_write_encrypted_entries())
    cases.push_back({{"encrypted", "s", ZipEntry::kFile, false, 0, true}, ArchiveResult::kEncrypted});
  for (const auto& [bad, expected] : cases) {
    EXPECT_EQ(open({{"first/ok.txt", "ok"}, bad}), expected) << bad.raw_name;
    EXPECT_FALSE(archive_.folder_path("first")) << bad.raw_name;
  }
  write_zip(path_, {{"first/ok.txt", "ok"}, {"b", "b"}});
  EXPECT_EQ(archive_.open(path_, {1, 3}), ArchiveResult::kTooManyEntries);
  EXPECT_EQ(archive_.open(path_, {2, 2}), ArchiveResult::kTooLarge);
  write_truncated_copy(path_, path_ + ".part");
  write_file(path_ + ".xml", "<xml/>\r\n");
  for (const std::string& path : {path_ + ".missing", path_ + ".part", path_ + ".xml", dir_.path()})
    EXPECT_EQ(archive_.open(path), ArchiveResult::kCannotOpen) << path;
  EXPECT_EQ(archive_.open(path_, {2, 3}), ArchiveResult::kOk) << "at both limits";
}

TEST_F(ZipArchiveTest, DamagedDataIsFoundWhenItIsRead) {
  ASSERT_EQ(open({{"bomb", std::string(300'000, 'x')}}), ArchiveResult::kOk);
  understate_size();
  ASSERT_EQ(archive_.open(path_), ArchiveResult::kOk) << "the directory alone looks sound";
  EXPECT_THROW(ZipReader(archive_).read("bomb", 1 << 20), DamagedArchive);
  EXPECT_EQ(archive_.check_unread_files(), ArchiveResult::kReadError);

  ASSERT_EQ(open({{"a", std::string(1000, 'a')}, {"b", std::string(1000, 'b')}}), ArchiveResult::kOk);
  damage_entry(path_, "a");
  ASSERT_EQ(archive_.open(path_), ArchiveResult::kOk);
  ZipReader reader(archive_);
  EXPECT_EQ(reader.read("b", 1 << 20), std::string(1000, 'b'));
  EXPECT_THROW(reader.read("a", 1 << 20), DamagedArchive);
  EXPECT_EQ(archive_.check_unread_files(), ArchiveResult::kReadError);
}

}  // namespace
}  // namespace kenshin::platform
