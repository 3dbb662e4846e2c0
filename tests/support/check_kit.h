// The test kit: fixture documents with small named mutations, archives built
// from them in a temporary folder, and a check run into a temporary desktop
// whose report comes back as decoded lines.
#pragma once

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "app/run_check.h"
#include "platform/platform.h"
#include "support/zip_writer.h"

namespace kenshin {

// A finding as test failures show it: every field, readable.
inline void PrintTo(const Finding& f, std::ostream* out) {
  *out << "{pair " << f.pair << ", " << kind_name(f.kind) << ", " << f.document << ", [" << f.examinee_name << "|"
       << f.insurer_number << "|" << f.ticket_number << "], " << f.rule_id << ", item " << f.item_code << ", value '"
       << f.value << "', line " << f.line << ", " << f.message << "}";
}

}  // namespace kenshin

namespace kenshin::testkit {

inline constexpr const char kArchiveName[] = "1311234567_95899071_201812060_1.zip";
inline constexpr const char kArchiveStem[] = "1311234567_95899071_201812060_1";
inline constexpr const char kNoError[] = "簡易チェックでのエラーはありません";

// A folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string read_fixture(const std::string& name);
std::string read_schema(const std::string& name);  // one of the national schemas the program ships
std::string read_file(const std::string& path);  // empty when it cannot be read
void write_file(const std::string& path, const std::string& content);

// A fixture document that tests edit through XPath (prefix `a` = the
// document's own namespace) before it goes into an archive.
class XmlDoc {
 public:
  explicit XmlDoc(const std::string& text);
  ~XmlDoc();
  XmlDoc(const XmlDoc& other);
  XmlDoc& operator=(const XmlDoc&) = delete;

  static XmlDoc data() { return XmlDoc(read_fixture("data-complete.xml")); }
  static XmlDoc claims() { return XmlDoc(read_fixture("claims-complete.xml")); }

  // Every edit fails the test (ADD_FAILURE) when its expression selects nothing.
  XmlDoc& remove(const std::string& xpath);                 // all selected nodes
  XmlDoc& set(const std::string& xpath, const std::string& value);  // attribute value or element text
  XmlDoc& set_attribute(const std::string& xpath, const std::string& name, const std::string& value);
  XmlDoc& append_xml(const std::string& parent_xpath, const std::string& fragment);  // as last children

  // The document as written by generators: UTF-8, CR LF.
  std::string text() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A settlement, index or summary document moved from the 2007 settlement
// namespace into another one.
XmlDoc in_settlement_namespace(const XmlDoc& doc, const std::string& ns);

// An archive laid out like a real submission: stem/DATA/*.xml, stem/CLAIMS/*.xml.
struct Archive {
  std::string name = kArchiveName;
  std::string top_folder = kArchiveStem;
  std::vector<ZipEntry> entries;

  Archive& add(const std::string& path_in_top, const std::string& content);
  Archive& add_pair(const XmlDoc& data, const XmlDoc& claims, int number = 1);
  static std::string data_name(int number);
  static std::string claims_name(int number);
};

// An archive with the two complete fixtures as its one pair.
Archive complete_archive();

// Writes an archive of `pairs` pairs at `path`, fast: the first pair's data
// document `first_data`, every other document a complete fixture.
void write_many_pairs(const std::string& path, int pairs, const XmlDoc& first_data);

// A platform for tests: a given archive (or a cancelled dialog), a desktop
// folder, and a record of what was shown.
class FakePlatform : public platform::Platform {
 public:
  FakePlatform(std::string desktop, std::optional<std::string> archive)
      : desktop_(std::move(desktop)), archive_(std::move(archive)) {}
  std::string desktop_folder() override { return desktop_; }
  std::optional<std::string> choose_archive() override { return archive_; }
  void show_report(const std::string& path) override { shown.push_back(path); }

  std::vector<std::string> shown;

 private:
  std::string desktop_;
  std::optional<std::string> archive_;
};

struct CheckResult {
  RunResult result;
  std::vector<std::string> lines;     // the report, decoded; empty when none was written
  std::vector<Finding> findings;      // the run's finding records
  std::string report_bytes;           // the report as written
};

// The run's edition and fiscal year.
struct EditionChoice {
  base::Edition edition = base::Edition::k2018;
  int fiscal_year = base::kEdition2018Year;
};

// Writes the archive into a temporary folder and checks it, with the further checks when given.
CheckResult check(const Archive& archive, EditionChoice choice = {}, FurtherChecks* further = nullptr);

// The examinee line of the record header of the complete data document.
inline std::string fixture_examinee_line() {
  return "ケンシン　ジロウ　保険者番号(06139998)　受診券整理番号(18100012345)";
}

// Runs the command-line program; returns exit status and its outputs.
struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};
// `env` holds NAME=value settings for the program only.
CliResult run_cli(const std::vector<std::string>& args, const std::string& cwd = "",
                  const std::vector<std::string>& env = {});

// The command-line program started in the background, for tests that act on
// it while it runs (send it a signal) or limit what it may write.
struct CliLaunch {
  std::string cwd;
  std::vector<std::string> env;  // NAME=value
  long file_size_limit = -1;     // bytes any one file may grow to; a write past it fails (EFBIG)
};
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const CliLaunch& launch);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;
  void signal(int signal_number) const;
  int pid() const { return pid_; }
  // Waits for the end. status is the exit status, or -1 when a signal ended the process.
  CliResult wait();

 private:
  TempDir capture_;
  int pid_ = -1;
};

}  // namespace kenshin::testkit
