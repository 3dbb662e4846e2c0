#include "app/cli_text.h"

#include <gtest/gtest.h>

namespace kenshin::app {
namespace {

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
    EXPECT_EQ(language_for(c.lc_all, c.lc_messages, c.lang), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::app
