// Placements for the item rule cases: observations added where the rules
// look for them, or where they must not find them.
#pragma once

#include "datachecks/data_mutations.h"

namespace kenshin::testkit {

// An observation holding only its code plus the given child elements,
// directly in the checkup section, nested in the first grouping observation,
// or directly in a new section of another code.
enum class Place { kCheckupSection, kNested, kOtherSection };

inline Edit placed(const std::string& code, Place place, const std::string& children = "") {
  std::string observation = "<observation><code code=\"" + code + "\"/>" + children + "</observation>";
  switch (place) {
    case Place::kCheckupSection:
      return
          [=](XmlDoc& d) { d.append_xml("//a:section[a:code/@code='01010']", "<entry>" + observation + "</entry>"); };
    case Place::kNested:
      return [=](XmlDoc& d) {
        d.append_xml("(//a:observation[a:code/@nullFlavor='NA'])[1]",
                     "<entryRelationship>" + observation + "</entryRelationship>");
      };
    case Place::kOtherSection:
      break;
  }
  return [=](XmlDoc& d) {
    d.append_xml("//a:structuredBody",
                 "<component><section><code code=\"01020\"/><entry>" + observation + "</entry></section></component>");
  };
}

inline std::string coded(const std::string& code) { return "<value code=\"" + code + "\"/>"; }

}  // namespace kenshin::testkit
