// A fast evaluator for the one shape of XPath the rules ask: an absolute
// descendant step followed by child steps in the bound namespace, attribute
// predicates with a literal, parent steps and a final attribute step, e.g.
//   //a:settlement/a:unitPriceDetail/a:observation[@code='2']/../a:amount/@value
// Documents are indexed by element name once, so a question costs what its
// answer costs instead of a walk over the whole document. Any other
// expression is left to libxml2's own evaluator.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kenshin::docs::fast_path {

struct Predicate {
  std::string attribute;
  std::string value;
};

struct Step {
  enum Kind { kChild, kParent, kAttribute } kind = kChild;
  std::string name;                  // element or attribute name
  std::vector<Predicate> predicates;  // for element steps
};

// The steps of an expression of the supported shape (the first is the
// descendant step), or nullopt when the expression has another shape.
std::optional<std::vector<Step>> parse(std::string_view expression);

// Per-document index: elements of the bound namespace by local name, in
// document order, and each node's place in document order.
class Index {
 public:
  Index(xmlDocPtr doc, const std::string& ns);

  // The selected nodes in document order, without duplicates.
  std::vector<xmlNodePtr> evaluate(const std::vector<Step>& steps, bool first_only) const;

 private:
  bool matches(const xmlNode* node, const Step& step) const;
  size_t order_of(const xmlNode* node) const;

  std::string ns_;
  std::unordered_map<std::string, std::vector<xmlNodePtr>> by_name_;
  std::unordered_map<const xmlNode*, size_t> order_;
};

}  // namespace kenshin::docs::fast_path
