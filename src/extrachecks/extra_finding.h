// A finding of the checks beyond the quick check: which kind of check found
// it, where, and the line the report shows for it.
#pragma once

#include <string>

namespace kenshin::extrachecks {

enum class ExtraKind {
  kSchema,      // a document does not validate against the national schemas
  kCrossCheck,  // the exchange-information or summary document disagrees with the archive
};

struct ExtraFinding {
  ExtraKind kind;
  int pair = 0;         // 1-based pair of a DATA or CLAIMS document; 0 for other files
  std::string file;     // bare file name ("ix08_V08.xml", "h1311….xml"); empty for the archive as a whole
  std::string message;  // the report line without its leading ideographic space
  std::string rule_id;  // stable id of the finding's kind (see docs/findings.md)
  std::string value;    // what was found, where one thing was: a count, an amount, the validator's own words
  int line = 0;         // the document line it was found on; 0 when none
};

}  // namespace kenshin::extrachecks
