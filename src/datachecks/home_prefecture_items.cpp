#include <algorithm>
#include <array>

#include "datachecks/insurer_prefix.h"
#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"
#include "base/text.h"

namespace kenshin::datachecks {

namespace {

// Three of the home prefecture's municipal insurers ask for no further results.
constexpr std::array<std::string_view, 3> kExemptInsurers{"00583048", "00583022", "00583030"};

// These insurers want BUN as full-width text in the other-tests item, never
// as a value under a standard BUN code.
constexpr std::array<std::string_view, 3> kStandardBunCodes{"3C025000002327101", "3C025000002327201",
                                                            "3C025000002399801"};
constexpr std::string_view kStandardBun = "　ＢＵＮは、「その他の検査」（9N416000000000049）に全角で入力してください";

// A result that must be there under one of its codes. Finding a code is
// enough; negationInd and value are not read.
struct RequiredResult {
  std::span<const std::string_view> codes;
  Lookup lookup;
  std::string_view absent;
  bool waived_by_standard_bun = false;  // not asked when BUN stands under a standard code
};

constexpr std::string_view kUrineOccultBlood[] = {"1A100000000191111", "1A100000000190111"};
constexpr std::string_view kAlbumin[] = {"3A015000002327101", "3A015000002399901"};
constexpr std::string_view kOtherTests[] = {"9N416000000000049"};
constexpr std::string_view kUricAcid[] = {"3C020000002327101", "3C020000002399901"};
constexpr std::string_view kRedCells[] = {"2A020000001930101"};
constexpr std::string_view kHemoglobin[] = {"2A030000001930101"};
constexpr std::string_view kHematocrit[] = {"2A040000001930102"};
constexpr std::string_view kEcgFindings[] = {"9A110160700000011"};
constexpr std::string_view kCreatinine[] = {"3C015000002327101", "3C015000002399901"};
constexpr std::string_view kWhiteCells[] = {"2A010000001930101"};

// The urine, albumin, other-tests and uric acid results count only directly
// in a section entry; the blood, ECG and creatinine results also nested.
constexpr std::array<RequiredResult, 9> kRequiredResults{{
    {kUrineOccultBlood, Lookup::kDirect, "　尿潜血がありません"},
    {kAlbumin, Lookup::kDirect, "　アルブミンがありません"},
    {kOtherTests, Lookup::kDirect, "　ＢＵＮ（「その他の検査」）がありません", true},
    {kUricAcid, Lookup::kDirect, "　血清尿酸がありません"},
    {kRedCells, Lookup::kNestedFirst, "　赤血球数がありません"},
    {kHemoglobin, Lookup::kNestedFirst, "　血色素量［ヘモグロビン値］がありません"},
    {kHematocrit, Lookup::kNestedFirst, "　ヘマトクリット値がありません"},
    {kEcgFindings, Lookup::kNestedFirst, "　心電図（所見の有無）がありません"},
    {kCreatinine, Lookup::kNestedFirst, "　血清クレアチニンがありません"},
}};
// Asked by the late-elderly insurer only.
constexpr RequiredResult kWhiteCellCount{kWhiteCells, Lookup::kNestedFirst, "　白血球数がありません"};

void check_required(DataCheck& check, const RequiredResult& result) {
  auto found = [&](std::string_view code) { return selects_in(check, code, result.lookup); };
  if (std::ranges::none_of(result.codes, found)) report_finding(check, result.absent, {}, result.codes.front());
}

// A BUN counts under a standard code only with a value attribute: the first
// such value, or no node.
docs::Node bun_under_standard_code(const DataCheck& check) {
  for (std::string_view code : kStandardBunCodes) {
    std::string path = item_path(code);
    path.append(kValueSuffix);
    if (docs::Node value = docs::select_node(check.doc, path)) return value;
  }
  return {};
}

bool exempt(std::string_view insurer_number) {
  return std::ranges::any_of(kExemptInsurers,
                             [&](std::string_view insurer) { return base::text_equals(insurer_number, insurer); });
}

}  // namespace

void home_prefecture_items(DataCheck& check) {
  const std::string& insurer = check.run.insurer_number;
  docs::Node standard_bun = bun_under_standard_code(check);
  if (standard_bun) report_finding(check, kStandardBun, standard_bun);
  if (exempt(insurer)) return;

  for (const RequiredResult& result : kRequiredResults) {
    if (result.waived_by_standard_bun && standard_bun) continue;
    check_required(check, result);
  }
  if (insurer_begins_with(insurer, kHomeLateElderlyPrefix)) check_required(check, kWhiteCellCount);
}

}  // namespace kenshin::datachecks
