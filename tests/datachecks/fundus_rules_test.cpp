#include <deque>

#include "datachecks/item_cases.h"

namespace kenshin::testkit {
namespace {

struct Grading {
  const char* name;
  std::string code;
  int highest_code;
  std::string no_code;
  std::string out_of_range;
};

// In the order the rules run: Wong-Mitchell before modified Davis.
const Grading kGradings[] = {
    {"Keith-Wagener", "9E100166000000011", 6, "　眼底検査（キースワグナー分類）のコードがありません",
     "　眼底検査（キースワグナー分類）に１～６以外のコードが入っています"},
    {"Scheie H", "9E100166100000011", 5, "　眼底検査（シェイエ分類：Ｈ）のコードがありません",
     "　眼底検査（シェイエ分類：Ｈ）に１～５以外のコードが入っています"},
    {"Scheie S", "9E100166200000011", 5, "　眼底検査（シェイエ分類：Ｓ）のコードがありません",
     "　眼底検査（シェイエ分類：Ｓ）に１～５以外のコードが入っています"},
    {"Scott", "9E100166300000011", 9, "　眼底検査（SCOTT分類)のコードがありません",
     "　眼底検査（SCOTT分類)に１～９以外のコードが入っています"},
    {"Wong-Mitchell", "9E100166600000011", 4, "　眼底検査（Wong-Mitchell分類）のコードがありません",
     "　眼底検査（Wong-Mitchell分類）に１～４以外のコードが入っています"},
    {"modified Davis", "9E100166500000011", 4, "　眼底検査（改変Davis分類）のコードがありません",
     "　眼底検査（改変Davis分類）に１～４以外のコードが入っています"},
};

// The fixture holds all six gradings nested in the fundus group, in range.
TEST(FundusRules, EachGradingsCodes) {
  std::deque<std::string> names;  // the cases point into it
  auto named = [&](const Grading& g, const char* what) {
    return names.emplace_back(std::string(g.name) + what).c_str();
  };
  std::vector<DataCase> cases;
  for (const Grading& g : kGradings) {
    std::string code = value_code(g.code);
    std::string highest = std::to_string(g.highest_code), beyond = std::to_string(g.highest_code + 1);
    cases.push_back({named(g, ", at its highest code"), {set_to(code, highest)}, {}});
    cases.push_back({named(g, ", one beyond"), {set_to(code, beyond)}, {g.out_of_range}});
    cases.push_back({named(g, ", code 0"), {set_to(code, "0")}, {g.out_of_range}});
    cases.push_back({named(g, ", without code"), {removed(code)}, {g.no_code}});
    cases.push_back({named(g, ", absent"), {omitted(g.code)}, {}});
  }
  expect_findings(cases);
}

TEST(FundusRules, FormsAndOrder) {
  const Grading& keith = kGradings[0];
  const Grading& scheie_h = kGradings[1];
  std::vector<Edit> all_beyond;
  std::vector<std::string> all_messages;
  for (const Grading& g : kGradings) {
    all_beyond.push_back(set_to(value_code(g.code), std::to_string(g.highest_code + 1)));
    all_messages.push_back(g.out_of_range);
  }
  expect_findings({
      {"none of the six",
       {omitted(kGradings[0].code), omitted(kGradings[1].code), omitted(kGradings[2].code), omitted(kGradings[3].code),
        omitted(kGradings[4].code), omitted(kGradings[5].code)},
       {}},
      {"all six beyond their codes", all_beyond, all_messages},
      {"Keith-Wagener empty code", {set_to(value_code(keith.code), "")}, {keith.out_of_range}},
      {"Keith-Wagener negated, code 7", {negated(keith.code), set_to(value_code(keith.code), "7")}, {}},
      {"Keith-Wagener negated as TRUE, code 7",
       {negated(keith.code, "TRUE"), set_to(value_code(keith.code), "7")},
       {keith.out_of_range}},
      {"Scheie H null flavor", {null_flavor(scheie_h.code)}, {}},
      {"Keith-Wagener with negationInd false, code 7",
       {negated(keith.code, "false"), set_to(value_code(keith.code), "7")},
       {keith.out_of_range}},
      {"Keith-Wagener only direct, code 7",
       {omitted(keith.code), placed(keith.code, Place::kCheckupSection, coded("7"))},
       {keith.out_of_range}},
      {"Keith-Wagener nested 2, direct 9", {placed(keith.code, Place::kCheckupSection, coded("9"))}, {}},
      {"Keith-Wagener nested negated, direct 9 not negated",
       {negated(keith.code), placed(keith.code, Place::kCheckupSection, coded("9"))},
       {}},
      {"Keith-Wagener nested 9, direct 2",
       {set_to(value_code(keith.code), "9"), placed(keith.code, Place::kCheckupSection, coded("2"))},
       {keith.out_of_range}},
      {"Scheie H only direct, without code or negationInd",
       {omitted(scheie_h.code), placed(scheie_h.code, Place::kCheckupSection, "<value/>")},
       {scheie_h.no_code}},
      {"Scheie H only in another section, code 9",
       {omitted(scheie_h.code), placed(scheie_h.code, Place::kOtherSection, coded("9"))},
       {scheie_h.out_of_range}},
  });
}

}  // namespace
}  // namespace kenshin::testkit
