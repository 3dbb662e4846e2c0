#include "docs/fast_path.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "docs/element_walk.h"

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

// A loaded document's attribute values are one text node each, their entity
// references already expanded (expand_attribute_references).
std::string_view attribute_value(const xmlAttr* attr) {
  const xmlNode* text = attr->children;
  if (text == nullptr || text->content == nullptr) return {};
  return reinterpret_cast<const char*>(text->content);
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
      step.names_at = program.name_count++;
    } else {
      if (!take(rest, kPrefix)) return std::nullopt;
      std::string_view name = take_name(rest);
      if (name.empty()) return std::nullopt;
      step.name = table.id(name);
      step.names_at = program.name_count++;
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
        ++program.name_count;
      }
    }
    program.steps.push_back(std::move(step));
    if (rest.empty()) return program;
  }
}

namespace {

constexpr uint32_t kNoEntry = UINT32_MAX;

uint32_t hash_of(const xmlChar* name, const xmlChar* attribute, std::string_view value) {
  uint64_t h = 14695981039346656037ULL;  // FNV-1a over the value, then the two interned names mixed in
  for (char c : value) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  h ^= reinterpret_cast<uintptr_t>(name) * 0x9e3779b97f4a7c15ULL;
  h ^= reinterpret_cast<uintptr_t>(attribute) * 0xc2b2ae3d27d4eb4fULL;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

Index::Index(xmlDocPtr doc, const char* ns) : dict_(doc->dict), ns_(ns) {
  if (dict_ == nullptr) return;
  code_ = xmlDictExists(dict_, reinterpret_cast<const xmlChar*>("code"), -1);
  root_ = xmlDictExists(dict_, reinterpret_cast<const xmlChar*>("root"), -1);
  entries_.reserve(1024);
  ptrdiff_t order = 0;
  for_each_element(doc, [&](xmlNodePtr node) {
    // The order number libxml2's evaluator sorts by, written where
    // xmlXPathOrderDocElems writes it, in the same walk.
    node->content = reinterpret_cast<xmlChar*>(-(++order));  // NOLINT(performance-no-int-to-ptr)
    if (in_namespace(node->ns)) key(node);
    return true;
  });
  chain_buckets();
}

void Index::key(xmlNodePtr node) {
  entries_.push_back(Entry{node->name, nullptr, {}, node, hash_of(node->name, nullptr, {})});
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns != nullptr || (attr->name != code_ && attr->name != root_)) continue;
    std::string_view value = attribute_value(attr);
    entries_.push_back(Entry{node->name, attr->name, value, node, hash_of(node->name, attr->name, value)});
  }
}

// Chains every bucket's entries in document order: entries are linked in
// from the last to the first.
void Index::chain_buckets() {
  size_t size = 64;
  while (size < 2 * entries_.size()) size *= 2;
  buckets_.assign(size, kNoEntry);
  for (size_t i = entries_.size(); i-- > 0;) {
    uint32_t& head = buckets_[entries_[i].hash & (size - 1)];
    entries_[i].next = head;
    head = static_cast<uint32_t>(i);
  }
}

uint32_t Index::first_in_bucket(const xmlChar* name, const xmlChar* attribute, std::string_view value) const {
  return buckets_[hash_of(name, attribute, value) & (buckets_.size() - 1)];
}

// A name met for the first time in this document, or since the table grew.
const xmlChar* Index::resolve_unseen(NameId id) {
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

// The document's spelling of every name of the program into names_; false
// when the document lacks one, so that nothing can match.
bool Index::resolve_names(const Program& program) {
  names_.resize(program.name_count);
  for (const Step& step : program.steps) {
    if (step.kind == Step::kParent) continue;
    size_t at = step.names_at;
    if ((names_[at] = resolve(step.name)) == nullptr) return false;
    for (const Predicate& p : step.predicates) {
      if ((names_[++at] = resolve(p.attribute)) == nullptr) return false;
    }
  }
  return true;
}

bool Index::matches(const xmlNode* node, const Step& step) {
  const xmlChar* const* names = names_.data() + step.names_at;
  if (node->type != XML_ELEMENT_NODE || node->name != names[0] || !in_namespace(node->ns)) return false;
  for (const Predicate& p : step.predicates) {
    const xmlAttr* attr = unqualified_attribute(node, *++names);
    if (attr == nullptr || attribute_value(attr) != p.value) return false;
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

const std::vector<xmlNodePtr>& Index::evaluate(const Program& program, bool first_only) {
  current_.clear();
  if (!resolve_names(program)) return current_;
  const Step& anchor = program.steps[program.anchor];
  const xmlChar* name = names_[anchor.names_at];
  const xmlChar* attribute = nullptr;
  std::string_view value;
  if (program.anchor_key >= 0) {
    attribute = names_[anchor.names_at + 1 + program.anchor_key];
    value = anchor.predicates[program.anchor_key].value;
  }
  for (uint32_t i = first_in_bucket(name, attribute, value); i != kNoEntry; i = entries_[i].next) {
    const Entry& entry = entries_[i];
    if (entry.name != name || entry.attribute != attribute || entry.value != value) continue;
    if (matches(entry.node, anchor) && ancestors_match(entry.node, program)) current_.push_back(entry.node);
  }
  for (size_t i = program.anchor + 1; i < program.steps.size() && !current_.empty(); ++i) {
    const Step& step = program.steps[i];
    next_.clear();
    for (xmlNodePtr node : current_) {
      if (step.kind == Step::kParent) {
        if (node->parent != nullptr) next_.push_back(node->parent);
      } else if (step.kind == Step::kAttribute) {
        if (const xmlAttr* attr = unqualified_attribute(node, names_[step.names_at])) {
          next_.push_back(reinterpret_cast<xmlNodePtr>(const_cast<xmlAttr*>(attr)));
        }
      } else {
        const xmlChar* name = names_[step.names_at];
        for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
          if (child->name == name && matches(child, step)) next_.push_back(child);
        }
      }
    }
    current_.swap(next_);
  }
  // Nested matches and parent steps can leave the set out of order or with
  // duplicates; a node set has neither.
  if (current_.size() <= 1) return current_;
  auto before = [](const xmlNode* a, const xmlNode* b) { return order_of(a) < order_of(b); };
  if (first_only) {
    xmlNodePtr first = *std::min_element(current_.begin(), current_.end(), before);
    current_.assign(1, first);
    return current_;
  }
  std::sort(current_.begin(), current_.end(), before);
  current_.erase(std::unique(current_.begin(), current_.end()), current_.end());
  return current_;
}

}  // namespace kenshin::docs::fast_path
