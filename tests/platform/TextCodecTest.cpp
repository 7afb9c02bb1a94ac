#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "platform/Utf8.h"

namespace velmira {
namespace {

TEST(TextCodec, DecodesCodePage932) {
    // 茨城県 and 鳥取県 as code page 932 writes them.
    EXPECT_EQ(Cp932ToUtf8("\x88\xEF\x8F\xE9\x8C\xA7"), "茨城県");
    EXPECT_EQ(Cp932ToUtf8("\x92\xB9\x8E\xE6\x8C\xA7"), "鳥取県");
    // Half-width katakana, the full-width space, and 0x5C as a backslash.
    EXPECT_EQ(Cp932ToUtf8("\xA5\x81\x40\x5C"), "･\u3000\\");
    EXPECT_EQ(Utf8ToCp932("茨城県"), "\x88\xEF\x8F\xE9\x8C\xA7");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
    // A lone lead byte at the end, and a lead byte without a valid trail byte.
    EXPECT_EQ(Cp932ToUtf8("\x88\xEF\x8F"), "茨\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8("A\x81\x20Z"), "A\xEF\xBF\xBD Z");
}

TEST(TextCodec, FileNamesDecodeToUtf16) {
    EXPECT_EQ(NativeNameToUtf16("K0001.sxd"), u"K0001.sxd");
    EXPECT_EQ(NativeNameToUtf16(u8"カルテ.ini"), u"カルテ.ini");
    EXPECT_EQ(NativeNameToUtf16(u8"a\U0001F600"), u"a\U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"a\U0001F600\xD800"), "a\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(TextCodec, ByteNamesDecodeToUtf16WithoutEverMatchingByAccident) {
#ifndef __linux__
    GTEST_SKIP() << "byte names are Linux's; Windows names are UTF-16 already";
#else
    // Shift_JIS bytes in a name: each bad byte is one U+FFFD.
    EXPECT_EQ(NativeNameToUtf16("\x83\x4A.sxd"), u"\uFFFDJ.sxd");
    // An overlong encoding of "d" must not turn into a routable "sxd".
    EXPECT_EQ(NativeNameToUtf16("sx\xC1\xA4"), u"sx\uFFFD\uFFFD");
    // Four-byte characters become surrogate pairs: three units are not three characters.
    EXPECT_EQ(NativeNameToUtf16("a\xF0\x9F\x98\x80"), u"a\U0001F600");
#endif
}

}  // namespace
}  // namespace velmira
