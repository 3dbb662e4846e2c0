// Entity references inside a loaded document. A small document can declare
// one long entity and refer to it thousands of times; what the references
// would produce is measured once at loading and text is assembled in one
// pass, so no question costs more than the document's size allows.
#pragma once

#include <libxml/tree.h>

#include <cstdint>
#include <string>

namespace kenshin::docs {

// At most this much text, counted in bytes, may come from entity references
// in one document; a document whose references would produce more fails to
// load. Ordinary documents use none at all.
inline constexpr std::uint64_t kEntityTextBudget = std::uint64_t{1} << 20;

// Whether the text produced by every entity reference in the document's
// elements and attributes stays within the budget.
bool entity_text_within_budget(const xmlDoc* doc, std::uint64_t budget = kEntityTextBudget);

// An attribute's value with its entity references expanded, as XPath reads it.
std::string attribute_text(const xmlAttr* attr);

}  // namespace kenshin::docs
