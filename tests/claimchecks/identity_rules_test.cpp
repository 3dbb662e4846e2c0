#include <gtest/gtest.h>

#include <functional>

#include "claimchecks/claims_check.h"
#include "claimchecks/claims_kit.h"
#include "report/report.h"

namespace kenshin::testing {
namespace {

constexpr const char kTicket[] = "//a:checkupCard/a:id/@extension";
constexpr const char kName[] = "//a:subjectPerson/a:name";
constexpr const char kOrganisation[] = "//a:subjectPerson/a:performerOrganization/a:id/@extension";
constexpr const char kInsurer[] = "//a:subjectPerson/a:insuranceCard/a:insurerNumber/@extension";
constexpr const char kBirth[] = "//a:subjectPerson/a:birthTime/@value";
constexpr const char kSex[] = "//a:subjectPerson/a:administrativeGender/@code";
constexpr const char kPostalCode[] = "//a:subjectPerson/a:addr/a:postalCode";

constexpr const char kTicketMismatch[] = "　データファイルと決済情報ファイルの受診券整理番号が違います";
constexpr const char kNameMismatch[] = "　データファイルと決済情報ファイルの受診者名が違います";
constexpr const char kSexOutOfRange[] = "　性別に１、２以外のコードが入っています";

TEST(ClaimsIdentityRules, EachRuleReportsItsFinding) {
  struct Case {
    const char* name;
    std::function<void(XmlDoc&)> mutate;
    std::vector<std::string> findings;
  } cases[] = {
      {"complete", [](XmlDoc&) {}, {}},
      {"ticket number absent", [](XmlDoc& d) { d.remove(kTicket); }, {kTicketMismatch}},
      {"ticket number differs", [](XmlDoc& d) { d.set(kTicket, "18100012346"); }, {kTicketMismatch}},
      {"name differs", [](XmlDoc& d) { d.set(kName, "ケンシン　サブロウ"); }, {kNameMismatch}},
      {"name with a U+0020 blank", [](XmlDoc& d) { d.set(kName, "ケンシン ジロウ"); }, {kNameMismatch}},
      {"service event type absent",
       [](XmlDoc& d) { d.remove("//a:encounter/a:serviceEventType"); },
       {"　実施区分がありません"}},
      {"service event type 01",
       [](XmlDoc& d) { d.set("//a:serviceEventType/@code", "01"); },
       {"　実施区分は、１固定です"}},
      {"service event type with a blank",
       [](XmlDoc& d) { d.set("//a:serviceEventType/@code", " 1"); },
       {"　実施区分は、１固定です"}},
      {"organisation number absent", [](XmlDoc& d) { d.remove(kOrganisation); }, {"　実施機関番号がありません"}},
      {"organisation number under another root",
       [](XmlDoc& d) { d.set("//a:performerOrganization/a:id/@root", "1.2.392.200119.6.101"); },
       {"　実施機関番号がありません"}},
      {"organisation number of 9",
       [](XmlDoc& d) { d.set(kOrganisation, "131456789"); },
       {"　実施機関番号を確認してください"}},
      {"organisation number of 11",
       [](XmlDoc& d) { d.set(kOrganisation, "13145678901"); },
       {"　実施機関番号を確認してください"}},
      {"organisation number of 10 full-width digits",
       [](XmlDoc& d) { d.set(kOrganisation, "１３１４５６７８９０"); },
       {}},
      {"insurer number absent", [](XmlDoc& d) { d.remove(kInsurer); }, {"　保険者番号がありません"}},
      {"insurer number of 6", [](XmlDoc& d) { d.set(kInsurer, "139998"); }, {"　保険者番号を確認してください"}},
      {"insured card number absent",
       [](XmlDoc& d) { d.remove("//a:insuranceCard/a:number"); },
       {"　被保険者証等番号がありません"}},
      {"birth date absent", [](XmlDoc& d) { d.remove(kBirth); }, {"　生年月日がありません"}},
      {"birth date of 7", [](XmlDoc& d) { d.set(kBirth, "1960817"); }, {"　生年月日を確認してください"}},
      {"sex absent", [](XmlDoc& d) { d.remove("//a:subjectPerson/a:administrativeGender"); }, {"　性別がありません"}},
      {"sex 0", [](XmlDoc& d) { d.set(kSex, "0"); }, {kSexOutOfRange}},
      {"sex 3", [](XmlDoc& d) { d.set(kSex, "3"); }, {kSexOutOfRange}},
      {"sex 2", [](XmlDoc& d) { d.set(kSex, "2"); }, {}},
      {"sex not a number", [](XmlDoc& d) { d.set(kSex, "M"); }, {kSexOutOfRange}},
      {"sex empty", [](XmlDoc& d) { d.set(kSex, ""); }, {kSexOutOfRange}},
      {"postal code absent", [](XmlDoc& d) { d.remove(kPostalCode); }, {"　郵便番号がありません"}},
      {"postal code without hyphen",
       [](XmlDoc& d) { d.set(kPostalCode, "1600023"); },
       {"　郵便番号を確認してください"}},
      {"address absent",
       [](XmlDoc& d) { d.remove("//a:subjectPerson/a:addr"); },
       {"　郵便番号がありません", "　住所がありません"}},
      {"several, in rule order",
       [](XmlDoc& d) { d.remove(kBirth).set(kTicket, "x").set("//a:serviceEventType/@code", "2"); },
       {kTicketMismatch, "　実施区分は、１固定です", "　生年月日がありません"}},
  };
  for (const Case& c : cases) {
    XmlDoc claims = XmlDoc::claims();
    c.mutate(claims);
    EXPECT_EQ(report_with_claims(claims), claims_report(c.findings)) << c.name;
  }
}

TEST(ClaimsIdentityRules, MissingNameStandsAloneUnderTheFileName) {
  const std::string file = Archive::claims_name(1);
  XmlDoc claims = XmlDoc::claims();
  claims.remove(kName);
  EXPECT_EQ(report_with_claims(claims), (std::vector<std::string>{file, "　受診者名がありません"}));

  // The record header is still due for the next finding, file name and all.
  claims.remove("//a:subjectPerson/a:addr");
  EXPECT_EQ(report_with_claims(claims),
            (std::vector<std::string>{file, "　受診者名がありません", "", fixture_examinee_line(), "○決済情報　" + file,
                                      "　郵便番号がありません", "　住所がありません"}));
}

TEST(ClaimsIdentityRules, UnreadableDataDocumentLeavesTicketAndNameEmpty) {
  const std::string unreadable = Archive::data_name(1) + "の読込に失敗しました";
  const std::vector<std::string> header = {unreadable, "", "　保険者番号()　受診券整理番号()",
                                           "○決済情報　" + Archive::claims_name(1)};
  struct Case {
    const char* name;
    std::function<void(XmlDoc&)> mutate;
    std::vector<std::string> lines;
  } cases[] = {
      {"both present", [](XmlDoc&) {}, {kTicketMismatch, kNameMismatch}},
      {"no ticket number in the claims either", [](XmlDoc& d) { d.remove(kTicket); }, {kNameMismatch}},
  };
  for (const Case& c : cases) {
    XmlDoc claims = XmlDoc::claims();
    c.mutate(claims);
    Archive archive;
    archive.add("DATA/" + Archive::data_name(1), "<ClinicalDocument");
    archive.add("CLAIMS/" + Archive::claims_name(1), claims.text());
    std::vector<std::string> expected = header;
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(check(archive).lines, expected) << c.name;
  }
}

TEST(ClaimsIdentityRules, UnreadableClaimsDocumentIsOneLine) {
  Archive archive;
  archive.add_pair(XmlDoc::data(), XmlDoc::claims());
  archive.entries.back().content = "<checkupClaim><settlement>";
  EXPECT_EQ(check(archive).lines, std::vector<std::string>{Archive::claims_name(1) + "の読込に失敗しました"});
}

// The claims side after a data document that already wrote the pair's header.
TEST(ClaimsIdentityRules, ClaimsFindingAfterDataFindingsRepeatsNoExamineeLine) {
  TempDir dir;
  XmlDoc claims = XmlDoc::claims();
  claims.remove("//a:subjectPerson/a:addr");
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
  run.name_line_flag = kFlagSet;
  run.data_file_line_flag = kFlagSet;
  run.claims_file_line_flag = kFlagSet;

  claimchecks::check_claims_document(run);
  report::close_report(run);
  EXPECT_EQ(report::read_report_lines(run.report_path),
            (std::vector<std::string>{"○決済情報　c1.xml", "　郵便番号がありません", "　住所がありません"}));
}

}  // namespace
}  // namespace kenshin::testing
