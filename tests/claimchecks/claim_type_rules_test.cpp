#include <gtest/gtest.h>

#include <array>
#include <functional>

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
const Cell kNone;

struct Element {
  const char* name;
  const char* path;       // present when this selects a node
  const char* removal;    // what is removed to make it absent
  int parent;             // index of the element it is added under, -1 for the settlement or card
  const char* container;  // where it is added when it has no parent element
  const char* fragment;
  int only_with;          // index of an element that must be present for the test to apply, or -1
  bool basic_checkup;     // reported after the rest of the matrix
  std::array<Cell, 7> cells;  // by claim type, in the order of kClaimTypes
};

const std::vector<Element>& matrix() {
  static const std::vector<Element> elements = {
      {"basic unit price", "//a:settlement/a:unitPriceBasic", "//a:settlement/a:unitPriceBasic", -1,
       "//a:settlement", "<unitPriceBasic/>", -1, false,
       {kNone, kNone, kNone, kNone, F("　請求コードが５の場合、単価(基本的な健診)は入力できません"), kNone, kNone}},
      {"basic unit price amount", "//a:settlement/a:unitPriceBasic/a:amount/@value",
       "//a:settlement/a:unitPriceBasic/a:amount", 0, "", "<amount value=\"0\"/>", -1, true,
       {R(kNoBasicPrice), R(kNoBasicPrice), R(kNoBasicPrice), R(kNoBasicPrice), kNone, R(kNoBasicPrice),
        R(kNoBasicPrice)}},
      {"detailed unit price", "//a:settlement/a:unitPriceDetail", "//a:settlement/a:unitPriceDetail", -1,
       "//a:settlement", "<unitPriceDetail><amount value=\"0\"/><observation code=\"1\"/></unitPriceDetail>", -1,
       false,
       {F("　請求コードが１の場合、単価(詳細な健診)は入力できません"), R("　単価(詳細な健診)がありません"),
        F("　請求コードが３の場合、単価(詳細な健診)は入力できません"), R("　単価(詳細な健診)がありません"),
        F("　請求コードが５の場合、単価(詳細な健診)は入力できません"), kNone, kNone}},
      {"other unit price", "//a:settlement/a:unitPriceOther", "//a:settlement/a:unitPriceOther", -1,
       "//a:settlement", "<unitPriceOther/>", -1, false,
       {F("　請求コードが１の場合、単価(追加健診)は入力できません"),
        F("　請求コードが２の場合、単価(追加健診)は入力できません"), R("　単価(追加健診)がありません"),
        R("　単価(追加健診)がありません"), kNone, kNone, kNone}},
      {"other unit price amount", "//a:settlement/a:unitPriceOther/a:amount/@value",
       "//a:settlement/a:unitPriceOther/a:amount", 3, "", "<amount value=\"0\"/>", -1, false,
       {kNone, kNone, kNone, kNone, R("　単価(人間ドック)がありません"), kNone, kNone}},
      {"other unit price item", "//a:settlement/a:unitPriceOther/a:observation",
       "//a:settlement/a:unitPriceOther/a:observation", 3, "", "<observation code=\"1\"/>", 4, false,
       {kNone, kNone, kNone, kNone, F("　請求コードが５の場合、項目コードは入力できません"), kNone, kNone}},
      {"basic window payment", "//a:settlement/a:paymentForBasic", "//a:settlement/a:paymentForBasic", -1,
       "//a:settlement", "<paymentForBasic><amount value=\"0\"/></paymentForBasic>", -1, false,
       {kNone, kNone, kNone, kNone, F("　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません"), kNone,
        kNone}},
      {"detailed window payment", "//a:settlement/a:paymentForDetail", "//a:settlement/a:paymentForDetail", -1,
       "//a:settlement", "<paymentForDetail><amount value=\"0\"/></paymentForDetail>", -1, false,
       {F("　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません"), kNone,
        F("　請求コードが３の場合、窓口負担金額(詳細な健診)は入力できません"), kNone,
        F("　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません"), kNone, kNone}},
      {"other window payment", "//a:settlement/a:paymentForOther", "//a:settlement/a:paymentForOther", -1,
       "//a:settlement", "<paymentForOther><amount value=\"0\"/></paymentForOther>", -1, false,
       {F("　請求コードが１の場合、窓口負担金額(追加健診)は入力できません"),
        F("　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"), kNone, kNone, kNone, kNone, kNone}},
      {"basic charge type", "//a:checkupCard/a:chargeTypeBasic", "//a:checkupCard/a:chargeTypeBasic", -1,
       "//a:checkupCard", "<chargeTypeBasic code=\"2\"><amount value=\"0\"/></chargeTypeBasic>", -1, true,
       {R(kNoBasicChargeType), R(kNoBasicChargeType), R(kNoBasicChargeType), R(kNoBasicChargeType), kNone,
        R(kNoBasicChargeType), R(kNoBasicChargeType)}},
  };
  return elements;
}

bool present(const XmlDoc& doc, const Element& e) { return doc.count(e.path) > 0; }

void add(XmlDoc& doc, const Element& e) {
  if (e.parent >= 0) {
    const Element& parent = matrix()[e.parent];
    if (!present(doc, parent)) add(doc, parent);
    doc.append_xml(parent.path, e.fragment);
  } else {
    doc.append_xml(e.container, e.fragment);
  }
}

void set_claim_type(XmlDoc& doc, int claim_type) {
  if (claim_type == 9) doc.remove("//a:settlement/a:claimType");
  else doc.set(kClaimType, claim_type == 8 ? "6" : std::to_string(claim_type));
}

// The complete settlement with every amount 0 and none of the matrix elements,
// so that adding or removing one changes no total.
XmlDoc without_priced_elements() {
  XmlDoc doc = XmlDoc::claims();
  doc.set("//a:settlement//@value", "0");
  doc.remove("//a:settlement/a:unitPriceBasic | //a:settlement/a:unitPriceDetail | //a:settlement/a:paymentForBasic"
             " | //a:settlement/a:paymentForDetail | //a:checkupCard/a:chargeTypeBasic");
  return doc;
}

// A settlement the matrix accepts for the claim type: every required element, nothing else.
XmlDoc accepted_for(int column) {
  XmlDoc doc = without_priced_elements();
  set_claim_type(doc, kClaimTypes[column]);
  for (const Element& e : matrix()) {
    if (e.cells[column].kind == 'R' && !present(doc, e)) add(doc, e);
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
  for (bool basic_checkup : {false, true}) {
    for (const Element& e : matrix()) {
      if (e.basic_checkup != basic_checkup) continue;
      if (e.only_with >= 0 && !present(doc, matrix()[e.only_with])) continue;
      const Cell& cell = e.cells[column];
      if ((cell.kind == 'F' && present(doc, e)) || (cell.kind == 'R' && !present(doc, e))) {
        findings.push_back(cell.message);
      }
    }
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
    for (const Element& e : matrix()) {
      XmlDoc doc = accepted;
      if (present(doc, e)) doc.remove(e.removal);
      else add(doc, e);
      EXPECT_EQ(report_with_claims(doc), claims_report(expected_findings(doc, column)))
          << "claim type " << claim_type << ", " << e.name << (present(doc, e) ? " present" : " absent");
    }
  }
}

TEST(ClaimTypeMatrix, FindingsOfOneBlockComeInItsOrder) {
  struct Case {
    const char* name;
    int claim_type;
    std::vector<const char*> added;  // names of matrix elements
    std::vector<std::string> findings;
  } cases[] = {
      {"claim type 1 with everything",
       1,
       {"detailed unit price", "other unit price", "detailed window payment", "other window payment"},
       {"　請求コードが１の場合、単価(詳細な健診)は入力できません", "　請求コードが１の場合、単価(追加健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません",
        "　請求コードが１の場合、窓口負担金額(追加健診)は入力できません", kNoBasicPrice, kNoBasicChargeType}},
      {"claim type 5 with everything",
       5,
       {"basic unit price", "detailed unit price", "other unit price amount", "other unit price item",
        "basic window payment", "detailed window payment", "other window payment", "basic charge type"},
       {"　請求コードが５の場合、単価(基本的な健診)は入力できません",
        "　請求コードが５の場合、単価(詳細な健診)は入力できません", "　請求コードが５の場合、項目コードは入力できません",
        "　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません",
        "　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません"}},
      {"claim type 5 with an item but no amount", 5, {"other unit price item"}, {"　単価(人間ドック)がありません"}},
      {"claim type 4 with nothing", 4, {}, {"　単価(詳細な健診)がありません", "　単価(追加健診)がありません",
                                            kNoBasicPrice, kNoBasicChargeType}},
      {"claim type 9 with nothing", 9, {}, {kNoClaimType, kNoBasicPrice, kNoBasicChargeType}},
  };
  for (const Case& c : cases) {
    XmlDoc doc = without_priced_elements();
    set_claim_type(doc, c.claim_type);
    for (const char* name : c.added) {
      for (const Element& e : matrix()) {
        if (std::string(e.name) == name) add(doc, e);
      }
    }
    EXPECT_EQ(report_with_claims(doc), claims_report(c.findings)) << c.name;
  }
}

TEST(ClaimCodeRules, ClaimTypeAndCommissionTypeCodes) {
  const char* kCommissionOutOfRange = "　委託料単価区分に１、２以外のコードが入っています";
  struct Case {
    const char* name;
    std::function<void(XmlDoc&)> mutate;
    std::vector<std::string> findings;
  } cases[] = {
      {"claim type absent", [](XmlDoc& d) { d.remove("//a:settlement/a:claimType"); }, {kNoClaimType}},
      {"claim type 0", [](XmlDoc& d) { d.set(kClaimType, "0"); }, {kClaimTypeOutOfRange}},
      {"claim type 6", [](XmlDoc& d) { d.set(kClaimType, "6"); }, {kClaimTypeOutOfRange}},
      {"claim type not a number", [](XmlDoc& d) { d.set(kClaimType, "B"); }, {kClaimTypeOutOfRange}},
      {"claim type empty", [](XmlDoc& d) { d.set(kClaimType, ""); }, {kClaimTypeOutOfRange}},
      // In range, but no claim type: no block of the matrix applies, the basic checkup rules do.
      {"claim type 1.5 without basic price",
       [](XmlDoc& d) {
         d.set(kClaimType, "1.5").remove("//a:settlement/a:unitPriceBasic");
         d.append_xml("//a:settlement", "<paymentForOther><amount value=\"0\"/></paymentForOther>");
       },
       {kNoBasicPrice}},
      {"claim type 02", [](XmlDoc& d) { d.set(kClaimType, "02").remove("//a:settlement/a:unitPriceDetail"); },
       {"　単価(詳細な健診)がありません"}},
      {"commission type absent", [](XmlDoc& d) { d.remove("//a:settlement/a:commissionType"); },
       {"　委託料単価区分がありません"}},
      {"commission type 0", [](XmlDoc& d) { d.set(kCommissionType, "0"); }, {kCommissionOutOfRange}},
      {"commission type 3", [](XmlDoc& d) { d.set(kCommissionType, "3"); }, {kCommissionOutOfRange}},
      {"commission type 2", [](XmlDoc& d) { d.set(kCommissionType, "2"); }, {}},
      {"commission type not a number", [](XmlDoc& d) { d.set(kCommissionType, "x"); }, {kCommissionOutOfRange}},
      {"claim type before commission type",
       [](XmlDoc& d) { d.remove("//a:settlement/a:claimType").set(kCommissionType, "3"); },
       {kNoClaimType, kCommissionOutOfRange}},
  };
  for (const Case& c : cases) {
    XmlDoc doc = without_priced_elements();
    doc.append_xml("//a:settlement", "<unitPriceBasic><amount value=\"0\"/></unitPriceBasic>")
        .append_xml("//a:settlement", "<unitPriceDetail><amount value=\"0\"/><observation code=\"1\"/>"
                                      "</unitPriceDetail>")
        .append_xml("//a:checkupCard", "<chargeTypeBasic code=\"2\"/>");
    c.mutate(doc);
    EXPECT_EQ(report_with_claims(doc), claims_report(c.findings)) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::testing
