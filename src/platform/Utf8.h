#pragma once

#include <string>
#include <string_view>

namespace velmira {

// UTF-8 to UTF-16. Malformed sequences become U+FFFD, one per bad byte, so
// the result always has a meaning and never matches an ASCII key by chance.
std::u16string Utf8ToUtf16Lossy(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace velmira
