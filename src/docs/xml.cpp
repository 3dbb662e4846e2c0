#include "docs/xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "docs/entities.h"
#include "docs/fast_path.h"
#include "platform/zip_archive.h"
#include "run/run_failure.h"

namespace kenshin::docs {

struct Document::Impl {
  xmlDocPtr doc = nullptr;
  xmlXPathContextPtr context = nullptr;     // made for the first question the index cannot answer
  const char* ns = nullptr;
  std::unique_ptr<fast_path::Index> index;  // built on the first question
  bool owns_doc = true;                     // false: a view of another Document's tree

  fast_path::Index& fast_index() {
    if (!index) index = std::make_unique<fast_path::Index>(doc, ns);
    return *index;
  }
  xmlXPathContextPtr xpath_context();
  ~Impl() {
    if (context != nullptr) xmlXPathFreeContext(context);
    if (doc != nullptr && owns_doc) xmlFreeDoc(doc);
  }
};

xmlXPathContextPtr Document::Impl::xpath_context() {
  if (context != nullptr) return context;
  context = xmlXPathNewContext(doc);
  if (context == nullptr) throw RunFailure("XMLの検索を準備できません");
  if (xmlXPathRegisterNs(context, reinterpret_cast<const xmlChar*>("xsi"),
                         reinterpret_cast<const xmlChar*>(kXsiNamespace)) != 0 ||
      xmlXPathRegisterNs(context, reinterpret_cast<const xmlChar*>("a"), reinterpret_cast<const xmlChar*>(ns)) != 0) {
    throw RunFailure("XMLの名前空間を登録できません");
  }
  return context;
}

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


// Questions built on the fly differ in their last characters (item codes,
// then a suffix): those and the length are hashed, equal texts compared whole.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const {
    constexpr size_t kTail = 64;
    std::string_view tail = text.size() > kTail ? text.substr(text.size() - kTail) : text;
    return std::hash<std::string_view>()(tail) ^ text.size();
  }
};

// Compiled expressions, one per distinct text, kept for the thread's lifetime.
class ExpressionCache {
 public:
  ~ExpressionCache() {
    for (auto& [text, comp] : compiled_) xmlXPathFreeCompExpr(comp);
  }
  xmlXPathCompExprPtr get(std::string_view expression) {
    auto it = compiled_.find(expression);
    if (it != compiled_.end()) return it->second;
    std::string text(expression);
    xmlXPathCompExprPtr comp = xmlXPathCompile(xml(text.c_str()));
    if (comp == nullptr) throw RunFailure("XPath式を解釈できません: " + text);
    compiled_.emplace(std::move(text), comp);
    return comp;
  }

 private:
  std::unordered_map<std::string, xmlXPathCompExprPtr, TextHash, std::equal_to<>> compiled_;
};

xmlXPathCompExprPtr compiled(std::string_view expression) {
  thread_local ExpressionCache cache;
  return cache.get(expression);
}

struct CompiledQuestion {
  std::string text;
  std::optional<fast_path::Program> program;  // nullopt: a shape for the general evaluator
};

// The program of an expression, compiled once per distinct text. The rules
// ask with the same constant texts again and again, so a question is first
// looked up by the address of its text, and the text compared, not hashed;
// texts built on the fly are looked up without a copy.
const std::optional<fast_path::Program>& fast_program(std::string_view expression) {
  thread_local std::unordered_map<std::string, CompiledQuestion, TextHash, std::equal_to<>> by_text;
  thread_local std::unordered_map<const char*, const CompiledQuestion*> by_address;
  auto seen = by_address.find(expression.data());
  if (seen != by_address.end() && seen->second->text == expression) return seen->second->program;
  auto it = by_text.find(expression);
  if (it == by_text.end()) {
    std::string text(expression);
    it = by_text.emplace(text, CompiledQuestion{text, fast_path::compile(expression)}).first;
  }
  if (by_address.size() > 4096) by_address.clear();  // addresses of texts built on the fly
  by_address[expression.data()] = &it->second;
  return it->second.program;
}

struct ObjectDeleter {
  void operator()(xmlXPathObjectPtr p) const { xmlXPathFreeObject(p); }
};
using XPathResult = std::unique_ptr<xmlXPathObject, ObjectDeleter>;

XPathResult evaluate(const Document& doc, std::string_view expression) {
  XPathResult result(xmlXPathCompiledEval(compiled(expression), doc.impl().xpath_context()));
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

// 0x80 in every byte of word that equals the byte repeated in pattern, 0 in the others.
std::uint64_t equal_bytes(std::uint64_t word, std::uint64_t pattern) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  std::uint64_t x = word ^ pattern;
  return ~(((x & kLow7) + kLow7) | x) & ~kLow7;
}

// The sum of a word's eight byte lanes.
size_t lane_sum(std::uint64_t lanes) {
  constexpr std::uint64_t kEvenLanes = 0x00FF00FF00FF00FFULL;
  std::uint64_t pairs = (lanes & kEvenLanes) + ((lanes >> 8) & kEvenLanes);
  return static_cast<size_t>((pairs * 0x0001000100010001ULL) >> 48);
}

struct MarkupCount {
  size_t markup = 0;  // '<', '=' and '&'
  size_t equals = 0;
};

// Counted sixteen or eight bytes at a time: every document is scanned before it is parsed.
MarkupCount count_markup(std::string_view content) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  MarkupCount count;
  size_t at = 0;
#ifdef __SSE2__
  // A byte lane counts at most one byte per block: summed before it could pass 255.
  const __m128i opens = _mm_set1_epi8('<'), equals = _mm_set1_epi8('='), references = _mm_set1_epi8('&');
  auto lane_total = [](__m128i lanes) {
    __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return static_cast<size_t>(_mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
  };
  while (content.size() - at >= 16) {
    __m128i markup_lanes = _mm_setzero_si128(), equals_lanes = _mm_setzero_si128();
    for (int blocks = 0; blocks < 255 && content.size() - at >= 16; ++blocks, at += 16) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(content.data() + at));
      __m128i is_equals = _mm_cmpeq_epi8(bytes, equals);  // 0xFF where equal: subtracting adds one
      __m128i is_markup =
          _mm_or_si128(is_equals, _mm_or_si128(_mm_cmpeq_epi8(bytes, opens), _mm_cmpeq_epi8(bytes, references)));
      markup_lanes = _mm_sub_epi8(markup_lanes, is_markup);
      equals_lanes = _mm_sub_epi8(equals_lanes, is_equals);
    }
    count.markup += lane_total(markup_lanes);
    count.equals += lane_total(equals_lanes);
  }
#endif
  while (content.size() - at >= 8) {
    // A lane counts at most one byte per word: flushed before it could pass 255.
    std::uint64_t markup_lanes = 0, equals_lanes = 0;
    for (int words = 0; words < 255 && content.size() - at >= 8; ++words, at += 8) {
      std::uint64_t word;
      std::memcpy(&word, content.data() + at, 8);
      std::uint64_t equals = equal_bytes(word, '=' * kOnes) >> 7;
      equals_lanes += equals;
      markup_lanes += equals + (equal_bytes(word, '<' * kOnes) >> 7) + (equal_bytes(word, '&' * kOnes) >> 7);
    }
    count.markup += lane_sum(markup_lanes);
    count.equals += lane_sum(equals_lanes);
  }
  for (char c : content.substr(at)) {
    count.markup += c == '<' || c == '=' || c == '&';
    count.equals += c == '=';
  }
  return count;
}

bool markup_within_ceilings(std::string_view content) {
  MarkupCount count = count_markup(content);
  if (count.markup > kMaxMarkup) return false;
  // Only a document with more '=' than one tag may hold is walked tag by tag.
  if (count.equals <= kMaxAttributesInTag) return true;
  size_t in_tag = 0;
  for (char c : content) {
    if (c == '<') {
      in_tag = 0;
    } else if (c == '=' && ++in_tag > kMaxAttributesInTag) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string_view> read_document_bytes(platform::ZipReader& reader, const std::string& path) {
  std::optional<std::string_view> content = reader.read(path, kMaxDocumentSize);
  if (!content || !markup_within_ceilings(*content)) return std::nullopt;
  return content;
}

namespace {

// The parser's errors into a report while it lives (this thread only).
class ParserErrorsTo {
 public:
  explicit ParserErrorsTo(ParseReport& report) : previous_(xmlStructuredError), previous_data_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(&report, collect);
  }
  ~ParserErrorsTo() { xmlSetStructuredErrorFunc(previous_data_, previous_); }
  ParserErrorsTo(const ParserErrorsTo&) = delete;
  ParserErrorsTo& operator=(const ParserErrorsTo&) = delete;

 private:
  static void collect(void* data, xmlErrorPtr error) {
    if (error == nullptr || error->level < XML_ERR_ERROR) return;
    auto* report = static_cast<ParseReport*>(data);
    if (report->errors++ == 0) {
      report->first_line = error->line;
      report->first_message = error->message != nullptr ? error->message : "";
    }
  }

  xmlStructuredErrorFunc previous_;
  void* previous_data_;
};

const char* bound_namespace(const xmlDoc* parsed, Bindings bindings) {
  if (bindings == Bindings::kData) return kDataNamespace;
  if (bindings == Bindings::kClaimsEitherEdition) {
    const xmlNode* root = xmlDocGetRootElement(parsed);
    if (root != nullptr && root->ns != nullptr && root->ns->href != nullptr &&
        std::strcmp(reinterpret_cast<const char*>(root->ns->href), kClaims2024Namespace) == 0) {
      return kClaims2024Namespace;
    }
  }
  return kClaimsNamespace;
}

}  // namespace

std::optional<Document> parse_document(std::string_view content, Bindings bindings, ParseReport* report) {
  if (report != nullptr) *report = ParseReport{};
  if (content.size() > kMaxDocumentSize || !markup_within_ceilings(content)) return std::nullopt;

  // Short texts kept inside their nodes, and no nodes for the white space
  // between elements (node_text skips it anyway): fewer allocations to make
  // and free, fewer siblings for a question to pass over. A validator sees
  // that white space, so a parse for one keeps it. Line numbers past 65535
  // are kept too.
  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT | XML_PARSE_BIG_LINES;
  if (report == nullptr) options |= XML_PARSE_NOBLANKS;
  const char* encoding = nullptr;
  if (names_shift_jis(declared_encoding(content))) {
    encoding = "CP932";
    options |= XML_PARSE_IGNORE_ENC;
  }
  xmlSetGenericErrorFunc(nullptr, ignore_parser_message);
  xmlDocPtr parsed;
  {
    std::optional<ParserErrorsTo> errors;
    if (report != nullptr) errors.emplace(*report);
    // The size fits: nothing over kMaxDocumentSize gets here.
    parsed = xmlReadMemory(content.data(), static_cast<int>(content.size()), nullptr, encoding, options);
  }
  if (parsed == nullptr) {
    if (report != nullptr) report->outcome = ParseReport::Outcome::kMalformed;
    return std::nullopt;
  }
  if (!entity_text_within_budget(parsed) || !expand_attribute_references(parsed)) {
    xmlFreeDoc(parsed);
    if (report != nullptr) report->outcome = ParseReport::Outcome::kOverBudget;
    return std::nullopt;
  }
  if (report != nullptr) report->outcome = ParseReport::Outcome::kParsed;

  auto impl = std::make_unique<Document::Impl>();
  impl->doc = parsed;
  impl->ns = bound_namespace(parsed, bindings);
  return Document(std::move(impl));
}

std::optional<Document> load_document(platform::ZipReader& reader, const std::string& path, Bindings bindings,
                                      ParseReport* report) {
  if (report != nullptr) *report = ParseReport{};
  std::optional<std::string_view> content = reader.read(path, kMaxDocumentSize);
  if (!content) return std::nullopt;
  return parse_document(*content, bindings, report);
}

_xmlDoc* libxml_tree(const Document& doc) { return doc.impl().doc; }

std::optional<Document> rebound(const Document& doc, Bindings bindings) {
  const char* ns = bound_namespace(doc.impl().doc, bindings);
  if (std::strcmp(ns, doc.impl().ns) == 0) return std::nullopt;
  auto impl = std::make_unique<Document::Impl>();
  impl->doc = doc.impl().doc;
  impl->ns = ns;
  impl->owns_doc = false;
  return Document(std::move(impl));
}

const char* encoding_override(std::string_view content) {
  return names_shift_jis(declared_encoding(content)) ? "CP932" : nullptr;
}

namespace {

// With KENSHIN_XPATH_CROSSCHECK=1 in the environment (as every test runs)
// each question the index answers is answered by libxml2's own evaluator
// too, and a disagreement ends the process, so whatever asked fails. Read
// once: the fast path pays one load of a flag.
bool cross_checking() {
  static const bool on = [] {
    const char* value = std::getenv("KENSHIN_XPATH_CROSSCHECK");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return on;
}

void expect_agreement(bool agree, std::string_view expression) {
  if (agree) return;
  std::fprintf(stderr, "the index and libxml2 answer differently: %.*s\n", static_cast<int>(expression.size()),
               expression.data());
  std::abort();
}

}  // namespace

Node select_node(const Document& doc, std::string_view expression) {
  const auto& program = fast_program(expression);
  fast_path::Index& index = doc.impl().fast_index();
  if (!program || !index.usable()) return select_node_generic(doc, expression);
  const std::vector<xmlNodePtr>& nodes = index.evaluate(*program, true);
  Node answer = nodes.empty() ? Node() : Node(nodes.front());
  if (cross_checking()) expect_agreement(answer.raw() == select_node_generic(doc, expression).raw(), expression);
  return answer;
}

std::vector<Node> select_all_nodes(const Document& doc, std::string_view expression) {
  const auto& program = fast_program(expression);
  fast_path::Index& index = doc.impl().fast_index();
  if (!program || !index.usable()) return select_all_nodes_generic(doc, expression);
  const std::vector<xmlNodePtr>& nodes = index.evaluate(*program, false);
  std::vector<Node> out;
  out.reserve(nodes.size());
  for (xmlNodePtr node : nodes) out.emplace_back(node);
  if (cross_checking()) {
    std::vector<Node> generic = select_all_nodes_generic(doc, expression);
    expect_agreement(std::equal(out.begin(), out.end(), generic.begin(), generic.end(),
                                [](Node a, Node b) { return a.raw() == b.raw(); }),
                     expression);
  }
  return out;
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

int node_line(Node node) {
  const xmlNode* n = static_cast<const xmlNode*>(node.raw());
  if (n != nullptr && n->type == XML_ATTRIBUTE_NODE) n = n->parent;
  if (n == nullptr) return 0;
  long line = xmlGetLineNo(n);
  return line > 0 ? static_cast<int>(line) : 0;
}

std::optional<std::string> select_text(const Document& doc, std::string_view expression) {
  Node node = select_node(doc, expression);
  if (!node) return std::nullopt;
  return node_text(node);
}

}  // namespace kenshin::docs
