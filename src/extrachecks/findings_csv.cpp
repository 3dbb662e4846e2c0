#include "extrachecks/findings_csv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <unordered_map>

#include "run/run_failure.h"
#include "report/report.h"

namespace kenshin::extrachecks {

namespace {

constexpr std::string_view kIndent = "　";  // U+3000 before every document finding
constexpr std::string_view kDataFileLine = "○健診情報　";
constexpr std::string_view kClaimsFileLine = "○決済情報　";
constexpr std::string_view kInsurerLabel = "　保険者番号(";
constexpr std::string_view kTicketLabel = "　受診券整理番号(";

constexpr std::string_view kHeaderRow = "ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ";

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

struct Examinee {
  int pair = 0;  // the pair the values were shown for; 0 = none yet
  std::string name;
  std::string insurer_number;
  std::string ticket_number;
};

// name + "　保険者番号(" + insurer + ")" + "　受診券整理番号(" + ticket + ")"
Examinee parse_examinee_line(const std::string& line) {
  Examinee e;
  size_t ticket = line.rfind(kTicketLabel);
  size_t insurer = ticket == std::string::npos ? std::string::npos : line.rfind(kInsurerLabel, ticket);
  if (insurer == std::string::npos || !ends_with(line, ")") || ticket < insurer + kInsurerLabel.size() + 1) {
    e.name = line;
    return e;
  }
  e.name = line.substr(0, insurer);
  size_t insurer_start = insurer + kInsurerLabel.size();
  e.insurer_number = line.substr(insurer_start, ticket - 1 - insurer_start);
  size_t ticket_start = ticket + kTicketLabel.size();
  e.ticket_number = line.substr(ticket_start, line.size() - 1 - ticket_start);
  return e;
}

// Walks the report as the record headers lay it out: an empty line and the
// examinee line open a pair, "○健診情報"/"○決済情報" name the document, and the
// indented lines below are its findings. The lines written without a header
// (a document that failed to load, a missing examinee name) carry their file
// name themselves.
class ReportReader {
 public:
  explicit ReportReader(const RunState& run) : archive_file_(std::filesystem::path(run.archive_path).filename()) {
    for (size_t i = 0; i < run.data_file_list.size(); ++i) data_pairs_.emplace(run.data_file_list[i], i + 1);
    for (size_t i = 0; i < run.claims_file_list.size(); ++i) claims_pairs_.emplace(run.claims_file_list[i], i + 1);
  }

  std::vector<CsvRow> read(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) read_line(line);
    return std::move(rows_);
  }

 private:
  void read_line(const std::string& line) {
    if (examinee_line_due_) {
      pending_ = parse_examinee_line(line);
      examinee_line_due_ = false;
      pending_shown_ = true;
    } else if (line.empty()) {
      examinee_line_due_ = true;
    } else if (starts_with(line, kDataFileLine)) {
      enter_document("data", line.substr(kDataFileLine.size()), data_pairs_);
    } else if (starts_with(line, kClaimsFileLine)) {
      enter_document("settlement", line.substr(kClaimsFileLine.size()), claims_pairs_);
    } else if (starts_with(line, kIndent)) {
      add(pair_, kind_, file_, line.substr(kIndent.size()));
    } else if (line == report::kNoErrorLine) {
      // not a finding
    } else if (ends_with(line, report::kLoadFailedSuffix)) {
      std::string file = line.substr(0, line.size() - report::kLoadFailedSuffix.size());
      if (int k = pair_of(file, data_pairs_)) {
        add(k, "data", file, line);
      } else if (int c = pair_of(file, claims_pairs_)) {
        add(c, "settlement", file, line);
      } else {
        add(0, "archive", archive_file_, line);
      }
    } else if (pair_of(line, data_pairs_) != 0) {
      enter_bare_document("data", line, data_pairs_);
    } else if (pair_of(line, claims_pairs_) != 0) {
      enter_bare_document("settlement", line, claims_pairs_);
    } else {
      add(0, "archive", archive_file_, line);
    }
  }

  void enter_document(const char* kind, const std::string& file, const std::unordered_map<std::string, int>& pairs) {
    kind_ = kind;
    file_ = file;
    pair_ = pair_of(file, pairs);
    if (pending_shown_) {
      examinee_ = pending_;
      examinee_.pair = pair_;
      pending_shown_ = false;
    }
  }

  // A document whose examinee has no name: its bare file name stands where
  // the examinee line would, and the report shows no numbers for it.
  void enter_bare_document(const char* kind, const std::string& file,
                           const std::unordered_map<std::string, int>& pairs) {
    kind_ = kind;
    file_ = file;
    pair_ = pair_of(file, pairs);
    if (examinee_.pair != pair_) examinee_ = Examinee{pair_, "", "", ""};
  }

  static int pair_of(const std::string& file, const std::unordered_map<std::string, int>& pairs) {
    auto it = pairs.find(file);
    return it == pairs.end() ? 0 : it->second;
  }

  void add(int pair, const std::string& kind, const std::string& file, const std::string& message) {
    CsvRow row{pair > 0 ? std::to_string(pair) : "", kind, file, "", "", "", message};
    if (pair > 0 && examinee_.pair == pair) {
      row.insurer_number = examinee_.insurer_number;
      row.ticket_number = examinee_.ticket_number;
      row.examinee_name = examinee_.name;
    }
    rows_.push_back(std::move(row));
  }

  std::string archive_file_;
  std::unordered_map<std::string, int> data_pairs_;
  std::unordered_map<std::string, int> claims_pairs_;
  bool examinee_line_due_ = false;
  bool pending_shown_ = false;
  Examinee pending_;
  Examinee examinee_;
  int pair_ = 0;
  std::string kind_ = "archive";
  std::string file_;
  std::vector<CsvRow> rows_;
};

std::string csv_field(std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

[[noreturn]] void fail(const std::string& path, int error) {
  throw RunFailure("CSVファイルを書き込めません: " + path + " (" + std::strerror(error) + ")");
}

}  // namespace

std::vector<CsvRow> quick_check_rows(const std::vector<std::string>& report_lines, const RunState& run) {
  return ReportReader(run).read(report_lines);
}

std::vector<CsvRow> extra_rows(const std::vector<ExtraFinding>& findings) {
  std::vector<CsvRow> rows;
  rows.reserve(findings.size());
  for (const ExtraFinding& f : findings) {
    rows.push_back({f.pair > 0 ? std::to_string(f.pair) : "", f.kind == ExtraKind::kSchema ? "schema" : "cross-check",
                    f.file, "", "", "", f.message});
  }
  return rows;
}

std::string csv_text(const std::vector<CsvRow>& rows) {
  std::string out = "\xEF\xBB\xBF";
  out += kHeaderRow;
  out += "\r\n";
  for (const CsvRow& r : rows) {
    for (const std::string* field :
         {&r.pair, &r.kind, &r.file, &r.insurer_number, &r.ticket_number, &r.examinee_name}) {
      out += csv_field(*field);
      out += ',';
    }
    out += csv_field(r.message);
    out += "\r\n";
  }
  return out;
}

void write_csv_file(const std::string& path, const std::string& text) {
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) fail(path, errno);
  // The file gets the permissions any new file of the user would get.
  mode_t mask = ::umask(0);
  ::umask(mask);
  size_t done = 0;
  int error = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  while (error == 0 && done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    fail(path, error);
  }
}

}  // namespace kenshin::extrachecks
