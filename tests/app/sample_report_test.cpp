// The whole report of the sample archive, byte for byte: record headers of
// pairs with findings on both sides, on one side only and on none, load
// failures of either document, a missing examinee name, code page 932, CR LF.
#include <gtest/gtest.h>

#include "support/sample_archive.h"

namespace kenshin::testkit {
namespace {

TEST(SampleArchive, ReportIsExactlyTheKnownOne) {
  CheckResult r = check(sample_archive());
  EXPECT_EQ(r.result.outcome, RunOutcome::kFindings);
  EXPECT_EQ(r.report_bytes, read_fixture("sample/ERR.txt")) << "decoded:\n" << ::testing::PrintToString(r.lines);
}

}  // namespace
}  // namespace kenshin::testkit
