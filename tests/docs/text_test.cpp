#include "docs/text.h"

#include <gtest/gtest.h>

#include <optional>

namespace kenshin::docs {
namespace {

TEST(NumericValue, ReadsOnlyPlainDecimals) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  } cases[] = {
      {"1", 1},       {"02", 2},      {" 1.5\t", 1.5}, {"-3", -3},   {"+4.25", 4.25}, {"", std::nullopt},
      {" ", std::nullopt}, {"1.", std::nullopt}, {".5", std::nullopt}, {"1e3", std::nullopt},
      {"1,000", std::nullopt}, {"１", std::nullopt}, {"1 2", std::nullopt}, {"- 1", std::nullopt},
      {"0x10", std::nullopt}, {"abc", std::nullopt}, {"12a", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(numeric_value(c.text), c.expected) << "'" << c.text << "'";
}

TEST(WholeNumber, RoundsHalvesToEvenWithinRange) {
  struct Case {
    const char* text;
    std::optional<int16_t> whole;
    std::optional<int32_t> long_whole;
  } cases[] = {
      {"2.5", 2, 2},
      {"3.5", 4, 4},
      {"1.4", 1, 1},
      {"-2.5", -2, -2},
      {"-0.5", 0, 0},
      {"32767", 32767, 32767},
      {"32767.5", std::nullopt, 32768},
      {"-32768", -32768, -32768},
      {"-32769", std::nullopt, -32769},
      {"2147483647", std::nullopt, 2147483647},
      {"2147483648", std::nullopt, std::nullopt},
      {"99999999999999999999999", std::nullopt, std::nullopt},
      {"x", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(whole_number(c.text), c.whole) << c.text;
    EXPECT_EQ(long_whole_number(c.text), c.long_whole) << c.text;
  }
}

TEST(TextLength, CountsUtf16CodeUnits) {
  EXPECT_EQ(text_length(""), 0);
  EXPECT_EQ(text_length("123-4567"), 8);
  EXPECT_EQ(text_length("ケンシン　タロウ"), 8);
  EXPECT_EQ(text_length("𠮷野"), 3);  // a character outside the BMP counts 2
}

TEST(Utf16, SlicesByCodeUnits) {
  std::u16string text = to_utf16("ab𠮷cd");
  EXPECT_EQ(text.size(), 6u);
  EXPECT_EQ(from_utf16(last_units(text, 3)), "\xEF\xBF\xBD" "cd");  // half a pair is not kept
  EXPECT_EQ(from_utf16(mid_units(text, 3, 2)), "𠮷");
  EXPECT_EQ(from_utf16(mid_units(text, 6, 5)), "d");
  EXPECT_EQ(from_utf16(mid_units(text, 7, 1)), "");
  EXPECT_EQ(from_utf16(to_utf16("東湖県")), "東湖県");
}

TEST(NameOrder, IgnoresAsciiCaseThenBytes) {
  EXPECT_TRUE(name_less("a.xml", "B.xml"));
  EXPECT_TRUE(name_less("A.xml", "a.xml"));
  EXPECT_FALSE(name_less("a.xml", "A.xml"));
  EXPECT_TRUE(name_less("h1.xml", "h1.xml0"));
  EXPECT_FALSE(name_less("b", "A"));
}

}  // namespace
}  // namespace kenshin::docs
