#include <iconv.h>

#include <cerrno>

#include "platform/NumberedError.h"
#include "platform/TextCodec.h"
#include "platform/Utf8.h"

namespace velmira {

namespace {

// One iconv conversion, opened and closed within the call. Bytes the source
// code page does not define become `replacement` and the conversion goes on.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw NumberedError(ErrorNumber::PathFileAccessError,
                            std::string("no conversion from ") + from + " to " + to);
    }
    std::string out;
    char buffer[4096];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or a truncated sequence at the end: skip one byte.
            out.append(replacement);
            ++inPtr;
            --inLeft;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    return Convert("UTF-8", "CP932", bytes, "\xEF\xBF\xBD");
}

std::string Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, "?");
}

std::u16string NativeNameToUtf16(const std::filesystem::path& name) {
    return Utf8ToUtf16Lossy(name.native());
}

std::string NativeNameToUtf8(const std::filesystem::path& name) {
    return Utf16ToUtf8(Utf8ToUtf16Lossy(name.native()));
}

}  // namespace velmira
