#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

constexpr PerformedItem kBodyHeight{"9N001000000000001", "　身長がありません", "　身長が未実施です"};
constexpr PerformedItem kBodyWeight{"9N006000000000001", "　体重がありません", "　体重が未実施です"};
constexpr PerformedItem kBmi{kBmiCode, "　ＢＭＩがありません", "　ＢＭＩが未実施です"};

// Findings-type items: code 1 means something to note (特記すべきことあり),
// 2 nothing; with code 1 the observation holding the details must be there.
struct FindingsItem {
  CodedItem result;
  Companion details;
};

constexpr std::array<FindingsItem, 3> kFindingsItems{{
    {{"9N056000000000011", 2, "　既往歴がありません", "　既往歴が未実施です", "　既往歴のコードがありません",
      "　既往歴に１、２以外のコードが入っています"},
     {"9N056160400000049", "　既往歴のコード１（特記すべきことあり）に対して、既往歴（具体的な既往歴）がありません"}},
    {{"9N061000000000011", 2, "　自覚症状がありません", "　自覚症状が未実施です", "　自覚症状のコードがありません",
      "　自覚症状に１、２以外のコードが入っています"},
     {"9N061160800000049", "　自覚症状のコード１（特記すべきことあり）に対して、自覚症状（所見）がありません"}},
    {{"9N066000000000011", 2, "　他覚症状がありません", "　他覚症状が未実施です", "　他覚症状のコードがありません",
      "　他覚症状に１、２以外のコードが入っています"},
     {"9N066160800000049", "　他覚症状のコード１（特記すべきことあり）に対して、他覚症状（所見）がありません"}},
}};

}  // namespace

void measurement_items(DataCheck& check) {
  check_performed_item(check, kBodyHeight);
  check_performed_item(check, kBodyWeight);
  check_bmi_item(check, kBmi);
  for (const FindingsItem& item : kFindingsItems) {
    check_companion(check, item.details, check_coded_item(check, item.result));
  }
}

}  // namespace kenshin::datachecks
