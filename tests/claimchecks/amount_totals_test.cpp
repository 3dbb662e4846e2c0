#include <gtest/gtest.h>

#include <functional>

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
constexpr const char kUnitAmount[] = "//a:settlement/a:unitAmount/@value";
constexpr const char kPaymentAmount[] = "//a:settlement/a:paymentAmount/@value";
constexpr const char kClaimAmount[] = "//a:settlement/a:claimAmount/@value";

constexpr const char kUnitMismatch[] = "　各項目の単価合計と単価合計金額が違います";
constexpr const char kPaymentMismatch[] = "　各窓口負担の合計と窓口負担合計金額が違います";
constexpr const char kClaimMismatch[] = "　単価合計金額から窓口負担合計金額を引いた金額と保険者への請求金額が違います";

void set_detailed_prices(XmlDoc& d, const std::vector<std::string>& amounts) {
  d.remove("//a:settlement/a:unitPriceDetail");
  for (size_t i = 0; i < amounts.size(); ++i) {
    d.append_xml("//a:settlement", "<unitPriceDetail><amount value=\"" + amounts[i] + "\"/><observation code=\"" +
                                       std::to_string(i % 4 + 1) + "\"/></unitPriceDetail>");
  }
}

void add_other_price(XmlDoc& d, const std::string& amount, bool with_item = true) {
  d.append_xml("//a:settlement", "<unitPriceOther><amount value=\"" + amount + "\"/>" +
                                     (with_item ? "<observation code=\"1\"/>" : "") + "</unitPriceOther>");
}

void add_other_payment(XmlDoc& d, const std::string& amount) {
  d.append_xml("//a:settlement", "<paymentForOther><amount value=\"" + amount + "\"/></paymentForOther>");
}

void totals(XmlDoc& d, const std::string& unit, const std::string& payment, const std::string& claim) {
  d.set(kUnitAmount, unit).set(kPaymentAmount, payment).set(kClaimAmount, claim);
}

// Claim type 1: the basic checkup only.
void basic_only(XmlDoc& d) {
  d.set(kClaimType, "1").remove("//a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForDetail");
  totals(d, "7800", "1000", "6800");
}

// Claim type 3: basic checkup and an other item of 2000 with a window payment of 400.
void with_other_item(XmlDoc& d) {
  basic_only(d);
  d.set(kClaimType, "3");
  add_other_price(d, "2000");
  add_other_payment(d, "400");
  totals(d, "9800", "1400", "8400");
}

struct Case {
  const char* name;
  std::function<void(XmlDoc&)> mutate;
  std::vector<std::string> findings;
};

void run_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    XmlDoc claims = XmlDoc::claims();
    c.mutate(claims);
    EXPECT_EQ(report_with_claims(claims), claims_report(c.findings)) << c.name;
  }
}

TEST(AmountTotals, TotalsAgreeWithWhatTheyTotal) {
  auto small_claim = [](XmlDoc& d) {
    d.set(kBasicPrice, "5000");
    set_detailed_prices(d, {"1000", "1500"});
    totals(d, "7500", "1500", "6000");
  };
  run_cases({
      {"complete", [](XmlDoc&) {}, {}},
      {"claim type 2, small", small_claim, {}},
      {"claim type 2, claim amount 6500",
       [&](XmlDoc& d) {
         small_claim(d);
         d.set(kClaimAmount, "6500");
       },
       {kClaimMismatch}},
      {"one detailed price differs",
       [](XmlDoc& d) { d.set("//a:unitPriceDetail[1]/a:amount/@value", "231"); },
       {kUnitMismatch}},
      {"a second detailed window payment is not counted",
       [](XmlDoc& d) {
         d.append_xml("//a:settlement", "<paymentForDetail><amount value=\"300\"/></paymentForDetail>");
       },
       {}},
      {"unit amount absent",
       [](XmlDoc& d) { d.remove("//a:settlement/a:unitAmount"); },
       {"　単価合計金額がありません", kClaimMismatch}},
      {"unit amount absent, claim amount 0 - payment",
       [](XmlDoc& d) { d.remove("//a:settlement/a:unitAmount").set(kClaimAmount, "-1500"); },
       {"　単価合計金額がありません"}},
      {"payment amount absent, claim amount = unit amount",
       [](XmlDoc& d) { d.remove("//a:settlement/a:paymentAmount").set(kClaimAmount, "10580"); },
       {"　窓口負担合計金額がありません"}},
      {"claim amount absent",
       [](XmlDoc& d) { d.remove("//a:settlement/a:claimAmount"); },
       {"　保険者への請求金額がありません"}},
      {"other programs pay 80",
       [](XmlDoc& d) {
         d.append_xml("//a:settlement", "<paymentByOtherProgram value=\"80\"/>").set(kClaimAmount, "9000");
       },
       {}},
      {"other programs pay 80, claim amount left as it was",
       [](XmlDoc& d) { d.append_xml("//a:settlement", "<paymentByOtherProgram value=\"80\"/>"); },
       {kClaimMismatch}},
      {"claim type 1, other window payment in the payment amount",
       [](XmlDoc& d) {
         basic_only(d);
         add_other_payment(d, "300");
         totals(d, "7800", "1300", "6500");
       },
       {"　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kPaymentMismatch}},
      {"claim type 3 counts the other window payment", with_other_item, {}},
      {"claim type 4 counts both window payments",
       [](XmlDoc& d) {
         d.set(kClaimType, "4");
         add_other_price(d, "2000");
         add_other_payment(d, "400");
         totals(d, "12580", "1900", "10680");
       },
       {}},
      {"claim type 5, screening price and payment under the other elements",
       [](XmlDoc& d) {
         d.set(kClaimType, "5")
             .remove(
                 "//a:settlement/a:unitPriceBasic | //a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForBasic"
                 " | //a:settlement/a:paymentForDetail");
         add_other_price(d, "30000", false);
         add_other_payment(d, "5000");
         totals(d, "30000", "5000", "25000");
       },
       {kPaymentMismatch}},
      {"claim type 9 does not count the detailed window payment",
       [](XmlDoc& d) { d.remove("//a:settlement/a:claimType"); },
       {"　請求区分がありません", kPaymentMismatch}},
      {"detailed window payment empty counts 0",
       [](XmlDoc& d) {
         d.set(kDetailedPayment, "");
         totals(d, "10580", "1000", "9580");
       },
       {}},
      {"other window payment empty counts 0",
       [](XmlDoc& d) {
         with_other_item(d);
         d.set("//a:settlement/a:paymentForOther/a:amount/@value", "");
         totals(d, "9800", "1000", "8800");
       },
       {}},
  });
}

TEST(AmountTotals, SumsAreRoundedAfterEachAdditionHalvesToEven) {
  auto details = [](std::vector<std::string> amounts, std::string unit, std::string claim) {
    return [=](XmlDoc& d) {
      set_detailed_prices(d, amounts);
      totals(d, unit, "1500", claim);
    };
  };
  run_cases({
      {"0.5 + 0.5 gives 0", details({"0.5", "0.5"}, "7800", "6300"), {}},
      {"1.5 + 1.5 gives 4", details({"1.5", "1.5"}, "7804", "6304"), {}},
      {"beyond 16 bits", details({"20000", "20000"}, "47800", "46300"), {}},
      {"detailed window payment beyond 16 bits",
       [](XmlDoc& d) {
         d.set(kDetailedPayment, "40000");
         totals(d, "10580", "41000", "-30420");
       },
       {}},
      // 2147483647 + 2780 wraps to -2147480869 in 32 bits.
      {"unit price sum beyond 32 bits is compared as it is",
       [](XmlDoc& d) {
         d.set(kBasicPrice, "2147483647");
         totals(d, "-2147480869", "1500", "-2147482369");
       },
       {kUnitMismatch}},
  });
}

TEST(AmountTotals, MalformedAmountIsReportedOnceAndComparedWithNothing) {
  run_cases({
      {"detailed price not a number",
       [](XmlDoc& d) { d.set("//a:unitPriceDetail[2]/a:amount/@value", "1,300"); },
       {"　単価(詳細な健診)を確認してください"}},
      {"two detailed prices not numbers",
       [](XmlDoc& d) { d.set(kDetailedPrices, "x"); },
       {"　単価(詳細な健診)を確認してください"}},
      {"detailed prices leave 32 bits",
       [](XmlDoc& d) {
         set_detailed_prices(d, {"2000000000", "2000000000"});
       },
       {"　単価(詳細な健診)を確認してください"}},
      {"detailed price empty",
       [](XmlDoc& d) { d.set("//a:unitPriceDetail[1]/a:amount/@value", ""); },
       {"　単価(詳細な健診)を確認してください"}},
      {"basic price not a number",
       [](XmlDoc& d) { d.set(kBasicPrice, "x"); },
       {"　単価(基本的な健診)を確認してください"}},
      {"basic price empty", [](XmlDoc& d) { d.set(kBasicPrice, ""); }, {"　単価(基本的な健診)を確認してください"}},
      {"other price not a number",
       [](XmlDoc& d) {
         d.set(kClaimType, "4");
         add_other_price(d, "x");
       },
       {"　単価(追加健診)を確認してください"}},
      {"basic window payment not a number",
       [](XmlDoc& d) { d.set(kBasicPayment, "x"); },
       {"　窓口負担金額(基本的な健診)を確認してください"}},
      {"detailed window payment not a number",
       [](XmlDoc& d) { d.set(kDetailedPayment, "x"); },
       {"　窓口負担金額(詳細な健診)を確認してください"}},
      {"other window payment not a number",
       [](XmlDoc& d) {
         with_other_item(d);
         d.set("//a:settlement/a:paymentForOther/a:amount/@value", "x");
       },
       {"　窓口負担金額(追加健診)を確認してください"}},
      {"unit amount not a number", [](XmlDoc& d) { d.set(kUnitAmount, "x"); }, {"　単価合計金額を確認してください"}},
      {"unit amount beyond 32 bits",
       [](XmlDoc& d) { d.set(kUnitAmount, "2147483648"); },
       {"　単価合計金額を確認してください"}},
      {"payment amount not a number",
       [](XmlDoc& d) { d.set(kPaymentAmount, "x"); },
       {"　窓口負担合計金額を確認してください"}},
      {"other program payment not a number",
       [](XmlDoc& d) { d.append_xml("//a:settlement", "<paymentByOtherProgram value=\"x\"/>"); },
       {"　他の健診による負担金額を確認してください"}},
      {"claim amount not a number",
       [](XmlDoc& d) { d.set(kClaimAmount, "x"); },
       {"　保険者への請求金額を確認してください"}},
      {"claim amount empty", [](XmlDoc& d) { d.set(kClaimAmount, ""); }, {"　保険者への請求金額を確認してください"}},
  });
}

TEST(AmountTotals, FindingsOfAllGroupsComeInOrder) {
  run_cases({
      {"every group",
       [](XmlDoc& d) {
         d.set(kClaimType, "1").set("//a:checkupCard/a:id/@extension", "18100099999");
         d.remove(
             "//a:settlement/a:commissionType | //a:settlement/a:unitPriceBasic/a:amount"
             " | //a:checkupCard/a:chargeTypeBasic");
       },
       {"　データファイルと決済情報ファイルの受診券整理番号が違います", "　委託料単価区分がありません",
        "　請求コードが１の場合、単価(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません", "　単価(基本的な健診)がありません",
        "　負担金額(基本的な健診)がありません", kUnitMismatch, kPaymentMismatch}},
      {"detailed window payment read inside the matrix",
       [](XmlDoc& d) {
         d.set(kDetailedPayment, "x");
         add_other_price(d, "0");
         add_other_payment(d, "0");
       },
       {"　請求コードが２の場合、単価(追加健診)は入力できません", "　窓口負担金額(詳細な健診)を確認してください",
        "　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"}},
      {"detailed prices added between the matrix and the basic checkup",
       [](XmlDoc& d) { d.set(kClaimType, "1").set(kDetailedPrices, "x").remove("//a:checkupCard/a:chargeTypeBasic"); },
       {"　請求コードが１の場合、単価(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません", "　単価(詳細な健診)を確認してください",
        "　負担金額(基本的な健診)がありません", kPaymentMismatch}},
      {"basic price read before the charge type",
       [](XmlDoc& d) { d.set(kBasicPrice, "x").remove("//a:checkupCard/a:chargeTypeBasic"); },
       {"　単価(基本的な健診)を確認してください", "　負担金額(基本的な健診)がありません"}},
      {"basic window payment read before the unit amount",
       [](XmlDoc& d) { d.set(kBasicPayment, "x").remove("//a:settlement/a:unitAmount"); },
       {"　窓口負担金額(基本的な健診)を確認してください", "　単価合計金額がありません", kClaimMismatch}},
  });
}

}  // namespace
}  // namespace kenshin::testing
