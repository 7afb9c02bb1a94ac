#include "winui/WideText.h"

#include "platform/Utf8.h"

namespace velmira {

std::wstring WideText(std::string_view utf8) {
    const std::u16string utf16 = Utf8ToUtf16Lossy(utf8);
    return std::wstring(utf16.begin(), utf16.end());
}

}  // namespace velmira
