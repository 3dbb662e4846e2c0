#include "datachecks/item_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kEcg[] = "9A110160700000011";
constexpr const char kEcgFindings[] = "9A110160800000049";
constexpr const char kSugarMachine[] = "1A020000000191111";
constexpr const char kSugarVisual[] = "1A020000000190111";
constexpr const char kProteinMachine[] = "1A010000000191111";
constexpr const char kProteinVisual[] = "1A010000000190111";
constexpr const char kSex[] = "//a:administrativeGenderCode/@code";

const std::string kNoEcgCode = "　心電図（所見の有無）のコードがありません";
const std::string kEcgOutOfRange = "　心電図（所見の有無）に１、２以外のコードが入っています";
const std::string kNoEcgFindings = "　心電図（所見の有無）のコード１（所見あり）に対して、心電図（所見）がありません";
const std::string kSugarMachineOutOfRange = "　尿糖（試験紙法（機械読み取り））に１～５以外のコードが入っています";

// The fixture has the ECG result (code 1) and its findings text nested in the ECG group.
const Edit kNoNestedEcg = omitted(kEcg);
const Edit kNoNestedFindings = omitted(kEcgFindings);
Edit ecg_at(Place place, const std::string& code) { return placed(kEcg, place, coded(code)); }
Edit findings_at(Place place) { return placed(kEcgFindings, place, "<value>所見</value>"); }

TEST(EcgRules, FormCodeAndFindings) {
  expect_findings({
      {"no ECG in either form", {kNoNestedEcg, kNoNestedFindings}, {}},
      {"nested, findings only direct", {kNoNestedFindings, findings_at(Place::kCheckupSection)}, {kNoEcgFindings}},
      {"nested, findings without value element", {removed(observation(kEcgFindings) + "/a:value")}, {kNoEcgFindings}},
      {"direct with code 1, no findings",
       {kNoNestedEcg, kNoNestedFindings, ecg_at(Place::kCheckupSection, "1")},
       {kNoEcgFindings}},
      {"direct with code 1, direct findings",
       {kNoNestedEcg, kNoNestedFindings, ecg_at(Place::kCheckupSection, "1"), findings_at(Place::kCheckupSection)},
       {}},
      {"direct with code 1, findings only nested",
       {kNoNestedEcg, ecg_at(Place::kCheckupSection, "1")},
       {kNoEcgFindings}},
      {"negated with code 3", {negated(kEcg), set_to(value_code(kEcg), "3")}, {}},
      {"negated without findings", {negated(kEcg), kNoNestedFindings}, {}},
      {"negated as TRUE with code 3", {negated(kEcg, "TRUE"), set_to(value_code(kEcg), "3")}, {kEcgOutOfRange}},
      {"null flavor without findings", {null_flavor(kEcg), kNoNestedFindings}, {}},
      {"both forms, direct one faulty", {ecg_at(Place::kCheckupSection, "9")}, {}},
      {"both forms, nested one faulty",
       {set_to(value_code(kEcg), "9"), ecg_at(Place::kCheckupSection, "1")},
       {kEcgOutOfRange}},
      {"code 3 without findings", {set_to(value_code(kEcg), "3"), kNoNestedFindings}, {kEcgOutOfRange}},
      {"code 01 without findings", {set_to(value_code(kEcg), "01"), kNoNestedFindings}, {kNoEcgFindings}},
      {"empty code without findings", {set_to(value_code(kEcg), ""), kNoNestedFindings}, {kEcgOutOfRange}},
      {"no code, no findings", {removed(value_code(kEcg)), kNoNestedFindings}, {kNoEcgCode}},
  });
}

TEST(UrineRules, GroupsForMaleExamineesOnly) {
  const Edit no_urine[] = {omitted(kSugarMachine), omitted(kProteinMachine)};
  expect_findings({
      {"female, no urine", {set_to(kSex, "2"), no_urine[0], no_urine[1]}, {}},
      {"female, urine code 9", {set_to(kSex, "2"), set_to(value_code(kSugarMachine), "9")}, {}},
      {"no sex code, no urine", {removed(kSex), no_urine[0], no_urine[1]}, {"　性別がありません"}},
      {"male, no urine", {no_urine[0], no_urine[1]}, {"　尿糖がありません", "　尿蛋白がありません"}},
      {"sugar machine negated", {negated(kSugarMachine)}, {"　尿糖が未実施です"}},
      {"sugar machine negated, code 9",
       {negated(kSugarMachine), set_to(value_code(kSugarMachine), "9")},
       {"　尿糖が未実施です"}},
      {"sugar machine negated with null flavor", {negated(kSugarMachine), null_flavor(kSugarMachine)}, {}},
      {"sugar machine negated as TRUE, code 9",
       {negated(kSugarMachine, "TRUE"), set_to(value_code(kSugarMachine), "9")},
       {kSugarMachineOutOfRange}},
      {"sugar machine negated, visual performed",
       {negated(kSugarMachine), placed(kSugarVisual, Place::kCheckupSection, coded("2"))},
       {}},
      {"both protein methods negated",
       {negated(kProteinMachine), placed(kProteinVisual, Place::kCheckupSection, coded("1")), negated(kProteinVisual)},
       {"　尿蛋白が未実施です"}},
      {"protein visual only, code 6",
       {omitted(kProteinMachine), placed(kProteinVisual, Place::kCheckupSection, coded("6"))},
       {"　尿蛋白（試験紙法（目視法））に１～５以外のコードが入っています"}},
      {"protein visual only nested",
       {omitted(kProteinMachine), placed(kProteinVisual, Place::kNested, coded("1"))},
       {"　尿蛋白がありません"}},
      {"both sugar methods without code",
       {removed(value_code(kSugarMachine)), placed(kSugarVisual, Place::kCheckupSection, "<value/>")},
       {"　尿糖（試験紙法（機械読み取り））のコードがありません", "　尿糖（試験紙法（目視法））のコードがありません"}},
      {"sugar codes 0, 5.0, empty and letters",
       {set_to(value_code(kSugarMachine), "0"), placed(kSugarVisual, Place::kCheckupSection, coded("5.0")),
        set_to(value_code(kProteinMachine), ""), placed(kProteinVisual, Place::kCheckupSection, coded("Z"))},
       {kSugarMachineOutOfRange, "　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています",
        "　尿蛋白（試験紙法（目視法））に１～５以外のコードが入っています"}},
      {"protein null flavor", {null_flavor(kProteinMachine)}, {}},
  });
}

// One fault in each group from γ-GT to urine: the groups report in their fixed order.
TEST(ItemRuleOrder, GammaGtGlucoseJudgementEcgUrine) {
  expect_findings(
      {{"one fault each",
        {set_to(value_code(kProteinMachine), "7"), set_to(value_code(kEcg), "3"), omitted("9N736000000000011"),
         omitted("9N511000000000049"), omitted("3D046000001906202"), set_to(value_code("9N141000000000011"), "1"),
         omitted("3B090000002327101")},
        {"　γ-GT(γ-GTP)がありません",
         "　空腹時血糖のみで採血時間がある場合、採血時間は２（食後１０時間以上）である必要があります",
         "　医師の診断（判定）がありません", "　健康診断を実施した医師の氏名がありません", "　喫煙がありません",
         kEcgOutOfRange, "　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています"}}});
}

// Working values of one data document never reach the next one.
TEST(ItemRuleResets, SexCodeAndCodeValueStartAfreshForEachDocument) {
  XmlDoc male = XmlDoc::data(), female = XmlDoc::data();
  omitted(kSugarMachine)(male);
  set_to(kSex, "2")(female);
  omitted(kSugarMachine)(female);
  std::vector<std::string> male_finding = data_header(examinee_line(male), 2);
  male_finding.push_back("　尿糖がありません");
  EXPECT_EQ(check(Archive().add_pair(female, XmlDoc::claims(), 1).add_pair(male, XmlDoc::claims(), 2)).lines,
            male_finding);

  // The first document leaves sex code 1 and an ECG code 1 behind; the
  // second has neither a sex code nor an ECG result, findings or urine.
  XmlDoc bare = XmlDoc::data();
  for (const Edit& edit :
       {removed(kSex), kNoNestedEcg, kNoNestedFindings, omitted(kSugarMachine), omitted(kProteinMachine)}) {
    edit(bare);
  }
  std::vector<std::string> bare_findings = data_header(examinee_line(bare), 2);
  bare_findings.push_back("　性別がありません");
  EXPECT_EQ(check(Archive().add_pair(XmlDoc::data(), XmlDoc::claims(), 1).add_pair(bare, XmlDoc::claims(), 2)).lines,
            bare_findings);
}

}  // namespace
}  // namespace kenshin::testkit
