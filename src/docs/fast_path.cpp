#include "docs/fast_path.h"

#include <libxml/xpath.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "docs/element_walk.h"
#include "docs/entities.h"


namespace kenshin::docs::fast_path {

namespace {

constexpr std::string_view kPrefix = "a:";

bool is_name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

// Reads a name at the front of rest; empty when there is none.
std::string_view take_name(std::string_view& rest) {
  size_t n = 0;
  while (n < rest.size() && is_name_char(rest[n])) ++n;
  if (n == 0 || rest[0] == '-' || rest[0] == '.' || (rest[0] >= '0' && rest[0] <= '9')) return {};
  std::string_view name = rest.substr(0, n);
  rest.remove_prefix(n);
  return name;
}

bool take(std::string_view& rest, std::string_view token) {
  if (rest.substr(0, token.size()) != token) return false;
  rest.remove_prefix(token.size());
  return true;
}

// The names compiled questions use, numbered in the order first met.
struct NameTable {
  std::vector<std::string> names;
  std::unordered_map<std::string, NameId> ids;

  NameId id(std::string_view name) {
    auto it = ids.find(std::string(name));
    if (it != ids.end()) return it->second;
    names.emplace_back(name);
    return ids.emplace(std::string(name), static_cast<NameId>(names.size() - 1)).first->second;
  }
};

NameTable& name_table() {
  thread_local NameTable table;
  return table;
}

constexpr NameId kCodeName = 0;  // the table starts with the two key attributes
constexpr NameId kRootName = 1;

bool is_plain(const xmlAttr* attr) {
  const xmlNode* text = attr->children;
  return text == nullptr || (text->next == nullptr && text->type == XML_TEXT_NODE);
}

// The value as XPath reads it: entity references expanded.
bool attribute_equals(const xmlAttr* attr, const std::string& value) {
  const xmlNode* text = attr->children;
  if (text == nullptr) return value.empty();
  if (is_plain(attr)) return std::strcmp(reinterpret_cast<const char*>(text->content), value.c_str()) == 0;
  return attribute_text(attr) == value;
}

// An attribute without namespace; names are interned, so compared as pointers.
const xmlAttr* unqualified_attribute(const xmlNode* node, const xmlChar* name) {
  if (name == nullptr) return nullptr;
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->name == name && attr->ns == nullptr) return attr;
  }
  return nullptr;
}

// Elements by their preorder number; an attribute right after its element,
// before the element's children. The document node comes first.
size_t order_of(const xmlNode* node) {
  auto element_order = [](const xmlNode* n) {
    return n->type == XML_ELEMENT_NODE ? static_cast<size_t>(-reinterpret_cast<ptrdiff_t>(n->content)) : 0;
  };
  if (node->type != XML_ATTRIBUTE_NODE) return element_order(node) * 1024;
  size_t position = 1;
  for (const xmlAttr* a = node->parent->properties; a != nullptr && a != reinterpret_cast<const xmlAttr*>(node);
       a = a->next) {
    ++position;
  }
  return element_order(node->parent) * 1024 + std::min<size_t>(position, 1023);
}

}  // namespace

std::optional<Program> compile(std::string_view expression) {
  NameTable& table = name_table();
  if (table.names.empty()) {
    table.id("code");
    table.id("root");
  }
  std::string_view rest = expression;
  if (!take(rest, "//")) return std::nullopt;
  Program program;
  bool parent_met = false;
  for (bool first = true;; first = false) {
    if (!first && !take(rest, "/")) return std::nullopt;
    Step step;
    if (!first && take(rest, "..")) {
      step.kind = Step::kParent;
      parent_met = true;
    } else if (!first && take(rest, "@")) {
      step.kind = Step::kAttribute;
      std::string_view name = take_name(rest);
      if (name.empty() || !rest.empty()) return std::nullopt;  // attributes end the path
      step.name = table.id(name);
    } else {
      if (!take(rest, kPrefix)) return std::nullopt;
      std::string_view name = take_name(rest);
      if (name.empty()) return std::nullopt;
      step.name = table.id(name);
      while (take(rest, "[@")) {
        std::string_view attribute = take_name(rest);
        if (attribute.empty() || !take(rest, "='")) return std::nullopt;
        size_t close = rest.find('\'');
        if (close == std::string_view::npos) return std::nullopt;
        Predicate p{table.id(attribute), std::string(rest.substr(0, close))};
        rest.remove_prefix(close + 1);
        if (!take(rest, "]")) return std::nullopt;
        if (!parent_met && (p.attribute == kCodeName || p.attribute == kRootName)) {
          // The last keyed step before any parent step: its ancestors are the steps before it.
          program.anchor = program.steps.size();
          program.anchor_key = static_cast<int>(step.predicates.size());
        }
        step.predicates.push_back(std::move(p));
      }
    }
    program.steps.push_back(std::move(step));
    if (rest.empty()) return program;
  }
}

size_t Index::KeyHash::operator()(const Key& k) const {
  size_t h = std::hash<std::string_view>()(k.value);
  h ^= std::hash<const void*>()(k.name) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  h ^= std::hash<const void*>()(k.attribute) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  return h;
}

Index::Index(xmlDocPtr doc, const char* ns) : dict_(doc->dict), ns_(ns) {
  if (dict_ == nullptr) return;
  xmlXPathOrderDocElems(doc);
  code_ = xmlDictExists(dict_, reinterpret_cast<const xmlChar*>("code"), -1);
  root_ = xmlDictExists(dict_, reinterpret_cast<const xmlChar*>("root"), -1);
  for_each_element(doc, [&](xmlNodePtr node) {
    if (in_namespace(node->ns)) key(node);
    return true;
  });
}

void Index::key(xmlNodePtr node) {
  by_name_[node->name].push_back(node);
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns != nullptr || (attr->name != code_ && attr->name != root_)) continue;
    std::string_view value;
    if (!is_plain(attr)) {
      expanded_values_.push_back(attribute_text(attr));
      value = expanded_values_.back();
    } else if (attr->children != nullptr) {
      value = reinterpret_cast<const char*>(attr->children->content);
    }
    by_key_[Key{node->name, attr->name, value}].push_back(node);
  }
}

// The document's interned spelling of a name, nullptr when no node has it.
const xmlChar* Index::resolve(NameId id) {
  static const xmlChar kUnresolved = 0;
  if (id >= resolved_.size()) resolved_.resize(name_table().names.size(), &kUnresolved);
  const xmlChar*& slot = resolved_[id];
  if (slot == &kUnresolved) {
    const std::string& name = name_table().names[id];
    slot = xmlDictExists(dict_, reinterpret_cast<const xmlChar*>(name.data()), static_cast<int>(name.size()));
  }
  return slot;
}

bool Index::in_namespace(const xmlNs* ns) {
  if (ns == nullptr) return false;
  if (ns == ns_seen_) return true;
  if (ns->href == nullptr || std::strcmp(reinterpret_cast<const char*>(ns->href), ns_) != 0) return false;
  ns_seen_ = ns;
  return true;
}

bool Index::matches(const xmlNode* node, const Step& step) {
  if (node->type != XML_ELEMENT_NODE || node->name != resolve(step.name) || !in_namespace(node->ns)) return false;
  for (const Predicate& p : step.predicates) {
    const xmlAttr* attr = unqualified_attribute(node, resolve(p.attribute));
    if (attr == nullptr || !attribute_equals(attr, p.value)) return false;
  }
  return true;
}

bool Index::ancestors_match(const xmlNode* node, const Program& program) {
  for (size_t i = program.anchor; i-- > 0;) {
    node = node->parent;
    if (node == nullptr || !matches(node, program.steps[i])) return false;
  }
  return true;
}

std::vector<xmlNodePtr> Index::evaluate(const Program& program, bool first_only) {
  std::vector<xmlNodePtr> current;
  const Step& anchor = program.steps[program.anchor];
  const xmlChar* name = resolve(anchor.name);
  if (name == nullptr) return current;
  const std::vector<xmlNodePtr>* candidates = nullptr;
  if (program.anchor_key >= 0) {
    const Predicate& key = anchor.predicates[program.anchor_key];
    const xmlChar* attribute = resolve(key.attribute);
    if (attribute == nullptr) return current;
    auto found = by_key_.find(Key{name, attribute, key.value});
    if (found != by_key_.end()) candidates = &found->second;
  } else {
    auto found = by_name_.find(name);
    if (found != by_name_.end()) candidates = &found->second;
  }
  if (candidates == nullptr) return current;
  for (xmlNodePtr node : *candidates) {
    if (matches(node, anchor) && ancestors_match(node, program)) current.push_back(node);
  }
  for (size_t i = program.anchor + 1; i < program.steps.size() && !current.empty(); ++i) {
    const Step& step = program.steps[i];
    std::vector<xmlNodePtr> next;
    for (xmlNodePtr node : current) {
      if (step.kind == Step::kParent) {
        if (node->parent != nullptr) next.push_back(node->parent);
      } else if (step.kind == Step::kAttribute) {
        if (const xmlAttr* attr = unqualified_attribute(node, resolve(step.name))) {
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
  auto before = [](const xmlNode* a, const xmlNode* b) { return order_of(a) < order_of(b); };
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
