#include <gtest/gtest.h>

#include <functional>

#include "datachecks/data_check.h"
#include "datachecks/data_mutations.h"
#include "report/report.h"

namespace kenshin::datachecks {
namespace {

using namespace kenshin::testing;

constexpr const char kName[] = "//a:recordTarget/a:patientRole/a:patient/a:name";
constexpr const char kInsurer[] = "//a:recordTarget/a:patientRole/a:id[@root='1.2.392.200119.6.101']/@extension";
constexpr const char kTicket[] = "//a:participant/a:associatedEntity/a:id/@extension";
constexpr const char kSex[] = "//a:administrativeGenderCode/@code";

std::string name_line(const std::string& insurer, const std::string& ticket) {
  return "ケンシン　ジロウ　保険者番号(" + insurer + ")　受診券整理番号(" + ticket + ")";
}

struct Case {
  const char* name;
  std::function<void(XmlDoc&)> mutate;
  std::vector<std::string> expected;
};

TEST(HeaderRules, EachMutationYieldsItsFindingUnderTheRecordHeader) {
  const std::string file = Archive::data_name(1);
  const Case cases[] = {
      {"complete", [](XmlDoc&) {}, {kNoError}},
      {"report category 11", [](XmlDoc& d) { d.set("/a:ClinicalDocument/a:code/@code", "11"); },
       findings({"　報告区分は、１０固定です"})},
      // The first code attribute left is the program type's.
      {"report category removed", [](XmlDoc& d) { d.remove("/a:ClinicalDocument/a:code/@code"); },
       findings({"　報告区分は、１０固定です"})},
      {"creation date of 7", [](XmlDoc& d) { d.set("/a:ClinicalDocument/a:effectiveTime/@value", "2018120"); },
       findings({"　ファイル作成日(/ClinicalDocument/effectiveTime)を確認してください"})},
      {"insurer 99", [](XmlDoc& d) { d.set(kInsurer, "99139998"); },
       findings({"　紙での請求でないかを確認してください"}, name_line("99139998", "18100012345"))},
      {"insurer of 7", [](XmlDoc& d) { d.set(kInsurer, "0613999"); },
       findings({"　保険者番号を確認してください"}, name_line("", "18100012345"))},
      {"insurer beginning with letters", [](XmlDoc& d) { d.set(kInsurer, "AB139998"); }, {kNoError}},
      {"ticket of 17", [](XmlDoc& d) { d.set(kTicket, "17100012345"); },
       findings({"　過年度分の請求ですのでチェックが正常には行えません。"}, name_line("06139998", "17100012345"))},
      {"ticket absent", [](XmlDoc& d) { d.remove(kTicket); },
       findings({"　過年度分の請求ですのでチェックが正常には行えません。"}, name_line("06139998", ""))},
      {"sex absent", [](XmlDoc& d) { d.remove(kSex); }, findings({"　性別がありません"})},
      {"sex 3", [](XmlDoc& d) { d.set(kSex, "3"); }, findings({"　性別に１、２以外のコードが入っています"})},
      {"sex 0", [](XmlDoc& d) { d.set(kSex, "0"); }, findings({"　性別に１、２以外のコードが入っています"})},
      {"sex M", [](XmlDoc& d) { d.set(kSex, "M"); }, findings({"　性別に１、２以外のコードが入っています"})},
      {"sex beyond 16 bits", [](XmlDoc& d) { d.set(kSex, "65537"); },
       findings({"　性別に１、２以外のコードが入っています"})},
      {"sex 2.5 rounds to 2", [](XmlDoc& d) { d.set(kSex, "2.5"); }, {kNoError}},
      {"examinee postal code of 7", [](XmlDoc& d) { d.set("//a:patientRole/a:addr/a:postalCode", "1600023"); },
       findings({"　受診者郵便番号を確認してください"})},
      {"creating organisation of 9",
       [](XmlDoc& d) { d.set("//a:author/a:assignedAuthor/a:representedOrganization/a:id/@extension", "131456789"); },
       findings({"　ファイル作成機関番号を確認してください"})},
      {"performing organisation of 11",
       [](XmlDoc& d) {
         d.set("//a:performer/a:assignedEntity/a:representedOrganization/a:id/@extension", "13145678901");
       },
       findings({"　健診実施機関番号を確認してください"})},
      // The doctor's author in the body has no time value and no organisation.
      {"header author removed", [](XmlDoc& d) { d.remove("/a:ClinicalDocument/a:author"); },
       findings({"　ファイル作成日、ファイル作成機関がありません", "　ファイル作成機関番号がありません",
                 "　ファイル作成機関名称がありません"})},
      {"no section coded 01010", [](XmlDoc& d) { d.set("//a:section/a:code/@code", "01011"); },
       findings({"　特定健診のＣＤＡセクションコードがありません"})},
      {"name absent", [](XmlDoc& d) { d.remove(kName); }, {file, "　受診者名がありません"}},
      {"name absent and a later finding",
       [](XmlDoc& d) { d.remove(kName).set("/a:ClinicalDocument/a:code/@code", "11"); },
       {file, "　受診者名がありません", "○健診情報　" + file, "　報告区分は、１０固定です"}},
  };
  for (const Case& c : cases) {
    XmlDoc data = XmlDoc::data();
    c.mutate(data);
    EXPECT_EQ(data_report(data), c.expected) << c.name;
  }
}

TEST(HeaderRules, AnEmptyDocumentGetsEveryAbsentMessageInOrderThenTheItemRules) {
  const std::string file = Archive::data_name(1);
  const std::vector<std::string> expected = {
      file, "　受診者名がありません", "○健診情報　" + file, "　報告区分がありません",
      "　ファイル作成日(/ClinicalDocument/effectiveTime)がありません", "　保険者番号がありません",
      "　過年度分の請求ですのでチェックが正常には行えません。", "　被保険者証等番号がありません",
      "　生年月日がありません", "　性別がありません", "　受診者郵便番号がありません", "　受診者住所がありません",
      "　ファイル作成日、ファイル作成機関がありません", "　ファイル作成機関番号がありません",
      "　ファイル作成機関名称がありません", "　プログラム種別がありません", "　健診実施日がありません",
      "　健診実施機関番号がありません", "　健診実施機関名称がありません", "　健診実施機関の郵便番号がありません",
      "　健診実施機関の所在地がありません", "　健診実施機関の電話番号がありません",
      "　特定健診のＣＤＡセクションコードがありません",
      // the item groups, each in its own order
      "　身長がありません", "　体重がありません", "　ＢＭＩがありません", "　既往歴がありません",
      "　自覚症状がありません", "　他覚症状がありません", "　収縮期血圧がありません", "　拡張期血圧がありません",
      "　中性脂肪がありません", "　ＨＤＬコレステロールがありません", "　ＬＤＬコレステロールがありません",
      "　ＧＯＴ（ＡＳＴ）がありません", "　ＧＰＴ（ＡＬＴ）がありません", "　γ-GT(γ-GTP)がありません"};
  std::vector<std::string> lines = data_report(XmlDoc("<ClinicalDocument xmlns=\"urn:hl7-org:v3\"/>"));
  ASSERT_GE(lines.size(), expected.size());
  lines.resize(expected.size());  // the groups that follow add their own lines
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace kenshin::datachecks
