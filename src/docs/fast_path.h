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
#include <optional>
#include <string>
#include <string_view>
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
  size_t names_at = 0;                // where the step's name, then its predicates' names, are resolved
};

struct Program {
  std::vector<Step> steps;  // the first is the descendant step
  size_t anchor = 0;        // the step whose elements are looked up
  int anchor_key = -1;      // its @code / @root predicate, or -1: looked up by name
  size_t name_count = 0;    // names of all steps and predicates
};

// The program of an expression of the supported shape, or nullopt when the
// expression has another shape.
std::optional<Program> compile(std::string_view expression);

// Per-document index. Numbers the document's elements in document order for
// libxml2 as well (as xmlXPathOrderDocElems does), which is what both
// evaluators sort by.
class Index {
 public:
  Index(xmlDocPtr doc, const char* ns);

  // False when the document's names are not interned; questions then go to
  // the general evaluator.
  bool usable() const { return dict_ != nullptr; }

  // The selected nodes in document order, without duplicates; valid until the
  // next question.
  const std::vector<xmlNodePtr>& evaluate(const Program& program, bool first_only);

 private:
  // An element under its name (attribute nullptr) or under one of its @code /
  // @root values. Entries of one hash bucket are chained in document order.
  struct Entry {
    const xmlChar* name;
    const xmlChar* attribute;
    std::string_view value;
    xmlNodePtr node;
    uint32_t hash;
    uint32_t next = 0;
  };

  // The document's interned spelling of a name, nullptr when no node has it.
  const xmlChar* resolve(NameId id) {
    if (id < resolved_.size() && resolved_[id] != &kUnresolved) return resolved_[id];
    return resolve_unseen(id);
  }
  const xmlChar* resolve_unseen(NameId id);
  bool resolve_names(const Program& program);
  bool in_namespace(const xmlNs* ns);
  bool matches(const xmlNode* node, const Step& step);
  bool ancestors_match(const xmlNode* node, const Program& program);
  void key(xmlNodePtr node);
  void chain_buckets();
  uint32_t first_in_bucket(const xmlChar* name, const xmlChar* attribute, std::string_view value) const;

  static constexpr xmlChar kUnresolved = 0;  // its address marks a name not looked up yet
  xmlDictPtr dict_;
  const char* ns_;
  const xmlNs* ns_seen_ = nullptr;  // the last declaration found to be ns_
  const xmlChar* code_ = nullptr;
  const xmlChar* root_ = nullptr;
  std::vector<const xmlChar*> resolved_;
  std::vector<const xmlChar*> names_;  // the current question's names, as resolve_names spells them
  std::vector<Entry> entries_;
  std::vector<uint32_t> buckets_;  // first entry of each bucket
  std::vector<xmlNodePtr> current_, next_;
};

}  // namespace kenshin::docs::fast_path
