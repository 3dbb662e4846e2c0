// Every finding the checks can report, each under a stable rule id that an
// in-house system may key on: the ids never change meaning, and a new rule
// gets a new id. docs/findings.md lists the same table.
#pragma once

#include <span>
#include <string_view>

#include "run/finding.h"

namespace kenshin::report {

struct RuleRow {
  FindingKind kind;
  std::string_view id;
  std::string_view item_code;  // the item the rule is about, where it is about one
  std::string_view message;    // as the report writes it; {…} stands for a part that varies
};

std::span<const RuleRow> rule_table();

// The row of a message of the given kind; nullptr for a message the table
// does not know (which a test over the table and the case files rules out).
const RuleRow* find_rule(FindingKind kind, std::string_view message);

// The rows whose message is a template, for the findings made from one.
inline constexpr std::string_view kLoadFailedTemplate = "{ファイル名}の読込に失敗しました";

}  // namespace kenshin::report
