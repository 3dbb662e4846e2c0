#include "docs/fast_path.h"

#include <algorithm>
#include <cstring>

#include "docs/entities.h"

namespace kenshin::docs::fast_path {

namespace {

constexpr std::string_view kPrefix = "a:";

bool is_name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

// Reads a name at the front of rest; empty when there is none.
std::string take_name(std::string_view& rest) {
  size_t n = 0;
  while (n < rest.size() && is_name_char(rest[n])) ++n;
  if (n == 0 || rest[0] == '-' || rest[0] == '.' || (rest[0] >= '0' && rest[0] <= '9')) return {};
  std::string name(rest.substr(0, n));
  rest.remove_prefix(n);
  return name;
}

bool take(std::string_view& rest, std::string_view token) {
  if (rest.substr(0, token.size()) != token) return false;
  rest.remove_prefix(token.size());
  return true;
}

// The text of an attribute as XPath sees it.
bool attribute_equals(const xmlAttr* attr, const std::string& value) {
  const xmlNode* text = attr->children;
  if (text == nullptr) return value.empty();
  if (text->next == nullptr && text->type == XML_TEXT_NODE) {
    return std::strcmp(reinterpret_cast<const char*>(text->content), value.c_str()) == 0;
  }
  return attribute_text(attr) == value;
}

const xmlAttr* unqualified_attribute(const xmlNode* node, const std::string& name) {
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(attr->name), name.c_str()) == 0) return attr;
  }
  return nullptr;
}

}  // namespace

std::optional<std::vector<Step>> parse(std::string_view expression) {
  std::string_view rest = expression;
  if (!take(rest, "//")) return std::nullopt;
  std::vector<Step> steps;
  for (bool first = true;; first = false) {
    if (!first && !take(rest, "/")) return std::nullopt;
    Step step;
    if (!first && take(rest, "..")) {
      step.kind = Step::kParent;
    } else if (!first && take(rest, "@")) {
      step.kind = Step::kAttribute;
      step.name = take_name(rest);
      if (step.name.empty() || !rest.empty()) return std::nullopt;  // attributes end the path
    } else {
      if (!take(rest, kPrefix)) return std::nullopt;
      step.name = take_name(rest);
      if (step.name.empty()) return std::nullopt;
      while (take(rest, "[@")) {
        Predicate p;
        p.attribute = take_name(rest);
        if (p.attribute.empty() || !take(rest, "='")) return std::nullopt;
        size_t close = rest.find('\'');
        if (close == std::string_view::npos) return std::nullopt;
        p.value = std::string(rest.substr(0, close));
        rest.remove_prefix(close + 1);
        if (!take(rest, "]")) return std::nullopt;
        step.predicates.push_back(std::move(p));
      }
    }
    steps.push_back(std::move(step));
    if (rest.empty()) return steps;
  }
}

Index::Index(xmlDocPtr doc, const std::string& ns) : ns_(ns) {
  // Preorder walk without recursion: documents may nest deeply.
  size_t next = 1;
  order_[reinterpret_cast<const xmlNode*>(doc)] = 0;
  for (xmlNodePtr node = doc->children; node != nullptr;) {
    if (node->type == XML_ELEMENT_NODE) {
      order_[node] = next++;
      if (node->ns != nullptr && ns_ == reinterpret_cast<const char*>(node->ns->href)) {
        by_name_[reinterpret_cast<const char*>(node->name)].push_back(node);
      }
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
}

bool Index::matches(const xmlNode* node, const Step& step) const {
  if (node->type != XML_ELEMENT_NODE || node->ns == nullptr ||
      std::strcmp(reinterpret_cast<const char*>(node->name), step.name.c_str()) != 0 ||
      ns_ != reinterpret_cast<const char*>(node->ns->href)) {
    return false;
  }
  for (const Predicate& p : step.predicates) {
    const xmlAttr* attr = unqualified_attribute(node, p.attribute);
    if (attr == nullptr || !attribute_equals(attr, p.value)) return false;
  }
  return true;
}

// Elements by their preorder number; an attribute right after its element,
// before the element's children.
size_t Index::order_of(const xmlNode* node) const {
  if (node->type != XML_ATTRIBUTE_NODE) return order_.at(node) * 1024;
  size_t position = 1;
  for (const xmlAttr* a = node->parent->properties; a != nullptr && a != reinterpret_cast<const xmlAttr*>(node);
       a = a->next) {
    ++position;
  }
  return order_.at(node->parent) * 1024 + std::min<size_t>(position, 1023);
}

std::vector<xmlNodePtr> Index::evaluate(const std::vector<Step>& steps, bool first_only) const {
  std::vector<xmlNodePtr> current;
  auto found = by_name_.find(steps.front().name);
  if (found == by_name_.end()) return current;
  for (xmlNodePtr node : found->second) {
    if (matches(node, steps.front())) current.push_back(node);
  }
  for (size_t i = 1; i < steps.size() && !current.empty(); ++i) {
    const Step& step = steps[i];
    std::vector<xmlNodePtr> next;
    for (xmlNodePtr node : current) {
      if (step.kind == Step::kParent) {
        if (node->parent != nullptr) next.push_back(node->parent);
      } else if (step.kind == Step::kAttribute) {
        if (const xmlAttr* attr = unqualified_attribute(node, step.name)) {
          next.push_back(reinterpret_cast<xmlNodePtr>(const_cast<xmlAttr*>(attr)));
        }
      } else {
        for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
          if (matches(child, step)) next.push_back(child);
        }
      }
    }
    current = std::move(next);
  }
  // Nested matches and parent steps can leave the set out of order or with
  // duplicates; a node set has neither.
  auto before = [this](const xmlNode* a, const xmlNode* b) { return order_of(a) < order_of(b); };
  if (first_only) {
    if (current.size() > 1) {
      xmlNodePtr first = *std::min_element(current.begin(), current.end(), before);
      current.assign(1, first);
    }
    return current;
  }
  std::sort(current.begin(), current.end(), before);
  current.erase(std::unique(current.begin(), current.end()), current.end());
  return current;
}

}  // namespace kenshin::docs::fast_path
