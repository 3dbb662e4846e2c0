#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

// The options a text mentions: "-q", "--fiscal-year", … Manual pages write a
// hyphen as "\-".
std::set<std::string> options_in(std::string text) {
  for (size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) text.erase(at, 1);
  static const std::regex option(R"((?:^|[^A-Za-z0-9_-])(--?[A-Za-z][A-Za-z0-9-]*))");
  std::set<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) found.insert((*it)[1]);
  return found;
}

std::string help_in(const std::string& locale) {
  CliResult r = run_cli({"--help"}, "", {"LC_ALL=" + locale});
  EXPECT_EQ(r.status, 0) << locale;
  return r.out;
}

std::string page(const std::string& name) { return read_file(std::string(KENSHIN_PACKAGING_DIR) + "/" + name); }

TEST(HelpLanguages, TheJapaneseTextsMentionEveryOptionTheEnglishOnesDo) {
  const std::set<std::string> cli_options = {"--desktop", "-q",      "--quiet", "--edition", "--fiscal-year", "--schema",
                                             "--archive-checks", "--csv", "-h", "--help", "-V", "--version"};
  const std::set<std::string> gui_options = {"-h", "--help", "-v", "--version", "-platform"};
  struct Case {
    const char* name;
    std::string english;
    std::string japanese;
    const std::set<std::string>& options;  // at least these, so that a text that lost one fails too
  } cases[] = {
      {"help", help_in("C"), help_in("ja_JP.UTF-8"), cli_options},
      {"manual page", page("kenshin-check.1"), page("ja/kenshin-check.1"), cli_options},
      {"window's manual page", page("kenshin-check-gui.1"), page("ja/kenshin-check-gui.1"), gui_options},
  };
  for (const Case& c : cases) {
    EXPECT_NE(c.english, c.japanese) << c.name;
    const std::set<std::string> english = options_in(c.english), japanese = options_in(c.japanese);
    for (const std::string& option : c.options) EXPECT_EQ(english.count(option), 1u) << c.name << ": " << option;
    for (const std::string& option : english) {
      EXPECT_EQ(japanese.count(option), 1u) << c.name << ": the Japanese text lacks " << option;
    }
  }
}

}  // namespace
}  // namespace kenshin::testkit
