// The item groups report in their fixed order, and nothing one document
// leaves behind reaches the next.
#include "datachecks/data_cases.h"

namespace kenshin::testkit {
namespace {

const std::string kLateElderly = "39589999";

// One fault in each group: γ-GT, glucose, judgement, ECG, urine, waist,
// guidance, fundus, detailed items, home prefecture.
TEST(ItemRuleOrder, EachGroupInItsPlace) {
  expect_findings({
      {"γ-GT to urine",
       {set_to(value_code(kProteinMachine), "7"), set_to(value_code(kEcg), "3"),
        omitted("9N736000000000011"), omitted("9N511000000000049"), omitted("3D046000001906202"),
        set_to(value_code("9N141000000000011"), "1"), omitted("3B090000002327101")},
       {"　γ-GT(γ-GTP)がありません",
        "　空腹時血糖のみで採血時間がある場合、採血時間は２（食後１０時間以上）である必要があります",
        "　医師の診断（判定）がありません", "　健康診断を実施した医師の氏名がありません", "　喫煙がありません",
        "　心電図（所見の有無）に１、２以外のコードが入っています",
        "　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています"}},
      {"urine to home prefecture",
       {insurer("00580001"), set_to(value_code(kProteinMachine), "7"), omitted(kMeasured),
        omitted("9N506000000000011"), set_to(value_code("9E100166300000011"), "10"), omitted("9A110161000000049")},
       {"　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています", "　腹囲がありません",
        "　保健指導レベルがありません", "　眼底検査（SCOTT分類)に１～９以外のコードが入っています",
        "　詳細検査の場合、心電図（実施理由）が必要です", "　尿潜血がありません", "　アルブミンがありません",
        "　ＢＵＮ（「その他の検査」）がありません", "　血清尿酸がありません"},
       line_with_insurer("00580001")},
  });
}

TEST(ItemRuleResets, SexCodeAndEcgCodeStartAfreshForEachDocument) {
  // A female examinee's sex code does not spare the next, male, one.
  expect_sequence({{edited({set_to(kSex, "2"), omitted(kSugarMachine)}), {}},
                   {edited({omitted(kSugarMachine)}), {"　尿糖がありません"}}});
  // The first document leaves sex code 1 and an ECG code 1 behind; the
  // second has neither a sex code nor an ECG result, findings or urine.
  expect_sequence({{XmlDoc::data(), {}},
                   {edited({removed(kSex), omitted(kEcg), omitted("9A110160800000049"),
                            omitted(kSugarMachine), omitted(kProteinMachine)}),
                    {"　性別がありません"}}});
}

// The second document has no BMI and no insurer number, the first a BMI of 21 and a late-elderly insurer.
TEST(ItemRuleResets, BmiValueAndInsurerNumberStartAfreshForEachDocument) {
  const Edit self_reported_only[] = {omitted(kMeasured), placed("9N016160300000001", Place::kCheckupSection, "<value/>")};
  expect_sequence({{edited({self_reported_only[0], self_reported_only[1], set_to(observation(kBmi) + "/a:value/@value", "21"),
                            insurer(kLateElderly)}),
                    {"　尿潜血がありません", "　アルブミンがありません", "　ＢＵＮ（「その他の検査」）がありません",
                     "　血清尿酸がありません", "　白血球数がありません"}},
                   {edited({self_reported_only[0], self_reported_only[1], omitted(kBmi), removed(kInsurerNumber)}),
                    {"　保険者番号がありません", "　ＢＭＩがありません",
                     "　腹囲（自己申告）のみの場合、ＢＭＩが２２．０未満である必要があります。"},
                    line_with_insurer("")}});
}

// The detailed-item flags come from each pair's own settlement.
TEST(ItemRuleResets, DetailedFlagsStartAfreshForEachPair) {
  XmlDoc unbilled = XmlDoc::claims();
  unbilled.set("//a:unitPriceDetail/a:observation[@code='2']/@code", "9");
  const XmlDoc no_reason = edited({omitted("9A110161000000049")});
  expect_sequence({{no_reason, {"　詳細検査の場合、心電図（実施理由）が必要です"}}, {no_reason, {}, "", unbilled}});
}

}  // namespace
}  // namespace kenshin::testkit
