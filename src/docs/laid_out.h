// A document laid out for reading on screen: one element to a line, nested
// elements indented, as libxml2 writes a tree when asked to format it. A
// finding names the line of the document as it was written; the laid-out
// text knows, for every element, the line it starts on in both.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kenshin::docs {

struct LaidOutDocument {
  std::string text;  // UTF-8, LF between lines
  // For each element in document order: the line its start tag begins on as
  // written, and as laid out (both 1-based).
  std::vector<std::pair<int, int>> element_lines;

  // The laid-out line of the element a written line belongs to: the first
  // element starting on it, else the last one starting before it (text that
  // runs onto a later line). 0 for line 0 or before the first element.
  int shown_line(int written_line) const;
};

// nullopt when the bytes are not a document this program would load (not
// well-formed, longer than kMaxDocumentSize, entity text over the budget).
// A document that declares Shift_JIS is read as code page 932. Never touches
// the network.
std::optional<LaidOutDocument> lay_out_document(std::string_view content);

}  // namespace kenshin::docs
