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

#include "app/cli_text.h"
#include "app/run_check.h"
#include "docs/xml_allocation.h"
#include "extrachecks/extra_checks.h"
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

namespace text = kenshin::app::cli;
using kenshin::app::format;
using kenshin::app::Language;

struct Options {
  std::optional<std::string> desktop;
  bool quiet = false;
  kenshin::base::Edition edition = kenshin::base::Edition::k2018;
  std::optional<std::string> fiscal_year;
  kenshin::extrachecks::ExtraCheckOptions extra;
  std::optional<std::string> csv;
  std::string archive;
  Language language = Language::kEnglish;
};

class CommandLinePlatform : public kenshin::platform::Platform {
 public:
  CommandLinePlatform(std::string desktop, std::string archive, Language language)
      : desktop_(std::move(desktop)),
        archive_(std::move(archive)),
        language_(language),
        show_progress_(::isatty(STDERR_FILENO) == 1) {}

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
    std::string shown = format(text::kPairProgress, language_, {std::to_string(k), std::to_string(n)});
    std::fprintf(stderr, "\r%s", shown.c_str());
    std::fflush(stderr);
  }

  void end_progress() const {
    if (progress_shown_) std::fputs("\n", stderr);
  }

  const std::optional<std::string>& shown_report() const { return shown_report_; }

 private:
  std::string desktop_;
  std::string archive_;
  Language language_;
  bool show_progress_;
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown_{};
  std::optional<std::string> shown_report_;
};

int usage_error(Language language, const kenshin::app::Text& message,
                std::initializer_list<std::string_view> values = {}) {
  std::cerr << "kenshin-check: " << format(message, language, values) << "\n" << text::kUsage.in(language);
  return kExitUsage;
}

// Parses the arguments; returns an exit status when the program should end now.
std::optional<int> parse(int argc, char** argv, Options& options) {
  const Language language = options.language;
  auto usage_error = [language](const kenshin::app::Text& message, std::initializer_list<std::string_view> values = {}) {
    return ::usage_error(language, message, values);
  };
  std::optional<std::string> archive;
  bool only_operands = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!only_operands && arg == "--") {
      only_operands = true;
    } else if (!only_operands && (arg == "--help" || arg == "-h")) {
      std::cout << text::kUsage.in(language) << "\n" << text::kHelp.in(language);
      return kExitClean;
    } else if (!only_operands && (arg == "--version" || arg == "-V")) {
      std::cout << "kenshin-check " << kenshin::kVersion << "\n";
      return kExitClean;
    } else if (!only_operands && (arg == "--quiet" || arg == "-q")) {
      options.quiet = true;
    } else if (!only_operands && arg == "--desktop") {
      if (i + 1 >= argc) return usage_error(text::kDesktopNeedsFolder);
      options.desktop = argv[++i];
    } else if (!only_operands && arg.rfind("--desktop=", 0) == 0) {
      options.desktop = arg.substr(10);
    } else if (!only_operands && (arg == "--edition" || arg.rfind("--edition=", 0) == 0)) {
      if (arg == "--edition" && i + 1 >= argc) return usage_error(text::kEditionNeedsValue);
      std::string value = arg == "--edition" ? argv[++i] : arg.substr(10);
      std::optional<kenshin::base::Edition> edition = kenshin::base::parse_edition(value);
      if (!edition) return usage_error(text::kNoSuchEdition, {value});
      options.edition = *edition;
    } else if (!only_operands && (arg == "--fiscal-year" || arg.rfind("--fiscal-year=", 0) == 0)) {
      if (arg == "--fiscal-year" && i + 1 >= argc) return usage_error(text::kFiscalYearNeedsValue);
      options.fiscal_year = arg == "--fiscal-year" ? argv[++i] : arg.substr(14);
    } else if (!only_operands && arg == "--schema") {
      options.extra.schema = true;
    } else if (!only_operands && arg == "--archive-checks") {
      options.extra.archive_checks = true;
    } else if (!only_operands && arg == "--csv") {
      if (i + 1 >= argc) return usage_error(text::kCsvNeedsFile);
      options.csv = argv[++i];
    } else if (!only_operands && arg.rfind("--csv=", 0) == 0) {
      options.csv = arg.substr(6);
    } else if (!only_operands && arg.size() > 1 && arg[0] == '-') {
      return usage_error(text::kUnknownOption, {arg});
    } else if (archive) {
      return usage_error(text::kOneArchiveOnly);
    } else {
      archive = arg;
    }
  }
  if (!archive || archive->empty()) return usage_error(text::kNoArchive);
  options.archive = *archive;
  if (options.fiscal_year) {
    if (options.edition != kenshin::base::Edition::k2024) {
      return usage_error(text::kFiscalYearNeeds2024);
    }
    const std::string& year = *options.fiscal_year;
    bool digits = year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(year) < kenshin::base::kFirstYear2024) {
      return usage_error(text::kNoSuchFiscalYear, {year});
    }
  }
  return std::nullopt;
}

// The run's edition and fiscal year; the 2024 edition defaults to the fiscal
// year of today in Japan.
void set_edition(const Options& options, kenshin::RunState& run) {
  run.edition = options.edition;
  std::optional<int> asked;
  if (options.fiscal_year) asked = std::stoi(*options.fiscal_year);
  run.fiscal_year = kenshin::base::run_fiscal_year(options.edition, asked, std::chrono::system_clock::now());
}

}  // namespace

int main(int argc, char** argv) {
  kenshin::docs::set_up_xml_allocation();  // before anything reaches libxml2
  namespace fs = std::filesystem;
  Options options;
  options.language = kenshin::app::language_of_environment();
  if (std::optional<int> status = parse(argc, argv, options)) return *status;

  std::error_code ec;
  fs::path archive = fs::absolute(fs::path(options.archive), ec).lexically_normal();
  if (!ec && fs::is_directory(archive, ec)) return usage_error(options.language, text::kIsAFolder, {options.archive});
  if (ec || !fs::is_regular_file(archive, ec)) {
    return usage_error(options.language, text::kNoSuchArchive, {options.archive});
  }
  std::string desktop;
  if (options.desktop) {
    if (options.desktop->empty() || !kenshin::platform::folder_exists(*options.desktop)) {
      return usage_error(options.language, text::kNoSuchDesktop, {*options.desktop});
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
      return usage_error(options.language, text::kCannotWriteCsv, {*options.csv});
    }
    csv = csv_path.string();
  }

  kenshin::platform::install_stop_signal_handlers();
  CommandLinePlatform platform(desktop, archive.string(), options.language);
  kenshin::RunState run;
  set_edition(options, run);
  run.csv_path = csv;
  kenshin::extrachecks::ExtraChecks extra(options.extra);
  kenshin::RunResult result = kenshin::run_check(run, platform, options.extra.any() ? &extra : nullptr);
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
  if (!options.quiet && platform.shown_report()) {
    for (const std::string& line : kenshin::report::read_report_lines(*platform.shown_report())) {
      std::cout << line << "\n";
    }
    std::cout.flush();
  }
  return result.outcome == kenshin::RunOutcome::kClean ? kExitClean : kExitFindings;
}
