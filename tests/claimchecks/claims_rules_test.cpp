// The claims document rules, seen in the report of the complete data document
// paired with a changed claims document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/mutations.h"

namespace kenshin::testkit {
namespace {

Edit appended_to_settlement(const std::string& xml) { return appended("//a:settlement", xml); }

void expect_findings(const std::vector<MutationCase>& cases, const XmlDoc& base = XmlDoc::claims()) {
  testkit::expect_findings(Side::kClaims, cases, base);
}

constexpr const char kTicket[] = "//a:checkupCard/a:id/@extension";
constexpr const char kOrganisation[] = "//a:performerOrganization/a:id/@extension";
constexpr const char kInsurer[] = "//a:insuranceCard/a:insurerNumber/@extension";
constexpr const char kBirth[] = "//a:subjectPerson/a:birthTime/@value";
constexpr const char kSex[] = "//a:subjectPerson/a:administrativeGender/@code";
constexpr const char kPostalCode[] = "//a:subjectPerson/a:addr/a:postalCode";
constexpr const char kSexOutOfRange[] = "　性別に１、２以外のコードが入っています";

TEST(ClaimsIdentityRules, EachRuleReportsItsFinding) {
  expect_findings({
      {"every identity element absent, in order",
       {removed(kTicket), removed("//a:serviceEventType/@code"), removed(kOrganisation), removed(kInsurer),
        removed("//a:insuranceCard/a:number"), removed(kBirth), removed(kSex), removed("//a:subjectPerson/a:addr")},
       {"　データファイルと決済情報ファイルの受診券整理番号が違います", "　実施区分がありません",
        "　実施機関番号がありません", "　保険者番号がありません", "　被保険者証等番号がありません",
        "　生年月日がありません", "　性別がありません", "　郵便番号がありません", "　住所がありません"}},
      {"name with a U+0020 blank",
       {set_to("//a:subjectPerson/a:name", "ケンシン ジロウ")},
       {"　データファイルと決済情報ファイルの受診者名が違います"}},
      {"service event type 01", {set_to("//a:serviceEventType/@code", "01")}, {"　実施区分は、１固定です"}},
      {"organisation number of 11", {set_to(kOrganisation, "13145678901")}, {"　実施機関番号を確認してください"}},
      {"organisation number of 10 full-width digits", {set_to(kOrganisation, "１３１４５６７８９０")}, {}},
      {"insurer number of 6, birth date of 7",
       {set_to(kInsurer, "139998"), set_to(kBirth, "1960817")},
       {"　保険者番号を確認してください", "　生年月日を確認してください"}},
      {"sex 3", {set_to(kSex, "3")}, {kSexOutOfRange}},
      {"sex not a number", {set_to(kSex, "M")}, {kSexOutOfRange}},
      {"postal code without hyphen", {set_to(kPostalCode, "1600023")}, {"　郵便番号を確認してください"}},
  });
}

// The name lines stand alone; the record header is still due for the next finding.
TEST(ClaimsIdentityRules, MissingNameStandsAloneUnderTheFileName) {
  XmlDoc claims = XmlDoc::claims();
  claims.remove("//a:subjectPerson/a:name").remove("//a:subjectPerson/a:addr");
  const std::string file = Archive::claims_name(1);
  EXPECT_EQ(pair_report(XmlDoc::data(), claims),
            (std::vector<std::string>{file, "　受診者名がありません", "", fixture_examinee_line(), "○決済情報　" + file,
                                      "　郵便番号がありません", "　住所がありません"}));
}

constexpr const char kClaimType[] = "//a:settlement/a:claimType/@code";
constexpr const char kCommissionType[] = "//a:settlement/a:commissionType/@code";
constexpr const char kDetailedPrice[] = "//a:settlement/a:unitPriceDetail";
constexpr const char kOtherPrice[] = "//a:settlement/a:unitPriceOther";
constexpr const char kBasicPriceAmountAndChargeType[] = "//a:unitPriceBasic/a:amount | //a:chargeTypeBasic";
constexpr const char kNoBasicPrice[] = "　単価(基本的な健診)がありません";
constexpr const char kNoChargeType[] = "　負担金額(基本的な健診)がありません";

// Every element the claim types look at, with every amount 0 so that no total disagrees.
XmlDoc with_every_element() {
  XmlDoc doc = XmlDoc::claims();
  doc.set("//a:settlement//@value", "0");
  doc.append_xml("//a:settlement",
                 "<unitPriceOther><amount value=\"0\"/><observation code=\"1\"/></unitPriceOther>"
                 "<paymentForOther><amount value=\"0\"/></paymentForOther>");
  return doc;
}

// Each settlement lacks the elements its claim type requires and has all others: the forbidden ones are reported,
// in the order of the block, and the ones the claim type does not test are not.
TEST(ClaimTypeMatrix, EachClaimTypeReportsItsBlockInOrder) {
  const Edit no_basic_checkup = removed(kBasicPriceAmountAndChargeType);
  const std::vector<MutationCase> cases = {
      {"claim type 1",
       {set_to(kClaimType, "1"), no_basic_checkup},
       {"　請求コードが１の場合、単価(詳細な健診)は入力できません",
        "　請求コードが１の場合、単価(追加健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kNoBasicPrice, kNoChargeType}},
      {"claim type 2",
       {set_to(kClaimType, "2"), removed(kDetailedPrice), no_basic_checkup},
       {"　単価(詳細な健診)がありません", "　請求コードが２の場合、単価(追加健診)は入力できません",
        "　請求コードが２の場合、窓口負担金額(追加健診)は入力できません", kNoBasicPrice, kNoChargeType}},
      {"claim type 3",
       {set_to(kClaimType, "3"), removed(kOtherPrice), no_basic_checkup},
       {"　請求コードが３の場合、単価(詳細な健診)は入力できません", "　単価(追加健診)がありません",
        "　請求コードが３の場合、窓口負担金額(詳細な健診)は入力できません", kNoBasicPrice, kNoChargeType}},
      {"claim type 4",
       {set_to(kClaimType, "4"), removed(kDetailedPrice), removed(kOtherPrice), no_basic_checkup},
       {"　単価(詳細な健診)がありません", "　単価(追加健診)がありません", kNoBasicPrice, kNoChargeType}},
      {"claim type 5",
       {set_to(kClaimType, "5"), no_basic_checkup},
       {"　請求コードが５の場合、単価(基本的な健診)は入力できません",
        "　請求コードが５の場合、単価(詳細な健診)は入力できません",
        "　請求コードが５の場合、項目コードは入力できません",
        "　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません",
        "　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません"}},
      {"claim type 5, an item without the amount",
       {set_to(kClaimType, "5"),
        removed("//a:unitPriceBasic | //a:unitPriceDetail | //a:paymentForBasic | //a:paymentForDetail"
                " | //a:unitPriceOther/a:amount")},
       {"　単価(人間ドック)がありません"}},
      {"claim type 1.5", {set_to(kClaimType, "1.5"), no_basic_checkup}, {kNoBasicPrice, kNoChargeType}},
      {"claim type not a number",
       {set_to(kClaimType, "B"), no_basic_checkup},
       {"　請求区分に１～５以外のコードが入っています", kNoBasicPrice, kNoChargeType}},
      {"claim type and commission type absent",
       {removed("//a:settlement/a:claimType | //a:settlement/a:commissionType"), no_basic_checkup},
       {"　請求区分がありません", "　委託料単価区分がありません", kNoBasicPrice, kNoChargeType}},
  };
  expect_findings(cases, with_every_element());
}

TEST(ClaimCodeRules, CommissionTypeOutsideOneAndTwo) {
  const char* out_of_range = "　委託料単価区分に１、２以外のコードが入っています";
  expect_findings({{"commission type 0", {set_to(kCommissionType, "0")}, {out_of_range}},
                   {"commission type 3", {set_to(kCommissionType, "3")}, {out_of_range}},
                   {"commission type not a number", {set_to(kCommissionType, "x")}, {out_of_range}}});
}

// The complete settlement: claim type 2, basic 7800, detailed 230 + 1300 + 1140 + 110, unit amount 10580;
// window payments basic 1000 and detailed 500, payment amount 1500; claim amount 9080.
constexpr const char kDetailedPayment[] = "//a:settlement/a:paymentForDetail/a:amount/@value";
constexpr const char kUnitAmount[] = "//a:settlement/a:unitAmount/@value";
constexpr const char kPaymentAmount[] = "//a:settlement/a:paymentAmount/@value";
constexpr const char kClaimAmount[] = "//a:settlement/a:claimAmount/@value";
constexpr const char kPaymentMismatch[] = "　各窓口負担の合計と窓口負担合計金額が違います";
constexpr const char kClaimMismatch[] = "　単価合計金額から窓口負担合計金額を引いた金額と保険者への請求金額が違います";
constexpr const char kDetailedPriceMalformed[] = "　単価(詳細な健診)を確認してください";

Edit totals(const std::string& unit, const std::string& payment, const std::string& claim) {
  return [=](XmlDoc& d) { d.set(kUnitAmount, unit).set(kPaymentAmount, payment).set(kClaimAmount, claim); };
}
Edit two_detailed_prices(const std::string& first, const std::string& second) {
  return [=](XmlDoc& d) {
    d.remove("//a:unitPriceDetail[position() > 2]");
    d.set("//a:unitPriceDetail[1]/a:amount/@value", first).set("//a:unitPriceDetail[2]/a:amount/@value", second);
  };
}
// A settlement element holding one amount.
Edit amount_element(const std::string& element, const std::string& amount) {
  return appended_to_settlement("<" + element + "><amount value=\"" + amount + "\"/></" + element + ">");
}

TEST(AmountTotals, TotalsAgreeWithWhatTheyTotal) {
  const char* basic_price = "//a:unitPriceBasic/a:amount/@value";
  expect_findings({
      {"small, claim 6500",
       {set_to(basic_price, "5000"), two_detailed_prices("1000", "1500"), totals("7500", "1500", "6500")},
       {kClaimMismatch}},
      {"other programs pay 80",
       {appended_to_settlement("<paymentByOtherProgram value=\"80\"/>"), set_to(kClaimAmount, "9000")},
       {}},
      {"second detailed window payment not counted", {amount_element("paymentForDetail", "300")}, {}},
      {"empty detailed window payment counts 0", {set_to(kDetailedPayment, ""), totals("10580", "1000", "9580")}, {}},
      {"unit amount absent", {removed(kUnitAmount), set_to(kClaimAmount, "-1500")}, {"　単価合計金額がありません"}},
      {"payment amount absent",
       {removed(kPaymentAmount), set_to(kClaimAmount, "10580")},
       {"　窓口負担合計金額がありません"}},
      {"claim amount absent", {removed(kClaimAmount)}, {"　保険者への請求金額がありません"}},
      {"claim type 1 does not count the other window payment",
       {set_to(kClaimType, "1"), removed("//a:unitPriceDetail | //a:paymentForDetail"), amount_element("paymentForOther", "300"),
        totals("7800", "1300", "6500")},
       {"　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kPaymentMismatch}},
      {"claim type 4 counts both window payments",
       {set_to(kClaimType, "4"), amount_element("unitPriceOther", "2000"), amount_element("paymentForOther", "400"),
        totals("12580", "1900", "10680")},
       {}},
      {"claim type 5 counts its price, not its window payment",
       {set_to(kClaimType, "5"),
        removed("//a:unitPriceBasic | //a:unitPriceDetail | //a:paymentForBasic | //a:paymentForDetail"),
        amount_element("unitPriceOther", "30000"), amount_element("paymentForOther", "5000"), totals("30000", "5000", "25000")},
       {kPaymentMismatch}},
      {"no claim type: detailed window payment not counted",
       {removed("//a:settlement/a:claimType")},
       {"　請求区分がありません", kPaymentMismatch}},
      {"0.5 + 0.5 rounds to 0", {two_detailed_prices("0.5", "0.5"), totals("7800", "1500", "6300")}, {}},
      {"1.5 + 1.5 rounds to 4", {two_detailed_prices("1.5", "1.5"), totals("7804", "1500", "6304")}, {}},
      {"beyond 16 bits", {two_detailed_prices("20000", "20000"), totals("47800", "1500", "46300")}, {}},
  });
}

// Each malformed amount is reported where it is read, and no total that needs it is compared.
TEST(AmountTotals, MalformedAmountIsReportedOnceAndComparedWithNothing) {
  expect_findings({
      {"detailed price 1,300", {set_to("//a:unitPriceDetail[2]/a:amount/@value", "1,300")}, {kDetailedPriceMalformed}},
      {"detailed prices leave 32 bits", {two_detailed_prices("2000000000", "2000000000")}, {kDetailedPriceMalformed}},
      {"unit amount not a number", {set_to(kUnitAmount, "x")}, {"　単価合計金額を確認してください"}},
      {"detailed window payment not a number, read inside the matrix",
       {set_to(kDetailedPayment, "x"), amount_element("paymentForOther", "0")},
       {"　窓口負担金額(詳細な健診)を確認してください",
        "　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"}},
  });
}

}  // namespace
}  // namespace kenshin::testkit
