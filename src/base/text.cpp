#include "base/text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kenshin::base {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <typename Int>
std::optional<Int> rounded_in_range(std::string_view text) {
  std::optional<double> v = numeric_value(text);
  if (!v) return std::nullopt;
  double r = round_half_even(*v);
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}

}  // namespace

CodePoint first_code_point(std::string_view utf8) {
  if (utf8.empty()) return {};
  auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  const size_t length = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || utf8.size() < length) return {};
  char32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    code = code << 6 | (byte(i) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

int64_t text_length(std::string_view text) {
  int64_t units = 0;
  while (!text.empty()) {
    const CodePoint c = first_code_point(text);
    units += c.value >= 0x10000 ? 2 : 1;
    text.remove_prefix(c.length == 0 ? 1 : c.length);
  }
  return units;
}

bool text_equals(std::string_view a, std::string_view b) { return a == b; }

std::optional<double> numeric_value(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  std::string_view number = text.substr(begin, end - begin);

  size_t i = 0;
  if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
  size_t digits = 0;
  while (i < number.size() && is_digit(number[i])) ++i, ++digits;
  if (digits == 0) return std::nullopt;
  if (i < number.size() && number[i] == '.') {
    ++i;
    size_t fraction = 0;
    while (i < number.size() && is_digit(number[i])) ++i, ++fraction;
    if (fraction == 0) return std::nullopt;
  }
  if (i != number.size()) return std::nullopt;

  // from_chars takes no leading '+'.
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) {
    return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::infinity();
  }
  if (ec != std::errc() || ptr != number.data() + number.size()) return std::nullopt;
  return value;
}

double round_half_even(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<int16_t> whole_number(std::string_view text) { return rounded_in_range<int16_t>(text); }
std::optional<int32_t> long_whole_number(std::string_view text) { return rounded_in_range<int32_t>(text); }

std::u16string to_utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const CodePoint c = first_code_point(utf8);
    utf8.remove_prefix(c.length == 0 ? 1 : c.length);
    char32_t cp = c.length == 0 ? U'\uFFFD' : c.value;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string from_utf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // half of a pair cut off at the edge of a slice
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string last_units(std::u16string_view text, size_t n) {
  return std::u16string(text.size() <= n ? text : text.substr(text.size() - n));
}

std::u16string mid_units(std::u16string_view text, size_t first, size_t count) {
  if (first == 0 || first > text.size()) return {};
  return std::u16string(text.substr(first - 1, count));
}

bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
  }
  return true;
}

std::vector<std::string_view> path_components(std::string_view path) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find('/', start), path.size());
    if (end > start) out.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string last_component(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower_ascii(c);
  return out;
}

int compare_ignoring_ascii_case(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(lower_ascii(a[i]));
    unsigned char y = static_cast<unsigned char>(lower_ascii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool name_less(std::string_view a, std::string_view b) {
  if (int c = compare_ignoring_ascii_case(a, b); c != 0) return c < 0;
  return a < b;
}

}  // namespace kenshin::base
