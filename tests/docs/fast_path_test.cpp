#include "docs/fast_path.h"

#include <gtest/gtest.h>

#include "docs/xml.h"
#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

using testing::TempDir;
using testing::write_file;
using testing::XmlDoc;

// Awkward shapes: nested elements of the same name, repeated codes, parent
// steps that meet twice, namespaced attributes.
constexpr const char kAwkward[] = R"(<?xml version="1.0"?>
<checkupClaim xmlns="http://tokuteikenshin.jp/checkup/2007" xmlns:o="urn:other">
  <settlement>
    <unitPriceDetail><observation code="2"/><observation code="2"/><amount value="20"/></unitPriceDetail>
    <unitPriceDetail><amount value="10"/><observation code="1"/></unitPriceDetail>
    <settlement><unitPriceDetail><amount value="30"/><observation code="2" o:code="9"/></unitPriceDetail></settlement>
    <o:unitPriceDetail><amount value="40"/><observation code="2"/></o:unitPriceDetail>
    <claimType code=""/>
  </settlement>
  <settlement><claimType code="3"/><claimType o:code="4"/></settlement>
</checkupClaim>
)";

std::vector<std::string> expressions_for(const std::string& doc_text) {
  std::vector<std::string> out = {
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2']/../a:amount/@value",
      "//a:settlement/a:unitPriceDetail/a:observation[@code='1']",
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2']/../..",
      "//a:settlement/a:claimType/@code",
      "//a:claimType[@code='']",
      "//a:settlement/a:unitPriceDetail/a:amount/@value",
      "//a:checkupClaim/a:settlement/../a:settlement/a:claimType/@code",
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2'][@code='2']/@code",
      "//a:observation/@o",
      "//a:missing/a:x",
  };
  // Every item of the data fixture, asked the ways the rules ask.
  XmlDoc doc(doc_text);
  const std::string item = "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/a:code";
  for (int i = 1;; ++i) {
    std::string code = doc.value("(" + item + ")[" + std::to_string(i) + "]/@code");
    std::string nested = doc.value("(//a:entryRelationship/a:observation/a:code)[" + std::to_string(i) + "]/@code");
    if (code.empty() && nested.empty()) break;
    for (const std::string& c : {code, nested}) {
      if (c.empty()) continue;
      std::string path = item + "[@code='" + c + "']";
      out.insert(out.end(), {path, path + "/../a:value/@value", path + "/../a:value/@code", path + "/../@negationInd",
                             path + "/../a:value/@nullFlavor",
                             "//a:component/a:structuredBody/a:component/a:section/a:entry/a:observation/"
                             "a:entryRelationship/a:observation/a:code[@code='" + c + "']/../a:value/@code",
                             "//a:component/a:structuredBody/a:component/a:section/a:code[@code='01010']/../a:entry/"
                             "a:observation/a:code[@code='" + c + "']/../a:value/@value"});
    }
  }
  return out;
}

TEST(FastPath, AgreesWithTheGeneralEvaluator) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string text;
    Bindings bindings;
  } cases[] = {
      {"data fixture", XmlDoc::data().text(), Bindings::kData},
      {"claims fixture", XmlDoc::claims().text(), Bindings::kClaims},
      {"awkward shapes", kAwkward, Bindings::kClaims},
      {"data read as claims", XmlDoc::data().text(), Bindings::kClaims},
  };
  for (const Case& c : cases) {
    write_file(dir.path() + "/doc.xml", c.text);
    std::optional<Document> doc = load_document(dir.path() + "/doc.xml", c.bindings);
    ASSERT_TRUE(doc) << c.name;
    int asked = 0;
    for (const std::string& e : expressions_for(c.bindings == Bindings::kData ? c.text : XmlDoc::data().text())) {
      ASSERT_TRUE(fast_path::parse(e)) << e;
      EXPECT_EQ(select_node(*doc, e).raw(), select_node_generic(*doc, e).raw()) << c.name << ": " << e;
      std::vector<const void*> fast, generic;
      for (Node n : select_all_nodes(*doc, e)) fast.push_back(n.raw());
      for (Node n : select_all_nodes_generic(*doc, e)) generic.push_back(n.raw());
      EXPECT_EQ(fast, generic) << c.name << ": " << e;
      ++asked;
    }
    EXPECT_GT(asked, 10) << c.name;
  }
}

TEST(FastPath, LeavesOtherShapesToTheGeneralEvaluator) {
  for (const char* e : {"/a:checkupClaim", "//a:x[1]", "//a:x[@code=\"1\"]", "//x", "//a:x/@code/..", "//a:x//a:y",
                        "//a:x[@code='1' and @root='2']", "(//a:x)[1]", "//a:x/text()", "//a:x/@*", "//a:x/"}) {
    EXPECT_FALSE(fast_path::parse(e)) << e;
  }
}

}  // namespace
}  // namespace kenshin::docs
