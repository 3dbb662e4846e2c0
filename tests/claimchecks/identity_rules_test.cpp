#include <gtest/gtest.h>

#include "claimchecks/claims_check.h"
#include "claimchecks/claims_kit.h"
#include "report/report.h"

namespace kenshin::testing {
namespace {

constexpr const char kTicket[] = "//a:checkupCard/a:id/@extension";
constexpr const char kName[] = "//a:subjectPerson/a:name";
constexpr const char kEventType[] = "//a:encounter/a:serviceEventType/@code";
constexpr const char kOrganisation[] = "//a:subjectPerson/a:performerOrganization/a:id/@extension";
constexpr const char kInsurer[] = "//a:subjectPerson/a:insuranceCard/a:insurerNumber/@extension";
constexpr const char kBirth[] = "//a:subjectPerson/a:birthTime/@value";
constexpr const char kSex[] = "//a:subjectPerson/a:administrativeGender/@code";
constexpr const char kPostalCode[] = "//a:subjectPerson/a:addr/a:postalCode";
constexpr const char kAddress[] = "//a:subjectPerson/a:addr";

constexpr const char kTicketMismatch[] = "　データファイルと決済情報ファイルの受診券整理番号が違います";
constexpr const char kNameMismatch[] = "　データファイルと決済情報ファイルの受診者名が違います";
constexpr const char kSexOutOfRange[] = "　性別に１、２以外のコードが入っています";

TEST(ClaimsIdentityRules, EachRuleReportsItsFinding) {
  expect_findings({
      {"ticket number absent", {removed(kTicket)}, {kTicketMismatch}},
      {"ticket number differs", {set_to(kTicket, "18100012346")}, {kTicketMismatch}},
      {"name with a U+0020 blank", {set_to(kName, "ケンシン ジロウ")}, {kNameMismatch}},
      {"service event type absent", {removed(kEventType)}, {"　実施区分がありません"}},
      {"service event type 01", {set_to(kEventType, "01")}, {"　実施区分は、１固定です"}},
      {"organisation number absent", {removed(kOrganisation)}, {"　実施機関番号がありません"}},
      {"organisation number of 11", {set_to(kOrganisation, "13145678901")}, {"　実施機関番号を確認してください"}},
      {"organisation number of 10 full-width digits", {set_to(kOrganisation, "１３１４５６７８９０")}, {}},
      {"insurer number absent", {removed(kInsurer)}, {"　保険者番号がありません"}},
      {"insurer number of 6", {set_to(kInsurer, "139998")}, {"　保険者番号を確認してください"}},
      {"insured card number absent", {removed("//a:insuranceCard/a:number")}, {"　被保険者証等番号がありません"}},
      {"birth date absent", {removed(kBirth)}, {"　生年月日がありません"}},
      {"birth date of 7", {set_to(kBirth, "1960817")}, {"　生年月日を確認してください"}},
      {"sex absent", {removed("//a:subjectPerson/a:administrativeGender")}, {"　性別がありません"}},
      {"sex 3", {set_to(kSex, "3")}, {kSexOutOfRange}},
      {"sex not a number", {set_to(kSex, "M")}, {kSexOutOfRange}},
      {"postal code absent", {removed(kPostalCode)}, {"　郵便番号がありません"}},
      {"postal code without hyphen", {set_to(kPostalCode, "1600023")}, {"　郵便番号を確認してください"}},
      {"address absent", {removed(kAddress)}, {"　郵便番号がありません", "　住所がありません"}},
      {"several, in rule order",
       {removed(kBirth), set_to(kTicket, "x"), set_to(kEventType, "2")},
       {kTicketMismatch, "　実施区分は、１固定です", "　生年月日がありません"}},
  });
}

TEST(ClaimsIdentityRules, MissingNameStandsAloneUnderTheFileName) {
  const std::string file = Archive::claims_name(1);
  XmlDoc claims = XmlDoc::claims();
  claims.remove(kName);
  EXPECT_EQ(report_with_claims(claims), (std::vector<std::string>{file, "　受診者名がありません"}));

  // The record header is still due for the next finding, file name and all.
  claims.remove(kAddress);
  EXPECT_EQ(report_with_claims(claims),
            (std::vector<std::string>{file, "　受診者名がありません", "", fixture_examinee_line(), "○決済情報　" + file,
                                      "　郵便番号がありません", "　住所がありません"}));
}

TEST(ClaimsIdentityRules, UnreadableDataDocumentLeavesTicketAndNameEmpty) {
  struct Case {
    const char* name;
    std::vector<Edit> edits;
    std::vector<std::string> findings;
  } cases[] = {
      {"both present", {}, {kTicketMismatch, kNameMismatch}},
      {"no ticket number in the claims either", {removed(kTicket)}, {kNameMismatch}},
  };
  for (const Case& c : cases) {
    XmlDoc claims = XmlDoc::claims();
    for (const Edit& edit : c.edits) edit(claims);
    Archive archive;
    archive.add("DATA/" + Archive::data_name(1), "<ClinicalDocument");
    archive.add("CLAIMS/" + Archive::claims_name(1), claims.text());
    std::vector<std::string> expected = {Archive::data_name(1) + "の読込に失敗しました", "",
                                         "　保険者番号()　受診券整理番号()", "○決済情報　" + Archive::claims_name(1)};
    expected.insert(expected.end(), c.findings.begin(), c.findings.end());
    EXPECT_EQ(check(archive).lines, expected) << c.name;
  }
}

// The claims side after a data document that already wrote the pair's header.
TEST(ClaimsIdentityRules, ClaimsFindingAfterDataFindingsRepeatsNoExamineeLine) {
  TempDir dir;
  XmlDoc claims = XmlDoc::claims();
  claims.remove(kAddress);
  write_file(dir.path() + "/CLAIMS/c1.xml", claims.text());
  RunState run;
  run.report_path = dir.path() + "/ERR.txt";
  run.claims_folder = dir.path() + "/CLAIMS";
  run.data_file_list = {"h1.xml"};
  run.claims_file_list = {"c1.xml"};
  run.pair_index = 1;
  run.examinee_name = "ケンシン　ジロウ";
  run.ticket_number = "18100012345";
  run.claim_type = 2;
  run.name_line_flag = run.data_file_line_flag = run.claims_file_line_flag = kFlagSet;

  claimchecks::check_claims_document(run);
  report::close_report(run);
  EXPECT_EQ(report::read_report_lines(run.report_path),
            (std::vector<std::string>{"○決済情報　c1.xml", "　郵便番号がありません", "　住所がありません"}));
}

}  // namespace
}  // namespace kenshin::testing
