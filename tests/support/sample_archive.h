// The sample submission that ./run.sh checks and the report test knows by
// heart: five examinees with deliberate faults on both sides of their pairs.
#pragma once

#include "support/check_kit.h"

namespace kenshin::testkit {

Archive sample_archive();

// The same kind of submission made to the FY2024 standard for fiscal year
// 2024: tickets beginning with 24, smoking answered 1..3, non-fasting
// triglycerides, settlement, index and summary documents in the FY2024
// settlement namespace with one settlement document in the 2007 one. Without
// findings it is sound throughout, the index and summary included; with them
// four examinees carry faults of the FY2024 rules and the summary's cost
// total is wrong. No XSD folder: the FY2024 schemas are not at hand.
inline constexpr int kSample2024FiscalYear = 2024;
inline constexpr const char kSample2024Name[] = "1311234567_95899071_202412060_1.zip";
inline constexpr const char kSample2024Stem[] = "1311234567_95899071_202412060_1";
Archive sample_archive_2024(bool with_findings);

}  // namespace kenshin::testkit
