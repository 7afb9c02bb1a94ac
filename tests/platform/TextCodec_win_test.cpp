#include <gtest/gtest.h>

#include "platform/TextCodec.h"

namespace velmira {
namespace {

TEST(TextCodecWin, NamesAreTakenAsTheirUtf16UnitsEvenWhenUnpaired) {
    // NTFS allows a lone surrogate in a name; routing sees it as it is and
    // a message shows U+FFFD for it.
    const std::filesystem::path name(std::wstring{L'a', wchar_t{0xD800}, L'.', L'i', L'n', L'i'});
    EXPECT_EQ(NativeNameToUtf16(name),
              (std::u16string{u'a', char16_t{0xD800}, u'.', u'i', u'n', u'i'}));
    EXPECT_EQ(NativeNameToUtf8(name), "a\xEF\xBF\xBD.ini");
}

TEST(TextCodecWin, NeitherDirectionPutsALookAlikeForAMissingCharacter) {
    // Windows would put its default character U+30FB for an undefined byte,
    // and a best-fit "e" for é; both would read as real text.
    EXPECT_EQ(Cp932ToUtf8("\x82"), "\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0\x82"), "\xE3\x81\x82\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToCp932("caf\xC3\xA9"), "caf?");
}

}  // namespace
}  // namespace velmira
