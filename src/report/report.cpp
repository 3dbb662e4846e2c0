#include "report/report.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include "base/text.h"
#include "platform/cp932.h"
#include "platform/stop_request.h"
#include "report/findings_csv.h"
#include "report/rule_table.h"
#include "run/run_failure.h"

namespace kenshin::report {

namespace {

[[noreturn]] void fail(const RunState& run, const char* what, int error_number = errno) {
  throw RunFailure(std::string("エラーレポートを") + what + ": " + run.report_path + " (" +
                   std::strerror(error_number) + ")");
}

std::string folder_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporary_name(const std::string& report_path, std::random_device& random) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
  return folder_of(report_path) + "/.ERR.txt." + suffix + ".tmp";
}

std::string descriptor_path(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// A file without a name in the report's folder: a run killed while writing
// leaves none of its findings behind. nullptr where the file system cannot
// make one, or where it could not be named later (no /proc).
std::FILE* create_unnamed_beside(const std::string& report_path) {
  int fd = ::open(folder_of(report_path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  ::flock(fd, LOCK_EX);  // once named, tells later runs the file is not left over
  std::FILE* file = ::access(descriptor_path(fd).c_str(), F_OK) == 0 ? ::fdopen(fd, "wb") : nullptr;
  if (file == nullptr) ::close(fd);
  return file;
}

// A new file beside the report, created exclusively: an existing file or link
// of the same name is never opened, let alone followed.
std::FILE* create_named_beside(const std::string& report_path, std::string& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path = temporary_name(report_path, random);
    int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) break;
    ::flock(fd, LOCK_EX);  // held while the run lives: tells later runs the file is not left over
    std::FILE* file = ::fdopen(fd, "wb");
    if (file != nullptr) return file;
    int error_number = errno;
    ::close(fd);
    ::unlink(temp_path.c_str());
    errno = error_number;
    break;
  }
  temp_path.clear();
  return nullptr;
}

std::FILE* create_temporary_beside(const std::string& report_path, std::string& temp_path) {
  temp_path.clear();
  if (std::FILE* file = create_unnamed_beside(report_path)) return file;
  return create_named_beside(report_path, temp_path);
}

// Names a finished unnamed report beside ERR.txt, so that it can be renamed
// over it in one step. 0 or the system's reason.
int name_unnamed(int fd, const std::string& report_path, std::string& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path = temporary_name(report_path, random);
    if (::linkat(AT_FDCWD, descriptor_path(fd).c_str(), AT_FDCWD, temp_path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno != EEXIST) break;
  }
  int error_number = errno;
  temp_path.clear();
  return error_number;
}

bool is_temporary_name(std::string_view name) {
  constexpr std::string_view kStart = ".ERR.txt.", kEnd = ".tmp";
  return name.size() == kStart.size() + 8 + kEnd.size() && name.substr(0, kStart.size()) == kStart &&
         name.substr(name.size() - kEnd.size()) == kEnd;
}

// A report a killed run was writing still holds its findings: it is removed
// when this user's, unlocked and a little older than this run.
void remove_left_over_temporaries(const std::string& folder) noexcept {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::time_t now = std::time(nullptr);
  while (dirent* entry = ::readdir(dir)) {
    if (!is_temporary_name(entry->d_name)) continue;
    std::string path = folder + "/" + entry->d_name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        st.st_mtime + 2 > now) {
      continue;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

void remove_temporary(RunState& run) noexcept {
  if (!run.report_temp_path.empty()) ::unlink(run.report_temp_path.c_str());
  run.report_temp_path.clear();
}

// A value read from a document must never start a new line of the report:
// CR, LF (CR LF as one), NEL and the Unicode line and paragraph separators
// each become one blank. Everything else, TAB and DEL included, is written as
// it stands, so two names that differ only there still show as different.
std::string one_line(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out.push_back(' ');
    } else if (text.substr(i, 2) == "\u0085") {
      ++i;
      out.push_back(' ');
    } else if (text.substr(i, 3) == "\u2028" || text.substr(i, 3) == "\u2029") {
      i += 2;
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

constexpr std::string_view kIdeographicSpace = "　";

std::string_view without_indent(std::string_view message) {
  if (message.substr(0, kIdeographicSpace.size()) == kIdeographicSpace) message.remove_prefix(kIdeographicSpace.size());
  return message;
}

// The rule's id and item from the table, the evidence's item where the rule
// named one of its own.
void add_record(RunState& run, Finding finding, std::string_view table_message, Evidence evidence = {}) {
  if (const RuleRow* rule = find_rule(finding.kind, table_message)) {
    finding.rule_id = std::string(rule->id);
    finding.item_code = std::string(rule->item_code);
  }
  if (!evidence.item_code.empty()) finding.item_code = std::string(evidence.item_code);
  finding.value = std::move(evidence.value);
  finding.line = evidence.line;
  run.findings.push_back(std::move(finding));
}

// A finding of the document being checked, with the examinee the record
// header showed for its pair.
Finding document_finding(const RunState& run, std::string_view message) {
  Finding finding;
  finding.pair = run.pair_index;
  finding.kind = run.document_kind;
  finding.document = run.document_kind == FindingKind::kSettlement ? run.claims_file() : run.data_file();
  if (run.shown_examinee_pair == run.pair_index) {
    finding.examinee_name = run.shown_examinee_name;
    finding.insurer_number = run.shown_insurer_number;
    finding.ticket_number = run.shown_ticket_number;
  }
  finding.message = std::string(without_indent(message));
  return finding;
}

void record_document_finding(RunState& run, std::string_view message, Evidence evidence = {}) {
  add_record(run, document_finding(run, message), message, std::move(evidence));
}

void record_archive_finding(RunState& run, std::string_view message, std::string_view table_message) {
  Finding finding;
  finding.document = base::last_component(run.archive_path);
  finding.message = std::string(message);
  add_record(run, std::move(finding), table_message);
}

}  // namespace

void start_report(RunState& run) {
  run.report_path = run.desktop_folder + "/ERR.txt";
  run.report_open_flag = kFlagClear;
  run.findings_flag = kFlagClear;
  run.document_kind = FindingKind::kArchive;
  run.shown_examinee_pair = 0;
  run.findings.clear();
  remove_left_over_temporaries(run.desktop_folder);
}

void open_report(RunState& run) {
  if (run.report_open_flag == kFlagSet) return;
  run.report_handle = create_temporary_beside(run.report_path, run.report_temp_path);
  if (run.report_handle == nullptr) fail(run, "作成できません");
  run.report_open_flag = kFlagSet;
  run.findings_flag = kFlagSet;
}

void write_line(RunState& run, std::string_view text) {
  if (run.report_handle == nullptr) throw RunFailure("エラーレポートが開かれていません");
  std::string bytes = platform::utf8_to_cp932(one_line(text));
  bytes += "\r\n";
  if (std::fwrite(bytes.data(), 1, bytes.size(), run.report_handle) != bytes.size()) fail(run, "書き込めません");
}

void write_record_header(RunState& run) {
  if (run.name_line_flag != kFlagSet) {
    write_line(run, "");
    write_line(run, run.examinee_name + std::string(kInsurerLabel) + run.insurer_number + std::string(kTicketLabel) +
                        run.ticket_number + ")");
    run.name_line_flag = kFlagSet;
    run.shown_examinee_pair = run.pair_index;
    run.shown_examinee_name = run.examinee_name;
    run.shown_insurer_number = run.insurer_number;
    run.shown_ticket_number = run.ticket_number;
  }
  if (run.data_file_line_flag != kFlagSet) {
    write_line(run, std::string(kDataFileLine) + run.data_file());
    run.data_file_line_flag = kFlagSet;
  }
  if (run.claims_file_line_flag != kFlagSet) {
    write_line(run, std::string(kClaimsFileLine) + run.claims_file());
    run.claims_file_line_flag = kFlagSet;
  }
}

void begin_data_document(RunState& run) {
  run.name_line_flag = kFlagClear;
  run.data_file_line_flag = kFlagClear;
  run.claims_file_line_flag = kFlagSet;
  run.document_kind = FindingKind::kData;
  run.ticket_number.clear();
  run.examinee_name.clear();
  run.insurer_number.clear();
}

void begin_claims_document(RunState& run) {
  run.data_file_line_flag = kFlagSet;
  run.claims_file_line_flag = kFlagClear;
  run.document_kind = FindingKind::kSettlement;
}

void report_finding(RunState& run, std::string_view message, Evidence evidence) {
  open_report(run);
  write_record_header(run);
  write_line(run, message);
  record_document_finding(run, message, std::move(evidence));
}

void report_load_failure(RunState& run, std::string_view file_name) {
  open_report(run);
  std::string line = std::string(file_name) + std::string(kLoadFailedSuffix);
  write_line(run, line);
  if (run.pair_index > 0 && (file_name == run.data_file() || file_name == run.claims_file())) {
    Finding finding = document_finding(run, line);
    bool data = file_name == run.data_file(), claims = file_name == run.claims_file();
    finding.kind = data && (!claims || run.document_kind == FindingKind::kData) ? FindingKind::kData
                                                                                : FindingKind::kSettlement;
    finding.document = std::string(file_name);
    add_record(run, std::move(finding), kLoadFailedTemplate);
  } else {
    record_archive_finding(run, line, kLoadFailedTemplate);
  }
}

void report_data_name_missing(RunState& run, std::string_view message) {
  open_report(run);
  write_line(run, run.data_file());
  write_line(run, message);
  run.name_line_flag = kFlagSet;
  run.shown_examinee_pair = run.pair_index;
  run.shown_examinee_name.clear();
  run.shown_insurer_number.clear();
  run.shown_ticket_number.clear();
  record_document_finding(run, message);
}

void report_claims_name_missing(RunState& run, std::string_view message) {
  open_report(run);
  write_line(run, run.claims_file());
  write_line(run, message);
  record_document_finding(run, message);
}

void report_section(RunState& run, std::string_view heading, const std::vector<Finding>& findings,
                    std::string_view none) {
  open_report(run);
  write_line(run, "");
  write_line(run, heading);
  if (findings.empty()) write_line(run, none);
  for (const Finding& finding : findings) {
    write_line(run, "　" + finding.message);
    run.findings.push_back(finding);
  }
}

bool has_findings(const RunState& run) { return run.findings_flag == kFlagSet; }

void report_no_error(RunState& run) {
  open_report(run);
  write_line(run, kNoErrorLine);
}

void close_report(RunState& run) {
  if (run.report_open_flag != kFlagSet) return;
  std::FILE* handle = run.report_handle;
  run.report_handle = nullptr;
  run.report_open_flag = kFlagClear;
  // A full disk often shows only when the data reaches it: at the flush, the
  // sync or the close.
  if (platform::stop_requested()) {
    std::fclose(handle);
    remove_temporary(run);
    throw RunStopped();
  }
  // The CSV is written whole first and put in place right after the report:
  // a run that cannot write it replaces neither.
  std::string csv_temp;
  if (!run.csv_path.empty()) {
    try {
      csv_temp = prepare_csv_file(run.csv_path, csv_text(run.findings));
    } catch (...) {
      std::fclose(handle);
      remove_temporary(run);
      throw;
    }
  }
  int error_number = 0;
  if (std::fflush(handle) != 0 || ::fsync(::fileno(handle)) != 0) error_number = errno;
  if (error_number == 0 && run.report_temp_path.empty()) {
    error_number = name_unnamed(::fileno(handle), run.report_path, run.report_temp_path);
  }
  if (std::fclose(handle) != 0 && error_number == 0) error_number = errno;
  if (error_number == 0 && ::rename(run.report_temp_path.c_str(), run.report_path.c_str()) != 0) {
    error_number = errno;
  }
  if (error_number != 0) {
    remove_temporary(run);
    if (!csv_temp.empty()) discard_csv_file(csv_temp);
    fail(run, "書き込めません", error_number);
  }
  run.report_temp_path.clear();
  if (!csv_temp.empty()) commit_csv_file(csv_temp, run.csv_path);
}

void close_and_show_report(RunState& run, platform::Platform& platform) {
  close_report(run);
  platform.show_report(run.report_path);
}

void abandon_report(RunState& run) noexcept {
  if (run.report_handle != nullptr) std::fclose(run.report_handle);
  run.report_handle = nullptr;
  run.report_open_flag = kFlagClear;
  remove_temporary(run);
}

void report_archive_finding(RunState& run, platform::Platform& platform, std::string_view message) {
  open_report(run);
  write_line(run, message);
  record_archive_finding(run, message, message);
  close_and_show_report(run, platform);
}

}  // namespace kenshin::report

#include <fstream>
#include <iterator>

namespace kenshin::report {

std::vector<std::string> read_report_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return report_lines(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

std::vector<std::string> report_lines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.push_back(platform::cp932_to_utf8(bytes.substr(start, end - start)).value_or("?"));
    start = end + 2;
  }
  return lines;
}

}  // namespace kenshin::report
