// The shapes of the observation rules of a data document. Each examination
// result is an HL7 CDA observation named by the 17-character national item
// code in the `code` attribute of its `code` element; a rule asks whether the
// item is there, whether it was performed, whether its coded result is there
// and in range, and whether a result with something to note comes with its
// details. The item tables are rows of the structs below.
//
// Every path is asked of the whole document with docs::select_node: a derived
// path (negation, value, …) is the item path with a suffix, never a query
// relative to the node the item path found.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "datachecks/data_check.h"

namespace kenshin::datachecks {

// An observation that stands directly in an entry of a section of the body;
// observations in subsections or nested in other observations do not match.
inline constexpr std::string_view kItemPathStart =
    "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/a:code[@code='";
// An observation inside an entryRelationship of such an observation.
inline constexpr std::string_view kNestedPathStart =
    "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/a:entryRelationship/"
    "a:observation/a:code[@code='";
// An observation directly in an entry of the specified-checkup section (code 01010).
inline constexpr std::string_view kCheckupSectionPathStart =
    "//a:component/a:structuredBody/a:component/a:section/a:code[@code='01010']/../a:entry/a:observation/"
    "a:code[@code='";
inline constexpr std::string_view kPathEnd = "']";

// Suffixes that turn an item's path into the path of a part of its observation.
inline constexpr std::string_view kNegationSuffix = "/../@negationInd";
inline constexpr std::string_view kValueSuffix = "/../a:value/@value";
inline constexpr std::string_view kNullFlavorSuffix = "/../a:value/@nullFlavor";
inline constexpr std::string_view kValueCodeSuffix = "/../a:value/@code";
inline constexpr std::string_view kValueElementSuffix = "/../a:value";

// The BMI value of a performed BMI observation that records no value.
inline constexpr std::string_view kBmiValueMissing = "ng";

std::string item_path(std::string_view code);
std::string nested_path(std::string_view code);
std::string checkup_section_path(std::string_view code);

// Whether base + suffix selects a node.
bool selects(const DataCheck& check, std::string_view base, std::string_view suffix = {});
// Not performed: the observation's negationInd is exactly "true". Absent,
// "false", empty, "TRUE" or anything else counts as performed.
bool is_negated(const DataCheck& check, std::string_view base);
// The result is given as a null flavor instead of a value.
bool has_null_flavor(const DataCheck& check, std::string_view base);

// An item that must be present and performed; its value is not examined.
struct PerformedItem {
  std::string_view code;
  std::string_view absent;
  std::string_view not_performed;
};

enum class ItemState { kAbsent, kNotPerformed, kPerformed };

// Absent → the absent message; negated → the not-performed message.
ItemState check_performed_item(DataCheck& check, const PerformedItem& item);

// The BMI item checked like any performed item; it also captures the BMI
// value (empty unless performed; the value text as written, or "ng").
void check_bmi_item(DataCheck& check, const PerformedItem& bmi);

// An item whose result is a code from 1 to highest_code.
struct CodedItem {
  std::string_view code;
  int highest_code;
  std::string_view absent;
  std::string_view not_performed;
  std::string_view no_code;
  std::string_view out_of_range;
};

// Resets the code value to 0; absent → absent message; negated → only the
// not-performed message; a null flavor → nothing more; otherwise the value
// code test below.
void check_coded_item(DataCheck& check, const CodedItem& item);

// The value code under base: none → no_code; otherwise the code value takes
// its number, and a code below 1, above highest_code or not a number at all
// (the empty text included) → out_of_range.
void check_value_code(DataCheck& check, std::string_view base, std::string_view no_code, std::string_view out_of_range,
                      int highest_code);

// The observation that must accompany a coded result of 1 (something to note).
struct Companion {
  std::string_view code;
  std::string_view absent;
};

// Directly after the coded item: when the code value equals 1, the companion
// must be present (it is looked for, not examined).
void check_companion(DataCheck& check, const Companion& companion);

inline constexpr std::size_t kMaxMethods = 5;

// One test recorded under any of up to five codes, one per measuring method.
struct MethodGroup {
  std::array<std::string_view, kMaxMethods> codes;  // in order; unused places empty
  std::string_view not_performed;
  std::string_view absent;
};

// Every method is examined. One present, not negated method satisfies the
// group; otherwise one finding: not performed when some method is present
// (all negated), absent when none is.
void check_method_group(DataCheck& check, const MethodGroup& group);

}  // namespace kenshin::datachecks
