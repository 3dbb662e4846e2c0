// Text helpers shared by every rule: lengths in UTF-16 code units, the number
// readings of a text, and a few comparisons. Texts are UTF-8 throughout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kenshin::base {

// Number of UTF-16 code units of the text (a character outside the BMP counts
// 2): the length of to_utf16(text).
int64_t text_length(std::string_view text);

// Exact, case-sensitive comparison; no trimming.
bool text_equals(std::string_view a, std::string_view b);

// The decimal number a text holds: optional blanks (space, tab) around an
// optional sign, digits, and optionally a point followed by digits. Anything
// else, the empty text included, is not a number (nullopt).
std::optional<double> numeric_value(std::string_view text);

// numeric_value rounded to the nearest integer, halves to the even neighbour;
// nullopt when the text is not a number or the result leaves the 16-bit
// (whole_number) or 32-bit (long_whole_number) signed range.
std::optional<int16_t> whole_number(std::string_view text);
std::optional<int32_t> long_whole_number(std::string_view text);

// Rounds halves to even; the rounding every amount and code conversion uses.
double round_half_even(double value);

// The character at the start of a UTF-8 text: its code point and its length
// in bytes. Length 0 when the text is empty or does not start with a
// well-formed character (a stray or missing continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF).
struct CodePoint {
  char32_t value = 0;
  size_t length = 0;
};
CodePoint first_code_point(std::string_view utf8);

// UTF-16 views of a text, for rules that count positions in code units. Each
// byte that does not begin a well-formed character becomes one U+FFFD.
std::u16string to_utf16(std::string_view utf8);
std::string from_utf16(std::u16string_view utf16);

// The last n code units of the text (the whole text when it is shorter), and
// the code units [first, first + count) of it (1-based, clipped to the text).
std::u16string last_units(std::u16string_view text, size_t n);
std::u16string mid_units(std::u16string_view text, size_t first, size_t count);

bool equals_ignoring_ascii_case(std::string_view a, std::string_view b);

// The text with ASCII letters in lower case; other bytes as they are.
std::string lower_ascii(std::string_view text);

// Three-way comparison of the bytes with ASCII letters folded to lower case:
// negative, zero or positive.
int compare_ignoring_ascii_case(std::string_view a, std::string_view b);

// The non-empty names between the '/' of a path, in order.
std::vector<std::string_view> path_components(std::string_view path);

// What follows the last '/' of a path (the whole path when it has none).
std::string last_component(std::string_view path);

// Orders names ignoring ASCII case; names equal that way are ordered by their bytes.
bool name_less(std::string_view a, std::string_view b);

}  // namespace kenshin::base
