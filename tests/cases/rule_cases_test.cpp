// Runs the rule cases of the case files in this folder (format in README.md):
// each case edits the complete fixture documents of one or more pairs and
// states the whole report the check writes for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/check_kit.h"

namespace kenshin::testkit {
namespace {

struct Edit {
  bool claims = false;
  size_t pair = 1;
  std::string op, args;
};

struct Case {
  std::string name;
  int line = 0;
  std::vector<Edit> edits;
  std::vector<std::string> report;
};

// Replaces $names by their defined paths, then obs(CODE) and code(CODE).
std::string expand(std::string text, const std::map<std::string, std::string>& paths) {
  static const std::regex name(R"(\$[A-Za-z][A-Za-z-]*)"), code(R"(code\((\w+)\))"), obs(R"(obs\((\w+)\))");
  std::smatch m;
  while (std::regex_search(text, m, name)) {
    auto found = paths.find(m.str());
    if (found == paths.end()) {
      ADD_FAILURE() << "undefined " << m.str();
      break;
    }
    text.replace(m.position(), m.length(), found->second);
  }
  text = std::regex_replace(text, code, "obs($1)/a:value/@code");
  return std::regex_replace(text, obs, "//a:observation[a:code/@code='$1']");
}

Edit parse_edit(const std::string& text) {
  std::istringstream in(text);
  std::string target;
  Edit edit;
  in >> target >> edit.op;
  std::getline(in >> std::ws, edit.args);
  size_t hash = target.find('#');
  if (hash != std::string::npos) edit.pair = std::stoul(target.substr(hash + 1));
  edit.claims = target.substr(0, hash) == "claims";
  if (!edit.claims && target.substr(0, hash) != "data") ADD_FAILURE() << "no document named in: " << text;
  return edit;
}

std::vector<Case> read_cases(const std::string& file) {
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
    } else if (cases.empty()) {
      ADD_FAILURE() << file << ":" << number << ": before the first case";
    } else if (text[0] == '|') {
      cases.back().report.push_back(text.size() > 2 ? text.substr(2) : "");
    } else if (text.rfind("use ", 0) == 0) {
      auto shared = std::find_if(cases.begin(), cases.end(), [&](const Case& c) { return c.name == text.substr(4); });
      if (shared == cases.end()) ADD_FAILURE() << file << ":" << number << ": no block " << text.substr(4);
      else cases.back().edits.insert(cases.back().edits.end(), shared->edits.begin(), shared->edits.end());
    } else {
      cases.back().edits.push_back(parse_edit(expand(text, paths)));
    }
  }
  return cases;
}

// Splits "LEFT = VALUE"; the value may be empty ("LEFT =").
std::pair<std::string, std::string> split_value(const std::string& args) {
  size_t eq = args.find(" = ");
  if (eq != std::string::npos) return {args.substr(0, eq), args.substr(eq + 3)};
  if (args.size() >= 2 && args.compare(args.size() - 2, 2, " =") == 0) return {args.substr(0, args.size() - 2), ""};
  ADD_FAILURE() << "no value in: " << args;
  return {args, ""};
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
    doc.append_xml("(//a:observation[a:code/@nullFlavor='NA'])[1]", "<entryRelationship>" + obs + "</entryRelationship>");
  } else if (where == "other") {
    doc.append_xml("//a:structuredBody", "<component><section><code code=\"01020\"/><entry>" + obs + "</entry></section></component>");
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

std::vector<std::string> report_of(const Case& c) {
  size_t pairs = 1;
  for (const Edit& edit : c.edits) pairs = std::max(pairs, edit.pair);
  std::vector<XmlDoc> data(pairs, XmlDoc::data()), claims(pairs, XmlDoc::claims());
  for (const Edit& edit : c.edits) apply((edit.claims ? claims : data)[edit.pair - 1], edit);
  Archive archive;
  for (size_t i = 0; i < pairs; ++i) archive.add_pair(data[i], claims[i], static_cast<int>(i) + 1);
  return check(archive).lines;
}

void expect_reports(const std::string& file) {
  std::vector<Case> cases = read_cases(file);
  EXPECT_FALSE(cases.empty()) << file;
  for (const Case& c : cases) {
    if (c.name[0] == '@') continue;  // edits for other cases to use
    SCOPED_TRACE(file + ":" + std::to_string(c.line) + ": " + c.name);
    EXPECT_FALSE(c.report.empty()) << "no report";
    EXPECT_EQ(report_of(c), c.report);
  }
}

TEST(RuleCases, HeaderRules) { expect_reports("header.txt"); }
TEST(RuleCases, ItemRules) { expect_reports("items.txt"); }
TEST(RuleCases, WaistAndHomePrefectureGates) { expect_reports("insurer_gates.txt"); }
TEST(RuleCases, DetailedRequirements) { expect_reports("detailed.txt"); }
TEST(RuleCases, OrderAndResets) { expect_reports("order.txt"); }
TEST(RuleCases, ClaimsRules) { expect_reports("claims.txt"); }

}  // namespace
}  // namespace kenshin::testkit
