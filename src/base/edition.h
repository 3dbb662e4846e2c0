// The edition of the national electronic standard a run checks against, and
// the fiscal year whose claims it expects.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kenshin::base {

enum class Edition {
  k2018,  // the FY2018 rules, as the checker has always had them
  k2024,  // the FY2024 (第4期) standard
};

inline constexpr int kEdition2018Year = 2018;
inline constexpr int kFirstYear2024 = 2024;

// "2018" or "2024"; nullopt for anything else.
std::optional<Edition> parse_edition(std::string_view text);

// The fiscal year (April to March) of the given moment's date in Japan (UTC+9).
int fiscal_year_in_japan(std::chrono::system_clock::time_point now);

// The fiscal year a run checks: in the 2024 edition the one asked for, else
// the fiscal year of `now` in Japan; in the 2018 edition always 2018.
int run_fiscal_year(Edition edition, std::optional<int> asked, std::chrono::system_clock::time_point now);

// The year as a Japanese era year with full-width digits: 2018 → "平成３０",
// 2026 → "令和８", 2019 → "令和元".
std::string era_year(int year);

}  // namespace kenshin::base
