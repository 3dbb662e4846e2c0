// Access to one loaded XML document: the only way the rules read a data or
// claims document. Every question is an XPath 1.0 expression with the prefix
// `a` bound to the document kind's namespace; compiled expressions are kept
// for reuse, so each distinct expression is compiled once per thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/read_limit.h"


struct _xmlDoc;  // NOLINT(bugprone-reserved-identifier): libxml2's own name, declared to keep its headers out

namespace kenshin::platform {
class ZipReader;
}

namespace kenshin::docs {

// Which namespace the prefix `a` stands for.
enum class Bindings {
  kData,    // checkup data documents (HL7 CDA): urn:hl7-org:v3
  kClaims,  // settlement documents: http://tokuteikenshin.jp/checkup/2007
  // Settlement documents of either edition: the FY2024 settlement namespace
  // when the root element is in it, else the 2007 one.
  kClaimsEitherEdition,
};

inline constexpr const char kXsiNamespace[] = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr const char kDataNamespace[] = "urn:hl7-org:v3";
inline constexpr const char kClaimsNamespace[] = "http://tokuteikenshin.jp/checkup/2007";
inline constexpr const char kClaims2024Namespace[] = "https://www.mhlw.go.jp/stf/seisakunitsuite/bunya/0000161103.html";

// The claims bindings of a run of the given edition.
inline Bindings claims_bindings(bool fy2024) { return fy2024 ? Bindings::kClaimsEitherEdition : Bindings::kClaims; }

// An element or attribute of a loaded document, or no node. Valid while its
// document lives.
class Node {
 public:
  Node() = default;
  explicit Node(const void* raw) : raw_(raw) {}
  explicit operator bool() const { return raw_ != nullptr; }
  const void* raw() const { return raw_; }

 private:
  const void* raw_ = nullptr;
};

class Document {
 public:
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  ~Document();

  struct Impl;
  explicit Document(std::unique_ptr<Impl> impl);
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// How a document's parse went, for a check that must say why a document
// could not be read (schema validation). Filled only when asked for; a
// parse asked for it also keeps the white space between elements, so that
// the tree is the one a validator builds from the same bytes.
struct ParseReport {
  enum class Outcome {
    kParsed,      // the tree was built (errors may still have been raised on the way)
    kUnread,      // refused unparsed: no file, too long, too much markup
    kMalformed,   // the parser gave up
    kOverBudget,  // parsed, but its entity references would produce too much text
  };
  Outcome outcome = Outcome::kUnread;
  int errors = 0;  // errors the parser raised; warnings are not counted
  long first_line = 0;
  std::string first_message;  // the parser's own text
};

// Documents longer than this fail to load unread: the archive reader's bound.
inline constexpr std::uint64_t kMaxDocumentSize = platform::kMaxReadSize;

// Parses a document's bytes for queries. nullopt ("load failed") when they
// are longer than kMaxDocumentSize, hold more markup than any checkup document
// (hundreds of thousands of elements, thousands of attributes on one
// element), are not well-formed XML, or their entity references would produce
// more text than the budget of docs/entities.h. A document that declares
// Shift_JIS is read as code page 932, as the Windows programs that write such
// documents mean it. Never touches the network or loads external entities.
std::optional<Document> parse_document(std::string_view content, Bindings bindings, ParseReport* report = nullptr);

// The document at `path` inside the archive, decompressed by `reader` and
// parsed as above. nullopt also when there is no file at the path (a folder,
// say) or the file is longer than kMaxDocumentSize by its size in the archive;
// such a file is not decompressed. Throws platform::DamagedArchive when the
// entry's data is damaged.
std::optional<Document> load_document(platform::ZipReader& reader, const std::string& path, Bindings bindings,
                                      ParseReport* report = nullptr);

// A document's bytes from the archive, for a parser of its own (schema
// validation), valid until the reader's next read; nullopt for every file
// load_document refuses unparsed: no file, over kMaxDocumentSize, or with
// more markup than any checkup document. A parser of its own checks the
// parsed tree with entity_text_within_budget (entities.h).
std::optional<std::string_view> read_document_bytes(platform::ZipReader& reader, const std::string& path);

// The encoding load_document makes the parser use instead of the declared
// one: "CP932" for content that declares Shift_JIS, else nullptr.
const char* encoding_override(std::string_view content);

// The libxml2 tree of a loaded document, for a reader of its own (schema
// validation) that leaves the tree as it found it.
_xmlDoc* libxml_tree(const Document& doc);

// The same tree read with other bindings, valid while `doc` lives; nullopt
// when the bindings name the namespace `doc` is read with already.
std::optional<Document> rebound(const Document& doc, Bindings bindings);

// The first node in document order the expression selects, or no node.
Node select_node(const Document& doc, std::string_view expression);

// Every node the expression selects, in document order.
std::vector<Node> select_all_nodes(const Document& doc, std::string_view expression);

// Attribute: its value. Element: its descendant text and CDATA, whitespace-only
// pieces skipped, trimmed of leading and trailing XML white space.
std::string node_text(Node node);

// The line of the document the node starts on (an attribute: its element's);
// 0 for no node.
int node_line(Node node);

// node_text of the first selected node; nullopt when nothing is selected.
std::optional<std::string> select_text(const Document& doc, std::string_view expression);

// The same questions answered by libxml2's general XPath evaluator alone;
// select_node and select_all_nodes answer the common shape of question from
// an index of the document instead, and must always agree with these.
Node select_node_generic(const Document& doc, std::string_view expression);
std::vector<Node> select_all_nodes_generic(const Document& doc, std::string_view expression);

}  // namespace kenshin::docs
