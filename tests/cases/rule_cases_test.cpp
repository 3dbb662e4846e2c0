// Runs the cases of the case files in this folder (format in README.md): each
// case edits the complete fixture documents of an archive and states the
// whole report the check writes for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "extrachecks/cross_checks.h"
#include "extrachecks/extra_kit.h"

namespace kenshin::testkit {
namespace {

struct Edit {
  std::string document;  // data#N, claims#N, index or summary
  std::string op, args;
};

struct Case {
  std::string name;
  int line = 0;
  std::vector<Edit> edits;
  std::vector<std::string> report;
};

// Replaces $names by their defined paths (an undefined one throws), then code(CODE) and obs(CODE).
std::string expand(std::string text, const std::map<std::string, std::string>& paths) {
  static const std::regex name(R"(\$[A-Za-z][A-Za-z-]*)"), code(R"(code\((\w+)\))"), obs(R"(obs\((\w+)\))");
  for (std::smatch m; std::regex_search(text, m, name);) text.replace(m.position(), m.length(), paths.at(m.str()));
  text = std::regex_replace(text, code, "obs($1)/a:value/@code");
  return std::regex_replace(text, obs, "//a:observation[a:code/@code='$1']");
}

Edit parse_edit(const std::string& text) {
  std::istringstream in(text);
  Edit edit;
  in >> edit.document >> edit.op;
  std::getline(in >> std::ws, edit.args);
  if (edit.document == "data" || edit.document == "claims") edit.document += "#1";
  return edit;
}

std::vector<Case> read_cases(const std::string& file, bool& cross_checks, EditionChoice& choice) {
  std::ifstream in(std::string(KENSHIN_CASES_DIR) + "/" + file);
  if (!in) ADD_FAILURE() << "missing " << file;
  std::map<std::string, std::string> paths;
  std::vector<Case> cases;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (text.empty() || text[0] == '#') continue;
    if (text.rfind("== ", 0) == 0) {
      cases.push_back({text.substr(3), number, {}, {}});
    } else if (text.rfind("define ", 0) == 0) {
      size_t eq = text.find(" = ");
      paths["$" + text.substr(7, eq - 7)] = text.substr(eq + 3);
    } else if (text == "with cross-checks") {
      cross_checks = true;
    } else if (text.rfind("with edition 2024 fiscal year ", 0) == 0) {
      choice = {base::Edition::k2024, std::stoi(text.substr(30))};
    } else if (cases.empty()) {
      ADD_FAILURE() << file << ":" << number << ": before the first case";
    } else if (text[0] == '|') {
      cases.back().report.push_back(text.size() > 2 ? text.substr(2) : "");
    } else if (text.rfind("use ", 0) == 0) {
      auto shared = std::ranges::find(cases, text.substr(4), &Case::name);
      if (shared == cases.end())
        ADD_FAILURE() << file << ":" << number << ": no " << text.substr(4);
      else
        cases.back().edits.insert(cases.back().edits.end(), shared->edits.begin(), shared->edits.end());
    } else {
      cases.back().edits.push_back(parse_edit(expand(text, paths)));
    }
  }
  return cases;
}

// Splits "LEFT = VALUE"; the value may be empty ("LEFT =").
std::pair<std::string, std::string> split_value(const std::string& args) {
  static const std::regex assignment(R"((.*?) =(?: (.*))?)");
  std::smatch m;
  if (!std::regex_match(args, m, assignment)) ADD_FAILURE() << "no value in: " << args;
  return {m.str(1), m.str(2)};
}

// An observation of only its code and the given children: directly in the
// checkup section, nested in the first grouping observation, or in a new
// section of another code.
void place(XmlDoc& doc, const std::string& args) {
  std::istringstream in(args);
  std::string where, code, children;
  in >> where >> code;
  std::getline(in >> std::ws, children);
  std::string obs = "<observation><code code=\"" + code + "\"/>" + children + "</observation>";
  if (where == "checkup") {
    doc.append_xml("//a:section[a:code/@code='01010']", "<entry>" + obs + "</entry>");
  } else if (where == "nested") {
    doc.append_xml("(//a:observation[a:code/@nullFlavor='NA'])[1]",
                   "<entryRelationship>" + obs + "</entryRelationship>");
  } else if (where == "other") {
    doc.append_xml("//a:structuredBody",
                   "<component><section><code code=\"01020\"/><entry>" + obs + "</entry></section></component>");
  } else {
    ADD_FAILURE() << "no place " << where;
  }
}

void apply(XmlDoc& doc, const Edit& edit) {
  if (edit.op == "remove") {
    doc.remove(edit.args);
  } else if (edit.op == "set") {
    auto [path, value] = split_value(edit.args);
    doc.set(path, value);
  } else if (edit.op == "attr") {
    auto [left, value] = split_value(edit.args);
    size_t space = left.rfind(' ');
    doc.set_attribute(left.substr(0, space), left.substr(space + 1), value);
  } else if (edit.op == "append") {
    size_t at = edit.args.find(" << ");
    doc.append_xml(edit.args.substr(0, at), edit.args.substr(at + 4));
  } else if (edit.op == "place") {
    place(doc, edit.args);
  } else {
    ADD_FAILURE() << "no edit " << edit.op;
  }
}

CheckResult run_case(const Case& c, bool cross_checks, EditionChoice choice) {
  size_t pairs = cross_checks ? 2 : 1;
  for (const Edit& edit : c.edits) {
    size_t hash = edit.document.find('#');
    if (hash != std::string::npos) pairs = std::max(pairs, std::stoul(edit.document.substr(hash + 1)));
  }
  std::map<std::string, XmlDoc> documents;
  for (size_t n = 1; n <= pairs; ++n) {
    documents.emplace("data#" + std::to_string(n), XmlDoc::data());
    documents.emplace("claims#" + std::to_string(n), XmlDoc::claims());
  }
  if (cross_checks) {
    documents.emplace("index", agreeing_index());
    documents.emplace("summary", agreeing_summary());
  }
  std::set<std::string> truncated;
  for (const Edit& edit : c.edits) {
    if (edit.op == "leave-out") {
      documents.erase(edit.document);
    } else if (edit.op == "truncate") {
      documents.at(edit.document);  // an unknown document throws
      truncated.insert(edit.document);
    } else if (edit.op == "namespace") {
      XmlDoc moved = in_settlement_namespace(documents.at(edit.document), edit.args);
      documents.erase(edit.document);
      documents.emplace(edit.document, moved);
    } else
      apply(documents.at(edit.document), edit);  // an unknown document throws
  }
  Archive archive;
  if (cross_checks) {  // named after the documents' institution, like the index and summary
    archive.name = std::string(kAgreeingStem) + ".zip";
    archive.top_folder = kAgreeingStem;
  }
  auto text_of = [&](const std::string& document) {
    std::string text = documents.at(document).text();
    return truncated.count(document) != 0 ? text.substr(0, text.size() / 2) : text;
  };
  for (auto [document, file] : {std::pair{"index", "ix08_V08.xml"}, std::pair{"summary", "su08_V08.xml"}}) {
    if (documents.count(document) != 0) archive.add(file, text_of(document));
  }
  for (size_t n = 1; n <= pairs; ++n) {
    archive.add("DATA/" + Archive::data_name(static_cast<int>(n)), text_of("data#" + std::to_string(n)));
    archive.add("CLAIMS/" + Archive::claims_name(static_cast<int>(n)), text_of("claims#" + std::to_string(n)));
  }
  if (!cross_checks) return check(archive, choice);
  return check_extra(archive, extrachecks::ExtraCheckOptions{false, true}, choice);
}

// Lines that report nothing wrong: a report of only these comes from a clean run.
bool no_finding(const std::string& line) {
  return line.empty() || line == kNoError || line == extrachecks::kCrossCheckHeading ||
         line == "照合でのエラーはありません";
}

// Rules that judge a node they found (a malformed or out-of-range value, a
// test marked not performed, two values that differ, an element a claim
// type forbids): their records say where it stands and what it holds.
bool judges_a_node(std::string_view rule_id) {
  constexpr std::string_view kJudging[] = {".malformed", ".out-of-range", ".not-performed", ".not-fixed-value",
                                           ".differs", ".forbidden-with-claim-type-", ".fasting-timing",
                                           ".random-timing", ".self-reported-bmi", ".standard-code",
                                           ".paper-claim", ".past-year", ".detail-absent"};
  return std::ranges::any_of(kJudging, [&](std::string_view part) { return rule_id.find(part) != rule_id.npos; });
}

void expect_rule_and_evidence(const Finding& record) {
  EXPECT_FALSE(record.rule_id.empty()) << "no rule id: " << record.message;
  if (record.kind == FindingKind::kSchema || record.kind == FindingKind::kCrossCheck) return;
  // A missing ticket number is another year and another ticket; a BMI
  // without a value is no BMI below the limit.
  constexpr std::string_view kNodeMayBeMissing[] = {"data.ticket-number.past-year", "data.waist.self-reported-bmi",
                                                    "settlement.ticket-number.differs"};
  bool may_lack_node = std::ranges::find(kNodeMayBeMissing, record.rule_id) != std::end(kNodeMayBeMissing);
  if (judges_a_node(record.rule_id) && !may_lack_node) {
    EXPECT_GT(record.line, 0) << "no line: " << record.rule_id;
  }
}

void expect_reports(const std::string& file) {
  bool cross_checks = false;
  EditionChoice choice;
  std::vector<Case> cases = read_cases(file, cross_checks, choice);
  EXPECT_FALSE(cases.empty()) << file;
  for (const Case& c : cases) {
    if (c.name[0] == '@') continue;  // edits for other cases to use
    SCOPED_TRACE(file + ":" + std::to_string(c.line) + ": " + c.name);
    EXPECT_FALSE(c.report.empty()) << "no report";
    CheckResult run = run_case(c, cross_checks, choice);
    EXPECT_EQ(run.lines, c.report);
    for (const Finding& record : run.findings) expect_rule_and_evidence(record);
    expect_read_back(run.findings, run.report_bytes, cross_checks ? std::string(kAgreeingStem) + ".zip" : kArchiveName);
    bool clean = std::all_of(c.report.begin(), c.report.end(), no_finding);
    EXPECT_EQ(run.result.outcome, clean ? RunOutcome::kClean : RunOutcome::kFindings);
  }
}

TEST(RuleCases, HeaderRules) { expect_reports("header.txt"); }
TEST(RuleCases, ItemRules) { expect_reports("items.txt"); }
TEST(RuleCases, WaistAndHomePrefectureGates) { expect_reports("insurer_gates.txt"); }
TEST(RuleCases, DetailedRequirements) { expect_reports("detailed.txt"); }
TEST(RuleCases, OrderAndResets) { expect_reports("order.txt"); }
TEST(RuleCases, ClaimsRules) { expect_reports("claims.txt"); }
TEST(RuleCases, CrossChecks) { expect_reports("cross_checks.txt"); }
TEST(RuleCases, CrossChecks2024) { expect_reports("cross_checks2024.txt"); }
TEST(RuleCases, Edition2018Differences) { expect_reports("edition2018.txt"); }
TEST(RuleCases, Edition2024) { expect_reports("edition2024.txt"); }

}  // namespace
}  // namespace kenshin::testkit
