#include "datachecks/item_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kJudgement[] = "9N511000000000049";
constexpr const char kMedication1[] = "9N701000000000011";
constexpr const char kMedication2[] = "9N706000000000011";
constexpr const char kMedication3[] = "9N711000000000011";
constexpr const char kSmoking[] = "9N736000000000011";
const std::string kDoctorName = observation(kJudgement) + "/a:author/a:assignedAuthor/a:assignedPerson/a:name";

const std::string kNoJudgement = "　医師の診断（判定）がありません";
const std::string kNoDoctorName = "　健康診断を実施した医師の氏名がありません";

TEST(JudgementRules, JudgementAndTheDoctorsName) {
  expect_findings({
      {"no judgement", {omitted(kJudgement)}, {kNoJudgement, kNoDoctorName}},
      {"judgement only nested",
       {omitted(kJudgement), placed(kJudgement, Place::kNested)},
       {kNoJudgement, kNoDoctorName}},
      {"judgement negated, name given", {negated(kJudgement)}, {"　医師の診断（判定）が未実施です"}},
      {"judgement negated as TRUE", {negated(kJudgement, "TRUE")}, {}},
      {"judgement without author", {removed(observation(kJudgement) + "/a:author")}, {kNoDoctorName}},
      {"name empty", {set_to(kDoctorName, "")}, {}},
      {"name only in another observation",
       {removed(kDoctorName), placed("9N516000000000049", Place::kCheckupSection,
                                     "<author><assignedAuthor><assignedPerson><name>見本　花子</name>"
                                     "</assignedPerson></assignedAuthor></author>")},
       {kNoDoctorName}},
  });
}

TEST(JudgementRules, MedicationAndSmokingAnswers) {
  expect_findings({
      {"all four missing",
       {omitted(kMedication1), omitted(kMedication2), omitted(kMedication3), omitted(kSmoking)},
       {"　服薬１（血圧）がありません", "　服薬２（血糖）がありません", "　服薬３（脂質）がありません",
        "　喫煙がありません"}},
      {"medication 1 negated without code",
       {negated(kMedication1), removed(value_code(kMedication1))},
       {"　服薬１（血圧）が未実施です"}},
      {"medication 1 negated with code 3",
       {negated(kMedication1), set_to(value_code(kMedication1), "3")},
       {"　服薬１（血圧）が未実施です"}},
      {"medication 1 TRUE with code 3",
       {negated(kMedication1, "TRUE"), set_to(value_code(kMedication1), "3")},
       {"　服薬１（血圧）に１、２以外のコードが入っています"}},
      {"medication 1 false without code",
       {negated(kMedication1, "false"), removed(value_code(kMedication1))},
       {"　服薬１（血圧）のコードがありません"}},
      {"medication 2 null flavor", {null_flavor(kMedication2)}, {}},
      {"medication 2 null flavor beside code 7",
       {set_to(value_code(kMedication2), "7"),
        [](XmlDoc& d) { d.set_attribute(observation(kMedication2) + "/a:value", "nullFlavor", "NI"); }},
       {}},
      {"medication 2 code 0",
       {set_to(value_code(kMedication2), "0")},
       {"　服薬２（血糖）に１、２以外のコードが入っています"}},
      {"medication 3 code 3",
       {set_to(value_code(kMedication3), "3")},
       {"　服薬３（脂質）に１、２以外のコードが入っています"}},
      {"codes 01 and 2.0", {set_to(value_code(kMedication3), "01"), set_to(value_code(kSmoking), "2.0")}, {}},
      {"smoking without code", {removed(value_code(kSmoking))}, {"　喫煙のコードがありません"}},
      {"smoking code empty", {set_to(value_code(kSmoking), "")}, {"　喫煙に１、２以外のコードが入っています"}},
      {"each answer its own fault",
       {omitted(kMedication1), negated(kMedication2), removed(value_code(kMedication3)),
        set_to(value_code(kSmoking), "9")},
       {"　服薬１（血圧）がありません", "　服薬２（血糖）が未実施です", "　服薬３（脂質）のコードがありません",
        "　喫煙に１、２以外のコードが入っています"}},
  });
}

}  // namespace
}  // namespace kenshin::testkit
