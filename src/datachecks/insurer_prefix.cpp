#include "datachecks/insurer_prefix.h"

#include "base/text.h"

namespace kenshin::datachecks {

bool insurer_begins_with(std::string_view insurer_number, std::string_view prefix) {
  std::u16string start = base::mid_units(base::to_utf16(insurer_number), 1, base::to_utf16(prefix).size());
  return base::text_equals(base::from_utf16(start), prefix);
}

}  // namespace kenshin::datachecks
