#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"

namespace kenshin::datachecks {

namespace {

constexpr PerformedItem kJudgement{"9N511000000000049", "　医師の診断（判定）がありません",
                                   "　医師の診断（判定）が未実施です"};

// The doctor who made the judgement signs it as the author of its observation.
constexpr std::string_view kDoctorNamePath =
    "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/"
    "a:code[@code='9N511000000000049']/../a:author/a:assignedAuthor/a:assignedPerson/a:name";
constexpr std::string_view kDoctorNameAbsent = "　健康診断を実施した医師の氏名がありません";

// Questionnaire answers: 1 yes, 2 no.
constexpr std::array<CodedItem, 3> kMedication{{
    {"9N701000000000011", 2, "　服薬１（血圧）がありません", "　服薬１（血圧）が未実施です",
     "　服薬１（血圧）のコードがありません", "　服薬１（血圧）に１、２以外のコードが入っています"},
    {"9N706000000000011", 2, "　服薬２（血糖）がありません", "　服薬２（血糖）が未実施です",
     "　服薬２（血糖）のコードがありません", "　服薬２（血糖）に１、２以外のコードが入っています"},
    {"9N711000000000011", 2, "　服薬３（脂質）がありません", "　服薬３（脂質）が未実施です",
     "　服薬３（脂質）のコードがありません", "　服薬３（脂質）に１、２以外のコードが入っています"},
}};

constexpr CodedItem kSmoking2018{"9N736000000000011", 2, "　喫煙がありません", "　喫煙が未実施です",
                                 "　喫煙のコードがありません", "　喫煙に１、２以外のコードが入っています"};
// Since FY2024: 1 yes, 2 not in the last month, 3 no.
constexpr CodedItem kSmoking2024{"9N736000000000011", 3, "　喫煙がありません", "　喫煙が未実施です",
                                 "　喫煙のコードがありません", "　喫煙に１～３以外のコードが入っています"};

}  // namespace

void judgement_medication_items(DataCheck& check) {
  check_performed_item(check, kJudgement);
  // Asked whatever the judgement rule found: without a judgement there is no name either.
  if (!selects(check, kDoctorNamePath)) report_finding(check, kDoctorNameAbsent);
  for (const CodedItem& answer : kMedication) check_coded_item(check, answer);
  check_coded_item(check, check.run.edition == base::Edition::k2024 ? kSmoking2024 : kSmoking2018);
}

}  // namespace kenshin::datachecks
