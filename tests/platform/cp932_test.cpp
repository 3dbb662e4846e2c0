#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace kenshin::platform {
namespace {

TEST(Cp932Test, EncodesAndDecodesTheCodePage) {
  const struct {
    const char* name;
    std::string utf8, cp932;
    const char* decoded = nullptr;  // when not `utf8` itself
  } cases[] = {
      {"fullwidth tilde, NEC and IBM extensions", "～①Ⅱ㈱髙", "\x81\x60\x87\x40\x87\x55\x87\x8A\xFB\xFC"},
      {"second bytes 0x5C beside a backslash", "ソ表\\", "\x83\x5C\x95\x5C\\"},
      {"longer than one conversion buffer", std::string(3000, 'a'), std::string(3000, 'a')},
      {"wave dash as on Windows", "〜", "\x81\x60", "～"},
      {"hangul between kanji", "健한診", "\x8C\x92?\x90\x66", "健?診"},
      {"sequence cut at the end", "a\xE3\x81", "a??", "a??"},
      {"overlong, surrogate, beyond U+10FFFF", "\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80x", "?????????x", "?????????x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8_to_cp932(c.utf8), c.cp932) << c.name;
    EXPECT_EQ(cp932_to_utf8(c.cp932), c.decoded ? c.decoded : c.utf8) << c.name;
  }
}

TEST(Cp932Test, RefusesBytesOutsideTheCodePage) {
  for (const char* bytes : {"\x81", "a\x85\x40", "\x80", "a\xFF"})
    EXPECT_EQ(cp932_to_utf8(bytes), std::nullopt) << ::testing::PrintToString(bytes);
}

}  // namespace
}  // namespace kenshin::platform
