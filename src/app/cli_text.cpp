#include "app/cli_text.h"

#include <cstdlib>

namespace kenshin::app {

namespace {

bool names_japanese(std::string_view locale) {
  // "ja" alone or followed by its territory, code set or modifier.
  return locale.substr(0, 2) == "ja" && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.' || locale[2] == '@');
}

}  // namespace

Language language_for(const char* lc_all, const char* lc_messages, const char* lang) {
  for (const char* setting : {lc_all, lc_messages, lang}) {
    if (setting != nullptr && *setting != '\0') {
      return names_japanese(setting) ? Language::kJapanese : Language::kEnglish;
    }
  }
  return Language::kEnglish;
}

Language language_of_environment() {
  return language_for(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

std::string format(const Text& text, Language language, std::initializer_list<std::string_view> values) {
  std::string_view pattern = text.in(language);
  std::string out;
  const std::string_view* value = values.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 2, "{}") == 0 && value != values.end()) {
      out += *value++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace kenshin::app
