// The state of one check run, shared by every stage of the run.
//
// One RunState is owned by the caller of run_check() and passed by reference
// to every stage. Flags keep the two values the checker has always used:
// 0 = not set, 9 = set (for run_status: 9 = stop the run).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/edition.h"
#include "run/finding.h"

namespace kenshin {

inline constexpr int16_t kFlagSet = 9;
inline constexpr int16_t kFlagClear = 0;

struct RunState {
  int16_t run_status = 0;

  // The standard the documents are checked against, and the fiscal year the
  // tickets must begin with (always 2018 in the 2018 edition).
  base::Edition edition = base::Edition::k2018;
  int fiscal_year = base::kEdition2018Year;

  std::string desktop_folder;
  std::string archive_path;   // absolute, UTF-8
  std::string archive_stem;   // the 31 characters before ".zip"

  // Folders inside the archive (read in memory, and handed to the stages
  // beside the run state), as the archive spells them. The first keeps
  // its traditional name, though nothing is extracted to disk.
  std::string extraction_folder;  // the top folder, named after archive_stem
  std::string data_folder;        // extraction_folder + "/DATA"
  std::string claims_folder;      // extraction_folder + "/CLAIMS"

  std::string report_path;        // desktop_folder + "/ERR.txt"
  std::string report_temp_path;   // the report's name while it is written (empty while unnamed); renamed to report_path when closed
  std::FILE* report_handle = nullptr;
  int16_t report_open_flag = 0;
  int16_t findings_flag = 0;

  // Record-header state of the document being checked.
  int16_t name_line_flag = 0;
  int16_t data_file_line_flag = 0;
  int16_t claims_file_line_flag = 0;
  FindingKind document_kind = FindingKind::kArchive;  // the document being checked
  // The examinee line the report last showed and the pair it was shown for.
  int shown_examinee_pair = 0;
  std::string shown_examinee_name;
  std::string shown_insurer_number;
  std::string shown_ticket_number;

  // Every finding of the run, in report order.
  std::vector<Finding> findings;
  // Where the findings go as CSV together with the report; empty for none.
  std::string csv_path;

  std::vector<std::string> data_file_list;
  std::vector<std::string> claims_file_list;
  int pair_count = 0;   // no 16-bit limit: archives may hold any number of pairs
  int pair_index = 0;   // 1-based while the pair loop runs

  // Captured from the current data document.
  std::string examinee_name;
  std::string ticket_number;
  std::string insurer_number;

  // Captured from the current claims document by the claims pre-read.
  double claim_type = 0;
  int16_t anemia_detail_flag = 0;
  int16_t ecg_detail_flag = 0;
  int16_t fundus_detail_flag = 0;
  int16_t creatinine_detail_flag = 0;

  const std::string& data_file() const { return data_file_list.at(pair_index - 1); }
  const std::string& claims_file() const { return claims_file_list.at(pair_index - 1); }
};

}  // namespace kenshin
