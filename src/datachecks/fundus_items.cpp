#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

// Each grading is optional, and one not performed is passed over; a present,
// performed grading needs a code of its system. Usually nested in the fundus
// group; a direct one counts only when there is no nested one.
constexpr CodedItem grading(std::string_view code, int highest_code, std::string_view no_code,
                            std::string_view out_of_range) {
  return {code, highest_code, {}, {}, no_code, out_of_range, Lookup::kNestedFirst};
}

// Wong-Mitchell comes before modified Davis, against the order of their codes.
constexpr std::array<CodedItem, 6> kGradings{{
    grading("9E100166000000011", 6, "　眼底検査（キースワグナー分類）のコードがありません",
            "　眼底検査（キースワグナー分類）に１～６以外のコードが入っています"),
    grading("9E100166100000011", 5, "　眼底検査（シェイエ分類：Ｈ）のコードがありません",
            "　眼底検査（シェイエ分類：Ｈ）に１～５以外のコードが入っています"),
    grading("9E100166200000011", 5, "　眼底検査（シェイエ分類：Ｓ）のコードがありません",
            "　眼底検査（シェイエ分類：Ｓ）に１～５以外のコードが入っています"),
    // The closing parenthesis of the Scott texts is the ASCII one.
    grading("9E100166300000011", 9, "　眼底検査（SCOTT分類)のコードがありません",
            "　眼底検査（SCOTT分類)に１～９以外のコードが入っています"),
    grading("9E100166600000011", 4, "　眼底検査（Wong-Mitchell分類）のコードがありません",
            "　眼底検査（Wong-Mitchell分類）に１～４以外のコードが入っています"),
    grading("9E100166500000011", 4, "　眼底検査（改変Davis分類）のコードがありません",
            "　眼底検査（改変Davis分類）に１～４以外のコードが入っています"),
}};

}  // namespace

void fundus_items(DataCheck& check) {
  for (const CodedItem& item : kGradings) check_coded_item(check, item);
}

}  // namespace kenshin::datachecks
