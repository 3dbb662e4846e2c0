#include "base/edition.h"

namespace kenshin::base {

namespace {

std::string full_width_digits(int value) {
  static constexpr const char* kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  std::string digits = std::to_string(value), out;
  for (char c : digits) out += kDigits[c - '0'];
  return out;
}

}  // namespace

std::optional<Edition> parse_edition(std::string_view text) {
  if (text == "2018") return Edition::k2018;
  if (text == "2024") return Edition::k2024;
  return std::nullopt;
}

int fiscal_year_in_japan(std::chrono::system_clock::time_point now) {
  using namespace std::chrono;
  year_month_day date{floor<days>(now + hours(9))};
  int year = static_cast<int>(date.year());
  return date.month() >= April ? year : year - 1;
}

int run_fiscal_year(Edition edition, std::optional<int> asked, std::chrono::system_clock::time_point now) {
  if (edition == Edition::k2018) return kEdition2018Year;
  return asked ? *asked : fiscal_year_in_japan(now);
}

// Fiscal years begin in April, after the era changes of 1989 and 2019, so
// one era names a whole fiscal year.
std::string era_year(int year) {
  if (year >= 2019) return year == 2019 ? "令和元" : "令和" + full_width_digits(year - 2018);
  return year == 1989 ? "平成元" : "平成" + full_width_digits(year - 1988);
}

}  // namespace kenshin::base
