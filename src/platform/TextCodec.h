#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmira {

// Text conversion at the OS boundary. Inside the program text is UTF-8.

// Code page 932 (Shift_JIS as Windows reads it) to UTF-8. A byte that is not
// valid code page 932 becomes U+FFFD, as Windows substitutes a character
// rather than failing, so such a text simply matches nothing.
std::string Cp932ToUtf8(std::string_view bytes);

// UTF-8 to code page 932; for writing sample settings files.
std::string Utf8ToCp932(std::string_view utf8);

// A listed file name as UTF-16 code units, for routing by its last three
// units. Bytes that do not decode become U+FFFD, so they never match a route.
std::u16string NativeNameToUtf16(const std::filesystem::path& name);

// A listed file name as UTF-8 for display, invalid bytes as U+FFFD.
std::string NativeNameToUtf8(const std::filesystem::path& name);

}  // namespace velmira
