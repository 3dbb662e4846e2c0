// Conversion between UTF-8 and code page 932, the Japanese Windows code page in which submission
// archives from Windows name their entries and in which the error report is written. Both
// directions go through glibc iconv ("CP932"), which includes the NEC and IBM extensions
// (①, Ⅱ, ㈱, 髙 …) and maps 0x8160 to U+FF5E FULLWIDTH TILDE.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kenshin::platform {

// True if `text` is well-formed UTF-8 (no overlong forms, surrogates or code points above
// U+10FFFF).
bool is_valid_utf8(std::string_view text);

// Decodes code page 932 bytes to UTF-8; nullopt if any byte sequence is not a code page 932
// character.
std::optional<std::string> cp932_to_utf8(std::string_view cp932);

// Encodes UTF-8 text in code page 932. A character the code page cannot hold, and each byte of
// malformed UTF-8, becomes "?"; everything else is kept. U+301C WAVE DASH becomes 0x8160, as on
// Windows.
std::string utf8_to_cp932(std::string_view utf8);

}  // namespace kenshin::platform
