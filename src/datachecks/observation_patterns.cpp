#include "datachecks/observation_patterns.h"

#include "base/text.h"

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

void report_if_given(DataCheck& check, std::string_view message, docs::Node judged, std::string_view item_code) {
  if (!message.empty()) report_finding(check, message, judged, item_code);
}

// The negationInd of the item in the form its lookup settles on.
docs::Node negation_of(const DataCheck& check, std::string_view code, Lookup lookup) {
  std::optional<FoundItem> item = find_item(check, code, lookup);
  return item ? find(check, item->path, kNegationSuffix) : docs::Node{};
}

}  // namespace

std::string item_path(std::string_view code) { return path_of(kItemPathStart, code); }
std::string nested_path(std::string_view code) { return path_of(kNestedPathStart, code); }
std::string checkup_section_path(std::string_view code) { return path_of(kCheckupSectionPathStart, code); }

std::string path_in(Form form, std::string_view code) {
  switch (form) {
    case Form::kNested:
      return nested_path(code);
    case Form::kCheckupSection:
      return checkup_section_path(code);
    case Form::kDirect:
      break;
  }
  return item_path(code);
}

bool selects(const DataCheck& check, std::string_view base, std::string_view suffix) {
  return static_cast<bool>(find(check, base, suffix));
}

std::optional<FoundItem> find_item(const DataCheck& check, std::string_view code, Lookup lookup,
                                   std::string_view presence_suffix) {
  auto found_in = [&](Form form) -> std::optional<FoundItem> {
    std::string path = path_in(form, code);
    if (!selects(check, path, presence_suffix)) return std::nullopt;
    return FoundItem{form, std::move(path)};
  };
  switch (lookup) {
    case Lookup::kNestedFirst:
      if (std::optional<FoundItem> nested = found_in(Form::kNested)) return nested;
      return found_in(Form::kDirect);
    case Lookup::kCheckupSection:
      return found_in(Form::kCheckupSection);
    case Lookup::kDirect:
      break;
  }
  return found_in(Form::kDirect);
}

bool selects_in(const DataCheck& check, std::string_view code, Lookup lookup, std::string_view suffix) {
  return find_item(check, code, lookup, suffix).has_value();
}

bool is_negated(const DataCheck& check, std::string_view base) {
  return is_not_performed(check, base, Negation::kExactlyTrue);
}

bool is_not_performed(const DataCheck& check, std::string_view base, Negation negation) {
  docs::Node node = find(check, base, kNegationSuffix);
  if (negation == Negation::kExactlyTrue) return node && base::text_equals(docs::node_text(node), "true");
  return node && !base::text_equals(docs::node_text(node), "false");
}

bool has_null_flavor(const DataCheck& check, std::string_view base) { return selects(check, base, kNullFlavorSuffix); }

ItemState item_state(const DataCheck& check, std::string_view code, Lookup lookup, Negation negation) {
  std::optional<FoundItem> item = find_item(check, code, lookup);
  if (!item) return ItemState::kAbsent;
  return is_not_performed(check, item->path, negation) ? ItemState::kNotPerformed : ItemState::kPerformed;
}

ItemState check_performed_item(DataCheck& check, const PerformedItem& item) {
  ItemState state = item_state(check, item.code);
  if (state == ItemState::kAbsent) report_finding(check, item.absent, {}, item.code);
  if (state == ItemState::kNotPerformed) {
    report_finding(check, item.not_performed, negation_of(check, item.code, Lookup::kDirect), item.code);
  }
  return state;
}

void check_bmi_item(DataCheck& check, const PerformedItem& bmi) {
  check.bmi_value.clear();
  check.bmi_node = {};
  if (check_performed_item(check, bmi) != ItemState::kPerformed) return;
  docs::Node value = find(check, item_path(bmi.code), kValueSuffix);
  check.bmi_value = value ? docs::node_text(value) : std::string(kBmiValueMissing);
  check.bmi_node = value;
}

CodedResult check_coded_item(DataCheck& check, const CodedItem& item) {
  std::string_view presence_suffix = item.presence == Presence::kValueCode ? kValueCodeSuffix : std::string_view{};
  std::optional<FoundItem> found = find_item(check, item.code, item.lookup, presence_suffix);
  if (!found) {
    report_if_given(check, item.absent, {}, item.code);
    return {};
  }
  CodedResult result{0.0, found->form, {}};
  bool negated = is_negated(check, found->path);
  if (negated) report_if_given(check, item.not_performed, find(check, found->path, kNegationSuffix), item.code);
  // A test not performed, or a result given as a null flavor, has no code to check.
  if (has_null_flavor(check, found->path) || negated) return result;
  result.code_value = check_value_code(check, item.code, found->path, item.no_code, item.out_of_range,
                                       item.highest_code, &result.code_node);
  return result;
}

CodeValue check_value_code(DataCheck& check, std::string_view item_code, std::string_view base,
                           std::string_view no_code, std::string_view out_of_range, int highest_code,
                           docs::Node* code_node) {
  docs::Node code = find(check, base, kValueCodeSuffix);
  if (code_node != nullptr) *code_node = code;
  if (!code) {
    report_finding(check, no_code, find(check, base, kValueElementSuffix), item_code);
    return 0.0;
  }
  CodeValue value = base::numeric_value(docs::node_text(code));
  if (!value || *value < 1 || *value > highest_code) report_finding(check, out_of_range, code, item_code);
  return value;
}

void check_companion(DataCheck& check, const Companion& companion, const CodedResult& item) {
  if (item.code_value != 1.0) return;
  if (!selects(check, path_in(item.form, companion.code), companion.required_suffix)) {
    report_finding(check, companion.absent, item.code_node, companion.code);
  }
}

void GroupTally::add(ItemState state, docs::Node negation, std::string_view code) {
  if (state == ItemState::kPerformed) performed = true;
  if (state != ItemState::kNotPerformed) return;
  if (negated_count++ == 0) {
    first_negation = negation;
    first_negated_code = code;
  }
}

void report_group(DataCheck& check, const GroupTally& tally, std::string_view absent, std::string_view not_performed) {
  if (tally.performed) return;
  if (tally.negated_count > 0) {
    report_finding(check, not_performed, tally.first_negation, tally.first_negated_code);
  } else {
    report_finding(check, absent);
  }
}

ItemState GroupTally::examine(const DataCheck& check, std::string_view code, Lookup lookup, Negation negation) {
  ItemState state = item_state(check, code, lookup, negation);
  add(state, state == ItemState::kNotPerformed ? negation_of(check, code, lookup) : docs::Node{}, code);
  return state;
}

void check_method_group(DataCheck& check, const MethodGroup& group) {
  GroupTally tally;
  for (std::string_view code : group.codes) tally.examine(check, code, group.lookup, group.negation);
  report_group(check, tally, group.absent, group.not_performed);
}

void check_coded_method_group(DataCheck& check, const CodedMethodGroup& group) {
  GroupTally tally;
  for (const CodedMethod& method : group.methods) {
    std::string path = item_path(method.code);
    if (!selects(check, path)) continue;
    bool negated = is_negated(check, path);
    if (negated) tally.add(ItemState::kNotPerformed, find(check, path, kNegationSuffix), method.code);
    // A null flavor is a result, negated or not, but has no code to test.
    if (has_null_flavor(check, path)) {
      tally.performed = true;
    } else if (!negated) {
      tally.performed = true;
      check_value_code(check, method.code, path, method.no_code, method.out_of_range, group.highest_code);
    }
  }
  report_group(check, tally, group.absent, group.not_performed);
}

}  // namespace kenshin::datachecks
