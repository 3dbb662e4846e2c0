// The error report ERR.txt: every finding of a run, one line each, in code
// page 932 with CR LF line ends. Only this folder knows the file, its
// encoding and the record header that introduces each document's findings.
//
// The report is written to a new file beside ERR.txt and renamed over it when
// closed, so ERR.txt is always a whole report: this run's or the earlier one.
// A link named ERR.txt is replaced, never followed.
//
// Failures to create or write the file throw RunFailure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin::report {

inline constexpr std::string_view kNoErrorLine = "簡易チェックでのエラーはありません";
inline constexpr std::string_view kLoadFailedSuffix = "の読込に失敗しました";
// The record header's texts: NAME + kInsurerLabel + N + kTicketLabel + T + ")",
// then kDataFileLine + data file and kClaimsFileLine + claims file.
inline constexpr std::string_view kInsurerLabel = "　保険者番号(";
inline constexpr std::string_view kTicketLabel = ")　受診券整理番号(";
inline constexpr std::string_view kDataFileLine = "○健診情報　";
inline constexpr std::string_view kClaimsFileLine = "○決済情報　";

// A new run: the report goes to desktop folder + "/ERR.txt" and is created on
// its first line. Unfinished reports a killed run left beside it go.
void start_report(RunState& run);

// Creates the report's temporary file on the first call of a run; sets the
// report open flag and the findings flag.
void open_report(RunState& run);

// Writes text + CR LF. Line breaks and other control characters inside the
// text are written as one blank each, so a value can never break a line.
void write_line(RunState& run, std::string_view text);

// Writes the header lines still due for the current pair: the empty line and
// the examinee line, "○健診情報　" + data file, "○決済情報　" + claims file.
void write_record_header(RunState& run);

// The record header of the document about to be checked. For a data document
// every line but "○決済情報" is due and the examinee's identity is unknown until
// the data checks capture it; for the claims document of the same pair only
// "○決済情報" is due, and the examinee line stays as the data document left it.
void begin_data_document(RunState& run);
void begin_claims_document(RunState& run);

// open_report, write_record_header, then the message as one line. The
// evidence goes into the finding's record only.
void report_finding(RunState& run, std::string_view message, Evidence evidence = {});

// A document that cannot be loaded: its bare file name + "の読込に失敗しました",
// without any record header.
void report_load_failure(RunState& run, std::string_view file_name);

// The examinee-name rules: the bare file name and the message stand alone,
// without the record header. For the data document the file name takes the
// place of the examinee line for the whole pair; after the claims document's
// the record header is still due for its next finding.
void report_data_name_missing(RunState& run, std::string_view message);
void report_claims_name_missing(RunState& run, std::string_view message);

// Every report operation that writes a finding line also appends its record
// to run.findings, in the same order.

// A section after the document findings: an empty line, the heading, then
// every finding's message indented by an ideographic space like the document findings,
// or `none` on its own line when there are none.
void report_section(RunState& run, std::string_view heading, const std::vector<Finding>& findings,
                    std::string_view none);

// True once anything has been written to the report of this run.
bool has_findings(const RunState& run);

// The no-error line, for a run that wrote nothing else.
void report_no_error(RunState& run);

// Closes the report if it is open and puts it in place as ERR.txt, and the
// findings CSV at run.csv_path when one is asked for. Errors throw
// RunFailure and leave the earlier ERR.txt (and CSV) as they were.
void close_report(RunState& run);

// close_report, then shows the report through the platform.
void close_and_show_report(RunState& run, platform::Platform& platform);

// Closes the handle and deletes the unfinished report without reporting
// errors; for the run's failure path. The earlier ERR.txt stays as it was.
void abandon_report(RunState& run) noexcept;

// An archive-level finding: open, the message on its own line, close, show.
// The stage that reports it stops the run.
void report_archive_finding(RunState& run, platform::Platform& platform, std::string_view message);

}  // namespace kenshin::report

namespace kenshin::report {

// The lines of a written report, decoded to UTF-8, without their CR LF.
// Empty when the file cannot be read.
std::vector<std::string> read_report_lines(const std::string& path);
// The same of a report's bytes as written.
std::vector<std::string> report_lines(std::string_view cp932);

}  // namespace kenshin::report
