// The item rules, one edit of the complete data document per behaviour.
#include <deque>

#include "datachecks/data_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kHistory[] = "9N056000000000011";
constexpr const char kSubjective[] = "9N061000000000011";

TEST(ObservationRules, PresencePerformedCodedValueCompanionAndMethodGroups) {
  const Edit no_history_details = omitted("9N056160400000049");
  expect_findings({
      {"all six measurement items missing",
       {omitted("9N001000000000001"), omitted("9N006000000000001"), omitted(kBmi), omitted(kHistory),
        omitted(kSubjective), omitted("9N066000000000011")},
       {"　身長がありません", "　体重がありません", "　ＢＭＩがありません", "　既往歴がありません",
        "　自覚症状がありません", "　他覚症状がありません"}},
      {"BMI only nested", {omitted(kBmi), placed(kBmi, Place::kNested)}, {"　ＢＭＩがありません"}},
      {"BMI negated", {negated(kBmi)}, {"　ＢＭＩが未実施です"}},
      {"history 01 is 1",
       {no_history_details, set_to(value_code(kHistory), "01")},
       {"　既往歴のコード１（特記すべきことあり）に対して、既往歴（具体的な既往歴）がありません"}},
      {"history negated: no companion", {no_history_details, negated(kHistory)}, {"　既往歴が未実施です"}},
      {"history A", {no_history_details, set_to(value_code(kHistory), "A")}, {"　既往歴に１、２以外のコードが入っています"}},
      {"subjective 1, details only nested",
       {set_to(value_code(kSubjective), "1"), placed("9N061160800000049", Place::kNested)},
       {"　自覚症状のコード１（特記すべきことあり）に対して、自覚症状（所見）がありません"}},
      {"LDL negated, its last code performed",
       {negated("3F077000002327101"), placed("3F069000002391901", Place::kCheckupSection)},
       {}},
      {"both GOT codes negated",
       {negated("3B035000002327201"), placed("3B035000002399901", Place::kCheckupSection), negated("3B035000002399901")},
       {"　ＧＯＴ（ＡＳＴ）が未実施です"}},
      {"negationInd false and TRUE", {negated("3B045000002327201", "false"), negated("3B090000002327101", "TRUE")}, {}},
  });
}

constexpr const char kFasting[] = "3D010000001926101";
constexpr const char kRandom[] = "3D010129901926101";
constexpr const char kHbA1c[] = "3D046000001906202";
constexpr const char kHbA1cOther[] = "3D046000001999902";
const std::string kTiming = value_code("9N141000000000011");
const std::string kFastingTiming =
    "　空腹時血糖のみで採血時間がある場合、採血時間は２（食後１０時間以上）である必要があります";
const std::string kRandomTiming =
    "　随時血糖のみで採血時間がある場合、採血時間は３（食後３．５時間以上１０時間未満）である必要があります";
const std::string kGlucoseNotPerformed = "　血糖検査が未実施です";

// The fixture has a fasting glucose and an HbA1c in the checkup section, timing 2.
TEST(GlucoseRules, ClassTimingAndNotPerformed) {
  const Edit fasting_only = omitted(kHbA1c), no_fasting = omitted(kFasting);
  const Edit random = placed(kRandom, Place::kCheckupSection);
  const Edit hba1c_elsewhere = placed(kHbA1cOther, Place::kOtherSection);
  expect_findings({
      {"fasting only, timing 1", {fasting_only, set_to(kTiming, "1")}, {kFastingTiming}},
      {"fasting only, timing 02", {fasting_only, set_to(kTiming, "02")}, {}},
      {"fasting only, no timing", {fasting_only, omitted("9N141000000000011")}, {}},
      {"fasting only, empty timing", {fasting_only, set_to(kTiming, "")}, {kFastingTiming}},
      {"HbA1c too, timing 1", {set_to(kTiming, "1")}, {}},
      {"fasting, HbA1c in another section", {fasting_only, hba1c_elsewhere, set_to(kTiming, "1")}, {}},
      {"fasting, HbA1c elsewhere with negationInd TRUE",
       {fasting_only, hba1c_elsewhere, negated(kHbA1cOther, "TRUE"), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"fasting, HbA1c nested",
       {fasting_only, placed(kHbA1cOther, Place::kNested), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"fasting with negationInd false", {fasting_only, negated(kFasting, "false"), set_to(kTiming, "1")}, {kFastingTiming}},
      {"random only, timing 2", {fasting_only, no_fasting, random}, {kRandomTiming}},
      {"random only, timing 3.0", {fasting_only, no_fasting, random, set_to(kTiming, "3.0")}, {}},
      {"random, HbA1c only in another section", {fasting_only, no_fasting, random, hba1c_elsewhere}, {kRandomTiming}},
      {"fasting and random", {fasting_only, random}, {kRandomTiming}},
      {"HbA1c negated, fasting performed", {negated(kHbA1c), set_to(kTiming, "1")}, {kFastingTiming}},
      {"random only in another section",
       {fasting_only, placed(kRandom, Place::kOtherSection), set_to(kTiming, "1")},
       {kFastingTiming}},
      {"negated as TRUE and as empty",
       {negated(kFasting, "TRUE"), negated(kHbA1c, ""), set_to(kTiming, "1")},
       {kGlucoseNotPerformed}},
      {"negated as False", {fasting_only, negated(kFasting, "False")}, {kGlucoseNotPerformed}},
      {"negated here, performed elsewhere",
       {fasting_only, negated(kFasting), placed("3D010000001999901", Place::kOtherSection)},
       {kGlucoseNotPerformed}},
      {"none at all", {fasting_only, no_fasting, set_to(kTiming, "1")}, {}},
  });
}

constexpr const char kJudgement[] = "9N511000000000049";
constexpr const char kMedication1[] = "9N701000000000011";
constexpr const char kMedication2[] = "9N706000000000011";
constexpr const char kMedication3[] = "9N711000000000011";
constexpr const char kSmoking[] = "9N736000000000011";

TEST(JudgementRules, JudgementDoctorMedicationAndSmoking) {
  const std::string doctor_name = observation(kJudgement) + "/a:author/a:assignedAuthor/a:assignedPerson/a:name";
  const std::string no_doctor_name = "　健康診断を実施した医師の氏名がありません";
  const std::string medication1_out_of_range = "　服薬１（血圧）に１、２以外のコードが入っています";
  expect_findings({
      {"no judgement", {omitted(kJudgement)}, {"　医師の診断（判定）がありません", no_doctor_name}},
      {"judgement negated, name given", {negated(kJudgement)}, {"　医師の診断（判定）が未実施です"}},
      {"judgement without author", {removed(observation(kJudgement) + "/a:author")}, {no_doctor_name}},
      {"name empty", {set_to(doctor_name, "")}, {}},
      {"name only in another observation",
       {removed(doctor_name), placed("9N516000000000049", Place::kCheckupSection,
                                     "<author><assignedAuthor><assignedPerson><name>見本　花子</name>"
                                     "</assignedPerson></assignedAuthor></author>")},
       {no_doctor_name}},
      {"all four answers missing",
       {omitted(kMedication1), omitted(kMedication2), omitted(kMedication3), omitted(kSmoking)},
       {"　服薬１（血圧）がありません", "　服薬２（血糖）がありません", "　服薬３（脂質）がありません",
        "　喫煙がありません"}},
      {"medication 1 TRUE with code 3",
       {negated(kMedication1, "TRUE"), set_to(value_code(kMedication1), "3")},
       {medication1_out_of_range}},
      {"medication 1 false without code",
       {negated(kMedication1, "false"), removed(value_code(kMedication1))},
       {"　服薬１（血圧）のコードがありません"}},
      {"medication 2 null flavor beside code 7",
       {set_to(value_code(kMedication2), "7"),
        [](XmlDoc& d) { d.set_attribute(observation(kMedication2) + "/a:value", "nullFlavor", "NI"); }},
       {}},
      {"medication 1 code 0", {set_to(value_code(kMedication1), "0")}, {medication1_out_of_range}},
      {"codes 01 and 2.0", {set_to(value_code(kMedication3), "01"), set_to(value_code(kSmoking), "2.0")}, {}},
      {"smoking code empty", {set_to(value_code(kSmoking), "")}, {"　喫煙に１、２以外のコードが入っています"}},
  });
}

constexpr const char kEcgFindings[] = "9A110160800000049";
const std::string kNoEcgFindings = "　心電図（所見の有無）のコード１（所見あり）に対して、心電図（所見）がありません";

// The fixture has the ECG result (code 1) and its findings text nested in the ECG group.
TEST(EcgRules, FormCodeAndFindings) {
  const Edit no_ecg = omitted(kEcg), no_findings = omitted(kEcgFindings);
  const Edit direct_ecg_1 = placed(kEcg, Place::kCheckupSection, coded("1"));
  const Edit direct_findings = placed(kEcgFindings, Place::kCheckupSection, "<value>所見</value>");
  expect_findings({
      {"no ECG in either form", {no_ecg, no_findings}, {}},
      {"nested, findings only direct", {no_findings, direct_findings}, {kNoEcgFindings}},
      {"nested, findings without value element", {removed(observation(kEcgFindings) + "/a:value")}, {kNoEcgFindings}},
      {"direct with code 1, direct findings", {no_ecg, no_findings, direct_ecg_1, direct_findings}, {}},
      {"negated with code 3", {negated(kEcg), set_to(value_code(kEcg), "3")}, {}},
      {"null flavor without findings", {null_flavor(kEcg), no_findings}, {}},
      {"both forms, direct one faulty", {placed(kEcg, Place::kCheckupSection, coded("9"))}, {}},
  });
}

constexpr const char kSugarVisual[] = "1A020000000190111";
constexpr const char kProteinVisual[] = "1A010000000190111";

TEST(UrineRules, GroupsForMaleExamineesOnly) {
  const Edit no_sugar = omitted(kSugarMachine), no_protein = omitted(kProteinMachine);
  const std::string sugar_machine_out_of_range = "　尿糖（試験紙法（機械読み取り））に１～５以外のコードが入っています";
  expect_findings({
      {"female, no urine", {set_to(kSex, "2"), no_sugar, no_protein}, {}},
      {"no sex code, no urine", {removed(kSex), no_sugar, no_protein}, {"　性別がありません"}},
      {"male, no urine", {no_sugar, no_protein}, {"　尿糖がありません", "　尿蛋白がありません"}},
      {"sugar machine negated", {negated(kSugarMachine)}, {"　尿糖が未実施です"}},
      {"sugar machine negated with null flavor", {negated(kSugarMachine), null_flavor(kSugarMachine)}, {}},
      {"sugar machine negated as TRUE, code 9",
       {negated(kSugarMachine, "TRUE"), set_to(value_code(kSugarMachine), "9")},
       {sugar_machine_out_of_range}},
      {"sugar machine negated, visual performed",
       {negated(kSugarMachine), placed(kSugarVisual, Place::kCheckupSection, coded("2"))},
       {}},
      {"codes 0, 5.0, empty and letters",
       {set_to(value_code(kSugarMachine), "0"), placed(kSugarVisual, Place::kCheckupSection, coded("5.0")),
        set_to(value_code(kProteinMachine), ""), placed(kProteinVisual, Place::kCheckupSection, coded("Z"))},
       {sugar_machine_out_of_range, "　尿蛋白（試験紙法（機械読み取り））に１～５以外のコードが入っています",
        "　尿蛋白（試験紙法（目視法））に１～５以外のコードが入っています"}},
  });
}

constexpr const char kMetabolic[] = "9N501000000000011";
constexpr const char kGuidance[] = "9N506000000000011";

TEST(MetabolicGuidanceRules, CodedOneToFour) {
  const std::string out_of_range = "　メタボリックシンドローム判定に１～４以外のコードが入っています";
  const std::string absent = "　メタボリックシンドローム判定がありません";
  expect_findings({
      {"codes 2.5 and 4", {set_to(value_code(kMetabolic), "2.5"), set_to(value_code(kGuidance), "4")}, {}},
      {"code 5", {set_to(value_code(kMetabolic), "5")}, {out_of_range}},
      {"negated with code 1",
       {negated(kMetabolic), set_to(value_code(kMetabolic), "1")},
       {"　メタボリックシンドローム判定が未実施です"}},
      {"negated without code", {negated(kMetabolic), removed(value_code(kMetabolic))}, {absent}},
      {"both missing", {omitted(kMetabolic), omitted(kGuidance)}, {absent, "　保健指導レベルがありません"}},
  });
}

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
TEST(FundusRules, EachGradingsBoundsFormsAndOrder) {
  std::deque<std::string> names;  // the cases point into it
  std::vector<DataCase> cases;
  std::vector<Edit> none, all_beyond;
  std::vector<std::string> all_messages;
  for (const Grading& g : kGradings) {
    std::string code = value_code(g.code);
    auto named = [&](const char* what) { return names.emplace_back(std::string(g.name) + what).c_str(); };
    cases.push_back({named(", at its highest code"), {set_to(code, std::to_string(g.highest_code))}, {}});
    cases.push_back({named(", without code"), {removed(code)}, {g.no_code}});
    none.push_back(omitted(g.code));
    all_beyond.push_back(set_to(code, std::to_string(g.highest_code + 1)));
    all_messages.push_back(g.out_of_range);
  }
  const std::string& keith = kGradings[0].code;
  cases.insert(cases.end(), {
      {"none of the six", none, {}},
      {"all six one beyond their codes", all_beyond, all_messages},
      {"Keith-Wagener nested negated, direct 9", {negated(keith), placed(keith, Place::kCheckupSection, coded("9"))}, {}},
  });
  expect_findings(cases);
}

}  // namespace
}  // namespace kenshin::testkit
