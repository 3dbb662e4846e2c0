#include <array>

#include "datachecks/item_groups.h"
#include "datachecks/observation_patterns.h"
#include "base/text.h"

namespace kenshin::datachecks {

namespace {

enum class GlucoseClass { kNone, kFasting, kRandom, kHbA1c };

struct GlucoseCode {
  std::string_view code;
  GlucoseClass family;
};

// Four method codes each for fasting glucose, random glucose and HbA1c. A
// later performed code overrides an earlier one, so the order decides the
// class: any HbA1c beats random, random beats fasting.
constexpr std::array<GlucoseCode, 12> kGlucoseCodes{{
    {"3D010000001926101", GlucoseClass::kFasting},
    {"3D010000002227101", GlucoseClass::kFasting},
    {"3D010000001927201", GlucoseClass::kFasting},
    {"3D010000001999901", GlucoseClass::kFasting},
    {"3D010129901926101", GlucoseClass::kRandom},
    {"3D010129902227101", GlucoseClass::kRandom},
    {"3D010129901927201", GlucoseClass::kRandom},
    {"3D010129901999901", GlucoseClass::kRandom},
    {"3D046000001906202", GlucoseClass::kHbA1c},
    {"3D046000001920402", GlucoseClass::kHbA1c},
    {"3D046000001927102", GlucoseClass::kHbA1c},
    {"3D046000001999902", GlucoseClass::kHbA1c},
}};
constexpr std::span<const GlucoseCode> kHbA1cCodes = std::span(kGlucoseCodes).last(4);

constexpr std::string_view kTimingCode = "9N141000000000011";
constexpr std::string_view kTimingCodePath =
    "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/"
    "a:code[@code='9N141000000000011']/../a:value/@code";
constexpr std::string_view kTimingItemPath =
    "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/a:code[@code='9N141000000000011']";
// Blood drawn at least 10 hours after a meal, and 3.5 to 10 hours after.
constexpr double kTimingFasting = 2;
constexpr double kTimingRandom = 3;

constexpr std::string_view kTimingMissing = "　採血時間がありません";
constexpr std::string_view kGlucoseNotPerformed = "　血糖検査が未実施です";
constexpr std::string_view kFastingTiming =
    "　空腹時血糖のみで採血時間がある場合、採血時間は２（食後１０時間以上）である必要があります";
constexpr std::string_view kRandomTiming =
    "　随時血糖のみで採血時間がある場合、採血時間は３（食後３．５時間以上１０時間未満）である必要があります";

// The glucose results count only in the checkup section, and only when
// their negationInd is absent or exactly "false".
GlucoseClass classify(const DataCheck& check, GroupTally& tally) {
  GlucoseClass found = GlucoseClass::kNone;
  for (const GlucoseCode& glucose : kGlucoseCodes) {
    ItemState state = tally.examine(check, glucose.code, Lookup::kCheckupSection, Negation::kAnyButFalse);
    if (state == ItemState::kPerformed) found = glucose.family;
  }
  return found;
}

// An HbA1c result in any section makes a fasting-only document an HbA1c one.
bool hba1c_anywhere(const DataCheck& check) {
  for (const GlucoseCode& hba1c : kHbA1cCodes) {
    if (item_state(check, hba1c.code, Lookup::kDirect, Negation::kAnyButFalse) == ItemState::kPerformed) return true;
  }
  return false;
}

// A stated timing must be the expected code; one that is not a number never
// equals it. A missing one is accepted in the 2018 edition; since FY2024 a
// glucose result needs its timing observation.
void check_timing(DataCheck& check, double expected, std::string_view message) {
  if (check.run.edition == base::Edition::k2024 && !selects(check, kTimingItemPath)) {
    report_finding(check, kTimingMissing, {}, kTimingCode);
    return;
  }
  docs::Node timing = docs::select_node(check.doc, kTimingCodePath);
  if (timing && base::numeric_value(docs::node_text(timing)) != expected) {
    report_finding(check, message, timing, kTimingCode);
  }
}

}  // namespace

void blood_glucose_items(DataCheck& check) {
  GroupTally tally;
  GlucoseClass glucose = classify(check, tally);
  if (glucose == GlucoseClass::kNone && tally.negated_count > 0) {
    report_finding(check, kGlucoseNotPerformed, tally.first_negation, tally.first_negated_code);
  }
  if (glucose == GlucoseClass::kFasting && hba1c_anywhere(check)) glucose = GlucoseClass::kHbA1c;
  if (glucose == GlucoseClass::kFasting) check_timing(check, kTimingFasting, kFastingTiming);
  if (glucose == GlucoseClass::kRandom) check_timing(check, kTimingRandom, kRandomTiming);
}

}  // namespace kenshin::datachecks
