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

// Replaces the entity references in every attribute value by the text they
// produce, leaving each value one text node. libxml2's XPath compares an
// attribute with a literal by a hash of its text nodes alone, so a value
// written with a reference would not equal its own text; afterwards every
// reader sees the same value. False when memory runs out. Call it only on a
// document within the entity budget.
bool expand_attribute_references(xmlDoc* doc);

}  // namespace kenshin::docs
