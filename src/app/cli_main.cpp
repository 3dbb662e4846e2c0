// kenshin-check: checks one submission archive from the command line.
//
//   kenshin-check [--desktop DIR] [-q|--quiet] [--edition 2018|2024] [--fiscal-year YYYY]
//                 [--schema] [--archive-checks] [--csv FILE] ARCHIVE
//   kenshin-check -h|--help | -V|--version
//
// Exit status: 0 no findings, 1 findings, 2 usage error, 3 the check failed,
// 128 + the signal number when SIGINT, SIGTERM or SIGHUP stopped the check.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/run_check.h"
#include "docs/xml_allocation.h"
#include "extrachecks/extra_checks.h"
#include "report/findings_csv.h"
#include "platform/desktop_folder.h"
#include "platform/folders.h"
#include "platform/stop_request.h"
#include "report/report.h"
#include "version.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;

constexpr const char kUsage[] =
    "usage: kenshin-check [--desktop DIR] [-q|--quiet] [--edition 2018|2024] [--fiscal-year YYYY]\n"
    "                     [--schema] [--archive-checks] [--csv FILE] ARCHIVE\n"
    "       kenshin-check -h|--help | -V|--version\n";

constexpr const char kHelp[] =
    "Checks a specified health checkup submission archive (.zip) and writes\n"
    "every finding into ERR.txt (code page 932, CR LF) in the desktop folder.\n"
    "\n"
    "  --desktop DIR  write ERR.txt into DIR instead of the desktop folder\n"
    "  -q, --quiet    do not print the report\n"
    "  --edition 2018|2024\n"
    "                 the edition of the national standard the archive follows:\n"
    "                 2018 (the default) or 2024 (the FY2024 standard)\n"
    "  --fiscal-year YYYY\n"
    "                 with --edition 2024: the fiscal year whose claims are checked,\n"
    "                 2024 or later (default: the fiscal year of today in Japan);\n"
    "                 e.g. kenshin-check --edition 2024 --fiscal-year 2026 ARCHIVE\n"
    "  --schema       also validate every document against the national schemas\n"
    "                 (the archive's own XSD folder, else in the 2018 edition the\n"
    "                 schemas installed with the program; the 2024 edition uses the\n"
    "                 archive's only); e.g. kenshin-check --schema ARCHIVE\n"
    "  --archive-checks\n"
    "                 also check ix08_V08.xml and su08_V08.xml against the archive:\n"
    "                 totals, record count and receiver number;\n"
    "                 e.g. kenshin-check --archive-checks ARCHIVE\n"
    "  --csv FILE     also write every finding to FILE as CSV (UTF-8 with BOM);\n"
    "                 e.g. kenshin-check --schema --csv findings.csv ARCHIVE\n"
    "  -h, --help     show this help\n"
    "  -V, --version  show the version\n"
    "\n"
    "The lines of --schema and --archive-checks follow the quick check's lines in\n"
    "ERR.txt, each kind under a heading of its own.\n"
    "\n"
    "Exit status: 0 no findings, 1 findings, 2 usage error, 3 the check failed.\n";

struct Options {
  std::optional<std::string> desktop;
  bool quiet = false;
  kenshin::base::Edition edition = kenshin::base::Edition::k2018;
  std::optional<std::string> fiscal_year;
  kenshin::extrachecks::ExtraCheckOptions extra;
  std::optional<std::string> csv;
  std::string archive;
};

class CommandLinePlatform : public kenshin::platform::Platform {
 public:
  CommandLinePlatform(std::string desktop, std::string archive)
      : desktop_(std::move(desktop)), archive_(std::move(archive)), show_progress_(::isatty(STDERR_FILENO) == 1) {}

  std::string desktop_folder() override { return desktop_; }
  std::optional<std::string> choose_archive() override { return archive_; }
  void show_report(const std::string& path) override { shown_report_ = path; }

  // Progress on the terminal, once the run has taken more than a second.
  void pair_progress(int k, int n) override {
    if (!show_progress_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - started_ < std::chrono::seconds(1) || (now - last_shown_ < std::chrono::milliseconds(200) && k != n)) {
      return;
    }
    last_shown_ = now;
    progress_shown_ = true;
    std::fprintf(stderr, "\rpair %d of %d", k, n);
    std::fflush(stderr);
  }

  void end_progress() const {
    if (progress_shown_) std::fputs("\n", stderr);
  }

  const std::optional<std::string>& shown_report() const { return shown_report_; }

 private:
  std::string desktop_;
  std::string archive_;
  bool show_progress_;
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown_{};
  std::optional<std::string> shown_report_;
};

int usage_error(const std::string& message) {
  std::cerr << "kenshin-check: " << message << "\n" << kUsage;
  return kExitUsage;
}

// Parses the arguments; returns an exit status when the program should end now.
std::optional<int> parse(int argc, char** argv, Options& options) {
  std::optional<std::string> archive;
  bool only_operands = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!only_operands && arg == "--") {
      only_operands = true;
    } else if (!only_operands && (arg == "--help" || arg == "-h")) {
      std::cout << kUsage << "\n" << kHelp;
      return kExitClean;
    } else if (!only_operands && (arg == "--version" || arg == "-V")) {
      std::cout << "kenshin-check " << kenshin::kVersion << "\n";
      return kExitClean;
    } else if (!only_operands && (arg == "--quiet" || arg == "-q")) {
      options.quiet = true;
    } else if (!only_operands && arg == "--desktop") {
      if (i + 1 >= argc) return usage_error("--desktop needs a folder");
      options.desktop = argv[++i];
    } else if (!only_operands && arg.rfind("--desktop=", 0) == 0) {
      options.desktop = arg.substr(10);
    } else if (!only_operands && (arg == "--edition" || arg.rfind("--edition=", 0) == 0)) {
      if (arg == "--edition" && i + 1 >= argc) return usage_error("--edition needs 2018 or 2024");
      std::string value = arg == "--edition" ? argv[++i] : arg.substr(10);
      std::optional<kenshin::base::Edition> edition = kenshin::base::parse_edition(value);
      if (!edition) return usage_error("no such edition: " + value + " (2018 or 2024)");
      options.edition = *edition;
    } else if (!only_operands && (arg == "--fiscal-year" || arg.rfind("--fiscal-year=", 0) == 0)) {
      if (arg == "--fiscal-year" && i + 1 >= argc) return usage_error("--fiscal-year needs a year");
      options.fiscal_year = arg == "--fiscal-year" ? argv[++i] : arg.substr(14);
    } else if (!only_operands && arg == "--schema") {
      options.extra.schema = true;
    } else if (!only_operands && arg == "--archive-checks") {
      options.extra.archive_checks = true;
    } else if (!only_operands && arg == "--csv") {
      if (i + 1 >= argc) return usage_error("--csv needs a file");
      options.csv = argv[++i];
    } else if (!only_operands && arg.rfind("--csv=", 0) == 0) {
      options.csv = arg.substr(6);
    } else if (!only_operands && arg.size() > 1 && arg[0] == '-') {
      return usage_error("unknown option " + arg);
    } else if (archive) {
      return usage_error("only one archive can be checked at a time");
    } else {
      archive = arg;
    }
  }
  if (!archive || archive->empty()) return usage_error("no archive given");
  options.archive = *archive;
  if (options.fiscal_year) {
    if (options.edition != kenshin::base::Edition::k2024) {
      return usage_error("--fiscal-year needs --edition 2024 (the 2018 edition checks 2018 only)");
    }
    const std::string& year = *options.fiscal_year;
    bool digits = year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(year) < kenshin::base::kFirstYear2024) {
      return usage_error("no such fiscal year: " + year + " (2024 or later, four digits)");
    }
  }
  return std::nullopt;
}

// The run's edition and fiscal year; the 2024 edition defaults to the fiscal
// year of today in Japan.
void set_edition(const Options& options, kenshin::RunState& run) {
  run.edition = options.edition;
  if (options.edition != kenshin::base::Edition::k2024) return;
  run.fiscal_year = options.fiscal_year ? std::stoi(*options.fiscal_year)
                                        : kenshin::base::fiscal_year_in_japan(std::chrono::system_clock::now());
}

}  // namespace

int main(int argc, char** argv) {
  kenshin::docs::set_up_xml_allocation();  // before anything reaches libxml2
  namespace fs = std::filesystem;
  Options options;
  if (std::optional<int> status = parse(argc, argv, options)) return *status;

  std::error_code ec;
  fs::path archive = fs::absolute(fs::path(options.archive), ec).lexically_normal();
  if (!ec && fs::is_directory(archive, ec)) return usage_error(options.archive + ": is a folder");
  if (ec || !fs::is_regular_file(archive, ec)) {
    return usage_error("no such archive file: " + options.archive);
  }
  std::string desktop;
  if (options.desktop) {
    if (options.desktop->empty() || !kenshin::platform::folder_exists(*options.desktop)) {
      return usage_error("no such desktop folder: " + *options.desktop);
    }
    desktop = fs::absolute(fs::path(*options.desktop), ec).lexically_normal().string();
    while (desktop.size() > 1 && desktop.back() == '/') desktop.pop_back();
  } else {
    desktop = kenshin::platform::default_desktop_folder();
  }

  std::string csv;
  if (options.csv) {
    fs::path csv_path = fs::absolute(fs::path(*options.csv), ec).lexically_normal();
    if (options.csv->empty() || ec || !fs::is_directory(csv_path.parent_path(), ec) || fs::is_directory(csv_path, ec)) {
      return usage_error("cannot write the CSV file there: " + *options.csv);
    }
    csv = csv_path.string();
  }

  kenshin::platform::install_stop_signal_handlers();
  CommandLinePlatform platform(desktop, archive.string());
  kenshin::RunState run;
  set_edition(options, run);
  kenshin::extrachecks::ExtraChecks extra(options.extra);
  kenshin::FurtherChecks further;
  if (options.extra.any()) further = [&extra](kenshin::RunState& r) { return extra.run(r); };
  kenshin::RunResult result = kenshin::run_check(run, platform, further);
  platform.end_progress();

  if (result.outcome == kenshin::RunOutcome::kStopped) {
    std::cerr << "チェックを中断しました\n";
    int signal_number = kenshin::platform::stop_signal();
    return signal_number > 0 ? 128 + signal_number : kExitFailed;
  }
  if (result.outcome == kenshin::RunOutcome::kFailed) {
    std::cerr << "kenshin-check: " << result.failure << "\n";
    return kExitFailed;
  }
  if (!csv.empty()) {
    try {
      kenshin::report::write_findings_csv(csv, run.findings);
    } catch (const std::exception& e) {
      std::cerr << "kenshin-check: " << e.what() << "\n";
      return kExitFailed;
    }
  }
  if (!options.quiet && platform.shown_report()) {
    for (const std::string& line : kenshin::report::read_report_lines(*platform.shown_report())) {
      std::cout << line << "\n";
    }
    std::cout.flush();
  }
  return result.outcome == kenshin::RunOutcome::kClean ? kExitClean : kExitFindings;
}
