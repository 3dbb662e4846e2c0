// Builds the sample submission archive that ./run.sh checks: three examinees
// laid out like a real submission, with a few deliberate faults so that the
// report shows what findings look like.
//
//   kenshin-make-sample OUT_FOLDER   → OUT_FOLDER/1311234567_95899071_201812060_1.zip

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/check_kit.h"

namespace fs = std::filesystem;
using namespace kenshin::testing;

namespace {

constexpr const char kName[] = "//a:recordTarget/a:patientRole/a:patient/a:name";
constexpr const char kTicket[] = "//a:participant/a:associatedEntity/a:id/@extension";

// Same examinee data, another person and ticket.
void make_second_examinee(XmlDoc& data, XmlDoc& claims) {
  data.set(kName, "シンサ　ハナコ").set(kTicket, "18100012346");
  claims.set("//a:subjectPerson/a:name", "シンサ　ハナコ").set("//a:checkupCard/a:id/@extension", "18100012346");
}

Archive sample() {
  Archive archive;
  archive.add("ix08_V08.xml", read_fixture("sample/ix08_V08.xml"));
  archive.add("su08_V08.xml", read_fixture("sample/su08_V08.xml"));
  for (const auto& entry : fs::recursive_directory_iterator(std::string(KENSHIN_FIXTURES_DIR) + "/xsd")) {
    if (!entry.is_regular_file()) continue;
    std::string relative = fs::relative(entry.path(), std::string(KENSHIN_FIXTURES_DIR) + "/xsd").string();
    archive.add("XSD/" + relative, read_fixture("xsd/" + relative));
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
  make_second_examinee(data2, claims2);
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
  std::string data3 = XmlDoc::data().text();
  archive.add("DATA/" + Archive::data_name(3), data3.substr(0, data3.size() / 2));
  archive.add("CLAIMS/" + Archive::claims_name(3), XmlDoc::claims().text());
  return archive;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kenshin-make-sample OUT_FOLDER\n");
    return 2;
  }
  try {
    fs::create_directories(argv[1]);
    std::string path = std::string(argv[1]) + "/" + kArchiveName;
    write_zip(path, sample().entries);
    std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kenshin-make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
