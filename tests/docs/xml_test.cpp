#include "docs/xml.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "support/check_kit.h"

namespace kenshin::docs {
namespace {

using testkit::TempDir;
using testkit::write_file;

constexpr const char kClaims[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<checkupClaim xmlns=\"http://tokuteikenshin.jp/checkup/2007\">\r\n"
    "  <settlement>\r\n"
    "    <claimType code=\"2\"/>\r\n"
    "    <unitPriceDetail><amount value=\"300\"/><observation code=\"1\"/></unitPriceDetail>\r\n"
    "    <unitPriceDetail><amount value=\"\"/><observation code=\"2\"/></unitPriceDetail>\r\n"
    "  </settlement>\r\n"
    "  <subjectPerson>\r\n"
    "    <name>\r\n      ケンシン　<![CDATA[タロウ]]>\r\n    </name>\r\n"
    "    <addr><postalCode>123-4567</postalCode>東京都\r\n  架空区</addr>\r\n"
    "  </subjectPerson>\r\n"
    "</checkupClaim>\r\n";

TEST(Xml, SelectsFirstNodeInDocumentOrderAndReadsTexts) {
  std::optional<Document> doc = parse_document(kClaims, Bindings::kClaims);
  ASSERT_TRUE(doc);
  EXPECT_EQ(select_text(*doc, "//a:settlement/a:unitPriceDetail/a:amount/@value"), "300");
  EXPECT_EQ(select_all_nodes(*doc, "//a:settlement/a:unitPriceDetail").size(), 2u);
  EXPECT_EQ(select_text(*doc, "//a:settlement/a:unitPriceDetail/a:observation[@code='2']/../a:amount/@value"), "");
  EXPECT_FALSE(select_node(*doc, "//a:settlement/a:unitPriceDetail/a:observation[@code='3']"));
  EXPECT_EQ(select_text(*doc, "//a:subjectPerson/a:name"), "ケンシン　タロウ");
  EXPECT_EQ(select_text(*doc, "//a:subjectPerson/a:addr"), "123-4567東京都\n  架空区");
  EXPECT_FALSE(select_node(*doc, "//settlement"));  // unprefixed names are in no namespace
}

TEST(Xml, BindingsDecideWhatPrefixAMeans) {
  EXPECT_FALSE(select_node(*parse_document(kClaims, Bindings::kData), "//a:settlement/a:claimType/@code"));
  EXPECT_TRUE(select_node(*parse_document(kClaims, Bindings::kClaims), "//a:settlement/a:claimType/@code"));
}

TEST(Xml, LoadFailsForWhatIsNotWellFormed) {
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"not well-formed", "<a><b></a>"},
      {"truncated", std::string(kClaims).substr(0, 120)},
      {"an undeclared entity", "<a>&x;</a>"},
      {"an undeclared entity in an attribute", "<a b='&x;'/>"},
      {"empty", ""},
  };
  for (const Case& c : cases) EXPECT_FALSE(parse_document(c.text, Bindings::kClaims)) << c.name;
}

TEST(Xml, DocumentsOverTheSizeCeilingAreNotLoaded) {
  // Well-formed at any size: the settlement document padded by comments.
  auto padded_to = [](size_t size) {
    std::string text = kClaims;
    std::string padding;
    while (padding.size() + text.size() < size) {
      size_t room = size - text.size() - padding.size();
      padding += "<!--" + std::string(std::min<size_t>(room, 4096) - std::min<size_t>(room, 8), 'x') + "-->\n";
    }
    text.insert(text.find("<checkupClaim"), padding);
    return text;
  };
  constexpr size_t kSixteenMiB = size_t{16} << 20;  // written out: the test holds the bound where it is
  struct Case {
    size_t size;
    bool loads;
  } cases[] = {{kSixteenMiB - 1, true}, {kSixteenMiB, true}, {kSixteenMiB + 1, false}};
  for (const Case& c : cases) {
    std::string text = padded_to(c.size);
    ASSERT_EQ(text.size(), c.size);
    EXPECT_EQ(static_cast<bool>(parse_document(text, Bindings::kClaims)), c.loads) << c.size;
  }
}

TEST(Xml, EntityTextHoldsToItsBudgetToTheByte) {
  // One reference counts the text it produces and one byte for itself.
  constexpr size_t kOneMiB = size_t{1} << 20;
  auto referring_once = [](size_t entity_length, bool in_attribute) {
    std::string text = "<!DOCTYPE checkupClaim [<!ENTITY e \"" + std::string(entity_length, 'x') +
                       "\">]>\r\n<checkupClaim xmlns=\"http://tokuteikenshin.jp/checkup/2007\">";
    return text + (in_attribute ? "<name code=\"&e;\"/>" : "<name>&e;</name>") + "</checkupClaim>";
  };
  struct Case {
    size_t produced;  // the entity's text and the reference's byte
    bool loads;
  } cases[] = {{kOneMiB - 1, true}, {kOneMiB, true}, {kOneMiB + 1, false}};
  for (bool in_attribute : {false, true}) {
    for (const Case& c : cases) {
      EXPECT_EQ(static_cast<bool>(parse_document(referring_once(c.produced - 1, in_attribute), Bindings::kClaims)),
                c.loads)
          << c.produced << (in_attribute ? " in an attribute" : " in element text");
    }
  }
}

TEST(Xml, MarkupCeilingsHoldToTheLastCharacter) {
  auto references = [](int n, size_t offset) {
    std::string text = "<r" + std::string(offset, ' ') + ">";
    for (int i = 0; i < n; ++i) text += "&amp;";
    return text + "</r>";
  };
  auto attributes_in_one_tag = [](int n) {
    std::string tag = "<r";
    for (int i = 0; i < n; ++i) tag += " a" + std::to_string(i) + "=''";
    return tag + "/>";
  };
  auto attributes_in_two_tags = [](int n) {
    std::string tag = "<r";
    for (int i = 0; i < n; ++i) tag += " a" + std::to_string(i) + "=''";
    return tag + "><s" + tag.substr(2) + "/></r>";
  };
  struct Case {
    const char* name;
    std::string text;
    bool loads;
  } cases[] = {
      // '<' of both tags and '&' of every reference: 500,000 markup characters at most.
      {"500,000 markup characters", references(499'998, 0), true},
      {"500,000 markup characters, shifted by three bytes", references(499'998, 3), true},
      {"500,001 markup characters", references(499'999, 0), false},
      {"500,001 markup characters, shifted by five bytes", references(499'999, 5), false},
      {"10,000 attributes on one element", attributes_in_one_tag(10'000), true},
      {"10,001 attributes on one element", attributes_in_one_tag(10'001), false},
      {"10,000 attributes on each of two elements", attributes_in_two_tags(10'000), true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<bool>(parse_document(c.text, Bindings::kClaims)), c.loads) << c.name;
  }
}

TEST(Xml, ShiftJisDeclaredDocumentsAreReadAsCodePage932) {
  for (const char* spelling : {"Shift_JIS", "shift_jis", "SHIFT-JIS", "Windows-31J", "x-sjis"}) {
    std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + spelling +
                       "\"?>\r\n<checkupClaim xmlns=\"http://tokuteikenshin.jp/checkup/2007\">"
                       "<subjectPerson><name>①髙橋　Ⅱ㈱～</name></subjectPerson></checkupClaim>\r\n";
    std::optional<Document> doc = parse_document(platform::utf8_to_cp932(text), Bindings::kClaims);
    ASSERT_TRUE(doc) << spelling;
    EXPECT_EQ(select_text(*doc, "//a:subjectPerson/a:name"), "①髙橋　Ⅱ㈱～") << spelling;
  }
}

TEST(Xml, NeverLoadsExternalEntities) {
  TempDir dir;
  std::string secret = dir.path() + "/secret.txt";
  write_file(secret, "SECRET");
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE c [<!ENTITY x SYSTEM \"file://" + secret +
                     "\">]>\n<c xmlns=\"http://tokuteikenshin.jp/checkup/2007\"><name>&x;</name></c>";
  std::optional<Document> doc = parse_document(text, Bindings::kClaims);
  if (doc) {
    EXPECT_EQ(select_text(*doc, "//a:name")->find("SECRET"), std::string::npos);
  }
}

}  // namespace
}  // namespace kenshin::docs
