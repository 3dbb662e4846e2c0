#include "report/findings_csv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "run/run_failure.h"

namespace kenshin::report {

namespace {

constexpr std::string_view kHeaderRow =
    "ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ,ルールID,項目コード,検出値,行番号";

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

std::string csv_text(const std::vector<Finding>& findings) {
  std::string out = "\xEF\xBB\xBF";
  out += kHeaderRow;
  out += "\r\n";
  for (const Finding& f : findings) {
    const std::string pair = f.pair > 0 ? std::to_string(f.pair) : "";
    const std::string line = f.line > 0 ? std::to_string(f.line) : "";
    const std::string kind(kind_name(f.kind));
    for (const std::string* field : {&pair, &kind, &f.document, &f.insurer_number, &f.ticket_number, &f.examinee_name,
                                     &f.message, &f.rule_id, &f.item_code, &f.value}) {
      out += csv_field(*field);
      out += ',';
    }
    out += line;
    out += "\r\n";
  }
  return out;
}

void write_findings_csv(const std::string& path, const std::vector<Finding>& findings) {
  write_csv_file(path, csv_text(findings));
}

void write_csv_file(const std::string& path, const std::string& text) {
  commit_csv_file(prepare_csv_file(path, text), path);
}

std::string prepare_csv_file(const std::string& path, const std::string& text) {
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
    throw RunFailure("CSVファイルを書き込めません: " + path + " (通常のファイルではありません)");
  }
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
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    fail(path, error);
  }
  return temp;
}

void commit_csv_file(const std::string& temp, const std::string& path) {
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    fail(path, error);
  }
}

void discard_csv_file(const std::string& temp) noexcept { ::unlink(temp.c_str()); }

}  // namespace kenshin::report
