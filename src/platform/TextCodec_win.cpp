#include <windows.h>

#include "platform/NumberedError.h"
#include "platform/TextCodec.h"
#include "platform/Utf8.h"

namespace velmira {

namespace {

constexpr UINT kJapaneseCodePage = 932;
constexpr char16_t kReplacement = 0xFFFD;

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Converts one character of code page 932 (one or two bytes); false when the
// bytes are not a defined character. MB_ERR_INVALID_CHARS makes Windows
// report such bytes instead of putting its default character (U+30FB, a
// real character) in their place.
bool DecodeCharacter(const char* bytes, int length, std::u16string& out) {
    wchar_t wide[2];
    const int got =
        ::MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, bytes, length, wide, 2);
    if (got <= 0) return false;
    out.append(wide, wide + got);
    return true;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    if (bytes.empty()) return out;
    // The whole text at once first; only a text with undefined bytes is
    // walked character by character.
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                             size, nullptr, 0);
    if (needed > 0) {
        std::wstring wide(static_cast<std::size_t>(needed), L'\0');
        ::MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                              wide.data(), needed);
        out.assign(wide.begin(), wide.end());
        return out;
    }
    // An undefined byte becomes U+FFFD and the conversion goes on at the next
    // byte, as on Linux, so a damaged file reads the same on both.
    for (std::size_t at = 0; at < bytes.size();) {
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(bytes[at])) && at + 1 < bytes.size();
        if (pair && DecodeCharacter(bytes.data() + at, 2, out)) {
            at += 2;
        } else if (!pair && DecodeCharacter(bytes.data() + at, 1, out)) {
            at += 1;
        } else {
            out.push_back(kReplacement);
            at += 1;
        }
    }
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    return Utf16ToUtf8(Cp932ToUtf16(bytes));
}

std::string Utf8ToCp932(std::string_view utf8) {
    const std::u16string utf16 = Utf8ToUtf16Lossy(utf8);
    if (utf16.empty()) return {};
    const std::wstring wide(utf16.begin(), utf16.end());
    const int size = static_cast<int>(wide.size());
    // No best fit: a character without its own code becomes "?", never a
    // look-alike.
    const int needed = ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                             size, nullptr, 0, "?", nullptr);
    if (needed <= 0) {
        throw NumberedError(ErrorNumber::PathFileAccessError, "no conversion to code page 932");
    }
    std::string out(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(),
                          needed, "?", nullptr);
    return out;
}

std::u16string NativeNameToUtf16(const std::filesystem::path& name) {
    const std::wstring& wide = name.native();
    return std::u16string(wide.begin(), wide.end());
}

std::string NativeNameToUtf8(const std::filesystem::path& name) {
    return Utf16ToUtf8(NativeNameToUtf16(name));
}

}  // namespace velmira
