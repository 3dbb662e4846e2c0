#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace kenshin::platform {
namespace {

std::string repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct Pair {
  const char* name;
  std::string utf8;
  std::string cp932;
};

TEST(Cp932Test, RoundTripsCharactersOfTheCodePage) {
  const Pair cases[] = {
      {"ascii with backslash", "DATA\\a.xml", "DATA\\a.xml"},
      {"fullwidth tilde", "～", "\x81\x60"},
      {"ideographic space", "　", "\x81\x40"},
      {"NEC circled digit", "①", "\x87\x40"},
      {"NEC roman numeral", "Ⅱ", "\x87\x55"},
      {"NEC parenthesised kabu", "㈱", "\x87\x8A"},
      {"IBM extension taka", "髙", "\xFB\xFC"},
      {"second bytes 0x5C", "ソフト能力表", "\x83\x5C\x83\x74\x83\x67\x94\x5C\x97\xCD\x95\x5C"},
      {"half-width katakana", "ｶﾅ", "\xB6\xC5"},
      {"longer than one conversion buffer", repeated("表", 2000), repeated("\x95\x5C", 2000)},
  };
  for (const Pair& c : cases) {
    EXPECT_EQ(utf8_to_cp932(c.utf8), c.cp932) << c.name;
    EXPECT_EQ(cp932_to_utf8(c.cp932), c.utf8) << c.name;
  }
}

TEST(Cp932Test, EncodesWhatItCanAndMarksTheRest) {
  const Pair cases[] = {
      {"wave dash as on Windows", "〜", "\x81\x60"},
      {"emoji between letters", "a😀b", "a?b"},
      {"hangul", "健한診", "\x8C\x92?\x90\x66"},
      {"stray continuation byte",
       "a\x80"
       "b",
       "a?b"},
      {"sequence cut at the end", "a\xE3\x81", "a??"},
      {"encoded surrogate",
       "\xED\xA0\x80"
       "x",
       "???x"},
  };
  for (const Pair& c : cases) EXPECT_EQ(utf8_to_cp932(c.utf8), c.cp932) << c.name;
}

TEST(Cp932Test, RefusesBytesOutsideTheCodePage) {
  for (const char* bytes : {"\x81", "a\x85\x40", "\x80", "a\xFF"}) {
    EXPECT_EQ(cp932_to_utf8(bytes), std::nullopt) << ::testing::PrintToString(bytes);
  }
}

TEST(Cp932Test, RecognisesWellFormedUtf8) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},
      {"abc", true},
      {"表", true},
      {"😀", true},
      {"\xC0\xAF", false},
      {"\xED\xA0\x80", false},
      {"\xF4\x90\x80\x80", false},
      {"\xF8\x90\x80\x80", false},
      {"\x95\x5C", false},
      {"\xE3\x81", false},
  };
  for (const auto& [bytes, valid] : cases) {
    EXPECT_EQ(is_valid_utf8(bytes), valid) << ::testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace kenshin::platform
