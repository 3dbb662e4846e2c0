#include "base/edition.h"

#include <gtest/gtest.h>

namespace kenshin::base {
namespace {

using namespace std::chrono;

// A moment given as UTC.
system_clock::time_point utc(int y, unsigned m, unsigned d, int hour) {
  return sys_days{year{y} / month{m} / day{d}} + hours(hour);
}

// The run's fiscal year: asked for, or that of the run's moment in Japan,
// whatever the machine's clock says; the 2018 edition checks 2018 alone.
TEST(Edition, TheRunsFiscalYearTurnsOnAprilFirstInJapan) {
  const auto last_second_of_march = utc(2027, 3, 31, 14) + minutes(59) + seconds(59);
  const auto first_second_of_april = utc(2027, 3, 31, 15);
  struct Case {
    const char* name;
    Edition edition;
    std::optional<int> asked;
    system_clock::time_point now;
    int fiscal_year;
  } cases[] = {
      {"March 31 23:59:59 in Japan", Edition::k2024, std::nullopt, last_second_of_march, 2026},
      {"April 1 00:00 in Japan (still March 31 in UTC)", Edition::k2024, std::nullopt, first_second_of_april, 2027},
      {"April 1 in UTC, 08:59 in Japan", Edition::k2024, std::nullopt, utc(2027, 4, 1, 0), 2027},
      {"January", Edition::k2024, std::nullopt, utc(2027, 1, 10, 3), 2026},
      {"December 31 in UTC, New Year in Japan", Edition::k2024, std::nullopt, utc(2026, 12, 31, 20), 2026},
      {"asked for 2026 on April 1", Edition::k2024, 2026, first_second_of_april, 2026},
      {"asked for 2028 in March", Edition::k2024, 2028, last_second_of_march, 2028},
      {"2018 on April 1", Edition::k2018, std::nullopt, first_second_of_april, 2018},
  };
  for (const Case& c : cases) EXPECT_EQ(run_fiscal_year(c.edition, c.asked, c.now), c.fiscal_year) << c.name;
}

TEST(Edition, EraYearsWithFullWidthDigits) {
  EXPECT_EQ(era_year(2018), "平成３０");
  EXPECT_EQ(era_year(2019), "令和元");
  EXPECT_EQ(era_year(2026), "令和８");
  EXPECT_EQ(era_year(2030), "令和１２");
}

TEST(Edition, OnlyTheTwoEditionsAreNamed) {
  EXPECT_EQ(parse_edition("2018"), Edition::k2018);
  EXPECT_EQ(parse_edition("2024"), Edition::k2024);
  for (const char* other : {"", "2019", "24", " 2024", "2024x"}) EXPECT_EQ(parse_edition(other), std::nullopt) << other;
}

}  // namespace
}  // namespace kenshin::base
