// Where the settlement document holds its claim type, and the values
// RunState::claim_type takes besides the claim types 1..5: the claims pre-read
// writes them, the settlement rules tell them apart.
#pragma once

namespace kenshin::docs {

inline constexpr const char kClaimTypePath[] = "//a:settlement/a:claimType/@code";

inline constexpr double kClaimTypeNotRead = 0;     // claims document failed to load
inline constexpr double kClaimTypeOutOfRange = 8;  // code outside 1..5, or not a number
inline constexpr double kClaimTypeMissing = 9;     // no claim type code

}  // namespace kenshin::docs
