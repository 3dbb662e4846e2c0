#include "platform/zip_unpack.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "support/zip_writer.h"

namespace kenshin::platform {
namespace {

namespace fs = std::filesystem;
using kenshin::testing::write_zip;
using kenshin::testing::ZipEntry;
using Tree = std::map<std::string, std::string>;  // relative path (folders end in /) -> content

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

Tree tree_of(const fs::path& folder) {
  Tree tree;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(item.path(), folder).generic_string();
    tree[item.is_directory() ? name + "/" : name] =
        item.is_directory() ? "" : read_file(item.path());
  }
  return tree;
}

long open_descriptor_count() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

class UnpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zip_unpack_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(dest_ = root_ / "work" / "dest");
    archive_ = (root_ / "archive.zip").string();
  }
  void TearDown() override { fs::remove_all(root_); }

  UnpackResult unpack(const UnpackLimits& limits = {}) {
    return unpack_zip(archive_, dest_.string(), limits);
  }
  // Nothing may appear next to the destination or the archive, nor any descriptor stay open.
  void expect_nothing_left(long descriptors_before, const std::string& row) {
    EXPECT_EQ(tree_of(root_ / "work"), (Tree{{"dest/", ""}})) << row;
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2) << row;
    EXPECT_EQ(open_descriptor_count(), descriptors_before) << row;
  }

  fs::path root_, dest_;
  std::string archive_;
};

TEST_F(UnpackTest, ExtractsEveryEntryBelowTheDestination) {
  std::string big;
  for (unsigned i = 0; big.size() < 300'000; i = i * 1103515245 + 12345) big += char(i >> 16);
  const struct {
    const char* name;
    std::vector<ZipEntry> entries;
    Tree expected;
  } cases[] = {
      {"nested folders, CR LF and binary content",
       {{"top/DATA/a.xml", "<a>\r\n</a>\r\n"},
        {"top/b.bin", std::string("\0\r\n\x1A\xFF", 5)},
        {"top/big.bin", big},
        {"empty", "", ZipEntry::kDirectory}},
       {{"empty/", ""},
        {"top/", ""},
        {"top/DATA/", ""},
        {"top/DATA/a.xml", "<a>\r\n</a>\r\n"},
        {"top/b.bin", std::string("\0\r\n\x1A\xFF", 5)},
        {"top/big.bin", big}}},
      {"backslash separators",
       {{"top\\DATA\\a.xml", "x"}, {"top\\EMPTY\\", ""}},
       {{"top/", ""}, {"top/DATA/", ""}, {"top/DATA/a.xml", "x"}, {"top/EMPTY/", ""}}},
      {"code page 932 names whose second bytes are 0x5C",
       {{"\x83\x5C\x83\x74\x83\x67\\\x95\x5C\\\x94\x5C\x97\xCD.txt", "x"}, {"\x95\x5C..\\y", "y"}},
       {{"ソフト/", ""},
        {"ソフト/表/", ""},
        {"ソフト/表/能力.txt", "x"},
        {"表../", ""},
        {"表../y", "y"}}},
      {"UTF-8 names",
       {{"健診/データ.xml", "d", ZipEntry::kFile, true}, {"健診/請求.xml", "c"}},
       {{"健診/", ""}, {"健診/データ.xml", "d"}, {"健診/請求.xml", "c"}}},
      {"dot and empty components, colon after the first folder",
       {{"./a//./b.txt", "b"}, {"a/c:d", "c"}, {"./", "", ZipEntry::kDirectory}},
       {{"a/", ""}, {"a/b.txt", "b"}, {"a/c:d", "c"}}},
  };
  for (const auto& c : cases) {
    fs::remove_all(dest_);
    fs::create_directory(dest_);
    write_zip(archive_, c.entries);
    EXPECT_EQ(unpack_zip(archive_, dest_.string()), 0) << c.name;
    EXPECT_EQ(tree_of(dest_), c.expected) << c.name;
  }
}

TEST_F(UnpackTest, OverwritesFilesAndIgnoresStoredModes) {
  write_file(dest_ / "a.txt", "an older and longer content");
  write_zip(archive_, {{"a.txt", "new", ZipEntry::kFile, false, S_IFREG | 04777},
                       {"d", "", ZipEntry::kDirectory, false, S_IFDIR | 0700}});
  ASSERT_EQ(unpack(), UnpackResult::kOk);
  EXPECT_EQ(read_file(dest_ / "a.txt"), "new");
  mode_t mask = umask(0);
  umask(mask);
  auto permissions = [](const fs::path& p) { return unsigned(fs::status(p).permissions()); };
  EXPECT_EQ(permissions(dest_ / "a.txt"), 0644u & ~mask);
  EXPECT_EQ(permissions(dest_ / "d"), 0755u & ~mask);
}

TEST_F(UnpackTest, RefusesTheWholeArchiveBeforeWritingAnything) {
  const struct {
    const char* name;
    ZipEntry bad;
    UnpackResult expected;
  } cases[] = {
      {"absolute", {"/x", "x"}, UnpackResult::kUnsafeEntry},
      {"absolute with backslash", {"\\x", "x"}, UnpackResult::kUnsafeEntry},
      {"drive letter", {"C:\\x", "x"}, UnpackResult::kUnsafeEntry},
      {"drive-relative", {"C:x", "x"}, UnpackResult::kUnsafeEntry},
      {"parent", {"../x", "x"}, UnpackResult::kUnsafeEntry},
      {"parent below a folder", {"a/../../x", "x"}, UnpackResult::kUnsafeEntry},
      {"parent with backslashes", {"a\\..\\x", "x"}, UnpackResult::kUnsafeEntry},
      {"parent folder entry", {"..", "", ZipEntry::kDirectory}, UnpackResult::kUnsafeEntry},
      {"symbolic link", {"link", "/etc/passwd", ZipEntry::kSymlink}, UnpackResult::kUnsafeEntry},
      {"fifo", {"fifo", "", ZipEntry::kFile, false, S_IFIFO | 0644}, UnpackResult::kUnsafeEntry},
      {"device", {"dev", "", ZipEntry::kFile, false, S_IFCHR | 0644}, UnpackResult::kUnsafeEntry},
      {"neither UTF-8 nor code page 932", {"a\x80.txt", "x"}, UnpackResult::kUndecodableName},
  };
  for (const auto& c : cases) {
    write_zip(archive_, {{"first/ok.txt", "ok"}, c.bad});
    long descriptors = open_descriptor_count();
    EXPECT_EQ(unpack(), c.expected) << c.name;
    expect_nothing_left(descriptors, c.name);
  }
}

TEST_F(UnpackTest, RefusesEncryptedEntries) {
  if (!kenshin::testing::can_write_encrypted_entries()) GTEST_SKIP() << "libzip cannot encrypt";
  write_zip(archive_, {{"ok.txt", "ok"}, {"secret.txt", "s", ZipEntry::kFile, false, 0, true}});
  EXPECT_EQ(unpack(), UnpackResult::kEncrypted);
  EXPECT_EQ(tree_of(dest_), Tree{});
}

TEST_F(UnpackTest, EnforcesEntryCountAndDeclaredSize) {
  const struct {
    const char* name;
    UnpackLimits limits;
    UnpackResult expected;
  } cases[] = {
      {"count at the limit", {3, 1800}, UnpackResult::kOk},
      {"one entry too many", {2, 1800}, UnpackResult::kTooManyEntries},
      {"one byte too many", {3, 1799}, UnpackResult::kTooLarge},
  };
  write_zip(
      archive_,
      {{"a", std::string(600, 'a')}, {"b", std::string(600, 'b')}, {"c", std::string(600, 'c')}});
  for (const auto& c : cases) {
    fs::remove_all(dest_);
    fs::create_directory(dest_);
    EXPECT_EQ(unpack(c.limits), c.expected) << c.name;
    EXPECT_EQ(tree_of(dest_).size(), c.expected == UnpackResult::kOk ? 3u : 0u) << c.name;
  }
}

TEST_F(UnpackTest, StopsAnEntryLongerThanItsHeaderDeclares) {
  write_zip(archive_, {{"bomb", std::string(300'000, 'x')}});
  // Understate the uncompressed size in the local and the central header.
  std::string bytes = read_file(archive_);
  for (size_t at : {size_t{22}, bytes.find("PK\x01\x02") + 24})
    bytes.replace(at, 4, "\xE8\x03\0\0", 4);
  write_file(archive_, bytes);
  EXPECT_EQ(unpack(), UnpackResult::kTooLarge);
  EXPECT_LE(fs::file_size(dest_ / "bomb"), 1000u);
}

TEST_F(UnpackTest, FailsOnDamagedOrMissingArchives) {
  auto corrupt = [](const std::string& path) {
    write_zip(path, {{"a.txt", "checkup data", ZipEntry::kFile, false, 0, false, true}});
    std::string bytes = read_file(path);
    bytes[bytes.find("checkup data")] = 'C';
    write_file(path, bytes);
  };
  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
    UnpackResult expected;
  } cases[] = {
      {"missing", [](const std::string&) {}, UnpackResult::kCannotOpen},
      {"empty file", [](const std::string& p) { write_file(p, ""); }, UnpackResult::kCannotOpen},
      {"not a zip", [](const std::string& p) { write_file(p, "<xml/>\r\n"); },
       UnpackResult::kCannotOpen},
      {"truncated",
       [](const std::string& p) {
         write_zip(p + ".whole", {{"a.txt", std::string(5000, 'a')}});
         kenshin::testing::write_truncated_copy(p + ".whole", p);
         fs::remove(p + ".whole");
       },
       UnpackResult::kCannotOpen},
      {"CRC mismatch", corrupt, UnpackResult::kReadError},
  };
  for (const auto& c : cases) {
    fs::remove(archive_);
    c.make(archive_);
    long descriptors = open_descriptor_count();
    EXPECT_NE(unpack_zip(archive_, dest_.string()), 0) << c.name;
    EXPECT_EQ(unpack(), c.expected) << c.name;
    EXPECT_EQ(open_descriptor_count(), descriptors) << c.name;
  }
}

TEST_F(UnpackTest, FailsWhenOutputCannotBeWritten) {
  write_file(root_ / "work" / "plain", "");
  struct Case {
    const char* name;
    fs::path destination;
    std::vector<ZipEntry> entries;
  };
  std::vector<Case> cases = {
      {"folder below a file", root_ / "work" / "plain", {{"a/b.txt", "b"}}},
      {"file below a file", root_ / "work" / "plain", {{"b.txt", "b"}}},
      {"archive file where a folder is needed", dest_, {{"a", "a"}, {"a/b.txt", "b"}}},
  };
  // Writing through a link to /dev/full fails as a full disk does, even for root.
  if (fs::is_character_file("/dev/full")) {
    fs::create_symlink("/dev/full", dest_ / "full.bin");
    cases.push_back({"disk full", dest_, {{"full.bin", std::string(100'000, 'f')}}});
  }
  for (const auto& c : cases) {
    write_zip(archive_, c.entries);
    long descriptors = open_descriptor_count();
    EXPECT_EQ(unpack_zip(archive_, c.destination.string(), {}), UnpackResult::kWriteError)
        << c.name;
    EXPECT_EQ(open_descriptor_count(), descriptors) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::platform
