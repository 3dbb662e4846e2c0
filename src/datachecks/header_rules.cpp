#include <array>
#include <string_view>

#include "datachecks/data_check.h"
#include "base/text.h"
#include "report/report.h"

namespace kenshin::datachecks {

namespace {

// A header item that must be present and, when length is not 0, have exactly
// that many characters.
struct HeaderItem {
  std::string_view path;
  std::string_view absent;
  int length = 0;
  std::string_view malformed = {};
};

constexpr std::string_view kNameMissing = "　受診者名がありません";

constexpr std::string_view kReportCategoryPath = "//a:code/@code";
constexpr std::string_view kSexPath = "//a:recordTarget/a:patientRole/a:patient/a:administrativeGenderCode/@code";

// The first effectiveTime with a value: the document's own creation time in a
// document that keeps the CDA header order.
constexpr HeaderItem kFileCreationDate{"//a:effectiveTime/@value",
                                       "　ファイル作成日(/ClinicalDocument/effectiveTime)がありません", 8,
                                       "　ファイル作成日(/ClinicalDocument/effectiveTime)を確認してください"};

constexpr std::array<HeaderItem, 2> kCardAndBirthDate{{
    {"//a:recordTarget/a:patientRole/a:id[@root='1.2.392.200119.6.205']/@extension", "　被保険者証等番号がありません"},
    {"//a:recordTarget/a:patientRole/a:patient/a:birthTime/@value", "　生年月日がありません", 8,
     "　生年月日を確認してください"},
}};

// Postal codes are 8 characters with the hyphen; organisation numbers 10.
constexpr std::array<HeaderItem, 13> kAddressesAndOrganisations{{
    {"//a:recordTarget/a:patientRole/a:addr/a:postalCode", "　受診者郵便番号がありません", 8,
     "　受診者郵便番号を確認してください"},
    {"//a:recordTarget/a:patientRole/a:addr", "　受診者住所がありません"},
    {"//a:author/a:time/@value", "　ファイル作成日、ファイル作成機関がありません", 8,
     "　ファイル作成日、ファイル作成機関を確認してください"},
    {"//a:author/a:assignedAuthor/a:representedOrganization/a:id[@root='1.2.392.200119.6.102']/@extension",
     "　ファイル作成機関番号がありません", 10, "　ファイル作成機関番号を確認してください"},
    {"//a:author/a:assignedAuthor/a:representedOrganization/a:name", "　ファイル作成機関名称がありません"},
    {"//a:documentationOf/a:serviceEvent/a:code/@code", "　プログラム種別がありません", 3,
     "　プログラム種別を確認してください"},
    {"//a:documentationOf/a:serviceEvent/a:effectiveTime/@value", "　健診実施日がありません", 8,
     "　健診実施日を確認してください"},
    {"//a:documentationOf/a:serviceEvent/a:performer/a:assignedEntity/a:representedOrganization/"
     "a:id[@root='1.2.392.200119.6.102']/@extension",
     "　健診実施機関番号がありません", 10, "　健診実施機関番号を確認してください"},
    {"//a:documentationOf/a:serviceEvent/a:performer/a:assignedEntity/a:representedOrganization/a:name",
     "　健診実施機関名称がありません"},
    {"//a:documentationOf/a:serviceEvent/a:performer/a:assignedEntity/a:representedOrganization/a:addr/"
     "a:postalCode",
     "　健診実施機関の郵便番号がありません", 8, "　健診実施機関の郵便番号を確認してください"},
    {"//a:documentationOf/a:serviceEvent/a:performer/a:assignedEntity/a:representedOrganization/a:addr",
     "　健診実施機関の所在地がありません"},
    {"//a:documentationOf/a:serviceEvent/a:performer/a:assignedEntity/a:representedOrganization/a:telecom/"
     "@value",
     "　健診実施機関の電話番号がありません"},
    // Only that some section carries the code; the item rules do not depend on it.
    {"//a:component/a:structuredBody/a:component/a:section/a:code[@code='01010']",
     "　特定健診のＣＤＡセクションコードがありません"},
}};

// The first n characters of a text (all of it when it is shorter).
std::string first_characters(std::string_view text, size_t n) {
  return base::from_utf16(base::mid_units(base::to_utf16(text), 1, n));
}

void check_header_item(DataCheck& check, const HeaderItem& item) {
  docs::Node node = docs::select_node(check.doc, item.path);
  if (!node) {
    report_finding(check, item.absent);
  } else if (item.length != 0 && base::text_length(docs::node_text(node)) != item.length) {
    report_finding(check, item.malformed, node);
  }
}

// Without a name the bare file name stands in for the examinee line of the
// record header, for this document and for the claims document of the pair;
// the "○健診情報" line stays due.
void examinee_name_rule(DataCheck& check) {
  if (docs::select_node(check.doc, kExamineeNamePath)) return;
  report::report_data_name_missing(check.run, kNameMissing);
}

void report_category_rule(DataCheck& check) {
  docs::Node category = docs::select_node(check.doc, kReportCategoryPath);
  if (!category) {
    report_finding(check, "　報告区分がありません");
  } else if (!base::text_equals(docs::node_text(category), "10")) {
    report_finding(check, "　報告区分は、１０固定です", category);
  }
}

// Insurer numbers are 8 characters; those beginning with 99 are billed on paper.
// A beginning that is not a number is not 99.
void insurer_number_rule(DataCheck& check) {
  docs::Node node = docs::select_node(check.doc, kInsurerNumberPath);
  if (!node) {
    report_finding(check, "　保険者番号がありません");
    return;
  }
  std::string insurer = docs::node_text(node);
  if (base::text_length(insurer) != 8) {
    report_finding(check, "　保険者番号を確認してください", node);
  } else if (base::numeric_value(first_characters(insurer, 2)) == 99.0) {
    report_finding(check, "　紙での請求でないかを確認してください", node);
  }
}

// The ticket number begins with the last two digits of the fiscal year the
// run checks (always 18 in the 2018 edition). An empty ticket number (no
// ticket node) is another year too.
void fiscal_year_rule(DataCheck& check) {
  int last_two = check.run.fiscal_year % 100;
  const std::string year{static_cast<char>('0' + last_two / 10), static_cast<char>('0' + last_two % 10)};
  if (!base::text_equals(first_characters(check.run.ticket_number, 2), year)) {
    report_finding(check, "　過年度分の請求ですのでチェックが正常には行えません。",
                   docs::select_node(check.doc, kTicketNumberPath));
  }
}

// The sex code is kept for the urine rules. A text that is not a number, or
// a number beyond 16 bits, leaves it 0 and is reported like any other code.
void sex_rule(DataCheck& check) {
  check.sex_code = 0;
  docs::Node sex = docs::select_node(check.doc, kSexPath);
  if (!sex) {
    report_finding(check, "　性別がありません");
    return;
  }
  check.sex_code = base::whole_number(docs::node_text(sex)).value_or(0);
  if (check.sex_code < 1 || check.sex_code > 2) report_finding(check, "　性別に１、２以外のコードが入っています", sex);
}

}  // namespace

void run_header_rules(DataCheck& check) {
  examinee_name_rule(check);
  report_category_rule(check);
  check_header_item(check, kFileCreationDate);
  insurer_number_rule(check);
  fiscal_year_rule(check);
  for (const HeaderItem& item : kCardAndBirthDate) check_header_item(check, item);
  sex_rule(check);
  for (const HeaderItem& item : kAddressesAndOrganisations) check_header_item(check, item);
}

}  // namespace kenshin::datachecks
