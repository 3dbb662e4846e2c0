#include "app/cli_text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

using app::Language;

TEST(CliText, TheFirstLocaleVariableSetDecidesTheLanguage) {
  struct Case {
    const char* name;
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    Language expected;
  } cases[] = {
      {"nothing set", nullptr, nullptr, nullptr, Language::kEnglish},
      {"LANG Japanese", nullptr, nullptr, "ja_JP.UTF-8", Language::kJapanese},
      {"LANG bare ja", nullptr, nullptr, "ja", Language::kJapanese},
      {"LANG with modifier", nullptr, nullptr, "ja@euro", Language::kJapanese},
      {"LANG with code set only", nullptr, nullptr, "ja.eucJP", Language::kJapanese},
      {"LANG English", nullptr, nullptr, "en_US.UTF-8", Language::kEnglish},
      {"LANG C", nullptr, nullptr, "C", Language::kEnglish},
      {"another language starting with ja", nullptr, nullptr, "jam_JM", Language::kEnglish},
      {"LC_MESSAGES over LANG", nullptr, "C", "ja_JP.UTF-8", Language::kEnglish},
      {"LC_MESSAGES Japanese", nullptr, "ja_JP.UTF-8", "C.UTF-8", Language::kJapanese},
      {"LC_ALL over both", "C", "ja_JP.UTF-8", "ja_JP.UTF-8", Language::kEnglish},
      {"LC_ALL Japanese", "ja_JP.UTF-8", "en_GB.UTF-8", "C", Language::kJapanese},
      {"empty LC_ALL is unset", "", nullptr, "ja_JP.UTF-8", Language::kJapanese},
      {"empty LC_MESSAGES is unset", nullptr, "", "ja_JP.UTF-8", Language::kJapanese},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::language_for(c.lc_all, c.lc_messages, c.lang), c.expected) << c.name;
  }
}

// The first line of stderr: the message without the usage that follows it.
std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(CliText, UsageErrorsSpeakTheLanguageOfTheLocale) {
  TempDir dir;
  const std::string archive = dir.path() + "/none.zip";
  const std::string ja = "LC_ALL=ja_JP.UTF-8";
  struct Case {
    const char* name;
    std::vector<std::string> env;
    std::vector<std::string> args;
    std::string line;
    std::string usage;  // how the usage that follows begins
  } cases[] = {
      {"unknown option", {ja}, {"--fast", archive}, "kenshin-check: --fast は未知のオプションです", "使い方: "},
      {"no archive", {ja}, {"-q"}, "kenshin-check: ZIPファイルが指定されていません", "使い方: "},
      {"no such archive", {ja}, {archive}, "kenshin-check: ZIPファイルがありません: " + archive, "使い方: "},
      {"archive is a folder", {ja}, {dir.path()}, "kenshin-check: " + dir.path() + ": フォルダです", "使い方: "},
      {"edition", {ja}, {"--edition", "2021", archive}, "kenshin-check: その版はありません: 2021（2018 か 2024）",
       "使い方: "},
      {"fiscal year",
       {ja},
       {"--edition=2024", "--fiscal-year=26", archive},
       "kenshin-check: その年度はありません: 26（2024 以降の4桁の数字）",
       "使い方: "},
      {"LANG Japanese", {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"}, {"-q"}, "kenshin-check: ZIPファイルが指定されていません", "使い方: "},
      {"LC_MESSAGES Japanese", {"LC_ALL=", "LC_MESSAGES=ja_JP.UTF-8", "LANG=C"}, {"-q"},
       "kenshin-check: ZIPファイルが指定されていません", "使い方: "},
      {"English locale", {"LC_ALL=en_US.UTF-8"}, {"--fast", archive}, "kenshin-check: unknown option --fast", "usage: "},
      {"C locale", {}, {archive}, "kenshin-check: no such archive file: " + archive, "usage: "},
  };
  for (const Case& c : cases) {
    CliResult r = run_cli(c.args, "", c.env);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(first_line(r.err), c.line) << c.name;
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1, c.usage.size()), c.usage) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
  }
}

}  // namespace
}  // namespace kenshin::testkit
