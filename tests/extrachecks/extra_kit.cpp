#include "extrachecks/extra_kit.h"

#include <gtest/gtest.h>

#include "report/read_back.h"

namespace kenshin::testkit {

XmlDoc agreeing_index() {
  XmlDoc index(read_fixture("sample/ix08_V08.xml"));
  index.set("//a:sender/a:id/@extension", kFixtureSender).set("//a:totalRecordCount/@value", "4");
  return index;
}

XmlDoc agreeing_summary() {
  XmlDoc summary(read_fixture("sample/su08_V08.xml"));
  summary.set("//a:totalSubjectCount/@value", "2")
      .set("//a:totalCostAmount/@value", "21160")
      .set("//a:totalPaymentAmount/@value", "3000")
      .set("//a:totalClaimAmount/@value", "18160");
  return summary;
}

Archive AgreeingParts::archive() const {
  Archive archive;
  archive.name = std::string(kAgreeingStem) + ".zip";
  archive.top_folder = kAgreeingStem;
  if (with_index) archive.add("ix08_V08.xml", index.text());
  if (with_summary) archive.add("su08_V08.xml", summary.text());
  archive.add_pair(data, claims, 1);
  archive.add_pair(XmlDoc::data(), claims2, 2);
  return archive;
}

namespace {

// What ERR.txt holds of a record.
Finding as_written(Finding f) {
  f.pair = 0;
  f.item_code.clear();
  f.value.clear();
  f.line = 0;
  if (f.kind == FindingKind::kSchema || f.kind == FindingKind::kCrossCheck) f.document.clear(), f.rule_id.clear();
  return f;
}

}  // namespace

void expect_read_back(const std::vector<Finding>& records, const std::string& report_bytes,
                      const std::string& archive_name) {
  const std::vector<Finding> read = report::read_back(report_bytes, archive_name);
  std::vector<Finding> expected, got;
  for (const Finding& f : records) expected.push_back(as_written(f));
  for (const Finding& f : read) got.push_back(as_written(f));
  EXPECT_EQ(got, expected) << "read back from ERR.txt";
  EXPECT_EQ(report::count_examinees(read), report::count_examinees(records)) << "examinees read back";
}

}  // namespace kenshin::testkit
