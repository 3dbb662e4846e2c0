// Insurer-number prefixes that decide which groups of item rules apply.
#pragma once

#include <string_view>

namespace kenshin::datachecks {

// Late-elderly insurers (後期高齢者医療広域連合) have numbers beginning with 39;
// their examinees are not asked for waist, metabolic judgement or guidance level.
inline constexpr std::string_view kLateElderlyPrefix = "39";

// The home prefecture's late-elderly insurer and its municipal insurers ask
// for results beyond the national items.
inline constexpr std::string_view kHomeLateElderlyPrefix = "3958";
inline constexpr std::string_view kHomeMunicipalPrefix = "0058";

// Whether the first characters of the insurer number (all of it when it is
// shorter) are exactly the prefix. An empty insurer number begins with nothing.
bool insurer_begins_with(std::string_view insurer_number, std::string_view prefix);

}  // namespace kenshin::datachecks
