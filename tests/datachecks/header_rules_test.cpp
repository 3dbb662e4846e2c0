#include "datachecks/data_cases.h"

namespace kenshin::testkit {
namespace {

constexpr const char kName[] = "//a:recordTarget/a:patientRole/a:patient/a:name";
constexpr const char kTicket[] = "//a:participant/a:associatedEntity/a:id/@extension";
constexpr const char kReportCategory[] = "/a:ClinicalDocument/a:code/@code";
const std::string kFile = Archive::data_name(1);
const std::string kClaimsLine = "○決済情報　" + Archive::claims_name(1);
const std::string kSexOutOfRange = "　性別に１、２以外のコードが入っています";
const std::string kOtherYear = "　過年度分の請求ですのでチェックが正常には行えません。";
const std::string kTicketDiffers = "　データファイルと決済情報ファイルの受診券整理番号が違います";
const std::string kNameDiffers = "　データファイルと決済情報ファイルの受診者名が違います";

std::string shown(const std::string& insurer, const std::string& ticket = "18100012345") {
  return "ケンシン　ジロウ　保険者番号(" + insurer + ")　受診券整理番号(" + ticket + ")";
}

TEST(HeaderRules, EachMutationYieldsItsFindingUnderTheRecordHeader) {
  expect_findings({
      {"report category 11", {set_to(kReportCategory, "11")}, {"　報告区分は、１０固定です"}},
      {"insurer 99", {insurer("99139998")}, {"　紙での請求でないかを確認してください"}, shown("99139998")},
      {"insurer of 7", {insurer("0613999")}, {"　保険者番号を確認してください"}, shown("")},
      {"ticket of 17", {set_to(kTicket, "17100012345")}, {kOtherYear}, shown("06139998", "17100012345"), {kTicketDiffers}},
      {"ticket absent", {removed(kTicket)}, {kOtherYear}, shown("06139998", ""), {kTicketDiffers}},
      {"sex 3", {set_to(kSex, "3")}, {kSexOutOfRange}},
      {"sex M", {set_to(kSex, "M")}, {kSexOutOfRange}},
      {"sex beyond 16 bits", {set_to(kSex, "65537")}, {kSexOutOfRange}},
      {"sex 2.5 rounds to 2", {set_to(kSex, "2.5")}, {}},
      {"creating organisation of 9",
       {set_to("//a:author/a:assignedAuthor/a:representedOrganization/a:id/@extension", "131456789")},
       {"　ファイル作成機関番号を確認してください"}},
  });
}

// The name lines stand alone; the record header is still due for the next finding.
TEST(HeaderRules, WithoutANameTheFileNameStandsInForTheExamineeLine) {
  XmlDoc data = XmlDoc::data();
  data.remove(kName).set(kReportCategory, "11");
  EXPECT_EQ(pair_report(data, XmlDoc::claims()),
            (std::vector<std::string>{kFile, "　受診者名がありません", "○健診情報　" + kFile,
                                      "　報告区分は、１０固定です", kClaimsLine, kNameDiffers}));
}

TEST(HeaderRules, AnEmptyDocumentGetsEveryAbsentMessageInOrderThenTheItemRules) {
  const std::vector<std::string> expected = {
      kFile, "　受診者名がありません", "○健診情報　" + kFile, "　報告区分がありません",
      "　ファイル作成日(/ClinicalDocument/effectiveTime)がありません", "　保険者番号がありません", kOtherYear,
      "　被保険者証等番号がありません", "　生年月日がありません", "　性別がありません", "　受診者郵便番号がありません",
      "　受診者住所がありません", "　ファイル作成日、ファイル作成機関がありません",
      "　ファイル作成機関番号がありません", "　ファイル作成機関名称がありません", "　プログラム種別がありません",
      "　健診実施日がありません", "　健診実施機関番号がありません", "　健診実施機関名称がありません",
      "　健診実施機関の郵便番号がありません", "　健診実施機関の所在地がありません",
      "　健診実施機関の電話番号がありません", "　特定健診のＣＤＡセクションコードがありません",
      // the item groups, each in its own order
      "　身長がありません", "　体重がありません", "　ＢＭＩがありません", "　既往歴がありません",
      "　自覚症状がありません", "　他覚症状がありません", "　収縮期血圧がありません", "　拡張期血圧がありません",
      "　中性脂肪がありません", "　ＨＤＬコレステロールがありません", "　ＬＤＬコレステロールがありません",
      "　ＧＯＴ（ＡＳＴ）がありません", "　ＧＰＴ（ＡＬＴ）がありません", "　γ-GT(γ-GTP)がありません",
      "　医師の診断（判定）がありません", "　健康診断を実施した医師の氏名がありません", "　服薬１（血圧）がありません",
      "　服薬２（血糖）がありません", "　服薬３（脂質）がありません", "　喫煙がありません", "　腹囲がありません",
      "　メタボリックシンドローム判定がありません", "　保健指導レベルがありません",
      // the claims pre-read found the detailed items the complete settlement bills
      "　詳細検査の場合、心電図（実施理由）が必要です", "　詳細検査の場合、心電図（対象者）が必要です",
      "　眼底検査（実施理由）がありません", "　眼底検査（対象者）がありません",
      "　詳細検査の場合、貧血（実施理由）が必要です", "　詳細検査の場合、クレアチニン（実施理由）が必要です",
      "　詳細検査の場合、クレアチニン（対象者）が必要です", "　詳細検査の場合、クレアチニン（eGFR）が必要です",
      // the complete settlement, compared with a document without identity
      kClaimsLine, kTicketDiffers, kNameDiffers};
  EXPECT_EQ(pair_report(XmlDoc("<ClinicalDocument xmlns=\"urn:hl7-org:v3\"/>"), XmlDoc::claims()), expected);
}

}  // namespace
}  // namespace kenshin::testkit
