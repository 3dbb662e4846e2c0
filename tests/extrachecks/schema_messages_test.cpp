#include "extrachecks/schema_messages.h"

#include <gtest/gtest.h>
#include <libxml/xmlerror.h>

namespace kenshin::extrachecks {
namespace {

// Errors as libxml2 reports them for elements (the documents' own cases are
// in the schema check's tests); nullopt: said in the engine's words.
TEST(SchemaMessages, EachKnownKindHasItsJapaneseSentence) {
  struct Case {
    const char* name;
    SchemaError error;
    std::optional<std::string> expected;
  } cases[] = {
      {"length of an element",
       {XML_SCHEMAV_CVC_LENGTH_VALID,
        "Element 'd': [facet 'length'] The value has a length of '2'; this differs from the allowed length of '3'.", "2",
        "3", "ab"},
       "要素 'd' の値 'ab' の長さ 2 が決められた長さ 3 と違います"},
      {"minimum length of an element",
       {XML_SCHEMAV_CVC_MINLENGTH_VALID,
        "Element 'e': [facet 'minLength'] The value has a length of '2'; this underruns the allowed minimum length of "
        "'3'.",
        "2", "3", "ab"},
       "要素 'e' の値 'ab' の長さ 2 が最小の長さ 3 に足りません"},
      {"not expected among several",
       {XML_SCHEMAV_ELEMENT_CONTENT,
        "Element 'zz': This element is not expected. Expected is one of ( b, c, d ).", "", "", ""},
       "要素 'zz' はこの位置に置けません。ここに置ける要素：b、c か d"},
      {"type of an element",
       {XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1, "Element 'g': 'x1' is not a valid value of the atomic type 'xs:integer'.",
        "x1", "", "x1"},
       "要素 'g' の値 'x1' は型 'xs:integer' の値として正しくありません"},
      {"another kind",
       {XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_1,
        "Element 'ClinicalDocument', attribute 'unknown': The attribute 'unknown' is not allowed.", "unknown", "", ""},
       std::nullopt},
      {"element content of another wording",
       {XML_SCHEMAV_ELEMENT_CONTENT, "Element 'h': Character content other than whitespace is not allowed.", "", "", ""},
       std::nullopt},
      {"no element named", {XML_SCHEMAV_CVC_PATTERN_VALID, "[facet 'pattern'] The value '1' is not accepted.", "1", "x", ""},
       std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(japanese_schema_message(c.error), c.expected) << c.name;
}

}  // namespace
}  // namespace kenshin::extrachecks
