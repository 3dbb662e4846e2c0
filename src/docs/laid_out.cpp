#include "docs/laid_out.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <memory>

#include "docs/entities.h"
#include "docs/xml.h"

namespace kenshin::docs {

namespace {

struct FreeDoc {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, FreeDoc>;

void ignore_message(void*, const char*, ...) {}

// Blank text between elements is dropped so that the writer may indent;
// lines are counted past 65535.
DocPtr parse(std::string_view content, const char* encoding) {
  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS | XML_PARSE_BIG_LINES;
  if (encoding != nullptr) options |= XML_PARSE_IGNORE_ENC;
  xmlSetGenericErrorFunc(nullptr, ignore_message);
  return DocPtr(xmlReadMemory(content.data(), static_cast<int>(content.size()), nullptr, encoding, options));
}

// The start lines of every element, in document order.
std::vector<int> element_start_lines(xmlDoc* doc) {
  std::vector<int> lines;
  xmlNode* node = xmlDocGetRootElement(doc);
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE) lines.push_back(static_cast<int>(xmlGetLineNo(node)));
    // Depth first without recursion: children, then the next sibling, else up.
    if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
      node = node->children;
      continue;
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node != nullptr && node->type != XML_ELEMENT_NODE) node = nullptr;
    }
    if (node != nullptr) node = node->next;
  }
  return lines;
}

}  // namespace

int LaidOutDocument::shown_line(int written_line) const {
  if (written_line <= 0) return 0;
  auto after = std::upper_bound(element_lines.begin(), element_lines.end(), written_line,
                                [](int line, const std::pair<int, int>& element) { return line < element.first; });
  if (after == element_lines.begin()) return 0;
  // The first element of the run starting on the line, when one does.
  auto on_line = std::lower_bound(element_lines.begin(), after, written_line,
                                  [](const std::pair<int, int>& element, int line) { return element.first < line; });
  return on_line != after ? on_line->second : std::prev(after)->second;
}

std::optional<LaidOutDocument> lay_out_document(std::string_view content) {
  if (content.size() > kMaxDocumentSize) return std::nullopt;
  DocPtr written = parse(content, encoding_override(content));
  if (!written || !entity_text_within_budget(written.get())) return std::nullopt;

  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(written.get(), &bytes, &size, "UTF-8", 1);
  if (bytes == nullptr) return std::nullopt;
  LaidOutDocument out;
  out.text.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  xmlFree(bytes);
  while (!out.text.empty() && out.text.back() == '\n') out.text.pop_back();

  // The laid-out text read back gives each element's new line; the elements
  // are the same ones in the same order, only the blanks between them differ.
  DocPtr shown = parse(out.text, nullptr);
  if (!shown) return std::nullopt;
  const std::vector<int> before = element_start_lines(written.get());
  const std::vector<int> after = element_start_lines(shown.get());
  if (before.size() != after.size()) return std::nullopt;
  out.element_lines.reserve(before.size());
  for (size_t i = 0; i < before.size(); ++i) out.element_lines.emplace_back(before[i], after[i]);
  // Written lines only grow along the document; keep the search's order safe anyway.
  std::stable_sort(out.element_lines.begin(), out.element_lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return out;
}

}  // namespace kenshin::docs
