// One finding of a run as a record: where it was found and what it says.
// The report operations make one for every finding line they write, in the
// order they write them; ERR.txt, the CSV and the window's counts all read
// this stream and nothing else.
#pragma once

#include <string>
#include <string_view>

namespace kenshin {

enum class FindingKind {
  kArchive,     // the archive as a whole
  kData,        // a data document of a pair
  kSettlement,  // the settlement (claims) document of a pair
  kSchema,      // a document that does not validate against the national schemas
  kCrossCheck,  // the exchange-information or summary document disagrees with the archive
};

// "archive", "data", "settlement", "schema", "cross-check"
constexpr std::string_view kind_name(FindingKind kind) {
  switch (kind) {
    case FindingKind::kArchive: return "archive";
    case FindingKind::kData: return "data";
    case FindingKind::kSettlement: return "settlement";
    case FindingKind::kSchema: return "schema";
    case FindingKind::kCrossCheck: return "cross-check";
  }
  return "archive";
}

struct Finding {
  int pair = 0;  // 1-based pair of the document; 0 for the archive and its other files
  FindingKind kind = FindingKind::kArchive;
  std::string document;  // the file's name as the report shows it; the archive's name for archive findings
  // The examinee as the record header showed them; empty where it showed none.
  std::string examinee_name;
  std::string insurer_number;
  std::string ticket_number;
  std::string rule_id;    // stable id of the rule; empty where not yet assigned
  std::string item_code;  // the item the rule asked about, when it asked about one
  std::string value;      // the text of the node the rule judged, when it judged one
  int line = 0;           // the document line of that node; 0 when unknown
  std::string message;    // the finding line without its leading ideographic space

  bool operator==(const Finding&) const = default;
};

// What a rule hands the report along with its message: the item it asked
// about and the node it judged, as value and line.
struct Evidence {
  std::string_view item_code;
  std::string value;
  int line = 0;
};

}  // namespace kenshin
