#include <gtest/gtest.h>

#include <functional>

#include "datachecks/data_check.h"
#include "datachecks/data_mutations.h"
#include "docs/pair_loop.h"
#include "report/report.h"

namespace kenshin::datachecks {
namespace {

using namespace kenshin::testing;

constexpr const char kHeight[] = "9N001000000000001";
constexpr const char kWeight[] = "9N006000000000001";
constexpr const char kBmi[] = "9N011000000000001";
constexpr const char kHistory[] = "9N056000000000011";
constexpr const char kHistoryDetails[] = "9N056160400000049";
constexpr const char kSubjective[] = "9N061000000000011";
constexpr const char kSubjectiveDetails[] = "9N061160800000049";
constexpr const char kObjective[] = "9N066000000000011";
constexpr const char kSystolic[] = "9A751000000000001";
constexpr const char kDiastolic[] = "9A761000000000001";
constexpr const char kTriglycerides[] = "3F015000002327101";
constexpr const char kHdl[] = "3F070000002327101";
constexpr const char kLdl[] = "3F077000002327101";
constexpr const char kGot[] = "3B035000002327201";
constexpr const char kGpt[] = "3B045000002327201";
constexpr const char kGammaGt[] = "3B090000002327101";
constexpr const char kPq[] = "<value xsi:type=\"PQ\" value=\"120\" unit=\"mg/dL\"/>";

const std::string kHistoryCompanion =
    "　既往歴のコード１（特記すべきことあり）に対して、既往歴（具体的な既往歴）がありません";
const std::string kHistoryOutOfRange = "　既往歴に１、２以外のコードが入っています";

XmlDoc& omit_all(XmlDoc& d, std::initializer_list<const char*> codes) {
  for (const char* code : codes) omit(d, code);
  return d;
}

struct Case {
  const char* name;
  std::function<void(XmlDoc&)> mutate;
  std::vector<std::string> messages;
};

void expect_findings(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    XmlDoc data = XmlDoc::data();
    c.mutate(data);
    EXPECT_EQ(data_report(data), findings(c.messages)) << c.name;
  }
}

TEST(MeasurementItems, PresencePerformedCodedValueAndCompanion) {
  expect_findings({
      {"all six missing",
       [](XmlDoc& d) {
         omit_all(d, {kHeight, kWeight, kBmi, kHistory, kSubjective, kObjective});
       },
       {"　身長がありません", "　体重がありません", "　ＢＭＩがありません", "　既往歴がありません",
        "　自覚症状がありません", "　他覚症状がありません"}},
      {"height negated", [](XmlDoc& d) { negate(d, kHeight); }, {"　身長が未実施です"}},
      {"height negationInd false", [](XmlDoc& d) { negate(d, kHeight, "false"); }, {}},
      {"weight only nested", [](XmlDoc& d) { nest(d, kWeight); }, {"　体重がありません"}},
      {"BMI negated", [](XmlDoc& d) { negate(d, kBmi); }, {"　ＢＭＩが未実施です"}},
      {"BMI without value", [](XmlDoc& d) { d.remove(observation(kBmi) + "/a:value/@value"); }, {}},
      {"history 1 without details", [](XmlDoc& d) { omit(d, kHistoryDetails); }, {kHistoryCompanion}},
      {"history 01 is 1",
       [](XmlDoc& d) { set_value_code(omit(d, kHistoryDetails), kHistory, "01"); },
       {kHistoryCompanion}},
      {"history 2 needs no details", [](XmlDoc& d) { set_value_code(omit(d, kHistoryDetails), kHistory, "2"); }, {}},
      {"history negated with code 1",
       [](XmlDoc& d) { negate(omit(d, kHistoryDetails), kHistory); },
       {"　既往歴が未実施です"}},
      {"history negated with code 3",
       [](XmlDoc& d) { negate(set_value_code(d, kHistory, "3"), kHistory); },
       {"　既往歴が未実施です"}},
      {"history null flavor", [](XmlDoc& d) { null_flavor(omit(d, kHistoryDetails), kHistory); }, {}},
      {"history without code",
       [](XmlDoc& d) { d.remove(observation(kHistory) + "/a:value/@code"); },
       {"　既往歴のコードがありません"}},
      {"history code not a number",
       [](XmlDoc& d) { set_value_code(omit(d, kHistoryDetails), kHistory, "A"); },
       {kHistoryOutOfRange}},
      {"history only nested", [](XmlDoc& d) { nest(omit(d, kHistoryDetails), kHistory); }, {"　既往歴がありません"}},
      {"subjective 1, details only nested",
       [](XmlDoc& d) { add_nested(set_value_code(d, kSubjective, "1"), kSubjectiveDetails); },
       {"　自覚症状のコード１（特記すべきことあり）に対して、自覚症状（所見）がありません"}},
      {"subjective 1 with details",
       [](XmlDoc& d) { add_direct(set_value_code(d, kSubjective, "1"), kSubjectiveDetails); },
       {}},
      {"objective 3",
       [](XmlDoc& d) { set_value_code(d, kObjective, "3"); },
       {"　他覚症状に１、２以外のコードが入っています"}},
      {"objective 0",
       [](XmlDoc& d) { set_value_code(d, kObjective, "0"); },
       {"　他覚症状に１、２以外のコードが入っています"}},
  });
}

TEST(BloodPressureLipidItems, MethodGroups) {
  expect_findings({
      {"none of the four",
       [](XmlDoc& d) {
         omit_all(d, {kSystolic, kDiastolic, kTriglycerides, kHdl});
       },
       {"　収縮期血圧がありません", "　拡張期血圧がありません", "　中性脂肪がありません",
        "　ＨＤＬコレステロールがありません"}},
      {"systolic only", [](XmlDoc& d) { omit(d, kDiastolic); }, {"　拡張期血圧がありません"}},
      {"systolic under its third code",
       [](XmlDoc& d) { add_direct(omit(d, kSystolic), "9A755000000000001", kPq); },
       {}},
      {"diastolic negated, third code false",
       [](XmlDoc& d) { add_direct(negate(d, kDiastolic), "9A765000000000001", kPq, " negationInd=\"false\""); },
       {}},
      {"all triglyceride codes negated",
       [](XmlDoc& d) {
         add_direct(d, "3F015000002327201", kPq, " negationInd=\"true\"");
         add_direct(negate(d, kTriglycerides), "3F015000002399901", kPq, " negationInd=\"true\"");
       },
       {"　中性脂肪が未実施です"}},
      {"HDL negated", [](XmlDoc& d) { negate(d, kHdl); }, {"　ＨＤＬコレステロールが未実施です"}},
      {"systolic only nested", [](XmlDoc& d) { nest(d, kSystolic); }, {"　収縮期血圧がありません"}},
  });
}

TEST(LdlLiverItems, MethodGroups) {
  expect_findings({
      {"none of the four",
       [](XmlDoc& d) {
         omit_all(d, {kLdl, kGot, kGpt, kGammaGt});
       },
       {"　ＬＤＬコレステロールがありません", "　ＧＯＴ（ＡＳＴ）がありません", "　ＧＰＴ（ＡＬＴ）がありません",
        "　γ-GT(γ-GTP)がありません"}},
      {"LDL only under 3F069", [](XmlDoc& d) { add_direct(omit(d, kLdl), "3F069000002391901", kPq); }, {}},
      {"LDL first negated, third performed",
       [](XmlDoc& d) { add_direct(negate(d, kLdl), "3F077000002399901", kPq); },
       {}},
      {"both GOT codes negated",
       [](XmlDoc& d) { add_direct(negate(d, kGot), "3B035000002399901", kPq, " negationInd=\"true\""); },
       {"　ＧＯＴ（ＡＳＴ）が未実施です"}},
      {"GPT negationInd false", [](XmlDoc& d) { negate(d, kGpt, "false"); }, {}},
      {"GPT negationInd TRUE", [](XmlDoc& d) { negate(d, kGpt, "TRUE"); }, {}},
      {"γ-GT negated", [](XmlDoc& d) { negate(d, kGammaGt); }, {"　γ-GT(γ-GTP)が未実施です"}},
      {"γ-GT only nested", [](XmlDoc& d) { nest(d, kGammaGt); }, {"　γ-GT(γ-GTP)がありません"}},
  });
}

// The working values later rules read: the sex code and the BMI value.
TEST(DataCheckWorkingValues, SexCodeAndBmiValue) {
  struct ValuesCase {
    const char* name;
    std::function<void(XmlDoc&)> mutate;
    int16_t sex_code;
    std::string bmi_value;
  } cases[] = {
      {"complete", [](XmlDoc&) {}, 1, "22.5"},
      {"sex 2.5", [](XmlDoc& d) { d.set("//a:administrativeGenderCode/@code", "2.5"); }, 2, "22.5"},
      {"sex 3 is kept", [](XmlDoc& d) { d.set("//a:administrativeGenderCode/@code", "3"); }, 3, "22.5"},
      {"sex M", [](XmlDoc& d) { d.set("//a:administrativeGenderCode/@code", "M"); }, 0, "22.5"},
      {"sex absent", [](XmlDoc& d) { d.remove("//a:administrativeGenderCode/@code"); }, 0, "22.5"},
      {"BMI as written", [](XmlDoc& d) { d.set(observation(kBmi) + "/a:value/@value", "22.50"); }, 1, "22.50"},
      {"BMI without value", [](XmlDoc& d) { d.remove(observation(kBmi) + "/a:value/@value"); }, 1, "ng"},
      {"BMI negated", [](XmlDoc& d) { negate(d, kBmi); }, 1, ""},
  };
  for (const ValuesCase& c : cases) {
    TempDir dir;
    XmlDoc data = XmlDoc::data();
    c.mutate(data);
    write_file(dir.path() + "/DATA/h.xml", data.text());
    RunState run;
    run.report_path = dir.path() + "/ERR.txt";
    run.data_folder = dir.path() + "/DATA";
    run.data_file_list = {"h.xml"};
    run.pair_index = 1;
    run.claims_file_line_flag = kFlagSet;
    std::optional<docs::Document> doc = docs::load_document(docs::data_document_path(run), docs::Bindings::kData);
    ASSERT_TRUE(doc) << c.name;
    DataCheck check{run, *doc, 0, "left over", 0};
    run_header_rules(check);
    run_item_rules(check);
    report::close_report(run);
    EXPECT_EQ(check.sex_code, c.sex_code) << c.name;
    EXPECT_EQ(check.bmi_value, c.bmi_value) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::datachecks
