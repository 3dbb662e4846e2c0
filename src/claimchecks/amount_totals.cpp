#include <array>
#include <cstdint>
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

Amount malformed_amount(ClaimsCheck& check, std::string_view message, docs::Node node) {
  report_finding(check, message, node);
  return Amount{0, true, node};
}

Amount converted(ClaimsCheck& check, docs::Node node, std::string_view malformed) {
  std::optional<int32_t> whole = base::long_whole_number(docs::node_text(node));
  if (!whole) return malformed_amount(check, malformed, node);
  return Amount{*whole, false, node};
}

// The amounts the totals are compared with, as the rules read them. An
// amount the document lacks is 0 here: its absence is reported where it is
// required.
struct Totals {
  Amount detailed_unit_price_sum, basic_unit_price, other_unit_price_sum;
  Amount detailed_window_payment, basic_payment, other_window_payment;
  Amount unit, payment, other_program;
};

struct Reading {
  std::string_view path;
  std::string_view malformed;
  Amount Totals::*into;
};

// One term of a total: an amount, added or taken away.
struct Term {
  Amount Totals::*amount;
  int sign;
};

// A total and the amounts it must equal. `before` is read first: an amount
// the total needs that is no total of its own.
struct TotalRow {
  std::optional<Reading> before;
  Reading total;
  std::string_view absent;
  std::string_view differs;
  std::array<Term, 3> terms;
};

constexpr std::array<TotalRow, 3> kTotals{{
    {Reading{"//a:settlement/a:paymentForBasic/a:amount/@value", "　窓口負担金額(基本的な健診)を確認してください",
             &Totals::basic_payment},
     {"//a:settlement/a:unitAmount/@value", "　単価合計金額を確認してください", &Totals::unit},
     "　単価合計金額がありません",
     "　各項目の単価合計と単価合計金額が違います",
     {{{&Totals::detailed_unit_price_sum, 1}, {&Totals::basic_unit_price, 1}, {&Totals::other_unit_price_sum, 1}}}},
    {std::nullopt,
     {"//a:settlement/a:paymentAmount/@value", "　窓口負担合計金額を確認してください", &Totals::payment},
     "　窓口負担合計金額がありません",
     "　各窓口負担の合計と窓口負担合計金額が違います",
     {{{&Totals::detailed_window_payment, 1}, {&Totals::basic_payment, 1}, {&Totals::other_window_payment, 1}}}},
    {Reading{"//a:settlement/a:paymentByOtherProgram/@value", "　他の健診による負担金額を確認してください",
             &Totals::other_program},
     {"//a:settlement/a:claimAmount/@value", "　保険者への請求金額を確認してください", nullptr},
     "　保険者への請求金額がありません",
     "　単価合計金額から窓口負担合計金額を引いた金額と保険者への請求金額が違います",
     {{{&Totals::unit, 1}, {&Totals::payment, -1}, {&Totals::other_program, -1}}}},
}};

void check_total(ClaimsCheck& check, Totals& totals, const TotalRow& row) {
  if (row.before) totals.*row.before->into = read_amount(check, row.before->path, row.before->malformed).value_or(Amount{});
  std::optional<Amount> total = read_amount(check, row.total.path, row.total.malformed);
  if (row.total.into != nullptr) totals.*row.total.into = total.value_or(Amount{});
  if (!total) {
    report_finding(check, row.absent);
    return;
  }
  if (total->malformed) return;
  int64_t expected = 0;
  for (const Term& term : row.terms) {
    const Amount& amount = totals.*term.amount;
    if (amount.malformed) return;
    expected += term.sign * amount.value;
  }
  if (total->value != expected) report_finding(check, row.differs, total->node);
}

}  // namespace

std::optional<Amount> read_amount(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  docs::Node node = docs::select_node(check.doc, path);
  if (!node) return std::nullopt;
  return converted(check, node, malformed);
}

Amount read_window_payment(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  docs::Node node = docs::select_node(check.doc, path);
  if (!node || docs::node_text(node).empty()) return Amount{};
  return converted(check, node, malformed);
}

Amount sum_amounts(ClaimsCheck& check, std::string_view path, std::string_view malformed) {
  // Amounts are meant to be whole yen; a fraction is rounded away at every
  // step, so the sum is what adding the rounded figures by hand would give.
  int64_t sum = 0;
  for (docs::Node node : docs::select_all_nodes(check.doc, path)) {
    std::optional<double> amount = base::numeric_value(docs::node_text(node));
    if (!amount || !in_long_range(base::round_half_even(*amount))) return malformed_amount(check, malformed, node);
    double next = base::round_half_even(static_cast<double>(sum) + *amount);
    if (!in_long_range(next)) return malformed_amount(check, malformed, node);
    sum = static_cast<int64_t>(next);
  }
  return Amount{sum, false, {}};
}

void unit_price_sums(ClaimsCheck& check) {
  check.billed.detailed_unit_price_sum =
      sum_amounts(check, "//a:settlement/a:unitPriceDetail/a:amount/@value", "　単価(詳細な健診)を確認してください");
  check.billed.other_unit_price_sum =
      sum_amounts(check, "//a:settlement/a:unitPriceOther/a:amount/@value", "　単価(追加健診)を確認してください");
}

void amount_total_rules(ClaimsCheck& check) {
  const BilledAmounts& billed = check.billed;
  Totals totals;
  totals.detailed_unit_price_sum = billed.detailed_unit_price_sum;
  totals.basic_unit_price = billed.basic_unit_price;
  totals.other_unit_price_sum = billed.other_unit_price_sum;
  totals.detailed_window_payment = billed.detailed_window_payment;
  totals.other_window_payment = billed.other_window_payment;
  for (const TotalRow& row : kTotals) check_total(check, totals, row);
}

}  // namespace kenshin::claimchecks
