#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "claimchecks/claims_rules.h"
#include "report/report.h"

namespace kenshin::claimchecks {

namespace {

constexpr const char kTicketNumberPath[] = "//a:checkupCard/a:id/@extension";
constexpr const char kExamineeNamePath[] = "//a:subjectPerson/a:name";

// What is asked of an identifier once it is there.
enum class Test {
  kNone,
  kTextOne,       // exactly the text "1"; "01" or " 1" is not it
  kLength,        // a fixed number of characters; the characters themselves are not looked at
  kCodeOneOrTwo,  // a number from 1 to 2
};

struct IdentityRule {
  std::string_view path;
  std::string_view absent;
  Test test;
  int length;
  std::string_view failed;
};

constexpr std::array<IdentityRule, 8> kIdentityRules = {{
    {"//a:encounter/a:serviceEventType/@code", "　実施区分がありません", Test::kTextOne, 0, "　実施区分は、１固定です"},
    {"//a:subjectPerson/a:performerOrganization/a:id[@root='1.2.392.200119.6.102']/@extension",
     "　実施機関番号がありません", Test::kLength, 10, "　実施機関番号を確認してください"},
    {"//a:subjectPerson/a:insuranceCard/a:insurerNumber[@root='1.2.392.200119.6.101']/@extension",
     "　保険者番号がありません", Test::kLength, 8, "　保険者番号を確認してください"},
    {"//a:subjectPerson/a:insuranceCard/a:number[@root='1.2.392.200119.6.205']/@extension",
     "　被保険者証等番号がありません", Test::kNone, 0, ""},
    {"//a:subjectPerson/a:birthTime/@value", "　生年月日がありません", Test::kLength, 8,
     "　生年月日を確認してください"},
    {"//a:subjectPerson/a:administrativeGender/@code", "　性別がありません", Test::kCodeOneOrTwo, 0,
     "　性別に１、２以外のコードが入っています"},
    // A postal code is written with its hyphen: 123-4567.
    {"//a:subjectPerson/a:addr/a:postalCode", "　郵便番号がありません", Test::kLength, 8,
     "　郵便番号を確認してください"},
    {"//a:subjectPerson/a:addr", "　住所がありません", Test::kNone, 0, ""},
}};

bool passes(const IdentityRule& rule, const std::string& text) {
  switch (rule.test) {
    case Test::kNone:
      return true;
    case Test::kTextOne:
      return base::text_equals(text, "1");
    case Test::kLength:
      return base::text_length(text) == rule.length;
    case Test::kCodeOneOrTwo: {
      // A code that is not a number is as wrong as one out of range.
      std::optional<double> code = base::numeric_value(text);
      return code && *code >= 1 && *code <= 2;
    }
  }
  return true;
}

}  // namespace

void identity_rules(ClaimsCheck& check) {
  RunState& run = check.run;

  // A settlement without a ticket number belongs to no ticket: it matches only
  // a data document that has none either.
  docs::Node ticket = docs::select_node(check.doc, kTicketNumberPath);
  if (!base::text_equals(docs::node_text(ticket), run.ticket_number)) {
    report_finding(check, "　データファイルと決済情報ファイルの受診券整理番号が違います", ticket);
  }

  // Without a name the settlement cannot be shown under the examinee: its file
  // name stands alone above the finding, and the record header stays due.
  docs::Node name = docs::select_node(check.doc, kExamineeNamePath);
  if (!name) {
    report::report_claims_name_missing(run, "　受診者名がありません");
  } else if (!base::text_equals(docs::node_text(name), run.examinee_name)) {
    report_finding(check, "　データファイルと決済情報ファイルの受診者名が違います", name);
  }

  for (const IdentityRule& rule : kIdentityRules) {
    docs::Node node = docs::select_node(check.doc, rule.path);
    if (!node) {
      report_finding(check, rule.absent);
    } else if (!passes(rule, docs::node_text(node))) {
      report_finding(check, rule.failed, node);
    }
  }
}

}  // namespace kenshin::claimchecks
