// A preorder walk over the elements of a parsed document, without recursion:
// checkup documents may nest deeply, and a hostile one arbitrarily so.
#pragma once

#include <libxml/tree.h>

namespace kenshin::docs {

// Calls visit(element) for every element below doc in document order; stops
// at the first visit that returns false and then returns false itself.
template <typename Visit>
bool for_each_element(const xmlDoc* doc, Visit visit) {
  for (xmlNode* node = doc->children; node != nullptr;) {
    if (node->type == XML_ELEMENT_NODE) {
      if (!visit(node)) return false;
      if (node->children != nullptr) {
        node = node->children;
        continue;
      }
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == nullptr || node->type == XML_DOCUMENT_NODE) node = nullptr;
    }
    if (node != nullptr) node = node->next;
  }
  return true;
}

}  // namespace kenshin::docs
