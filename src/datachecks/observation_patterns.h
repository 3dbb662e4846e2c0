// The shapes of the observation rules of a data document. Each examination
// result is an HL7 CDA observation named by the 17-character national item
// code in the `code` attribute of its `code` element; a rule asks whether the
// item is there, whether it was performed, whether its coded result is there
// and in range, and whether a result with something to note comes with its
// details. The item tables are rows of the structs below.
//
// Every path is asked of the whole document with docs::select_node: a derived
// path (negation, value, …) is the item's path with a suffix, never a query
// relative to the node the item's path found.
#pragma once

#include <optional>
#include <span>
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

inline constexpr std::string_view kBmiCode = "9N011000000000001";
// The BMI value of a performed BMI observation that records no value.
inline constexpr std::string_view kBmiValueMissing = "ng";

// Where an observation stands.
enum class Form {
  kDirect,          // directly in a section entry (the item path)
  kNested,          // in an entryRelationship of such an observation
  kCheckupSection,  // directly in an entry of the section coded 01010
};

// Where a rule looks for an item.
enum class Lookup {
  kDirect,
  kNestedFirst,  // the nested form; the direct form only when there is no nested one
  kCheckupSection,
};

// Which negationInd texts mean "not performed".
enum class Negation {
  kExactlyTrue,  // only "true"; absent, "false", "TRUE", empty… are performed
  kAnyButFalse,  // everything but absent or exactly "false" (so "TRUE" and empty too)
};

std::string item_path(std::string_view code);
std::string nested_path(std::string_view code);
std::string checkup_section_path(std::string_view code);
std::string path_in(Form form, std::string_view code);

// Whether base + suffix selects a node.
bool selects(const DataCheck& check, std::string_view base, std::string_view suffix = {});
// Whether the code's path + suffix selects a node in one of the lookup's
// forms (for kNestedFirst: the nested one, else the direct one).
bool selects_in(const DataCheck& check, std::string_view code, Lookup lookup, std::string_view suffix = {});

// The item as found: the form its lookup settled on and its path there.
struct FoundItem {
  Form form;
  std::string path;
};

// The first form of the lookup in which path + presence_suffix selects a node.
std::optional<FoundItem> find_item(const DataCheck& check, std::string_view code, Lookup lookup,
                                   std::string_view presence_suffix = {});

// Not performed: the observation's negationInd is exactly "true". Absent,
// "false", empty, "TRUE" or anything else counts as performed.
bool is_negated(const DataCheck& check, std::string_view base);
bool is_not_performed(const DataCheck& check, std::string_view base, Negation negation);
// The result is given as a null flavor instead of a value.
bool has_null_flavor(const DataCheck& check, std::string_view base);

enum class ItemState { kAbsent, kNotPerformed, kPerformed };

// What one observation says, without reporting anything.
ItemState item_state(const DataCheck& check, std::string_view code, Lookup lookup = Lookup::kDirect,
                     Negation negation = Negation::kExactlyTrue);

// An item that must be present and performed; its value is not examined.
struct PerformedItem {
  std::string_view code;
  std::string_view absent;
  std::string_view not_performed;
};

// Absent → the absent message; negated → the not-performed message.
ItemState check_performed_item(DataCheck& check, const PerformedItem& item);

// The BMI item checked like any performed item; it also captures the BMI
// value (empty unless performed; the value text as written, or "ng").
void check_bmi_item(DataCheck& check, const PerformedItem& bmi);

// A value code as a number: 0 while no code has been read, nullopt when the
// code read is not a number (the empty text included).
using CodeValue = std::optional<double>;

// What the item must have to count as present.
enum class Presence {
  kObservation,  // the observation itself
  kValueCode,    // a value code (an observation without one is reported absent)
};

// An item whose result is a code from 1 to highest_code. An empty absent
// message makes the item optional; an empty not-performed message passes a
// result that was not performed over silently.
struct CodedItem {
  std::string_view code;
  int highest_code;
  std::string_view absent;
  std::string_view not_performed;
  std::string_view no_code;
  std::string_view out_of_range;
  Lookup lookup = Lookup::kDirect;
  Presence presence = Presence::kObservation;
};

// The outcome a companion rule needs.
struct CodedResult {
  CodeValue code_value = 0.0;
  Form form = Form::kDirect;  // where the item was found
  docs::Node code_node;       // the value code read, if any
};

// Absent → absent message; negated → only the not-performed message; a null
// flavor → nothing more; otherwise the value code test below.
CodedResult check_coded_item(DataCheck& check, const CodedItem& item);

// The value code under base: none → no_code (code value 0); otherwise its
// number, and a code below 1, above highest_code or not a number at all
// (the empty text included) → out_of_range.
// The findings name item_code; code_node, when given, receives the code read.
CodeValue check_value_code(DataCheck& check, std::string_view item_code, std::string_view base,
                           std::string_view no_code, std::string_view out_of_range, int highest_code,
                           docs::Node* code_node = nullptr);

// The observation that must accompany a coded result of 1 (something to note).
struct Companion {
  std::string_view code;
  std::string_view absent;
  // What must be there besides the code: nothing, or e.g. the value element.
  std::string_view required_suffix = {};
};

// Directly after the coded item: when its code value equals 1, the companion
// must be present in the form the item was found in (looked for, not examined).
void check_companion(DataCheck& check, const Companion& companion, const CodedResult& item);

// One test recorded under any of several codes, one per measuring method.
struct MethodGroup {
  std::span<const std::string_view> codes;  // in order
  std::string_view absent;
  std::string_view not_performed;
  Negation negation = Negation::kExactlyTrue;
  Lookup lookup = Lookup::kDirect;
};

// The methods of a group as examined so far.
struct GroupTally {
  bool performed = false;
  int negated_count = 0;
  // The first method found not performed: its negationInd and code.
  docs::Node first_negation;
  std::string_view first_negated_code;
  void add(ItemState state, docs::Node negation = {}, std::string_view code = {});
  // item_state of the method, added.
  ItemState examine(const DataCheck& check, std::string_view code, Lookup lookup, Negation negation);
};

// Nothing when performed; otherwise absent when no method was present, not
// performed when some were (all negated).
void report_group(DataCheck& check, const GroupTally& tally, std::string_view absent, std::string_view not_performed);

// Every method is examined. One performed method satisfies the group;
// otherwise one finding as report_group says.
void check_method_group(DataCheck& check, const MethodGroup& group);

// A method whose result is a code, with its own messages.
struct CodedMethod {
  std::string_view code;
  std::string_view no_code;
  std::string_view out_of_range;
};

// A method group whose present, not negated methods also have their value
// code tested (1..highest_code). A method with a null flavor counts as a
// result even when negated; a negated one without it counts as not performed.
// Only the group writes an absent or not-performed message.
struct CodedMethodGroup {
  std::span<const CodedMethod> methods;  // in order
  int highest_code;
  std::string_view absent;
  std::string_view not_performed;
};

void check_coded_method_group(DataCheck& check, const CodedMethodGroup& group);

}  // namespace kenshin::datachecks
