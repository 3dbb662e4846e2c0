// The text readings the rules apply to what a document holds (lengths in
// UTF-16 code units, numbers, exact comparisons), offered beside the XML
// access so that a rule reads a node and its value in one vocabulary.
#pragma once

#include "base/text.h"

namespace kenshin::docs {

using base::from_utf16;
using base::last_units;
using base::long_whole_number;
using base::mid_units;
using base::numeric_value;
using base::round_half_even;
using base::text_equals;
using base::text_length;
using base::to_utf16;
using base::whole_number;

}  // namespace kenshin::docs
