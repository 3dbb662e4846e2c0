// A fast evaluator for the one shape of XPath the rules ask: an absolute
// descendant step followed by child steps in the bound namespace, attribute
// predicates with a literal, parent steps and a final attribute step, e.g.
//   //a:settlement/a:unitPriceDetail/a:observation[@code='2']/../a:amount/@value
//
// An expression is compiled once into a small program. On load, one pass over
// the document keys its elements by name and by their @code / @root values;
// a question then looks up the few elements its keyed step names, checks
// their ancestors against the steps before it and walks the steps after it.
// Names are compared as the parser's interned pointers, not as text. Any
// other expression is left to libxml2's own evaluator.
#pragma once

#include <libxml/tree.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kenshin::docs::fast_path {

// An element or attribute name of a compiled question, numbered once per thread.
using NameId = uint32_t;

struct Predicate {
  NameId attribute;
  std::string value;
};

struct Step {
  enum Kind { kChild, kParent, kAttribute } kind = kChild;
  NameId name = 0;                    // element or attribute name
  std::vector<Predicate> predicates;  // for element steps
};

struct Program {
  std::vector<Step> steps;  // the first is the descendant step
  size_t anchor = 0;        // the step whose elements are looked up
  int anchor_key = -1;      // its @code / @root predicate, or -1: looked up by name
};

// The program of an expression of the supported shape, or nullopt when the
// expression has another shape.
std::optional<Program> compile(std::string_view expression);

// Per-document index. Orders the document's elements for libxml2 as well
// (xmlXPathOrderDocElems), which is what both evaluators sort by.
class Index {
 public:
  Index(xmlDocPtr doc, const char* ns);

  // False when the document's names are not interned; questions then go to
  // the general evaluator.
  bool usable() const { return dict_ != nullptr; }

  // The selected nodes in document order, without duplicates.
  std::vector<xmlNodePtr> evaluate(const Program& program, bool first_only);

 private:
  struct Key {
    const xmlChar* name;
    const xmlChar* attribute;
    std::string_view value;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const;
  };

  const xmlChar* resolve(NameId id);
  bool in_namespace(const xmlNs* ns);
  bool matches(const xmlNode* node, const Step& step);
  bool ancestors_match(const xmlNode* node, const Program& program);
  void key(xmlNodePtr node);

  xmlDictPtr dict_;
  const char* ns_;
  const xmlNs* ns_seen_ = nullptr;  // the last declaration found to be ns_
  const xmlChar* code_ = nullptr;
  const xmlChar* root_ = nullptr;
  std::vector<const xmlChar*> resolved_;
  std::unordered_map<const xmlChar*, std::vector<xmlNodePtr>> by_name_;
  std::unordered_map<Key, std::vector<xmlNodePtr>, KeyHash> by_key_;
  std::deque<std::string> expanded_values_;  // key values written with entity references
};

}  // namespace kenshin::docs::fast_path
