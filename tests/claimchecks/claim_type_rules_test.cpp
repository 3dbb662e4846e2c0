#include <gtest/gtest.h>

#include <array>

#include "claimchecks/claims_kit.h"

namespace kenshin::testing {
namespace {

constexpr const char kClaimType[] = "//a:settlement/a:claimType/@code";
constexpr const char kCommissionType[] = "//a:settlement/a:commissionType/@code";
constexpr const char kNoClaimType[] = "　請求区分がありません";
constexpr const char kClaimTypeOutOfRange[] = "　請求区分に１～５以外のコードが入っています";
constexpr const char kNoBasicPrice[] = "　単価(基本的な健診)がありません";
constexpr const char kNoBasicChargeType[] = "　負担金額(基本的な健診)がありません";

// The claim types a settlement can arrive with: 1..5, 8 (a code out of range), 9 (no code).
constexpr std::array<int, 7> kClaimTypes = {1, 2, 3, 4, 5, 8, 9};

// What the claim type asks of an element: 'F' reported when present, 'R' when absent, '-' nothing.
struct Cell {
  char kind = '-';
  const char* message = "";
};
Cell F(const char* message) { return {'F', message}; }
Cell R(const char* message) { return {'R', message}; }
const Cell _;

// Elements, by the order of kElements.
enum Element {
  kBasicPrice,
  kBasicPriceAmount,
  kDetailedPrice,
  kOtherPrice,
  kOtherPriceAmount,
  kOtherPriceItem,
  kBasicPayment,
  kDetailedPayment,
  kOtherPayment,
  kBasicChargeType,
};

// How a test puts an element into a settlement, and finds it there.
struct Placement {
  const char* name;
  const char* path;  // present when this selects a node; removing it makes it absent
  const char* under;
  const char* fragment;
  int parent;  // the element `under` stands for, added first when missing; -1 for none
};

const Placement kElements[] = {
    {"basic unit price", "//a:settlement/a:unitPriceBasic", "//a:settlement", "<unitPriceBasic/>", -1},
    {"basic unit price amount", "//a:settlement/a:unitPriceBasic/a:amount", "//a:settlement/a:unitPriceBasic",
     "<amount value=\"0\"/>", kBasicPrice},
    {"detailed unit price", "//a:settlement/a:unitPriceDetail", "//a:settlement",
     "<unitPriceDetail><amount value=\"0\"/><observation code=\"1\"/></unitPriceDetail>", -1},
    {"other unit price", "//a:settlement/a:unitPriceOther", "//a:settlement", "<unitPriceOther/>", -1},
    {"other unit price amount", "//a:settlement/a:unitPriceOther/a:amount", "//a:settlement/a:unitPriceOther",
     "<amount value=\"0\"/>", kOtherPrice},
    {"other unit price item", "//a:settlement/a:unitPriceOther/a:observation", "//a:settlement/a:unitPriceOther",
     "<observation code=\"1\"/>", kOtherPrice},
    {"basic window payment", "//a:settlement/a:paymentForBasic", "//a:settlement",
     "<paymentForBasic><amount value=\"0\"/></paymentForBasic>", -1},
    {"detailed window payment", "//a:settlement/a:paymentForDetail", "//a:settlement",
     "<paymentForDetail><amount value=\"0\"/></paymentForDetail>", -1},
    {"other window payment", "//a:settlement/a:paymentForOther", "//a:settlement",
     "<paymentForOther><amount value=\"0\"/></paymentForOther>", -1},
    {"basic charge type", "//a:checkupCard/a:chargeTypeBasic", "//a:checkupCard",
     "<chargeTypeBasic code=\"2\"><amount value=\"0\"/></chargeTypeBasic>", -1},
};

struct MatrixRow {
  Element element;
  std::array<Cell, 7> cells;  // claim types in the order of kClaimTypes
};

// clang-format off
// The claim-type matrix, in the order its findings are written.
const MatrixRow kMatrix[] = {
    {kBasicPrice,      {_, _, _, _, F("　請求コードが５の場合、単価(基本的な健診)は入力できません"), _, _}},
    {kDetailedPrice,   {F("　請求コードが１の場合、単価(詳細な健診)は入力できません"),
                        R("　単価(詳細な健診)がありません"),
                        F("　請求コードが３の場合、単価(詳細な健診)は入力できません"),
                        R("　単価(詳細な健診)がありません"),
                        F("　請求コードが５の場合、単価(詳細な健診)は入力できません"), _, _}},
    {kOtherPrice,      {F("　請求コードが１の場合、単価(追加健診)は入力できません"),
                        F("　請求コードが２の場合、単価(追加健診)は入力できません"),
                        R("　単価(追加健診)がありません"),
                        R("　単価(追加健診)がありません"), _, _, _}},
    {kOtherPriceAmount, {_, _, _, _, R("　単価(人間ドック)がありません"), _, _}},
    // Tested only when the other unit price amount is present.
    {kOtherPriceItem,  {_, _, _, _, F("　請求コードが５の場合、項目コードは入力できません"), _, _}},
    {kDetailedPayment, {F("　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません"), _,
                        F("　請求コードが３の場合、窓口負担金額(詳細な健診)は入力できません"), _,
                        F("　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません"), _, _}},
    {kBasicPayment,    {_, _, _, _, F("　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません"), _, _}},
    {kOtherPayment,    {F("　請求コードが１の場合、窓口負担金額(追加健診)は入力できません"),
                        F("　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"), _, _, _, _, _}},
    // The basic checkup, after the unit prices are added up.
    {kBasicPriceAmount, {R(kNoBasicPrice), R(kNoBasicPrice), R(kNoBasicPrice), R(kNoBasicPrice), _,
                         R(kNoBasicPrice), R(kNoBasicPrice)}},
    {kBasicChargeType, {R(kNoBasicChargeType), R(kNoBasicChargeType), R(kNoBasicChargeType),
                        R(kNoBasicChargeType), _, R(kNoBasicChargeType), R(kNoBasicChargeType)}},
};
// clang-format on

bool present(const XmlDoc& doc, int element) { return doc.count(kElements[element].path) > 0; }

void add(XmlDoc& doc, int element) {
  const Placement& p = kElements[element];
  if (p.parent >= 0 && !present(doc, p.parent)) add(doc, p.parent);
  doc.append_xml(p.under, p.fragment);
}

void set_claim_type(XmlDoc& doc, int claim_type) {
  if (claim_type == 9) {
    doc.remove("//a:settlement/a:claimType");
  } else {
    doc.set(kClaimType, claim_type == 8 ? "6" : std::to_string(claim_type));
  }
}

// The complete settlement with every amount 0 and none of the matrix elements,
// so that adding or removing one changes no total.
XmlDoc without_priced_elements() {
  XmlDoc doc = XmlDoc::claims();
  doc.set("//a:settlement//@value", "0");
  doc.remove(
      "//a:settlement/a:unitPriceBasic | //a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForBasic"
      " | //a:settlement/a:paymentForDetail | //a:checkupCard/a:chargeTypeBasic");
  return doc;
}

// A settlement the matrix accepts for the claim type: every required element, nothing else.
XmlDoc accepted_for(int column) {
  XmlDoc doc = without_priced_elements();
  set_claim_type(doc, kClaimTypes[column]);
  for (const MatrixRow& row : kMatrix) {
    if (row.cells[column].kind == 'R' && !present(doc, row.element)) add(doc, row.element);
  }
  return doc;
}

std::vector<std::string> claim_type_code_findings(int claim_type) {
  if (claim_type == 8) return {kClaimTypeOutOfRange};
  if (claim_type == 9) return {kNoClaimType};
  return {};
}

// The findings the matrix expects for a document.
std::vector<std::string> expected_findings(const XmlDoc& doc, int column) {
  std::vector<std::string> findings = claim_type_code_findings(kClaimTypes[column]);
  for (const MatrixRow& row : kMatrix) {
    if (row.element == kOtherPriceItem && !present(doc, kOtherPriceAmount)) continue;
    const Cell& cell = row.cells[column];
    bool is_present = present(doc, row.element);
    if ((cell.kind == 'F' && is_present) || (cell.kind == 'R' && !is_present)) findings.push_back(cell.message);
  }
  return findings;
}

// Every cell in both states: the accepted document has it in one, adding or
// removing the element puts it in the other.
TEST(ClaimTypeMatrix, EveryCellInBothStates) {
  for (size_t column = 0; column < kClaimTypes.size(); ++column) {
    const int claim_type = kClaimTypes[column];
    const XmlDoc accepted = accepted_for(column);
    EXPECT_EQ(report_with_claims(accepted), claims_report(claim_type_code_findings(claim_type)))
        << "claim type " << claim_type << ", accepted document";
    for (int element = kBasicPrice; element <= kBasicChargeType; ++element) {
      XmlDoc doc = accepted;
      if (present(doc, element)) {
        doc.remove(kElements[element].path);
      } else {
        add(doc, element);
      }
      EXPECT_EQ(report_with_claims(doc), claims_report(expected_findings(doc, column)))
          << "claim type " << claim_type << ", " << kElements[element].name
          << (present(doc, element) ? " present" : " absent");
    }
  }
}

// Adds the elements to a settlement of the claim type without any of them.
Edit with_claim_type(int claim_type, std::vector<Element> elements = {}) {
  return [=](XmlDoc& d) {
    set_claim_type(d, claim_type);
    for (Element element : elements) add(d, element);
  };
}

TEST(ClaimTypeMatrix, FindingsOfOneBlockComeInItsOrder) {
  expect_findings(
      {
          {"claim type 1 with everything",
           {with_claim_type(1, {kDetailedPrice, kOtherPrice, kDetailedPayment, kOtherPayment})},
           {"　請求コードが１の場合、単価(詳細な健診)は入力できません",
            "　請求コードが１の場合、単価(追加健診)は入力できません",
            "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません",
            "　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kNoBasicPrice, kNoBasicChargeType}},
          {"claim type 5 with everything",
           {with_claim_type(5, {kBasicPrice, kDetailedPrice, kOtherPriceAmount, kOtherPriceItem, kBasicPayment,
                                kDetailedPayment, kOtherPayment, kBasicChargeType})},
           {"　請求コードが５の場合、単価(基本的な健診)は入力できません",
            "　請求コードが５の場合、単価(詳細な健診)は入力できません",
            "　請求コードが５の場合、項目コードは入力できません",
            "　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません",
            "　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません"}},
          {"claim type 5 with an item but no amount",
           {with_claim_type(5, {kOtherPriceItem})},
           {"　単価(人間ドック)がありません"}},
      },
      without_priced_elements());
}

TEST(ClaimCodeRules, ClaimTypeAndCommissionTypeCodes) {
  const char* kCommissionOutOfRange = "　委託料単価区分に１、２以外のコードが入っています";
  // A settlement of claim type 1 with every amount 0. A code of 1.5 is in
  // range but names no claim type: neither the block of 1 nor that of 2 (which
  // 1.5 rounds to) applies, the basic checkup rules do.
  expect_findings(
      {
          {"claim type not a number", {set_to(kClaimType, "B")}, {kClaimTypeOutOfRange}},
          {"claim type 1.5",
           {set_to(kClaimType, "1.5"), removed("//a:settlement/a:unitPriceBasic"),
            appended("//a:settlement", "<paymentForOther><amount value=\"0\"/></paymentForOther>")},
           {kNoBasicPrice}},
          {"commission type absent", {removed("//a:settlement/a:commissionType")}, {"　委託料単価区分がありません"}},
          {"commission type 3", {set_to(kCommissionType, "3")}, {kCommissionOutOfRange}},
          {"commission type not a number", {set_to(kCommissionType, "x")}, {kCommissionOutOfRange}},
          {"claim type before commission type",
           {removed("//a:settlement/a:claimType"), set_to(kCommissionType, "0")},
           {kNoClaimType, kCommissionOutOfRange}},
      },
      accepted_for(0));
}

}  // namespace
}  // namespace kenshin::testing
