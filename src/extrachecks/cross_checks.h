// The exchange-information document (ix08_V08.xml) and the summary document
// (su08_V08.xml) checked against the archive they travel in: both present,
// the summary's totals equal to the sums over the settlement documents, the
// record count equal to the number of documents, and the receiver equal to
// the archive name's destination. All three kinds of document may be written
// in either settlement namespace (2007 or FY2024), whatever the edition.
#pragma once

#include <vector>

#include "run/run_state.h"
#include "extrachecks/extra_finding.h"

namespace kenshin::extrachecks {

inline constexpr std::string_view kCrossCheckHeading = "【交換用基本情報・集計情報とZIPファイルの照合】";

std::vector<ExtraFinding> cross_check_archive(const RunState& run);

}  // namespace kenshin::extrachecks
