#include "base/text.h"

#include <gtest/gtest.h>

namespace kenshin::base {
namespace {

TEST(NumericValue, ReadsOnlyPlainDecimals) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  } cases[] = {
      {"1", 1},      {"02", 2},      {" 1.5\t", 1.5},  {"-3", -3},       {"+4.25", 4.25},
      {"", {}},      {" ", {}},      {"1.", {}},       {".5", {}},       {"1e3", {}},
      {"1,000", {}}, {"１", {}},     {"1 2", {}},      {"- 1", {}},      {"12a", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(numeric_value(c.text), c.expected) << "'" << c.text << "'";
}

TEST(WholeNumber, RoundsHalvesToEvenWithinRange) {
  struct Case {
    const char* text;
    std::optional<int16_t> whole;
    std::optional<int32_t> long_whole;
  } cases[] = {
      {"2.5", 2, 2},          {"3.5", 4, 4},           {"-2.5", -2, -2},          {"-0.5", 0, 0},
      {"32767", 32767, 32767}, {"32767.5", {}, 32768}, {"-32769", {}, -32769},    {"2147483648", {}, {}},
      {"99999999999999999999999", {}, {}},             {"x", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(whole_number(c.text), c.whole) << c.text;
    EXPECT_EQ(long_whole_number(c.text), c.long_whole) << c.text;
  }
}

TEST(Utf16, CountsAndSlicesByCodeUnits) {
  EXPECT_EQ(text_length("ケンシン　タロウ"), 8);
  EXPECT_EQ(text_length("𠮷野"), 3);  // a character outside the BMP counts 2
  std::u16string text = to_utf16("ab𠮷cd");
  EXPECT_EQ(from_utf16(last_units(text, 3)), "\xEF\xBF\xBD" "cd");  // half a pair is not kept
  EXPECT_EQ(from_utf16(mid_units(text, 3, 2)), "𠮷");
  EXPECT_EQ(from_utf16(mid_units(text, 6, 5)), "d");
  EXPECT_EQ(from_utf16(mid_units(text, 7, 1)), "");
}

// One reading of UTF-8 serves the lengths, the UTF-16 views and the code page
// conversion: each byte that does not begin a well-formed character is one
// U+FFFD, and the length is that of the view.
TEST(Utf16, ReadsMalformedBytesAsOneReplacementEach) {
  struct Case {
    const char* text;
    std::u16string units;
  } cases[] = {
      {"a\x80" "b", u"a\uFFFDb"},             // stray continuation byte
      {"\xC3", u"\uFFFD"},                    // cut off
      {"\xE3\x81" "a", u"\uFFFD\uFFFDa"},      // continuation missing
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong '/'
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xC3\xA9\xF0\xA0\xAE\xB7", u"\u00E9\U00020BB7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(to_utf16(c.text), c.units) << c.text;
    EXPECT_EQ(text_length(c.text), static_cast<int64_t>(c.units.size())) << c.text;
  }
}

TEST(NameOrder, IgnoresAsciiCaseThenBytes) {
  EXPECT_TRUE(name_less("a.xml", "B.xml"));
  EXPECT_TRUE(name_less("A.xml", "a.xml"));
  EXPECT_FALSE(name_less("a.xml", "A.xml"));
  EXPECT_TRUE(name_less("h1.xml", "h1.xml0"));
}

}  // namespace
}  // namespace kenshin::base
