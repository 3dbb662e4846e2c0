#include <gtest/gtest.h>

#include <filesystem>

#include "support/check_kit.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {
namespace {

// Asks to stop once the run has reached a given step.
class StoppingPlatform : public FakePlatform {
 public:
  using FakePlatform::FakePlatform;
  void read_progress(int k, int n) override { steps.push_back("read " + std::to_string(k) + "/" + std::to_string(n)); }
  void pair_progress(int k, int n) override { steps.push_back("pair " + std::to_string(k) + "/" + std::to_string(n)); }
  bool stop_requested() override { return !steps.empty() && steps.back() == stop_at; }

  std::string stop_at;
  std::vector<std::string> steps;
};

// Three pairs whose first has a finding, so that a stop at the second pair
// meets a report already begun.
Archive three_pairs() {
  Archive archive;
  archive.add_pair(XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"), XmlDoc::claims(), 1);
  for (int n = 2; n <= 3; ++n) archive.add_pair(XmlDoc::data(), XmlDoc::claims(), n);
  return archive;
}

TEST(Stop, EndsTheRunWithNoReport) {
  struct Case {
    const char* name;
    std::string stop_at;
    std::vector<std::string> steps;
  } cases[] = {
      {"while reading the archive", "read 2/6", {"read 0/6", "read 1/6", "read 2/6"}},
      {"between pairs", "pair 2/3",
       {"read 0/6", "read 1/6", "read 2/6", "read 3/6", "read 4/6", "read 5/6", "read 6/6", "pair 1/3",
        "pair 2/3"}},
  };
  for (const Case& c : cases) {
    TempDir folder;
    const std::string desktop = folder.path() + "/desktop";
    fs::create_directories(desktop);
    write_file(desktop + "/ERR.txt", "last run\r\n");
    const std::string archive = folder.path() + "/" + kArchiveName;
    StoppingPlatform platform(desktop, archive);
    platform.stop_at = c.stop_at;
    CheckResult r = check_with(three_pairs(), platform, archive);
    EXPECT_EQ(r.result.outcome, RunOutcome::kStopped) << c.name;
    EXPECT_EQ(platform.steps, c.steps) << c.name;
    EXPECT_TRUE(r.shown.empty()) << c.name;
    // This run's report was never put in place: the last run's report stays whole.
    EXPECT_EQ(r.lines, std::vector<std::string>{"last run"}) << c.name;
    EXPECT_EQ(r.desktop, std::vector<std::string>{"ERR.txt"}) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::testkit
