#include "datachecks/data_check.h"
#include "datachecks/data_mutations.h"
#include "report/report.h"

namespace kenshin::testkit {
namespace {

constexpr const char kBmi[] = "9N011000000000001";
constexpr const char kHistory[] = "9N056000000000011";
constexpr const char kSubjective[] = "9N061000000000011";
constexpr const char kObjective[] = "9N066000000000011";
const std::string kHistoryCode = value_code(kHistory);
const Edit kNoHistoryDetails = omitted("9N056160400000049");

TEST(ObservationRules, PresencePerformedCodedValueCompanionAndMethodGroups) {
  expect_findings({
      {"all six measurement items missing",
       {omitted("9N001000000000001"), omitted("9N006000000000001"), omitted(kBmi), omitted(kHistory),
        omitted(kSubjective), omitted(kObjective)},
       {"　身長がありません", "　体重がありません", "　ＢＭＩがありません", "　既往歴がありません",
        "　自覚症状がありません", "　他覚症状がありません"}},
      {"BMI only nested", {omitted(kBmi), added(kBmi, true)}, {"　ＢＭＩがありません"}},
      {"BMI negated", {negated(kBmi)}, {"　ＢＭＩが未実施です"}},
      {"history 01 is 1",
       {kNoHistoryDetails, set_to(kHistoryCode, "01")},
       {"　既往歴のコード１（特記すべきことあり）に対して、既往歴（具体的な既往歴）がありません"}},
      {"history negated: no companion", {kNoHistoryDetails, negated(kHistory)}, {"　既往歴が未実施です"}},
      {"history null flavor", {null_flavor(kHistory)}, {}},
      {"history without code", {removed(kHistoryCode)}, {"　既往歴のコードがありません"}},
      {"history A", {kNoHistoryDetails, set_to(kHistoryCode, "A")}, {"　既往歴に１、２以外のコードが入っています"}},
      {"subjective 1, details only nested",
       {set_to(value_code(kSubjective), "1"), added("9N061160800000049", true)},
       {"　自覚症状のコード１（特記すべきことあり）に対して、自覚症状（所見）がありません"}},
      {"objective 3", {set_to(value_code(kObjective), "3")}, {"　他覚症状に１、２以外のコードが入っています"}},
      {"LDL negated, its last code performed", {negated("3F077000002327101"), added("3F069000002391901", false)}, {}},
      {"both GOT codes negated",
       {negated("3B035000002327201"), added("3B035000002399901", false), negated("3B035000002399901")},
       {"　ＧＯＴ（ＡＳＴ）が未実施です"}},
      {"negationInd false and TRUE", {negated("3B045000002327201", "false"), negated("3B090000002327101", "TRUE")}, {}},
      {"γ-GT negated", {negated("3B090000002327101")}, {"　γ-GT(γ-GTP)が未実施です"}},
  });
}

// The BMI value the waist rules read: as written, "ng" without a value, empty when not performed.
TEST(ObservationRules, BmiValueCapture) {
  const std::string value = observation(kBmi) + "/a:value/@value";
  const std::pair<Edit, std::string> cases[] = {
      {set_to(value, "22.50"), "22.50"}, {removed(value), "ng"}, {negated(kBmi), ""}};
  TempDir dir;
  RunState run;
  run.report_path = dir.path() + "/ERR.txt";
  run.name_line_flag = run.data_file_line_flag = run.claims_file_line_flag = kFlagSet;  // no record header
  for (const auto& [edit, bmi_value] : cases) {
    XmlDoc data = XmlDoc::data();
    edit(data);
    write_file(dir.path() + "/h.xml", data.text());
    std::optional<docs::Document> doc = docs::load_document(dir.path() + "/h.xml", docs::Bindings::kData);
    datachecks::DataCheck check{run, doc.value(), 0, "left over"};
    datachecks::run_data_rules(check);
    EXPECT_EQ(check.bmi_value, bmi_value);
  }
  report::close_report(run);
}

}  // namespace
}  // namespace kenshin::testkit
