#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "extrachecks/extra_kit.h"
#include "extrachecks/schema_folder.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {
namespace {

constexpr extrachecks::ExtraCheckOptions kSchema{true, false};
constexpr const char kShippedHeading[] = "【スキーマ検証（本プログラム同梱のスキーマ）】";
constexpr const char kArchiveHeading[] = "【スキーマ検証（ZIPファイル内のXSDフォルダのスキーマ）】";

TEST(SchemaCheck, InvalidDocumentsAreNamedWithTheirFirstErrorAndCount) {
  const std::string claims2 = "CLAIMS/" + Archive::claims_name(2);
  struct Case {
    const char* name;
    std::function<Archive(AgreeingParts&)> archive;
    std::vector<std::string> expected;  // the whole report
  } cases[] = {
      {"every document valid", [](AgreeingParts& p) { return p.archive(); },
       {kNoError, "", kShippedHeading, "スキーマ検証でのエラーはありません"}},
      {"a summary element out of order, two faults in one settlement document",
       [](AgreeingParts& p) {
         p.summary.append_xml("//a:summary", "<totalPaymentByOtherProgram value=\"0\" currency=\"JPY\"/>");
         p.claims2.set("//a:checkupCard/a:effectiveTime/a:high/@value", "2019-03-31")
             .set("//a:settlement/a:commissionType/@code", "7");
         return p.archive();
       },
       {"", fixture_examinee_line(), "○決済情報　" + Archive::claims_name(2),
        "　委託料単価区分に１、２以外のコードが入っています", "", kShippedHeading,
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one report line, split for width
        "　su08_V08.xml がスキーマに適合しません（エラー1件、最初は8行目：要素 'totalPaymentByOtherProgram' "
        "はこの位置に置けません）",
        "　" + claims2 +
            " がスキーマに適合しません（エラー2件、最初は32行目：要素 'high' の属性 'value' の値 '2019-03-31' "
            "がパターン '([1-9][0-9][0-9][0-9])((0[1-9])|(1[0-2]))(([0-2][0-9])|(3[01]))' に合いません）"}},
      {"a data document that is not well-formed",
       [](AgreeingParts& p) {
         Archive archive = p.archive();
         std::string data = XmlDoc::data().text();
         archive.add("DATA/" + Archive::data_name(3), data.substr(0, data.size() / 2));
         archive.add("CLAIMS/" + Archive::claims_name(3), XmlDoc::claims().text());
         return archive;
       },
       {Archive::data_name(3) + "の読込に失敗しました", "", "　保険者番号()　受診券整理番号()",
        "○決済情報　" + Archive::claims_name(3), "　データファイルと決済情報ファイルの受診券整理番号が違います",
        "　データファイルと決済情報ファイルの受診者名が違います", "", kShippedHeading,
        "　DATA/" + Archive::data_name(3) + " はXMLとして正しくないため検証できません（232行目：AttValue: ' expected）"}},
  };
  for (const Case& c : cases) {
    AgreeingParts parts;
    EXPECT_EQ(check_extra(c.archive(parts), kSchema).lines, c.expected) << c.name;
  }
}

// A schema for settlement documents that admits only an empty root element.
constexpr const char kEmptyClaimSchema[] =
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "targetNamespace=\"http://tokuteikenshin.jp/checkup/2007\" "
    "elementFormDefault=\"qualified\"><xs:element name=\"checkupClaim\"><xs:complexType/></xs:element></xs:schema>";

// A schema that would do no harm if it were included.
constexpr const char kHarmlessSchema[] =
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "targetNamespace=\"http://tokuteikenshin.jp/checkup/2007\" "
    "elementFormDefault=\"qualified\"><xs:element name=\"unrelated\"/></xs:schema>";

// A FY2026 pair whose documents the quick check passes but the installed
// 2018 schemas do not: any use of them shows as a line.
Archive fy2026_pair_invalid_for_installed_schemas() {
  XmlDoc data = XmlDoc::data(), claims = XmlDoc::claims();
  data.set("//a:participant/a:associatedEntity/a:id/@extension", "26100012345")
      .set_attribute("/a:ClinicalDocument", "unknown", "1");
  claims.set("//a:checkupCard/a:id/@extension", "26100012345")
      .set("//a:checkupCard/a:effectiveTime/a:high/@value", "2027-03-31");
  Archive archive;
  archive.add_pair(data, claims, 1);
  return archive;
}

// The archive's XSD folder is used where it has a schema, the shipped schemas
// (in the 2018 edition) where it has none or one that reaches outside it.
TEST(SchemaCheck, TheArchivesOwnSchemasAreUsedWithinTheirFolder) {
  TempDir dir;
  const std::string on_disk = dir.path() + "/on_disk.xsd";
  write_file(on_disk, kHarmlessSchema);
  const EditionChoice fy2026{base::Edition::k2024, 2026};
  const std::string claims1 = "CLAIMS/" + Archive::claims_name(1), data1 = "DATA/" + Archive::data_name(1);
  const std::string content_not_allowed =
      " がスキーマに適合しません（エラー2件、最初は11行目：Element 'checkupClaim': Character content is not allowed, "
      "because the content type is empty.）";
  const std::string no_data_schema =
      "　ZIPファイル内のXSD/hc08_V08.xsd を使えないため、同梱のスキーマで検証しました（ファイルがありません）";
  // The settlement schema with `reference` in front of its includes, a schema beside the folder and one inside.
  auto including = [](const std::string& reference) {
    std::string schema = read_schema("cc08_V08.xsd");
    schema.insert(schema.find("<xs:include"), reference);
    return std::vector<std::pair<std::string, std::string>>{{"XSD/cc08_V08.xsd", schema},
                                                            {"XSD/co08_V08.xsd", read_schema("co08_V08.xsd")},
                                                            {"beside.xsd", kHarmlessSchema},
                                                            {"XSD/inside.xsd", kHarmlessSchema}};
  };
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // beside the documents, the XSD folder among them
    EditionChoice choice;
    std::vector<std::string> expected;  // the lines after the quick check's
  } cases[] = {
      {"2018: the data schema missing, the settlement schema the archive's",
       {{"XSD/cc08_V08.xsd", kEmptyClaimSchema}},
       {},
       {kArchiveHeading, no_data_schema, "　" + claims1 + content_not_allowed,
        "　CLAIMS/" + Archive::claims_name(2) + content_not_allowed}},
      {"2018: an include beside the folder",
       including("<xs:include schemaLocation=\"../beside.xsd\"/>"),
       {},
       {kArchiveHeading, no_data_schema,
        "　ZIPファイル内のXSD/cc08_V08.xsd を使えないため、同梱のスキーマで検証しました（Element 'include': Failed to "
        "parse the XML resource 'beside.xsd'.）"}},
      {"2018: an include of a file on the disk",
       including("<xs:include schemaLocation=\"" + on_disk + "\"/>"),
       {},
       {kArchiveHeading, no_data_schema,
        "　ZIPファイル内のXSD/cc08_V08.xsd を使えないため、同梱のスキーマで検証しました（Element 'include': Failed to "
        "parse the XML resource '" + on_disk + "'.）"}},
      {"2018: an include inside the folder is fine",
       including("<xs:include schemaLocation=\"coreschemas/../inside.xsd\"/>"),
       {},
       {kArchiveHeading, no_data_schema}},
      {"2024: no XSD folder",
       {},
       fy2026,
       {"【スキーマ検証】",
        "　ZIPファイルにXSDフォルダがなく、2024年度版のスキーマが手元にないため、スキーマ検証を行っていません"}},
      {"2024: a folder without the data schema",
       {{"XSD/cc08_V08.xsd", kEmptyClaimSchema}},
       fy2026,
       {kArchiveHeading,
        "　ZIPファイル内のXSD/hc08_V08.xsd を使えないため、この種類の文書は検証していません（ファイルがありません）",
        "　" + claims1 + content_not_allowed}},
      {"2024: a whole folder",
       {{"XSD/hc08_V08.xsd", read_schema("hc08_V08.xsd")},
        {"XSD/cc08_V08.xsd", read_schema("cc08_V08.xsd")},
        {"XSD/co08_V08.xsd", read_schema("co08_V08.xsd")},
        {"XSD/coreschemas/datatypes-base_hcgv08.xsd", read_schema("coreschemas/datatypes-base_hcgv08.xsd")},
        {"XSD/coreschemas/datatypes_hcgv08.xsd", read_schema("coreschemas/datatypes_hcgv08.xsd")},
        {"XSD/coreschemas/narrativeBlock_hcgv08.xsd", read_schema("coreschemas/narrativeBlock_hcgv08.xsd")},
        {"XSD/coreschemas/voc_hcgv08.xsd", read_schema("coreschemas/voc_hcgv08.xsd")}},
       fy2026,
       {kArchiveHeading,
        "　" + data1 +
            " がスキーマに適合しません（エラー1件、最初は16行目：Element 'ClinicalDocument', attribute 'unknown': The "
            "attribute 'unknown' is not allowed.）",
        "　" + claims1 +
            " がスキーマに適合しません（エラー1件、最初は32行目：要素 'high' の属性 'value' の値 '2027-03-31' "
            "がパターン '([1-9][0-9][0-9][0-9])((0[1-9])|(1[0-2]))(([0-2][0-9])|(3[01]))' に合いません）"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AgreeingParts parts;
    parts.with_index = parts.with_summary = false;
    Archive archive = c.choice.edition == base::Edition::k2024 ? fy2026_pair_invalid_for_installed_schemas() : parts.archive();
    for (const auto& [path, content] : c.files) archive.add(path, content);
    CheckResult r = check_extra(archive, kSchema, c.choice);
    std::vector<std::string> expected = {kNoError, ""};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(r.lines, expected);
    EXPECT_EQ(r.result.outcome, RunOutcome::kFindings);
  }
}

TEST(SchemaCheck, TheLoaderAdmitsOnlyFilesInsideItsFolder) {
  TempDir dir;
  fs::create_directories(dir.path() + "/XSD/coreschemas");
  extrachecks::ConfinedLoader loader(dir.path() + "/XSD");
  const std::string xsd = fs::canonical(dir.path() + "/XSD").string();
  struct Case {
    const char* name;
    std::string url;
    std::optional<std::string> expected;
  } cases[] = {
      {"file in the folder", xsd + "/cc08_V08.xsd", xsd + "/cc08_V08.xsd"},
      {"file in a sub-folder", xsd + "/coreschemas/voc_hcgv08.xsd", xsd + "/coreschemas/voc_hcgv08.xsd"},
      {"file URL in the folder", "file://" + xsd + "/cc08_V08.xsd", xsd + "/cc08_V08.xsd"},
      {"dot-dot out of the folder", xsd + "/coreschemas/../../ix08_V08.xml", std::nullopt},
      {"folder itself", xsd, std::nullopt},
      {"sibling with the same beginning", xsd + "2/cc08_V08.xsd", std::nullopt},
      {"absolute path elsewhere", "/etc/passwd", std::nullopt},
      {"relative path", "cc08_V08.xsd", std::nullopt},
      {"network", "http://127.0.0.1/cc08_V08.xsd", std::nullopt},
      {"file URL on a server", "file://server" + xsd + "/cc08_V08.xsd", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(loader.resolve(c.url.c_str()), c.expected) << c.name;
}

// The schema section of a run's report, from its heading on.
std::vector<std::string> schema_section(const std::vector<std::string>& lines) {
  auto heading = std::find(lines.begin(), lines.end(), std::string(kShippedHeading));
  return std::vector<std::string>(heading, lines.end());
}

TEST(SchemaCheck, TheUsualErrorsAreSaidInJapaneseAndTheEngineTextGoesToTheRecord) {
  const std::string claims1 = "　CLAIMS/" + Archive::claims_name(1) + " がスキーマに適合しません（エラー1件、最初は";
  struct Case {
    const char* name;
    std::function<void(XmlDoc&)> edit;  // of the first settlement document
    std::string line;                   // its line in the schema section
    std::string engine_text;            // the record's value
    int line_number;
  } cases[] = {
      {"element not expected",
       [](XmlDoc& d) { d.append_xml("//a:subjectPerson", "<remarks/>"); },
       claims1 + "28行目：要素 'remarks' はこの位置に置けません）", "Element 'remarks': This element is not expected.", 28},
      {"missing child",
       [](XmlDoc& d) { d.remove("//a:settlement/a:claimAmount"); },
       claims1 + "41行目：要素 'settlement' に子要素 paymentByOtherProgram か claimAmount がありません）",
       "Element 'settlement': Missing child element(s). Expected is one of ( paymentByOtherProgram, claimAmount ).",
       41},
      {"pattern",
       [](XmlDoc& d) { d.set("//a:subjectPerson/a:addr/a:postalCode", "1600023"); },
       claims1 + "25行目：要素 'postalCode' の値 '1600023' がパターン '[0-9]{3}-[0-9]{4}' に合いません）",
       "Element 'postalCode': [facet 'pattern'] The value '1600023' is not accepted by the pattern "
       "'[0-9]{3}-[0-9]{4}'.",
       25},
      {"enumeration",
       [](XmlDoc& d) { d.set("//a:subjectPerson/a:administrativeGender/@code", "3"); },
       claims1 + "27行目：要素 'administrativeGender' の属性 'code' の値 '3' は決められた値 '1', '2' のどれでもありません）",
       "Element 'administrativeGender', attribute 'code': [facet 'enumeration'] The value '3' is not an element of "
       "the set {'1', '2'}.",
       27},
      {"maximum length",
       [](XmlDoc& d) { d.set("//a:insuranceCard/a:symbol/@extension", "123456789012345678901"); },
       claims1 +
           "21行目：要素 'symbol' の属性 'extension' の値 '123456789012345678901' の長さ 21 が最大の長さ 20 "
           "を超えています）",
       "Element 'symbol', attribute 'extension': [facet 'maxLength'] The value '123456789012345678901' has a length "
       "of '21'; this exceeds "
       "the allowed maximum length of '20'.",
       21},
      {"type",
       [](XmlDoc& d) { d.set("//a:settlement/a:unitAmount/@value", "10,580"); },
       claims1 + "69行目：要素 'unitAmount' の属性 'value' の値 '10,580' は型 'totalMonetaryAmount' の値として正しくありません）",
       "Element 'unitAmount', attribute 'value': '10,580' is not a valid value of the atomic type 'totalMonetaryAmount'.", 69},
  };
  for (const Case& c : cases) {
    AgreeingParts parts;
    c.edit(parts.claims);
    CheckResult r = check_extra(parts.archive(), kSchema);
    EXPECT_EQ(schema_section(r.lines), (std::vector<std::string>{kShippedHeading, c.line})) << c.name;
    ASSERT_FALSE(r.findings.empty()) << c.name;
    const Finding& record = r.findings.back();
    EXPECT_EQ(record.kind, FindingKind::kSchema) << c.name;
    EXPECT_EQ(record.value, c.engine_text) << c.name;
    EXPECT_EQ(record.line, c.line_number) << c.name;
  }
}

}  // namespace
}  // namespace kenshin::testkit
