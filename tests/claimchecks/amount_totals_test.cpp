#include <gtest/gtest.h>

#include "claimchecks/claims_kit.h"

namespace kenshin::testing {
namespace {

// The complete settlement: claim type 2, basic 7800, detailed 230 + 1300 + 1140 + 110,
// unit amount 10580; window payments basic 1000 and detailed 500, payment amount 1500;
// claim amount 9080.
constexpr const char kClaimType[] = "//a:settlement/a:claimType/@code";
constexpr const char kBasicPrice[] = "//a:settlement/a:unitPriceBasic/a:amount/@value";
constexpr const char kDetailedPrices[] = "//a:settlement/a:unitPriceDetail/a:amount/@value";
constexpr const char kBasicPayment[] = "//a:settlement/a:paymentForBasic/a:amount/@value";
constexpr const char kDetailedPayment[] = "//a:settlement/a:paymentForDetail/a:amount/@value";
constexpr const char kOtherPayment[] = "//a:settlement/a:paymentForOther/a:amount/@value";
constexpr const char kUnitAmount[] = "//a:settlement/a:unitAmount/@value";
constexpr const char kPaymentAmount[] = "//a:settlement/a:paymentAmount/@value";
constexpr const char kClaimAmount[] = "//a:settlement/a:claimAmount/@value";
constexpr const char kChargeType[] = "//a:checkupCard/a:chargeTypeBasic";

constexpr const char kUnitMismatch[] = "　各項目の単価合計と単価合計金額が違います";
constexpr const char kPaymentMismatch[] = "　各窓口負担の合計と窓口負担合計金額が違います";
constexpr const char kClaimMismatch[] = "　単価合計金額から窓口負担合計金額を引いた金額と保険者への請求金額が違います";

Edit detailed_prices(std::vector<std::string> amounts) {
  return [=](XmlDoc& d) {
    d.remove("//a:settlement/a:unitPriceDetail");
    for (size_t i = 0; i < amounts.size(); ++i) {
      d.append_xml("//a:settlement", "<unitPriceDetail><amount value=\"" + amounts[i] + "\"/><observation code=\"" +
                                         std::to_string(i % 4 + 1) + "\"/></unitPriceDetail>");
    }
  };
}
Edit other_price(std::string amount, bool with_item = true) {
  return appended("//a:settlement", "<unitPriceOther><amount value=\"" + amount + "\"/>" +
                                        (with_item ? "<observation code=\"1\"/>" : "") + "</unitPriceOther>");
}
Edit other_payment(std::string amount) {
  return appended("//a:settlement", "<paymentForOther><amount value=\"" + amount + "\"/></paymentForOther>");
}
Edit other_program_payment(std::string amount) {
  return appended("//a:settlement", "<paymentByOtherProgram value=\"" + amount + "\"/>");
}
Edit totals(std::string unit, std::string payment, std::string claim) {
  return [=](XmlDoc& d) { d.set(kUnitAmount, unit).set(kPaymentAmount, payment).set(kClaimAmount, claim); };
}
// Claim type 1: the basic checkup only.
Edit basic_only() {
  return [](XmlDoc& d) {
    d.set(kClaimType, "1").remove("//a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForDetail");
    totals("7800", "1000", "6800")(d);
  };
}
// Claim type 3: the basic checkup and an other item of 2000 with a window payment of 400.
Edit with_other_item() {
  return [](XmlDoc& d) {
    basic_only()(d);
    d.set(kClaimType, "3");
    other_price("2000")(d);
    other_payment("400")(d);
    totals("9800", "1400", "8400")(d);
  };
}

TEST(AmountTotals, TotalsAgreeWithWhatTheyTotal) {
  const std::vector<Edit> small = {set_to(kBasicPrice, "5000"), detailed_prices({"1000", "1500"}),
                                   totals("7500", "1500", "6000")};
  std::vector<Edit> small_6500 = small;
  small_6500.push_back(set_to(kClaimAmount, "6500"));
  expect_findings({
      {"complete", {}, {}},
      {"claim type 2, small", small, {}},
      {"claim type 2, small, claim amount 6500", small_6500, {kClaimMismatch}},
      {"one detailed price differs", {set_to("//a:unitPriceDetail[1]/a:amount/@value", "231")}, {kUnitMismatch}},
      {"a second detailed window payment is not counted",
       {appended("//a:settlement", "<paymentForDetail><amount value=\"300\"/></paymentForDetail>")},
       {}},
      {"unit amount absent", {removed(kUnitAmount)}, {"　単価合計金額がありません", kClaimMismatch}},
      {"unit amount absent, claim amount 0 - payment",
       {removed(kUnitAmount), set_to(kClaimAmount, "-1500")},
       {"　単価合計金額がありません"}},
      {"payment amount absent, claim amount = unit amount",
       {removed(kPaymentAmount), set_to(kClaimAmount, "10580")},
       {"　窓口負担合計金額がありません"}},
      {"claim amount absent", {removed(kClaimAmount)}, {"　保険者への請求金額がありません"}},
      {"other programs pay 80", {other_program_payment("80"), set_to(kClaimAmount, "9000")}, {}},
      {"other programs pay 80, claim amount as before", {other_program_payment("80")}, {kClaimMismatch}},
      {"claim type 1, other window payment in the payment amount",
       {basic_only(), other_payment("300"), totals("7800", "1300", "6500")},
       {"　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kPaymentMismatch}},
      {"claim type 3 counts the other window payment", {with_other_item()}, {}},
      {"claim type 4 counts both window payments",
       {set_to(kClaimType, "4"), other_price("2000"), other_payment("400"), totals("12580", "1900", "10680")},
       {}},
      {"claim type 5, screening price and payment under the other elements",
       {set_to(kClaimType, "5"),
        removed("//a:settlement/a:unitPriceBasic | //a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForBasic"
                " | //a:settlement/a:paymentForDetail"),
        other_price("30000", false), other_payment("5000"), totals("30000", "5000", "25000")},
       {kPaymentMismatch}},
      {"claim type 9 does not count the detailed window payment",
       {removed("//a:settlement/a:claimType")},
       {"　請求区分がありません", kPaymentMismatch}},
      {"detailed window payment empty counts 0", {set_to(kDetailedPayment, ""), totals("10580", "1000", "9580")}, {}},
      {"other window payment empty counts 0",
       {with_other_item(), set_to(kOtherPayment, ""), totals("9800", "1000", "8800")},
       {}},
  });
}

TEST(AmountTotals, SumsAreRoundedAfterEachAdditionHalvesToEven) {
  expect_findings({
      {"0.5 + 0.5 gives 0", {detailed_prices({"0.5", "0.5"}), totals("7800", "1500", "6300")}, {}},
      {"1.5 + 1.5 gives 4", {detailed_prices({"1.5", "1.5"}), totals("7804", "1500", "6304")}, {}},
      {"beyond 16 bits", {detailed_prices({"20000", "20000"}), totals("47800", "1500", "46300")}, {}},
      {"detailed window payment beyond 16 bits",
       {set_to(kDetailedPayment, "40000"), totals("10580", "41000", "-30420")},
       {}},
      // 2147483647 + 2780 wraps to -2147480869 in 32 bits.
      {"unit price sum beyond 32 bits is compared as it is",
       {set_to(kBasicPrice, "2147483647"), totals("-2147480869", "1500", "-2147482369")},
       {kUnitMismatch}},
  });
}

TEST(AmountTotals, MalformedAmountIsReportedOnceAndComparedWithNothing) {
  expect_findings({
      {"detailed price not a number",
       {set_to("//a:unitPriceDetail[2]/a:amount/@value", "1,300")},
       {"　単価(詳細な健診)を確認してください"}},
      {"every detailed price not a number", {set_to(kDetailedPrices, "x")}, {"　単価(詳細な健診)を確認してください"}},
      {"detailed prices leave 32 bits",
       {detailed_prices({"2000000000", "2000000000"})},
       {"　単価(詳細な健診)を確認してください"}},
      {"basic price not a number", {set_to(kBasicPrice, "x")}, {"　単価(基本的な健診)を確認してください"}},
      {"basic price empty", {set_to(kBasicPrice, "")}, {"　単価(基本的な健診)を確認してください"}},
      {"other price not a number", {set_to(kClaimType, "4"), other_price("x")}, {"　単価(追加健診)を確認してください"}},
      {"basic window payment not a number",
       {set_to(kBasicPayment, "x")},
       {"　窓口負担金額(基本的な健診)を確認してください"}},
      {"detailed window payment not a number",
       {set_to(kDetailedPayment, "x")},
       {"　窓口負担金額(詳細な健診)を確認してください"}},
      {"other window payment not a number",
       {with_other_item(), set_to(kOtherPayment, "x")},
       {"　窓口負担金額(追加健診)を確認してください"}},
      {"unit amount not a number", {set_to(kUnitAmount, "x")}, {"　単価合計金額を確認してください"}},
      {"unit amount beyond 32 bits", {set_to(kUnitAmount, "2147483648")}, {"　単価合計金額を確認してください"}},
      {"payment amount not a number", {set_to(kPaymentAmount, "x")}, {"　窓口負担合計金額を確認してください"}},
      {"other program payment not a number",
       {other_program_payment("x")},
       {"　他の健診による負担金額を確認してください"}},
      {"claim amount empty", {set_to(kClaimAmount, "")}, {"　保険者への請求金額を確認してください"}},
  });
}

TEST(AmountTotals, FindingsOfAllGroupsComeInOrder) {
  expect_findings({
      {"every group",
       {set_to(kClaimType, "1"), set_to("//a:checkupCard/a:id/@extension", "18100099999"),
        removed("//a:settlement/a:commissionType | //a:settlement/a:unitPriceBasic/a:amount"), removed(kChargeType)},
       {"　データファイルと決済情報ファイルの受診券整理番号が違います", "　委託料単価区分がありません",
        "　請求コードが１の場合、単価(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません", "　単価(基本的な健診)がありません",
        "　負担金額(基本的な健診)がありません", kUnitMismatch, kPaymentMismatch}},
      {"detailed window payment read inside the matrix",
       {set_to(kDetailedPayment, "x"), other_price("0"), other_payment("0")},
       {"　請求コードが２の場合、単価(追加健診)は入力できません", "　窓口負担金額(詳細な健診)を確認してください",
        "　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"}},
      {"detailed prices added between the matrix and the basic checkup",
       {set_to(kClaimType, "1"), set_to(kDetailedPrices, "x"), removed(kChargeType)},
       {"　請求コードが１の場合、単価(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません", "　単価(詳細な健診)を確認してください",
        "　負担金額(基本的な健診)がありません", kPaymentMismatch}},
      {"basic price read before the charge type",
       {set_to(kBasicPrice, "x"), removed(kChargeType)},
       {"　単価(基本的な健診)を確認してください", "　負担金額(基本的な健診)がありません"}},
      {"basic window payment read before the unit amount",
       {set_to(kBasicPayment, "x"), removed(kUnitAmount)},
       {"　窓口負担金額(基本的な健診)を確認してください", "　単価合計金額がありません", kClaimMismatch}},
  });
}

}  // namespace
}  // namespace kenshin::testing
