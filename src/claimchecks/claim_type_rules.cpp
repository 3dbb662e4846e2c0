#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "claimchecks/claims_rules.h"
#include "docs/claim_type.h"

namespace kenshin::claimchecks {

namespace {

constexpr const char kCommissionTypePath[] = "//a:settlement/a:commissionType/@code";
constexpr const char kOtherUnitPriceAmountPath[] = "//a:settlement/a:unitPriceOther/a:amount/@value";

// What a claim type asks of one element of the settlement.
enum class Cell : uint8_t {
  kNotTested,
  kForbidden,  // reported when present
  kRequired,   // reported when absent
  kRead,       // allowed; its amount enters the window payment sum
};

struct MatrixCell {
  Cell kind = Cell::kNotTested;
  std::string_view message;
};

constexpr MatrixCell forbidden(std::string_view message) { return {Cell::kForbidden, message}; }
constexpr MatrixCell required(std::string_view message) { return {Cell::kRequired, message}; }
constexpr MatrixCell kNotTested{};
constexpr MatrixCell kRead{Cell::kRead, {}};

// A window payment a claim type may bill besides the basic one.
struct WindowPayment {
  std::string_view amount;
  Amount BilledAmounts::*into;
  std::string_view malformed;
};

struct MatrixRow {
  std::string_view element;                 // presence is all that counts
  std::string_view only_with;               // when set, the row is tested only where this is present too
  std::array<MatrixCell, 5> by_claim_type;  // claim types 1 to 5
  WindowPayment payment{};                  // what a kRead cell reads
};

// Claim type 1 bills the basic checkup, 2 adds detailed items, 3 adds other
// (extra) items, 4 both, and 5 a complete health screening (人間ドック) billed
// as one other unit price. The rows stand in the order the findings are
// written.
constexpr std::array<MatrixRow, 8> kClaimTypeMatrix = {{
    {"//a:settlement/a:unitPriceBasic",
     "",
     {kNotTested, kNotTested, kNotTested, kNotTested,
      forbidden("　請求コードが５の場合、単価(基本的な健診)は入力できません")}},
    {"//a:settlement/a:unitPriceDetail",
     "",
     {forbidden("　請求コードが１の場合、単価(詳細な健診)は入力できません"), required("　単価(詳細な健診)がありません"),
      forbidden("　請求コードが３の場合、単価(詳細な健診)は入力できません"), required("　単価(詳細な健診)がありません"),
      forbidden("　請求コードが５の場合、単価(詳細な健診)は入力できません")}},
    {"//a:settlement/a:unitPriceOther",
     "",
     {forbidden("　請求コードが１の場合、単価(追加健診)は入力できません"),
      forbidden("　請求コードが２の場合、単価(追加健診)は入力できません"), required("　単価(追加健診)がありません"),
      required("　単価(追加健診)がありません"), kNotTested}},
    {kOtherUnitPriceAmountPath,
     "",
     {kNotTested, kNotTested, kNotTested, kNotTested, required("　単価(人間ドック)がありません")}},
    // A screening is billed as a whole, not by item; without its amount the
    // missing amount is the one thing to report.
    {"//a:settlement/a:unitPriceOther/a:observation",
     kOtherUnitPriceAmountPath,
     {kNotTested, kNotTested, kNotTested, kNotTested, forbidden("　請求コードが５の場合、項目コードは入力できません")}},
    {"//a:settlement/a:paymentForDetail",
     "",
     {forbidden("　請求コードが１の場合、窓口負担金額(詳細な健診)は入力できません"), kRead,
      forbidden("　請求コードが３の場合、窓口負担金額(詳細な健診)は入力できません"), kRead,
      forbidden("　請求コードが５の場合、窓口負担金額(詳細な健診)は入力できません")},
     {"//a:settlement/a:paymentForDetail/a:amount/@value", &BilledAmounts::detailed_window_payment,
      "　窓口負担金額(詳細な健診)を確認してください"}},
    {"//a:settlement/a:paymentForBasic",
     "",
     {kNotTested, kNotTested, kNotTested, kNotTested,
      forbidden("　請求コードが５の場合、窓口負担金額(基本的な健診)は入力できません")}},
    {"//a:settlement/a:paymentForOther",
     "",
     {forbidden("　請求コードが１の場合、窓口負担金額(追加健診)は入力できません"),
      forbidden("　請求コードが２の場合、窓口負担金額(追加健診)は入力できません"), kRead, kRead, kNotTested},
     {"//a:settlement/a:paymentForOther/a:amount/@value", &BilledAmounts::other_window_payment,
      "　窓口負担金額(追加健診)を確認してください"}},
}};

// The matrix column of the claim type; none for a missing or out-of-range
// code, nor for one such as 1.5 that lies in range but names no claim type.
std::optional<size_t> matrix_column(double claim_type) {
  for (size_t column = 0; column < 5; ++column) {
    if (claim_type == static_cast<double>(column + 1)) return column;
  }
  return std::nullopt;
}

}  // namespace

void claim_code_rules(ClaimsCheck& check) {
  RunState& run = check.run;
  if (run.claim_type == docs::kClaimTypeMissing) {
    report_finding(check, "　請求区分がありません");
  } else if (run.claim_type == docs::kClaimTypeOutOfRange) {
    report_finding(check, "　請求区分に１～５以外のコードが入っています",
                   docs::select_node(check.doc, docs::kClaimTypePath));
  }

  docs::Node commission = docs::select_node(check.doc, kCommissionTypePath);
  if (!commission) {
    report_finding(check, "　委託料単価区分がありません");
  } else {
    std::optional<double> code = base::numeric_value(docs::node_text(commission));
    if (!code || *code < 1 || *code > 2) {
      report_finding(check, "　委託料単価区分に１、２以外のコードが入っています", commission);
    }
  }
}

void claim_type_matrix(ClaimsCheck& check) {
  std::optional<size_t> column = matrix_column(check.run.claim_type);
  if (!column) return;
  for (const MatrixRow& row : kClaimTypeMatrix) {
    const MatrixCell& cell = row.by_claim_type[*column];
    if (cell.kind == Cell::kNotTested) continue;
    if (cell.kind == Cell::kRead) {
      check.billed.*row.payment.into = read_window_payment(check, row.payment.amount, row.payment.malformed);
      continue;
    }
    if (!row.only_with.empty() && !docs::select_node(check.doc, row.only_with)) continue;
    docs::Node element = docs::select_node(check.doc, row.element);
    if ((cell.kind == Cell::kForbidden && element) || (cell.kind == Cell::kRequired && !element)) {
      report_finding(check, cell.message, element);
    }
  }
}

void basic_checkup_rules(ClaimsCheck& check) {
  // A screening (claim type 5) replaces the basic checkup.
  if (check.run.claim_type == 5) return;
  std::optional<Amount> basic_price =
      read_amount(check, "//a:settlement/a:unitPriceBasic/a:amount/@value", "　単価(基本的な健診)を確認してください");
  if (!basic_price) {
    report_finding(check, "　単価(基本的な健診)がありません");
  } else {
    check.billed.basic_unit_price = *basic_price;
  }
  if (!docs::select_node(check.doc, "//a:checkupCard/a:chargeTypeBasic")) {
    report_finding(check, "　負担金額(基本的な健診)がありません");
  }
}

}  // namespace kenshin::claimchecks
