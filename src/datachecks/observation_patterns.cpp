#include "datachecks/observation_patterns.h"

#include "docs/text.h"

namespace kenshin::datachecks {

namespace {

std::string path_of(std::string_view start, std::string_view code) {
  std::string path;
  path.reserve(start.size() + code.size() + kPathEnd.size());
  path.append(start).append(code).append(kPathEnd);
  return path;
}

docs::Node find(const DataCheck& check, std::string_view base, std::string_view suffix) {
  if (suffix.empty()) return docs::select_node(check.doc, base);
  std::string path;
  path.reserve(base.size() + suffix.size());
  path.append(base).append(suffix);
  return docs::select_node(check.doc, path);
}

}  // namespace

std::string item_path(std::string_view code) { return path_of(kItemPathStart, code); }
std::string nested_path(std::string_view code) { return path_of(kNestedPathStart, code); }
std::string checkup_section_path(std::string_view code) { return path_of(kCheckupSectionPathStart, code); }

bool selects(const DataCheck& check, std::string_view base, std::string_view suffix) {
  return static_cast<bool>(find(check, base, suffix));
}

bool is_negated(const DataCheck& check, std::string_view base) {
  docs::Node negation = find(check, base, kNegationSuffix);
  return negation && docs::text_equals(docs::node_text(negation), "true");
}

bool has_null_flavor(const DataCheck& check, std::string_view base) { return selects(check, base, kNullFlavorSuffix); }

ItemState check_performed_item(DataCheck& check, const PerformedItem& item) {
  std::string path = item_path(item.code);
  if (!selects(check, path)) {
    report_finding(check, item.absent);
    return ItemState::kAbsent;
  }
  if (is_negated(check, path)) {
    report_finding(check, item.not_performed);
    return ItemState::kNotPerformed;
  }
  return ItemState::kPerformed;
}

void check_bmi_item(DataCheck& check, const PerformedItem& bmi) {
  check.bmi_value.clear();
  if (check_performed_item(check, bmi) != ItemState::kPerformed) return;
  docs::Node value = find(check, item_path(bmi.code), kValueSuffix);
  check.bmi_value = value ? docs::node_text(value) : std::string(kBmiValueMissing);
}

void check_coded_item(DataCheck& check, const CodedItem& item) {
  check.code_value = 0;
  std::string path = item_path(item.code);
  if (!selects(check, path)) {
    report_finding(check, item.absent);
    return;
  }
  bool negated = is_negated(check, path);
  if (negated) report_finding(check, item.not_performed);
  // A test not performed, or a result given as a null flavor, has no code to check.
  if (has_null_flavor(check, path) || negated) return;
  check_value_code(check, path, item.no_code, item.out_of_range, item.highest_code);
}

void check_value_code(DataCheck& check, std::string_view base, std::string_view no_code, std::string_view out_of_range,
                      int highest_code) {
  docs::Node code = find(check, base, kValueCodeSuffix);
  if (!code) {
    report_finding(check, no_code);
    return;
  }
  check.code_value = docs::numeric_value(docs::node_text(code));
  if (!check.code_value || *check.code_value < 1 || *check.code_value > highest_code) {
    report_finding(check, out_of_range);
  }
}

void check_companion(DataCheck& check, const Companion& companion) {
  if (check.code_value != 1.0) return;
  if (!selects(check, item_path(companion.code))) report_finding(check, companion.absent);
}

void check_method_group(DataCheck& check, const MethodGroup& group) {
  bool performed = false;
  int negated_count = 0;
  for (std::string_view code : group.codes) {
    if (code.empty()) break;
    std::string path = item_path(code);
    if (!selects(check, path)) continue;
    if (is_negated(check, path)) {
      ++negated_count;
    } else {
      performed = true;
    }
  }
  if (performed) return;
  report_finding(check, negated_count > 0 ? group.not_performed : group.absent);
}

}  // namespace kenshin::datachecks
