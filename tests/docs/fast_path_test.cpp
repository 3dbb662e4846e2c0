#include "docs/fast_path.h"

#include <gtest/gtest.h>

#include "docs/xml.h"
#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

// Awkward shapes: nested elements of the same name (the inner one's match
// first in document order, the outer one's first in the index), repeated
// codes, parent steps that meet twice, namespaced attributes.
constexpr const char kAwkward[] = R"(<?xml version="1.0"?>
<checkupClaim xmlns="http://tokuteikenshin.jp/checkup/2007" xmlns:o="urn:other">
  <settlement><settlement><unitPriceDetail/></settlement><unitPriceDetail/></settlement>
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

// Keyed shapes: the same @code / @root value under ancestors that do and do
// not match the steps before it, a key in another namespace, and a keyed
// step after a parent step.
constexpr const char kKeyed[] = R"(<?xml version="1.0"?>
<checkupClaim xmlns="http://tokuteikenshin.jp/checkup/2007" xmlns:o="urn:other">
  <observation code="2"/>
  <settlement>
    <unitPriceDetail><observation code="2"/><amount value="50"/></unitPriceDetail>
    <id root="1.2" extension="a"/><id root="1.2" extension="b"/>
    <o:settlement><unitPriceDetail><observation code="2"/></unitPriceDetail></o:settlement>
    <other><unitPriceDetail><observation code="2"/></unitPriceDetail></other>
    <settlement><id root="1.2" o:root="1.3" extension="c"/><unitPriceDetail><observation code="2"/></unitPriceDetail></settlement>
  </settlement>
</checkupClaim>
)";

// Keys and values written with entity references, which read as their text.
constexpr const char kEntities[] = R"(<?xml version="1.0"?>
<!DOCTYPE checkupClaim [<!ENTITY two "2"><!ENTITY root "1.&two;">]>
<checkupClaim xmlns="http://tokuteikenshin.jp/checkup/2007">
  <settlement>
    <unitPriceDetail><observation code="&two;"/><amount value="&two;0"/></unitPriceDetail>
    <unitPriceDetail><observation code="x&two;"/><observation code="2"/></unitPriceDetail>
    <id root="&root;" extension="&two;"/><id root="1.2" extension="b"/>
    <claimType code="&#50;"/>
  </settlement>
</checkupClaim>
)";

// Questions of every shape the rules ask, over every item code of the data fixture.
std::vector<std::string> questions(const Document& data) {
  std::vector<std::string> out = {
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2']/../a:amount/@value",
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2']/../..",
      "//a:settlement/a:unitPriceDetail",
      "//a:settlement/a:claimType/@code",
      "//a:claimType[@code='']",
      "//a:checkupClaim/a:settlement/../a:settlement/a:claimType/@code",
      "//a:settlement/a:unitPriceDetail/a:observation[@code='2'][@code='2']/@code",
      "//a:missing/a:x",
      "//a:observation[@code='2']",
      "//a:settlement/a:id[@root='1.2']/@extension",
      "//a:settlement/a:id[@root='1.3']/@extension",
      "//a:id[@root='1.2'][@extension='b']",
      "//a:id[@root='1.2'][@extension='2']",
      "//a:unitPriceDetail/a:observation[@code='2']/../../a:id[@root='1.2']/@extension",
      "//a:checkupClaim/a:settlement/a:settlement/a:unitPriceDetail/a:observation[@code='2']",
  };
  const std::string body = "//a:component/a:structuredBody/a:component/a:section/";
  for (Node code : select_all_nodes_generic(data, "//a:observation/a:code/@code")) {
    std::string item = "a:code[@code='" + node_text(code) + "']";
    for (const char* suffix : {"", "/../a:value/@value", "/../a:value/@code", "/../@negationInd"}) {
      out.push_back(body + "a:entry/a:observation/" + item + suffix);
      out.push_back(body + "a:entry/a:observation/a:entryRelationship/a:observation/" + item + suffix);
      out.push_back(body + "a:code[@code='01010']/../a:entry/a:observation/" + item + suffix);
    }
  }
  return out;
}

TEST(FastPath, AgreesWithTheGeneralEvaluator) {
  std::optional<Document> data = parse_document(testkit::XmlDoc::data().text(), Bindings::kData);
  ASSERT_TRUE(data);
  struct Case {
    const char* name;
    std::string text;
    Bindings bindings;
  } cases[] = {
      {"data fixture", testkit::XmlDoc::data().text(), Bindings::kData},
      {"claims fixture", testkit::XmlDoc::claims().text(), Bindings::kClaims},
      {"awkward shapes", kAwkward, Bindings::kClaims},
      {"keyed shapes", kKeyed, Bindings::kClaims},
      {"entity references", kEntities, Bindings::kClaims},
  };
  for (const Case& c : cases) {
    std::optional<Document> doc = parse_document(c.text, c.bindings);
    ASSERT_TRUE(doc) << c.name;
    for (const std::string& e : questions(*data)) {
      ASSERT_TRUE(fast_path::compile(e)) << e;
      EXPECT_EQ(select_node(*doc, e).raw(), select_node_generic(*doc, e).raw()) << c.name << ": " << e;
      std::vector<const void*> fast, generic;
      for (Node n : select_all_nodes(*doc, e)) fast.push_back(n.raw());
      for (Node n : select_all_nodes_generic(*doc, e)) generic.push_back(n.raw());
      EXPECT_EQ(fast, generic) << c.name << ": " << e;
    }
  }
}

TEST(FastPath, LeavesOtherShapesToTheGeneralEvaluator) {
  for (const char* e : {"/a:checkupClaim", "//a:x[1]", "//a:x[@code=\"1\"]", "//x", "//a:x/@code/..", "//a:x//a:y",
                        "//a:x[@code='1' and @root='2']", "(//a:x)[1]", "//a:x/text()", "//a:x/@*", "//a:x/"}) {
    EXPECT_FALSE(fast_path::compile(e)) << e;
  }
}

}  // namespace
}  // namespace kenshin::docs
