#include "report/read_back.h"

#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "report/report.h"
#include "report/rule_table.h"

namespace kenshin::report {

namespace {

constexpr std::string_view kIndent = "　";
constexpr std::string_view kSchemaHeading = "【スキーマ検証";

// Settlement documents are named with a leading "c", checkup data documents
// with an "h"; a line that names a bare file says no more than that.
bool names_settlement(std::string_view file) { return !file.empty() && (file[0] == 'c' || file[0] == 'C'); }

struct Examinee {
  std::string name, insurer, ticket;
};

// "NAME　保険者番号(N)　受診券整理番号(T)"; the name may itself hold ideographic spaces.
std::optional<Examinee> examinee_line(std::string_view line) {
  if (!line.ends_with(")")) return std::nullopt;
  const size_t ticket = line.rfind(kTicketLabel);
  if (ticket == std::string_view::npos) return std::nullopt;
  const size_t insurer = line.substr(0, ticket).rfind(kInsurerLabel);
  if (insurer == std::string_view::npos) return std::nullopt;
  const size_t insurer_start = insurer + kInsurerLabel.size(), ticket_start = ticket + kTicketLabel.size();
  return Examinee{std::string(line.substr(0, insurer)),
                  std::string(line.substr(insurer_start, ticket - insurer_start)),
                  std::string(line.substr(ticket_start, line.size() - 1 - ticket_start))};
}

class Reader {
 public:
  explicit Reader(std::string_view archive_name) : archive_name_(archive_name) {}

  void line(std::string_view text) {
    const bool after_blank = after_blank_;
    after_blank_ = text.empty();
    if (text.empty() || text == kNoErrorLine) return;
    if (after_blank && text.starts_with("【")) {
      section_ = text.starts_with(kSchemaHeading) ? FindingKind::kSchema : FindingKind::kCrossCheck;
    } else if (section_) {
      if (text.starts_with(kIndent)) add(*section_, {}, text, false);  // else the section's no-finding line
    } else if (std::optional<Examinee> examinee = after_blank ? examinee_line(text) : std::nullopt) {
      // After a blank line, the examinee line (its name may be empty, so it may
      // start like a finding). One still due after a pair's first lines stands
      // for the same pair.
      if (!examinee_due_) {
        ++pair_;
        data_document_.clear();
      }
      examinee_due_ = false;
      examinee_ = std::move(*examinee);
    } else if (text.starts_with(kIndent)) {
      add(kind_, document_, text, true);
    } else if (text.starts_with(kDataFileLine)) {
      kind_ = FindingKind::kData;
      document_ = data_document_ = std::string(text.substr(kDataFileLine.size()));
    } else if (text.starts_with(kClaimsFileLine)) {
      kind_ = FindingKind::kSettlement;
      document_ = std::string(text.substr(kClaimsFileLine.size()));
    } else if (text.ends_with(kLoadFailedSuffix)) {
      const std::string_view file = text.substr(0, text.size() - kLoadFailedSuffix.size());
      bare_file(file, true);
      Finding& record = add(kind_, file, text, false);
      if (const RuleRow* rule = find_rule(kind_, kLoadFailedTemplate)) record.rule_id = std::string(rule->id);
    } else if (pair_ == 0 && find_rule(FindingKind::kArchive, text) != nullptr) {
      add(FindingKind::kArchive, archive_name_, text, true);
    } else {
      bare_file(text, false);
    }
  }

  std::vector<Finding> records() && { return std::move(records_); }

 private:
  // A line naming a file of its own, without a record header: a document
  // that could not be read, or the examinee-name rules. A settlement
  // document's belongs to the pair under way when it is that pair's (by its
  // header, or by the data document's name: h… and c… of one pair differ only
  // in the first letter); any other begins a pair with nobody shown yet.
  void bare_file(std::string_view file, bool load_failed) {
    const bool settlement = names_settlement(file);
    const bool same_pair = settlement && pair_ > 0 &&
                           (file == document_ || (data_document_.size() > 1 && data_document_.substr(1) == file.substr(1)));
    kind_ = settlement ? FindingKind::kSettlement : FindingKind::kData;
    document_ = std::string(file);
    if (!settlement) data_document_ = document_;
    if (same_pair) return;
    ++pair_;
    examinee_ = {};
    // The pair's examinee line comes with its next finding in a header, except
    // after a data document without a name, which shows the file instead.
    examinee_due_ = load_failed || settlement;
  }

  Finding& add(FindingKind kind, std::string_view document, std::string_view text, bool look_up) {
    Finding record;
    record.kind = kind;
    record.document = std::string(document);
    if (kind == FindingKind::kData || kind == FindingKind::kSettlement) {
      record.pair = pair_;
      record.examinee_name = examinee_.name;
      record.insurer_number = examinee_.insurer;
      record.ticket_number = examinee_.ticket;
    }
    if (const RuleRow* rule = look_up ? find_rule(kind, text) : nullptr) record.rule_id = std::string(rule->id);
    record.message = std::string(text.starts_with(kIndent) ? text.substr(kIndent.size()) : text);
    records_.push_back(std::move(record));
    return records_.back();
  }

  std::string_view archive_name_;
  std::vector<Finding> records_;
  int pair_ = 0;
  bool after_blank_ = false;
  bool examinee_due_ = false;
  Examinee examinee_;
  FindingKind kind_ = FindingKind::kData;
  std::string document_;
  std::string data_document_;
  std::optional<FindingKind> section_;
};

}  // namespace

std::vector<Finding> read_back(std::string_view cp932, std::string_view archive_name) {
  Reader reader(archive_name);
  for (const std::string& line : report_lines(cp932)) reader.line(line);
  return std::move(reader).records();
}

int count_examinees(const std::vector<Finding>& findings) {
  std::set<std::tuple<int, std::string, std::string, std::string>> examinees;
  for (const Finding& f : findings) {
    if (f.pair <= 0) continue;
    const bool named = !f.examinee_name.empty() || !f.insurer_number.empty() || !f.ticket_number.empty();
    examinees.emplace(named ? 0 : f.pair, f.examinee_name, f.insurer_number, f.ticket_number);
  }
  return static_cast<int>(examinees.size());
}

}  // namespace kenshin::report
