#pragma once

#include <cstdint>

namespace kenshin::platform {

// No document of a submission is longer: a longer entry is never decompressed,
// and a document that long fails to load unread.
inline constexpr std::uint64_t kMaxReadSize = std::uint64_t{16} << 20;

}  // namespace kenshin::platform
