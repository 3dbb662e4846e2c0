#include "docs/laid_out.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

namespace kenshin::docs {
namespace {

// The laid-out line `n` (1-based), without its indent.
std::string shown(const LaidOutDocument& doc, int n) {
  size_t start = 0;
  for (int i = 1; i < n && start != std::string::npos; ++i) {
    start = doc.text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (n <= 0 || start == std::string::npos) return "";
  std::string line = doc.text.substr(start, doc.text.find('\n', start) - start);
  return line.substr(line.find_first_not_of(' '));
}

constexpr const char kOneLine[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><c xmlns=\"urn:x\"><a><b v=\"1\"/><b v=\"2\"/></a><t>ケンシン</t></c>";

constexpr const char kWritten[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- a generator's note\r\n  over two lines -->\r\n"
    "<c xmlns=\"urn:x\">\r\n"           // 4
    "  <a><b v=\"1\"/>\r\n"              // 5
    "      <b v=\"2\"/></a>\r\n"         // 6
    "  <t>first\r\n  second</t>\r\n"     // 7, 8
    "\r\n"                               // 9
    "  <u/></c>\r\n";                    // 10

TEST(LayOutDocument, MapsTheWrittenLineToItsElement) {
  struct Case {
    const char* name;
    std::string document;
    int written_line;
    std::string shown;  // the laid-out line the written line maps to, unindented
  } cases[] = {
      // Everything on line 1: its first element stands for the line.
      {"one line", kOneLine, 1, "<c xmlns=\"urn:x\">"},
      {"before the root", kWritten, 2, ""},
      {"root", kWritten, 4, "<c xmlns=\"urn:x\">"},
      {"first of two on a line", kWritten, 5, "<a>"},
      {"second sibling", kWritten, 6, "<b v=\"2\"/>"},
      {"text running on", kWritten, 8, "<t>first"},
      {"blank line", kWritten, 9, "<t>first"},
      {"last", kWritten, 10, "<u/>"},
      {"past the end", kWritten, 99, "<u/>"},
      {"Shift_JIS",
       "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<c>\n<n>" + platform::utf8_to_cp932("ケンシン　ジロウ") + "</n></c>",
       3, "<n>ケンシン　ジロウ</n>"},
  };
  for (const Case& c : cases) {
    std::optional<LaidOutDocument> doc = lay_out_document(c.document);
    ASSERT_TRUE(doc) << c.name;
    EXPECT_EQ(shown(*doc, doc->shown_line(c.written_line)), c.shown) << c.name;
  }
}

TEST(LayOutDocument, IndentsOneElementToALine) {
  std::optional<LaidOutDocument> doc = lay_out_document(kOneLine);
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->text,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<c xmlns=\"urn:x\">\n"
            "  <a>\n"
            "    <b v=\"1\"/>\n"
            "    <b v=\"2\"/>\n"
            "  </a>\n"
            "  <t>ケンシン</t>\n"
            "</c>");
}

TEST(LayOutDocument, RefusesWhatTheCheckWouldNotLoad) {
  // Entities that would swell a small document to a hundred megabytes.
  std::string swelling = "<!DOCTYPE c [<!ENTITY e0 \"" + std::string(100, 'x') + "\">";
  for (int i = 1; i <= 6; ++i) {
    swelling += "<!ENTITY e" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) swelling += "&e" + std::to_string(i - 1) + ";";
    swelling += "\">";
  }
  swelling += "]><c>&e6;</c>";
  for (const std::string& bad : {std::string(), std::string("<c><a></c>"), swelling}) {
    EXPECT_FALSE(lay_out_document(bad)) << bad;
  }
}

}  // namespace
}  // namespace kenshin::docs
