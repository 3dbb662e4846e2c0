// The finding records of a written report, read back from ERR.txt alone: for
// a report whose run is over, when only the file is left. ERR.txt holds each
// finding's message, its examinee line and its document's header line; the
// kind and rule id follow from the message by the rule table. What the file
// does not hold stays empty: item code, value, line, and the documents of the
// schema and cross-check findings.
#pragma once

#include <string_view>
#include <vector>

#include "run/finding.h"

namespace kenshin::report {

// The records of the report `cp932` (its bytes as written), in report order.
// `archive_name` is what archive findings name as their document. The pair
// numbers count the examinees' groups of lines in the report (1, 2, …): they
// tell pairs apart, not their place in the archive.
std::vector<Finding> read_back(std::string_view cp932, std::string_view archive_name);

// How many examinees the findings are about: the same for a run's records and
// for the records read back from its report. Findings of the archive as a
// whole are about nobody; the others belong to the examinee the record header
// named (name, insurer number, ticket number), or, where it named nobody, to
// the examinee of their pair: a pair without a name is one examinee.
int count_examinees(const std::vector<Finding>& findings);

}  // namespace kenshin::report
