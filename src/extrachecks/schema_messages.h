// The schema engine's error messages in Japanese, for the kinds of error a
// submission document usually has: an element out of place, a child element
// missing, a value against a pattern, a list of values or a length, a value
// that is not of its type. The element, attribute and value stay visible.
#pragma once

#include <optional>
#include <string>

namespace kenshin::extrachecks {

// One error as the engine reports it.
struct SchemaError {
  int code = 0;         // libxml2's error code (XML_SCHEMAV_…)
  std::string message;  // its English text, made readable (readable_message)
  std::string str1;     // the value, or the length found
  std::string str2;     // the pattern, the allowed values, or the allowed length
  // The text of the element or attribute the error is about, when the caller
  // could read it; used where the message does not show the value.
  std::string value;
};

// The Japanese message for the error, or nullopt for kinds without one; those
// are shown in the engine's own words.
std::optional<std::string> japanese_schema_message(const SchemaError& error);

// "Element 'x'" or "Element 'x', attribute 'y'" at the start of an engine
// message: the element's and the attribute's name (empty when none).
struct SchemaErrorPlace {
  std::string element;
  std::string attribute;
};
std::optional<SchemaErrorPlace> place_of(const std::string& message);

}  // namespace kenshin::extrachecks
