// The findings of a run as CSV for other programs: RFC 4180 quoting, CR LF
// line ends, UTF-8 with a byte-order mark so that spreadsheet programs read
// it as such. One row per finding line of the report:
//
//   ペア番号,種別,ファイル名,保険者番号,受診券整理番号,受診者名,メッセージ
//
// 種別 is archive, data, settlement, schema or cross-check; the message is the
// report line without its leading ideographic space.
#pragma once

#include <string>
#include <vector>

#include "run/run_state.h"
#include "extrachecks/extra_finding.h"

namespace kenshin::extrachecks {

struct CsvRow {
  std::string pair;  // empty for findings about the archive as a whole
  std::string kind;
  std::string file;
  std::string insurer_number;
  std::string ticket_number;
  std::string examinee_name;
  std::string message;
};

// The quick check's findings, read back from the report's lines (decoded, in
// order) with the file lists of the run that wrote them: which pair and
// document each line belongs to follows from the record headers.
std::vector<CsvRow> quick_check_rows(const std::vector<std::string>& report_lines, const RunState& run);

std::vector<CsvRow> extra_rows(const std::vector<ExtraFinding>& findings);

// The whole CSV file: byte-order mark, header row, rows.
std::string csv_text(const std::vector<CsvRow>& rows);

// Writes the file through a temporary file beside it, so that a failed run
// never leaves half a file. Throws RunFailure.
void write_csv_file(const std::string& path, const std::string& text);

}  // namespace kenshin::extrachecks
