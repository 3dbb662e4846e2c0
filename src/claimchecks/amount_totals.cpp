#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "claimchecks/claims_rules.h"

namespace kenshin::claimchecks {

namespace {

bool in_long_range(double value) {
  return value >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
         value <= static_cast<double>(std::numeric_limits<int32_t>::max());
}

Amount malformed_amount(ClaimsCheck& check, std::string_view message) {
  report_finding(check, message);
  return Amount{0, true};
}

Amount converted(ClaimsCheck& check, const std::string& text, std::string_view malformed) {
  std::optional<int32_t> whole = base::long_whole_number(text);
  if (!whole) return malformed_amount(check, malformed);
  return Amount{*whole, false};
}

bool well_formed(std::initializer_list<Amount> amounts) {
  for (const Amount& a : amounts) {
    if (a.malformed) return false;
  }
  return true;
}

}  // namespace

std::optional<Amount> read_amount(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  std::optional<std::string> text = docs::select_text(check.doc, path);
  if (!text) return std::nullopt;
  return converted(check, *text, malformed);
}

Amount read_window_payment(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  std::optional<std::string> text = docs::select_text(check.doc, path);
  if (!text || text->empty()) return Amount{};
  return converted(check, *text, malformed);
}

Amount sum_amounts(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  // Amounts are meant to be whole yen; a fraction is rounded away at every
  // step, so the sum is what adding the rounded figures by hand would give.
  int64_t sum = 0;
  for (docs::Node node : docs::select_all_nodes(check.doc, path)) {
    std::optional<double> amount = base::numeric_value(docs::node_text(node));
    if (!amount || !in_long_range(base::round_half_even(*amount))) return malformed_amount(check, malformed);
    double next = base::round_half_even(static_cast<double>(sum) + *amount);
    if (!in_long_range(next)) return malformed_amount(check, malformed);
    sum = static_cast<int64_t>(next);
  }
  return Amount{sum, false};
}

void unit_price_sums(ClaimsCheck& check) {
  check.billed.detailed_unit_price_sum =
      sum_amounts(check, "//a:settlement/a:unitPriceDetail/a:amount/@value", "　単価(詳細な健診)を確認してください");
  check.billed.other_unit_price_sum =
      sum_amounts(check, "//a:settlement/a:unitPriceOther/a:amount/@value", "　単価(追加健診)を確認してください");
}

void amount_total_rules(ClaimsCheck& check) {
  const BilledAmounts& billed = check.billed;

  Amount basic_payment = read_amount(check, "//a:settlement/a:paymentForBasic/a:amount/@value",
                                     "　窓口負担金額(基本的な健診)を確認してください")
                             .value_or(Amount{});

  std::optional<Amount> unit_amount =
      read_amount(check, "//a:settlement/a:unitAmount/@value", "　単価合計金額を確認してください");
  if (!unit_amount) {
    report_finding(check, "　単価合計金額がありません");
  } else if (well_formed({*unit_amount, billed.detailed_unit_price_sum, billed.basic_unit_price,
                          billed.other_unit_price_sum})) {
    int64_t unit_price_sum =
        billed.detailed_unit_price_sum.value + billed.basic_unit_price.value + billed.other_unit_price_sum.value;
    if (unit_amount->value != unit_price_sum) {
      report_finding(check, "　各項目の単価合計と単価合計金額が違います");
    }
  }

  std::optional<Amount> payment_amount =
      read_amount(check, "//a:settlement/a:paymentAmount/@value", "　窓口負担合計金額を確認してください");
  if (!payment_amount) {
    report_finding(check, "　窓口負担合計金額がありません");
  } else if (well_formed(
                 {*payment_amount, billed.detailed_window_payment, basic_payment, billed.other_window_payment})) {
    int64_t window_payment_sum =
        billed.detailed_window_payment.value + basic_payment.value + billed.other_window_payment.value;
    if (payment_amount->value != window_payment_sum) {
      report_finding(check, "　各窓口負担の合計と窓口負担合計金額が違います");
    }
  }

  Amount other_program_payment =
      read_amount(check, "//a:settlement/a:paymentByOtherProgram/@value", "　他の健診による負担金額を確認してください")
          .value_or(Amount{});

  // A missing unit or payment amount has been reported already and counts as 0 here.
  std::optional<Amount> claim_amount =
      read_amount(check, "//a:settlement/a:claimAmount/@value", "　保険者への請求金額を確認してください");
  Amount unit = unit_amount.value_or(Amount{});
  Amount payment = payment_amount.value_or(Amount{});
  if (!claim_amount) {
    report_finding(check, "　保険者への請求金額がありません");
  } else if (well_formed({*claim_amount, unit, payment, other_program_payment})) {
    if (claim_amount->value != (unit.value - payment.value) - other_program_payment.value) {
      report_finding(check, "　単価合計金額から窓口負担合計金額を引いた金額と保険者への請求金額が違います");
    }
  }
}

}  // namespace kenshin::claimchecks
