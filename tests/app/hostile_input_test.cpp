// Hostile archives and a hostile or failing machine, run through the command
// line: every case ends with a whole report or the earlier one untouched,
// nothing of the archive written anywhere, and the exit status and message
// the case calls for.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/stop_request.h"
#include "report/report.h"
#include "support/check_kit.h"
#include "support/folders_on_disk.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {
namespace {

const std::string kEarlierReport = "earlier report\r\n";

// The data document `content` as the only document under DATA, beside the complete claims document.
Archive archive_with_data(const std::string& content) {
  Archive archive;
  archive.add("DATA/" + Archive::data_name(1), content);
  archive.add("CLAIMS/" + Archive::claims_name(1), XmlDoc::claims().text());
  return archive;
}

// The data fixture with a document type declaration in front of its root element.
std::string data_with_doctype(const std::string& declarations, const std::string& from, const std::string& to) {
  std::string text = XmlDoc::data().text();
  size_t at = text.find(from);
  if (at == std::string::npos) ADD_FAILURE() << from;
  text.replace(at, from.size(), to);
  text.insert(text.find("<ClinicalDocument"), "<!DOCTYPE ClinicalDocument [" + declarations + "]>\r\n");
  return text;
}

// What the report says when the data document cannot be loaded: its line, then
// the claims document checked against a data document that yielded nothing.
std::vector<std::string> data_load_failure() {
  return {Archive::data_name(1) + "の読込に失敗しました",
          "",
          "　保険者番号()　受診券整理番号()",
          "○決済情報　" + Archive::claims_name(1),
          "　データファイルと決済情報ファイルの受診券整理番号が違います",
          "　データファイルと決済情報ファイルの受診者名が違います"};
}

// A valid data document padded with comments to exactly `size` bytes.
std::string data_of_size(size_t size) {
  std::string text = XmlDoc::data().text();
  const std::string comment = "<!--" + std::string(1000, ' ') + "-->\r\n";
  while (size - text.size() > 2 * comment.size()) text += comment;
  text += "<!--" + std::string(size - text.size() - 7, ' ') + "-->";
  return text;
}

// Pairs whose documents are one byte each: every pair adds two load-failure lines.
Archive many_unreadable_pairs(int count) {
  Archive archive;
  for (int n = 1; n <= count; ++n) {
    archive.add("DATA/" + Archive::data_name(n), "x");
    archive.add("CLAIMS/" + Archive::claims_name(n), "x");
  }
  return archive;
}

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::string* folder : {&desktop_, &tmp_, &cwd_}) fs::create_directories(*folder);
  }
  std::string report_path() const { return desktop_ + "/ERR.txt"; }

  // Nothing of the archive under $TMPDIR, and no unfinished report on the desktop.
  void expect_nothing_left(const std::string& name) {
    EXPECT_EQ(list_folder(tmp_), std::vector<std::string>{}) << name;
    for (const std::string& entry : list_folder(desktop_)) EXPECT_EQ(entry, "ERR.txt") << name;
  }

  TempDir dir_;
  std::string desktop_ = dir_.path() + "/desktop";
  std::string tmp_ = dir_.path() + "/tmp";  // $TMPDIR of the runs
  std::string cwd_ = dir_.path() + "/cwd";  // their working directory
};

struct Case {
  const char* name;
  std::function<Archive()> archive;
  std::function<void(const std::string& desktop)> prepare;  // may be empty
  long file_size_limit = -1;
  int status;
  std::vector<std::string> report;  // empty: the earlier ERR.txt must stay byte for byte
  std::string err;                  // pattern; {DESKTOP} stands for the desktop folder
  std::vector<std::string> options = {};
};

TEST_F(HostileInput, EndsWithAWholeReportOrTheEarlierOneUntouched) {
  const std::string kBomb = std::string(50'000, 'A');
  std::string refs;
  for (int i = 0; i < 20'000; ++i) refs += "&e;";

  auto bomb = [&] {
    return archive_with_data(data_with_doctype("<!ENTITY e \"" + kBomb + "\">", "code=\"9N001000000000001\"",
                                               "code=\"" + refs + "\""));
  };
  std::vector<std::string> bomb_with_schema = data_load_failure();
  for (const std::string& line : {std::string(""), std::string("【スキーマ検証（本プログラム同梱のスキーマ）】"),
                           "　DATA/" + Archive::data_name(1) + " はXMLとして正しくないため検証できません（ファイルを読み込めません）"}) {
    bomb_with_schema.push_back(line);
  }

  Case cases[] = {
      {"one long entity referred to 20000 times in a code attribute", bomb, {}, -1, 1, data_load_failure(), ""},
      {"the same under schema validation", bomb, {}, -1, 1, bomb_with_schema, "", {"--schema"}},
      {"nested entities that would grow to a gigabyte in element text",
       [] {
         std::string decl = "<!ENTITY l0 \"" + std::string(100, 'x') + "\">";
         for (int i = 1; i <= 6; ++i) {
           decl += "<!ENTITY l" + std::to_string(i) + " \"" ;
           for (int j = 0; j < 20; ++j) decl += "&l" + std::to_string(i - 1) + ";";
           decl += "\">";
         }
         return archive_with_data(data_with_doctype(decl, "</ClinicalDocument>", "<a>&l6;</a></ClinicalDocument>"));
       },
       {}, -1, 1, data_load_failure(), ""},
      {"an entity within the budget still counts as the code it spells",
       [] { return archive_with_data(data_with_doctype("<!ENTITY height \"9N001000000000001\">",
                                                       "code=\"9N001000000000001\"", "code=\"&height;\"")); },
       {}, -1, 0, {kNoError}, ""},
      {"a document one byte under 16 MiB is checked",
       [] { return archive_with_data(data_of_size((16u << 20) - 1)); }, {}, -1, 0, {kNoError}, ""},
      {"a document of exactly 16 MiB is checked",
       [] { return archive_with_data(data_of_size(16u << 20)); }, {}, -1, 0, {kNoError}, ""},
      {"a document one byte over 16 MiB fails to load",
       [] { return archive_with_data(data_of_size((16u << 20) + 1)); }, {}, -1, 1, data_load_failure(), ""},
      {"four million empty elements in 16 MiB",
       [] {
         std::string body((16u << 20) - 8, ' ');  // with the root element just within the size ceiling
         for (size_t i = 0; i + 4 <= body.size(); i += 4) body.replace(i, 4, "<a/>");
         return archive_with_data("<r>" + body + "</r>");
       },
       {}, -1, 1, data_load_failure(), ""},
      {"one element with a hundred thousand attributes",
       [] {
         std::string tag = "<r";
         for (int i = 0; i < 100'000; ++i) tag += " a" + std::to_string(i) + "=''";
         return archive_with_data(tag + "/>");
       },
       {}, -1, 1, data_load_failure(), ""},
      {"a damaged archive is still an unpacking failure",
       [] {
         Archive archive = complete_archive();
         archive.entries.front().raw_name = "../escape.xml";
         return archive;
       },
       {}, -1, 1, {"ＺＩＰファイルの展開に失敗しました"}, ""},
      {"a link named ERR.txt is replaced, its target left alone",
       [] { return complete_archive(); },
       [](const std::string& desktop) {
         fs::remove(desktop + "/ERR.txt");
         write_file(desktop + "/../target.txt", "target\n");
         fs::create_symlink("../target.txt", desktop + "/ERR.txt");
       },
       -1, 0, {kNoError}, ""},
      {"a folder named ERR.txt: the run fails and the folder stays",
       [] { return complete_archive(); },
       [](const std::string& desktop) {
         fs::remove(desktop + "/ERR.txt");
         fs::create_directory(desktop + "/ERR.txt");
       },
       -1, 3, {}, "kenshin-check: エラーレポートを書き込めません: {DESKTOP}/ERR.txt (Is a directory)\n"},
      {"a full desktop keeps the earlier report",
       [] { return many_unreadable_pairs(100); }, {}, 4096, 3, {},
       "kenshin-check: エラーレポートを書き込めません: {DESKTOP}/ERR.txt (File too large)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    std::string desktop = folder.path() + "/desktop", tmp = folder.path() + "/tmp", cwd = folder.path() + "/cwd";
    for (const std::string& made : {desktop, tmp, cwd}) fs::create_directories(made);
    write_file(desktop + "/ERR.txt", kEarlierReport);
    if (c.prepare) c.prepare(desktop);
    std::string archive_path = folder.path() + "/" + kArchiveName;
    write_zip(archive_path, c.archive().entries);

    std::vector<std::string> args = c.options;
    for (const std::string& arg : {std::string("--quiet"), std::string("--desktop"), desktop, archive_path}) args.push_back(arg);
    CliResult r = CliProcess(args, CliLaunch{cwd, {"TMPDIR=" + tmp}, c.file_size_limit}).wait();

    EXPECT_EQ(r.status, c.status) << r.err;
    std::string err = c.err;
    for (size_t at = err.find("{DESKTOP}"); at != std::string::npos; at = err.find("{DESKTOP}")) {
      err.replace(at, std::strlen("{DESKTOP}"), desktop);
    }
    EXPECT_EQ(r.err, err);
    if (c.report.empty()) {
      if (fs::is_regular_file(desktop + "/ERR.txt")) {
        EXPECT_EQ(read_file(desktop + "/ERR.txt"), kEarlierReport);
      }
    } else {
      EXPECT_FALSE(fs::is_symlink(desktop + "/ERR.txt"));
      EXPECT_EQ(report::read_report_lines(desktop + "/ERR.txt"), c.report);
    }
    if (fs::exists(folder.path() + "/target.txt")) {
      EXPECT_EQ(read_file(folder.path() + "/target.txt"), "target\n");
    }
    EXPECT_EQ(list_folder(desktop), std::vector<std::string>{"ERR.txt"});
    EXPECT_EQ(list_folder(tmp), std::vector<std::string>{});
    EXPECT_EQ(list_folder(cwd), std::vector<std::string>{});
  }
}

// Polls until the run holds a file open in the desktop folder: its report,
// begun (with or without a name).
bool wait_for_report_begun(const CliProcess& cli, const std::string& desktop) {
  const std::string fds = "/proc/" + std::to_string(cli.pid()) + "/fd";
  for (int i = 0; i < 5000; ++i) {
    std::error_code ec;
    for (const fs::directory_entry& fd : fs::directory_iterator(fds, ec)) {
      std::string target = fs::read_symlink(fd.path(), ec).string();
      if (target.rfind(desktop + "/", 0) == 0 && target != desktop + "/ERR.txt") return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST_F(HostileInput, ASignalEndsTheRunWithNothingOfTheArchiveOnDisk) {
  // A finding in the first pair begins the report; enough pairs follow that
  // the run is still going when the signal arrives.
  Archive archive;
  archive.add_pair(XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"), XmlDoc::claims(), 1);
  std::string data = XmlDoc::data().text(), claims = XmlDoc::claims().text();
  for (int n = 2; n <= 2000; ++n) {
    archive.add("DATA/" + Archive::data_name(n), data);
    archive.add("CLAIMS/" + Archive::claims_name(n), claims);
  }
  std::string archive_path = dir_.path() + "/" + kArchiveName;
  write_zip(archive_path, archive.entries);

  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(strsignal(signal_number));
    write_file(report_path(), kEarlierReport);
    CliProcess cli({"--desktop", desktop_, archive_path}, CliLaunch{cwd_, {"TMPDIR=" + tmp_}});
    ASSERT_TRUE(wait_for_report_begun(cli, desktop_));
    cli.signal(signal_number);
    CliResult r = cli.wait();
    EXPECT_EQ(read_file(report_path()), kEarlierReport);
    EXPECT_EQ(list_folder(tmp_), std::vector<std::string>{});
    EXPECT_EQ(list_folder(cwd_), std::vector<std::string>{});
    EXPECT_EQ(list_folder(dir_.path()), (std::vector<std::string>{kArchiveName, "cwd", "desktop", "tmp"}));
    if (signal_number == SIGKILL) {
      EXPECT_EQ(r.status, -1);
      // The begun report had no name, so nothing of it stays; where the file
      // system cannot make unnamed files, its name stays until the next run.
      int probe = ::open(desktop_.c_str(), O_TMPFILE | O_WRONLY, 0600);
      EXPECT_EQ(list_folder(desktop_).size(), probe >= 0 ? 1u : 2u);
      if (probe >= 0) ::close(probe);
    } else {
      EXPECT_EQ(r.status, 128 + signal_number);
      EXPECT_EQ(r.err, "チェックを中断しました\n");
      EXPECT_EQ(r.out, "");
      expect_nothing_left(strsignal(signal_number));
    }
  }
}

// Records the run's steps and asks, through its hook, to stop at one of them.
class StoppingPlatform : public FakePlatform {
 public:
  using FakePlatform::FakePlatform;
  void read_progress(int k, int n) override { steps.push_back("read " + std::to_string(k) + "/" + std::to_string(n)); }
  void pair_progress(int k, int n) override { steps.push_back("pair " + std::to_string(k) + "/" + std::to_string(n)); }
  bool stop_requested() override { return !steps.empty() && steps.back() == stop_at; }

  std::string stop_at;
  std::vector<std::string> steps;
};

// Further checks that find nothing and, when asked, request a stop as the
// signal handlers do once the pairs are through.
class StopAfterPairs : public FurtherChecks {
 public:
  explicit StopAfterPairs(bool stop) : stop_(stop) {}
  bool wants_parse_reports() const override { return false; }
  void start(const RunState&, platform::ZipArchive&) override {}
  void read_pair(const RunState&, int, const docs::LoadedPair&) override {}
  bool finish(RunState&) override {
    if (stop_) platform::request_stop(SIGTERM);
    return false;
  }
  void close() override {}

 private:
  bool stop_;
};

TEST_F(HostileInput, AStopIsTakenAtTheNextSafePoint) {
  const std::vector<std::string> reading = {"read 0/6", "read 1/6", "read 2/6", "read 3/6",
                                            "read 4/6", "read 5/6", "read 6/6"};
  std::vector<std::string> all_pairs = reading;
  for (const char* step : {"pair 1/3", "pair 2/3", "pair 3/3"}) all_pairs.push_back(step);
  struct StopCase {
    const char* name;
    std::string stop_at;  // empty: a stop request after the pairs
    std::vector<std::string> steps;
  } cases[] = {
      {"while reading the archive", "read 2/6", {reading.begin(), reading.begin() + 3}},
      {"between pairs, after the report has been begun", "pair 2/3", {all_pairs.begin(), all_pairs.end() - 1}},
      {"after the pairs, before the report is put in place", "", all_pairs},
  };
  std::string archive_path = dir_.path() + "/" + kArchiveName;
  write_zip(archive_path, many_unreadable_pairs(3).entries);
  // A stop request holds for the rest of the process: each case runs in a child process of its own.
  auto stopped_run_leaves_earlier_report = [&](const StopCase& c) {
    write_file(report_path(), kEarlierReport);
    StoppingPlatform platform(desktop_, archive_path);
    platform.stop_at = c.stop_at;
    RunState run;
    StopAfterPairs after_pairs(c.stop_at.empty());
    RunResult result = run_check(run, platform, &after_pairs);
    for (const std::string& step : platform.steps) std::fprintf(stderr, "%s\n", step.c_str());
    return result.outcome == RunOutcome::kStopped && platform.steps == c.steps && platform.shown.empty() &&
           read_file(report_path()) == kEarlierReport && list_folder(desktop_) == std::vector<std::string>{"ERR.txt"};
  };
  for (const StopCase& c : cases) {
    EXPECT_EXIT(std::_Exit(stopped_run_leaves_earlier_report(c) ? 0 : 1), ::testing::ExitedWithCode(0), "") << c.name;
  }
}

void set_age(const std::string& path, int seconds) {
  timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= seconds;
  times[1] = times[0];
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

TEST_F(HostileInput, AReportAKilledRunLeftIsRemovedAtTheStart) {
  std::string archive_path = dir_.path() + "/" + kArchiveName;
  write_zip(archive_path, complete_archive().entries);
  // Unfinished reports beside ERR.txt: one a killed run left, one a running run holds.
  const std::string left_report = desktop_ + "/.ERR.txt.0badf00d.tmp", busy_report = desktop_ + "/.ERR.txt.00c0ffee.tmp";
  write_file(left_report, "examinee names");
  write_file(busy_report, "examinee names");
  set_age(left_report, 3600);
  set_age(busy_report, 3600);
  int busy_report_lock = ::open(busy_report.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(busy_report_lock, LOCK_EX), 0);

  CliResult r = run_cli({"--quiet", "--desktop", desktop_, archive_path}, "", {"TMPDIR=" + tmp_});
  ::close(busy_report_lock);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(left_report));
  EXPECT_TRUE(fs::exists(busy_report));
}

TEST_F(HostileInput, TwoRunsAtOnceEachLeaveAWholeReport) {
  std::string clean = dir_.path() + "/" + kArchiveName;
  write_zip(clean, complete_archive().entries);
  std::string unreadable = dir_.path() + "/other/" + kArchiveName;
  fs::create_directories(dir_.path() + "/other");
  write_zip(unreadable, many_unreadable_pairs(300).entries);

  std::vector<std::string> unreadable_report;
  for (int n = 1; n <= 300; ++n) {
    unreadable_report.push_back(Archive::data_name(n) + "の読込に失敗しました");
    unreadable_report.push_back(Archive::claims_name(n) + "の読込に失敗しました");
  }
  for (int round = 0; round < 5; ++round) {
    CliProcess first({"--quiet", "--desktop", desktop_, unreadable}, CliLaunch{"", {"TMPDIR=" + tmp_}});
    CliProcess second({"--quiet", "--desktop", desktop_, clean}, CliLaunch{"", {"TMPDIR=" + tmp_}});
    EXPECT_EQ(first.wait().status, 1);
    EXPECT_EQ(second.wait().status, 0);
    std::vector<std::string> lines = report::read_report_lines(report_path());
    EXPECT_TRUE(lines == std::vector<std::string>{kNoError} || lines == unreadable_report) << lines.size();
    expect_nothing_left("round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace kenshin::testkit
