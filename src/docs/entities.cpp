#include "docs/entities.h"

#include <libxml/entities.h>

#include <cstring>
#include <unordered_map>

#include "docs/element_walk.h"

namespace kenshin::docs {

namespace {

const xmlEntity* entity_of(const xmlNode* reference) {
  return xmlGetDocEntity(reference->doc, reference->name);
}

// Bytes of text a reference list produces, entity references expanded; each
// entity is measured once. A reference back into an entity still being
// measured counts as over budget.
class EntityMeasure {
 public:
  explicit EntityMeasure(std::uint64_t budget) : budget_(budget) {}

  std::uint64_t list(const xmlNode* first) {
    std::uint64_t size = 0;
    for (const xmlNode* node = first; node != nullptr && size <= budget_; node = node->next) {
      if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
        if (node->content != nullptr) size += std::strlen(reinterpret_cast<const char*>(node->content));
      } else if (node->type == XML_ENTITY_REF_NODE) {
        size += 1 + entity(entity_of(node));
      } else if (node->type == XML_ELEMENT_NODE) {
        size += list(node->children);
      }
    }
    return size;
  }

  std::uint64_t entity(const xmlEntity* ent) {
    if (ent == nullptr) return 0;
    auto [it, fresh] = sizes_.try_emplace(ent, budget_ + 1);
    if (!fresh) return it->second;
    std::uint64_t size = list(ent->children);
    sizes_[ent] = size;
    return size;
  }

 private:
  std::uint64_t budget_;
  std::unordered_map<const xmlEntity*, std::uint64_t> sizes_;
};

void append_list(const xmlNode* first, std::string& out, int depth) {
  if (depth > 64) return;  // the parser refuses deeper nesting anyway
  for (const xmlNode* node = first; node != nullptr; node = node->next) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) out += reinterpret_cast<const char*>(node->content);
    } else if (node->type == XML_ENTITY_REF_NODE) {
      if (const xmlEntity* ent = entity_of(node)) append_list(ent->children, out, depth + 1);
    }
  }
}

}  // namespace

bool entity_text_within_budget(const xmlDoc* doc, std::uint64_t budget) {
  // Without a document type nothing is declared, and the parser refuses a
  // reference to an undeclared entity: there is nothing to measure.
  if (doc->intSubset == nullptr && doc->extSubset == nullptr) return true;
  EntityMeasure measure(budget);
  std::uint64_t total = 0;
  return for_each_element(doc, [&](const xmlNode* node) {
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
      for (const xmlNode* child = attr->children; child != nullptr; child = child->next) {
        if (child->type == XML_ENTITY_REF_NODE) total += 1 + measure.entity(entity_of(child));
      }
    }
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type == XML_ENTITY_REF_NODE) total += 1 + measure.entity(entity_of(child));
    }
    return total <= budget;
  });
}

std::string attribute_text(const xmlAttr* attr) {
  std::string text;
  append_list(attr->children, text, 0);
  return text;
}

bool expand_attribute_references(xmlDoc* doc) {
  if (doc->intSubset == nullptr && doc->extSubset == nullptr) return true;
  return for_each_element(doc, [&](xmlNode* node) {
    for (xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
      const xmlNode* first = attr->children;
      if (first == nullptr || (first->next == nullptr && first->type == XML_TEXT_NODE)) continue;
      xmlNodePtr text = xmlNewDocText(doc, reinterpret_cast<const xmlChar*>(attribute_text(attr).c_str()));
      if (text == nullptr) return false;
      xmlFreeNodeList(attr->children);
      text->parent = reinterpret_cast<xmlNodePtr>(attr);
      attr->children = attr->last = text;
    }
    return true;
  });
}

}  // namespace kenshin::docs
