#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// Optional here, and silent when not performed; the detailed-checkup and
// home-prefecture rules require it in their own cases. 1 = findings present.
constexpr CodedItem kEcg{"9A110160700000011",
                         2,
                         {},
                         {},
                         "　心電図（所見の有無）のコードがありません",
                         "　心電図（所見の有無）に１、２以外のコードが入っています",
                         Lookup::kNestedFirst};
// With findings present, the findings text must stand in the same form as the result.
constexpr Companion kEcgFindings{"9A110160800000049",
                                 "　心電図（所見の有無）のコード１（所見あり）に対して、心電図（所見）がありません",
                                 kValueElementSuffix};

// Test strip read by machine, then by eye; codes 1 to 5, from negative to 3+.
constexpr CodedMethod kUrineSugar[] = {
    {"1A020000000191111", "　尿糖（試験紙法（機械読み取り））のコードがありません",
     "　尿糖（試験紙法（機械読み取り））に１～５以外のコードが入っています"},
    {"1A020000000190111", "　尿糖（試験紙法（目視法））のコードがありません",
     "　尿糖（試験紙法（目視法））に１～５以外のコードが入っています"},
};
constexpr CodedMethod kUrineProtein[] = {
    {"1A010000000191111", "　尿蛋白（試験紙法（機械読み取り））のコードがありません",
     "　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています"},
    {"1A010000000190111", "　尿蛋白（試験紙法（目視法））のコードがありません",
     "　尿蛋白（試験紙法（目視法））に１～５以外のコードが入っています"},
};
constexpr std::array<CodedMethodGroup, 2> kUrineGroups{{
    {kUrineSugar, 5, "　尿糖がありません", "　尿糖が未実施です"},
    {kUrineProtein, 5, "　尿蛋白がありません", "　尿蛋白が未実施です"},
}};

// The urine groups are checked for male examinees (sex code 1) only.
constexpr int kSexMale = 1;

}  // namespace

void ecg_urine_items(DataCheck& check) {
  check_companion(check, kEcgFindings, check_coded_item(check, kEcg));
  if (check.sex_code != kSexMale) return;
  for (const CodedMethodGroup& group : kUrineGroups) check_coded_method_group(check, group);
}

}  // namespace kenshin::datachecks
