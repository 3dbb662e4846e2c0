#include "docs/xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "docs/entities.h"
#include "docs/fast_path.h"
#include "run/run_failure.h"

namespace kenshin::docs {

struct Document::Impl {
  xmlDocPtr doc = nullptr;
  xmlXPathContextPtr context = nullptr;
  const char* ns = nullptr;
  std::unique_ptr<fast_path::Index> index;  // built on the first question

  const fast_path::Index& fast_index() {
    if (!index) index = std::make_unique<fast_path::Index>(doc, ns);
    return *index;
  }
  ~Impl() {
    if (context != nullptr) xmlXPathFreeContext(context);
    if (doc != nullptr) xmlFreeDoc(doc);
  }
};

Document::Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

namespace {

const xmlChar* xml(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim_xml_space(std::string_view s) {
  while (!s.empty() && is_xml_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_xml_space(s.back())) s.remove_suffix(1);
  return s;
}

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The encoding named in the XML declaration, or empty.
std::string declared_encoding(std::string_view content) {
  std::string_view head = content.substr(0, 512);
  if (head.substr(0, 5) != "<?xml") return {};
  size_t end = head.find("?>");
  size_t at = head.find("encoding");
  if (at == std::string_view::npos || (end != std::string_view::npos && at > end)) return {};
  size_t quote = head.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  size_t close = head.find(head[quote], quote + 1);
  if (close == std::string_view::npos) return {};
  return std::string(head.substr(quote + 1, close - quote - 1));
}

// Names under which Shift_JIS is declared by the programs that write these
// documents; all of them mean code page 932 on Windows.
bool names_shift_jis(const std::string& encoding) {
  static constexpr std::array<std::string_view, 9> kNames = {
      "SHIFT_JIS", "SHIFT-JIS", "SJIS", "MS_KANJI", "CSSHIFTJIS", "X-SJIS", "SHIFTJIS", "X-SHIFT_JIS", "MS932"};
  std::string upper = upper_ascii(encoding);
  return std::find(kNames.begin(), kNames.end(), upper) != kNames.end();
}


// Compiled expressions, one per distinct text, kept for the thread's lifetime.
class ExpressionCache {
 public:
  ~ExpressionCache() {
    for (auto& [text, comp] : compiled_) xmlXPathFreeCompExpr(comp);
  }
  xmlXPathCompExprPtr get(std::string_view expression) {
    auto it = compiled_.find(std::string(expression));
    if (it != compiled_.end()) return it->second;
    std::string text(expression);
    xmlXPathCompExprPtr comp = xmlXPathCompile(xml(text.c_str()));
    if (comp == nullptr) throw RunFailure("XPath式を解釈できません: " + text);
    compiled_.emplace(std::move(text), comp);
    return comp;
  }

 private:
  std::unordered_map<std::string, xmlXPathCompExprPtr> compiled_;
};

xmlXPathCompExprPtr compiled(std::string_view expression) {
  thread_local ExpressionCache cache;
  return cache.get(expression);
}

// The parsed steps of expressions the fast evaluator can answer; nullopt for
// the others. Parsed once per distinct expression.
const std::optional<std::vector<fast_path::Step>>& fast_steps(std::string_view expression) {
  thread_local std::unordered_map<std::string, std::optional<std::vector<fast_path::Step>>> parsed;
  auto it = parsed.find(std::string(expression));
  if (it == parsed.end()) it = parsed.emplace(std::string(expression), fast_path::parse(expression)).first;
  return it->second;
}

struct ObjectDeleter {
  void operator()(xmlXPathObjectPtr p) const { xmlXPathFreeObject(p); }
};
using XPathResult = std::unique_ptr<xmlXPathObject, ObjectDeleter>;

XPathResult evaluate(const Document& doc, std::string_view expression) {
  XPathResult result(xmlXPathCompiledEval(compiled(expression), doc.impl().context));
  if (result == nullptr) throw RunFailure("XPath式を評価できません: " + std::string(expression));
  return result;
}

void append_text(const xmlNode* node, std::string& out) {
  for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
      const char* content = reinterpret_cast<const char*>(child->content);
      if (content != nullptr && !trim_xml_space(content).empty()) out += content;
    } else if (child->type == XML_ELEMENT_NODE) {
      append_text(child, out);
    }
  }
}

void ignore_parser_message(void*, const char*, ...) {}

// What the parser may be asked to build from one document: elements, attributes
// and references together, and attributes of one element. A real checkup
// document has some 1,500 in all and a few per element; the ceilings keep the
// tree of the largest document small, and the parser's duplicate-attribute
// test, which compares every pair of one element's attributes, short.
constexpr size_t kMaxMarkup = 500'000;        // '<', '=' and '&'
constexpr size_t kMaxAttributesInTag = 10'000;  // '=' from one '<' to the next ('<' cannot stand in a value)

bool markup_within_ceilings(std::string_view content) {
  size_t markup = 0, in_tag = 0;
  for (char c : content) {
    if (c == '<') {
      ++markup;
      in_tag = 0;
    } else if (c == '=') {
      ++markup;
      if (++in_tag > kMaxAttributesInTag) return false;
    } else if (c == '&') {
      ++markup;
    }
  }
  return markup <= kMaxMarkup;
}

}  // namespace

namespace {

// The file's bytes; nullopt when it cannot be read or is longer than a
// document may be.
std::optional<std::string> read_file_within_ceiling(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<std::uint64_t>(st.st_size) > kMaxDocumentSize) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content(static_cast<size_t>(st.st_size) + 1, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) return std::nullopt;
  content.resize(static_cast<size_t>(in.gcount()));
  if (content.size() > kMaxDocumentSize) return std::nullopt;  // it grew meanwhile
  return content;
}

}  // namespace

std::optional<std::string> read_document_bytes(const std::string& path) {
  std::optional<std::string> content = read_file_within_ceiling(path);
  if (!content || !markup_within_ceilings(*content)) return std::nullopt;
  return content;
}

std::optional<Document> load_document(const std::string& path, Bindings bindings) {
  std::optional<std::string> content = read_document_bytes(path);
  if (!content) return std::nullopt;

  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  const char* encoding = nullptr;
  if (names_shift_jis(declared_encoding(*content))) {
    encoding = "CP932";
    options |= XML_PARSE_IGNORE_ENC;
  }
  xmlSetGenericErrorFunc(nullptr, ignore_parser_message);
  // The size fits: read_document_bytes refuses anything over kMaxDocumentSize.
  xmlDocPtr parsed = xmlReadMemory(content->data(), static_cast<int>(content->size()), path.c_str(), encoding, options);
  if (parsed == nullptr) return std::nullopt;
  if (!entity_text_within_budget(parsed)) {
    xmlFreeDoc(parsed);
    return std::nullopt;
  }

  auto impl = std::make_unique<Document::Impl>();
  impl->doc = parsed;
  impl->context = xmlXPathNewContext(parsed);
  if (impl->context == nullptr) throw RunFailure("XMLの検索を準備できません: " + path);
  const char* ns = bindings == Bindings::kData ? kDataNamespace : kClaimsNamespace;
  impl->ns = ns;
  if (xmlXPathRegisterNs(impl->context, xml("xsi"), xml(kXsiNamespace)) != 0 ||
      xmlXPathRegisterNs(impl->context, xml("a"), xml(ns)) != 0) {
    throw RunFailure("XMLの名前空間を登録できません: " + path);
  }
  return Document(std::move(impl));
}

const char* encoding_override(std::string_view content) {
  return names_shift_jis(declared_encoding(content)) ? "CP932" : nullptr;
}

namespace {

// The test build answers every question both from the index and by libxml2's
// own evaluator; a disagreement ends the process, so the test that asked fails.
#ifdef KENSHIN_XPATH_CROSSCHECK
constexpr bool kCrosscheck = true;
#else
constexpr bool kCrosscheck = false;
#endif

void expect_agreement(bool agree, std::string_view expression) {
  if (agree) return;
  std::fprintf(stderr, "the index and libxml2 answer differently: %.*s\n", static_cast<int>(expression.size()),
               expression.data());
  std::abort();
}

}  // namespace

Node select_node(const Document& doc, std::string_view expression) {
  if (const auto& steps = fast_steps(expression)) {
    std::vector<xmlNodePtr> nodes = doc.impl().fast_index().evaluate(*steps, true);
    Node answer = nodes.empty() ? Node() : Node(nodes.front());
    if constexpr (kCrosscheck) expect_agreement(answer.raw() == select_node_generic(doc, expression).raw(), expression);
    return answer;
  }
  return select_node_generic(doc, expression);
}

std::vector<Node> select_all_nodes(const Document& doc, std::string_view expression) {
  if (const auto& steps = fast_steps(expression)) {
    std::vector<Node> out;
    for (xmlNodePtr node : doc.impl().fast_index().evaluate(*steps, false)) out.emplace_back(node);
    if constexpr (kCrosscheck) {
      std::vector<Node> generic = select_all_nodes_generic(doc, expression);
      expect_agreement(std::equal(out.begin(), out.end(), generic.begin(), generic.end(),
                                  [](Node a, Node b) { return a.raw() == b.raw(); }),
                       expression);
    }
    return out;
  }
  return select_all_nodes_generic(doc, expression);
}

Node select_node_generic(const Document& doc, std::string_view expression) {
  XPathResult result = evaluate(doc, expression);
  xmlNodeSetPtr nodes = result->nodesetval;
  if (result->type != XPATH_NODESET || nodes == nullptr || nodes->nodeNr == 0) return Node();
  return Node(nodes->nodeTab[0]);
}

std::vector<Node> select_all_nodes_generic(const Document& doc, std::string_view expression) {
  XPathResult result = evaluate(doc, expression);
  std::vector<Node> out;
  xmlNodeSetPtr nodes = result->nodesetval;
  if (result->type != XPATH_NODESET || nodes == nullptr) return out;
  out.reserve(nodes->nodeNr);
  for (int i = 0; i < nodes->nodeNr; ++i) out.emplace_back(nodes->nodeTab[i]);
  return out;
}

std::string node_text(Node node) {
  const xmlNode* n = static_cast<const xmlNode*>(node.raw());
  if (n == nullptr) return {};
  if (n->type == XML_ELEMENT_NODE) {
    std::string text;
    append_text(n, text);
    return std::string(trim_xml_space(text));
  }
  if (n->type == XML_ATTRIBUTE_NODE) return attribute_text(reinterpret_cast<const xmlAttr*>(n));
  xmlChar* content = xmlNodeGetContent(n);
  if (content == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(content));
  xmlFree(content);
  return text;
}

std::optional<std::string> select_text(const Document& doc, std::string_view expression) {
  Node node = select_node(doc, expression);
  if (!node) return std::nullopt;
  return node_text(node);
}

}  // namespace kenshin::docs
