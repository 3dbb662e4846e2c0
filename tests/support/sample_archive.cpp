#include "support/sample_archive.h"

#include <filesystem>
#include <string>

#include "docs/xml.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {

namespace {

constexpr const char kName[] = "//a:recordTarget/a:patientRole/a:patient/a:name";
constexpr const char kTicket[] = "//a:participant/a:associatedEntity/a:id/@extension";
constexpr const char kClaimsName[] = "//a:subjectPerson/a:name";
constexpr const char kClaimsTicket[] = "//a:checkupCard/a:id/@extension";

// Same examinee data, another person and ticket.
void make_other_examinee(XmlDoc& data, XmlDoc& claims, const std::string& name, const std::string& ticket) {
  data.set(kName, name).set(kTicket, ticket);
  claims.set(kClaimsName, name).set(kClaimsTicket, ticket);
}

constexpr const char kSmoking[] = "//a:observation[a:code/@code='9N736000000000011']/a:value/@code";
constexpr const char kBloodDrawTiming[] = "//a:observation[a:code/@code='9N141000000000011']";
constexpr const char kHbA1c[] = "//a:observation[a:code/@code='3D046000001906202']";
constexpr const char kFastingGlucoseCode[] = "//a:code[@code='3D010000001926101']/@code";
constexpr const char kRandomGlucose[] = "3D010129901926101";
constexpr const char kFastingTriglyceridesCode[] = "//a:code[@code='3F015000002327101']/@code";
constexpr const char kNonFastingTriglycerides[] = "3F015129902399901";

std::string cut_short(const std::string& text) { return text.substr(0, text.size() / 2); }

}  // namespace

Archive sample_archive() {
  Archive archive;
  archive.add("ix08_V08.xml", read_fixture("sample/ix08_V08.xml"));
  archive.add("su08_V08.xml", read_fixture("sample/su08_V08.xml"));
  const std::string xsd = std::string(KENSHIN_SCHEMAS_DIR);
  for (const auto& entry : fs::recursive_directory_iterator(xsd)) {
    if (!entry.is_regular_file()) continue;
    std::string relative = fs::relative(entry.path(), xsd).string();
    archive.add("XSD/" + relative, read_schema(relative));
  }

  // 1: complete and correct.
  archive.add_pair(XmlDoc::data(), XmlDoc::claims(), 1);

  // 2: another examinee, whose γ-GT is missing and whose objective symptoms
  // carry a code that does not exist, whose fasting blood was drawn with a
  // timing that does not fit, whose judgement lacks the doctor's name, whose
  // urine protein code does not exist, whose waist was only self-reported
  // although the BMI is 22.5, whose Scott grading is beyond its codes and
  // whose billed creatinine test lacks its target; the settlement's postal code
  // lacks its hyphen and the claim amount was not updated after the detailed
  // items were billed.
  XmlDoc data2 = XmlDoc::data(), claims2 = XmlDoc::claims();
  make_other_examinee(data2, claims2, "シンサ　ハナコ", "18100012346");
  data2.remove("//a:observation[a:code/@code='3B090000002327101']/..");
  data2.set("//a:observation[a:code/@code='9N066000000000011']/a:value/@code", "3");
  data2.remove("//a:observation[a:code/@code='3D046000001906202']/..");
  data2.set("//a:observation[a:code/@code='9N141000000000011']/a:value/@code", "1");
  data2.remove("//a:observation[a:code/@code='9N511000000000049']/a:author");
  data2.set("//a:observation[a:code/@code='1A010000000191111']/a:value/@code", "6");
  data2.set("//a:observation/a:code[@code='9N016160100000001']/@code", "9N016160300000001")
      .set("//a:code[@code='9N016160300000001']/@displayName", "腹囲(自己申告)");
  data2.set("//a:observation[a:code/@code='9E100166300000011']/a:value/@code", "10");
  data2.remove("//a:observation[a:code/@code='3C015161602399911']/..");
  claims2.set("//a:subjectPerson/a:addr/a:postalCode", "1600023").set("//a:settlement/a:claimAmount/@value", "6800");
  archive.add_pair(data2, claims2, 2);

  // 3: the data document was cut short on its way to the archive.
  archive.add("DATA/" + Archive::data_name(3), cut_short(XmlDoc::data().text()));
  archive.add("CLAIMS/" + Archive::claims_name(3), XmlDoc::claims().text());

  // 4: the data document lost the examinee's name and reports category 11;
  // the settlement still names the examinee.
  XmlDoc data4 = XmlDoc::data(), claims4 = XmlDoc::claims();
  make_other_examinee(data4, claims4, "ミホン　サブロウ", "18100012348");
  data4.remove(kName).set("/a:ClinicalDocument/a:code/@code", "11");
  archive.add_pair(data4, claims4, 4);

  // 5: a correct data document whose settlement was cut short.
  XmlDoc data5 = XmlDoc::data(), claims5 = XmlDoc::claims();
  make_other_examinee(data5, claims5, "ミホン　シロウ", "18100012349");
  archive.add("DATA/" + Archive::data_name(5), data5.text());
  archive.add("CLAIMS/" + Archive::claims_name(5), cut_short(claims5.text()));
  return archive;
}

Archive sample_archive_2024(bool with_findings) {
  const std::string fy2024 = docs::kClaims2024Namespace;
  Archive archive;
  archive.name = kSample2024Name;
  archive.top_folder = kSample2024Stem;
  const int pairs = with_findings ? 4 : 3;
  XmlDoc index(read_fixture("sample/ix08_V08.xml"));
  index.set("//a:creationTime/@value", "20241206").set("//a:totalRecordCount/@value", std::to_string(2 * pairs));
  XmlDoc summary(read_fixture("sample/su08_V08.xml"));
  // Each complete settlement document bills 10580, of which the examinee pays 1500.
  summary.set("//a:totalSubjectCount/@value", std::to_string(pairs))
      .set("//a:totalCostAmount/@value", with_findings ? "9310" : std::to_string(10580 * pairs))
      .set("//a:totalPaymentAmount/@value", std::to_string(1500 * pairs))
      .set("//a:totalClaimAmount/@value", std::to_string(9080 * pairs));
  archive.add("ix08_V08.xml", in_settlement_namespace(index, fy2024).text());
  archive.add("su08_V08.xml", in_settlement_namespace(summary, fy2024).text());

  // 1: complete and correct; a non-smoker answers 3.
  XmlDoc data1 = XmlDoc::data(), claims1 = XmlDoc::claims();
  make_other_examinee(data1, claims1, "ケンシン　ジロウ", "24100012345");
  data1.set(kSmoking, "3");
  archive.add_pair(data1, in_settlement_namespace(claims1, fy2024), 1);

  // 2: triglycerides drawn without fasting and a random glucose drawn 3.5 to
  // 10 hours after a meal; the settlement document is written in the 2007
  // namespace, as some providers' software still does. With findings the
  // glucose was drawn sooner than 3.5 hours after the meal.
  XmlDoc data2 = XmlDoc::data(), claims2 = XmlDoc::claims();
  make_other_examinee(data2, claims2, "シンサ　ハナコ", "24100012346");
  data2.set(kFastingTriglyceridesCode, kNonFastingTriglycerides).remove(kHbA1c);
  data2.set(kFastingGlucoseCode, kRandomGlucose).set(std::string(kBloodDrawTiming) + "/a:value/@code", with_findings ? "4" : "3");
  archive.add_pair(data2, claims2, 2);

  // 3: a former smoker (2). With findings the smoking answer is a code the
  // standard does not have and the fasting glucose lacks its blood-draw timing.
  XmlDoc data3 = XmlDoc::data(), claims3 = XmlDoc::claims();
  make_other_examinee(data3, claims3, "ミホン　サブロウ", "24100012347");
  if (with_findings) {
    data3.set(kSmoking, "4").remove(kHbA1c).remove(kBloodDrawTiming);
  }
  archive.add_pair(data3, in_settlement_namespace(claims3, fy2024), 3);
  if (!with_findings) return archive;

  // 4: a claim of the fiscal year before.
  XmlDoc data4 = XmlDoc::data(), claims4 = XmlDoc::claims();
  make_other_examinee(data4, claims4, "ミホン　シロウ", "23100012348");
  archive.add_pair(data4, in_settlement_namespace(claims4, fy2024), 4);
  return archive;
}

}  // namespace kenshin::testkit
