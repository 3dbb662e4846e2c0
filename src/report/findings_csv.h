// The findings of a run as CSV for other programs: RFC 4180 quoting, CR LF
// line ends, UTF-8 with a byte-order mark so that spreadsheet programs read
// it as such. One row per finding record of the run, in report order:
//
//   ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ,ルールID,項目コード,検出値,行番号
//
// 種別 is archive, data, settlement, schema or cross-check; the message is the
// report line without its leading ideographic space; text stays UTF-8 as the
// documents hold it. The columns are described in docs/findings.md.
#pragma once

#include <string>
#include <vector>

#include "run/finding.h"

namespace kenshin::report {

// The whole CSV file: byte-order mark, header row, one row per finding.
std::string csv_text(const std::vector<Finding>& findings);

// csv_text of the findings, written as below.
void write_findings_csv(const std::string& path, const std::vector<Finding>& findings);

// Writes the file through a temporary file beside it, so that a failed run
// never leaves half a file. Throws RunFailure.
void write_csv_file(const std::string& path, const std::string& text);

// The two halves of write_csv_file, for a file that must appear together
// with the report: the text written whole under a temporary name beside
// `path` (returned), then renamed over `path`. An existing `path` that is
// not a regular file or a link (a device, a pipe, a folder) is never
// replaced. Both throw RunFailure and leave no temporary file behind;
// discard_csv_file removes a prepared one that is not to be committed.
std::string prepare_csv_file(const std::string& path, const std::string& text);
void commit_csv_file(const std::string& temp, const std::string& path);
void discard_csv_file(const std::string& temp) noexcept;

}  // namespace kenshin::report
