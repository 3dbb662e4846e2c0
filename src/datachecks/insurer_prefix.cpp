#include "datachecks/insurer_prefix.h"

#include "docs/text.h"

namespace kenshin::datachecks {

bool insurer_begins_with(std::string_view insurer_number, std::string_view prefix) {
  std::u16string start = docs::mid_units(docs::to_utf16(insurer_number), 1, docs::to_utf16(prefix).size());
  return docs::text_equals(docs::from_utf16(start), prefix);
}

}  // namespace kenshin::datachecks
