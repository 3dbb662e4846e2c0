#include "extrachecks/schema_messages.h"

#include <libxml/xmlerror.h>

#include <regex>
#include <string_view>

namespace kenshin::extrachecks {

namespace {

constexpr std::string_view kNotExpected = "This element is not expected.";
constexpr std::string_view kMissingChild = "Missing child element(s).";

// The length facets: the allowed length, and how the value misses it.
struct LengthFacet {
  int code;
  std::string_view allowed;
  std::string_view missed;
};
constexpr LengthFacet kLengthFacets[] = {
    {XML_SCHEMAV_CVC_LENGTH_VALID, "決められた長さ", "と違います"},
    {XML_SCHEMAV_CVC_MINLENGTH_VALID, "最小の長さ", "に足りません"},
    {XML_SCHEMAV_CVC_MAXLENGTH_VALID, "最大の長さ", "を超えています"},
};

std::string text(std::string_view view) { return std::string(view); }

// The names after "Expected is ( a, b, c )" or "Expected is one of ( … )",
// as alternatives in a Japanese sentence: "a、b か c".
std::string expected_elements(const std::string& message) {
  static const std::regex expected(R"(Expected is (?:one of )?\( (.*) \)\.$)");
  std::smatch m;
  if (!std::regex_search(message, m, expected)) return "";
  std::string names = m[1].str();
  size_t last = names.rfind(", ");
  if (last != std::string::npos) names.replace(last, 2, " か ");
  for (size_t at = names.find(", "); at != std::string::npos; at = names.find(", ", at)) names.replace(at, 2, "、");
  return names;
}

std::string subject(const SchemaErrorPlace& place) {
  std::string out = "要素 '" + place.element + "'";
  if (!place.attribute.empty()) out += " の属性 '" + place.attribute + "'";
  return out;
}

std::optional<std::string> element_content(const SchemaErrorPlace& place, const std::string& message) {
  const std::string names = expected_elements(message);
  if (message.find(kNotExpected) != std::string::npos) {
    std::string out = subject(place) + " はこの位置に置けません";
    return names.empty() ? out : out + "。ここに置ける要素：" + names;
  }
  if (message.find(kMissingChild) != std::string::npos && !names.empty()) {
    return subject(place) + " に子要素 " + names + " がありません";
  }
  return std::nullopt;
}

// "… has a length of '21'; this exceeds the allowed maximum length of '20'."
// The engine shows the value in the message for attributes only, and moves
// its other fields accordingly; the two lengths are always in the message.
std::optional<std::string> length_message(const SchemaErrorPlace& place, const SchemaError& error,
                                          const LengthFacet& facet) {
  static const std::regex lengths(R"(has a length of '([0-9]+)';.* length of '([0-9]+)'\.$)");
  std::smatch m;
  if (!std::regex_search(error.message, m, lengths)) return std::nullopt;
  return subject(place) + " の値 '" + error.value + "' の長さ " + m[1].str() + " が" + text(facet.allowed) + " " +
         m[2].str() + " " + text(facet.missed);
}

std::optional<std::string> type_message(const SchemaErrorPlace& place, const SchemaError& error) {
  static const std::regex type(R"(type '([^']*)'\.$)");
  std::smatch m;
  if (!std::regex_search(error.message, m, type)) return std::nullopt;
  return subject(place) + " の値 '" + error.str1 + "' は型 '" + m[1].str() + "' の値として正しくありません";
}

}  // namespace

std::optional<SchemaErrorPlace> place_of(const std::string& message) {
  static const std::regex place(R"(^Element '([^']*)'(?:, attribute '([^']*)')?: )");
  std::smatch m;
  if (!std::regex_search(message, m, place)) return std::nullopt;
  return SchemaErrorPlace{m[1].str(), m[2].str()};
}

std::optional<std::string> japanese_schema_message(const SchemaError& error) {
  std::optional<SchemaErrorPlace> place = place_of(error.message);
  if (!place) return std::nullopt;
  for (const LengthFacet& facet : kLengthFacets) {
    if (error.code == facet.code) return length_message(*place, error, facet);
  }
  switch (error.code) {
    case XML_SCHEMAV_ELEMENT_CONTENT:
      return element_content(*place, error.message);
    case XML_SCHEMAV_CVC_PATTERN_VALID:
      return subject(*place) + " の値 '" + error.str1 + "' がパターン '" + error.str2 + "' に合いません";
    case XML_SCHEMAV_CVC_ENUMERATION_VALID:
      return subject(*place) + " の値 '" + error.str1 + "' は決められた値 " + error.str2 + " のどれでもありません";
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_2:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_3:
      return type_message(*place, error);
    default:
      return std::nullopt;
  }
}

}  // namespace kenshin::extrachecks
