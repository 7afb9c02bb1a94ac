#include <gtest/gtest.h>

#include "winui/JapaneseFace.h"

namespace velmira {
namespace {

// In the test prefix MS PGothic and MS UI Gothic stand for IPA fonts with
// Japanese glyphs; Meiryo UI and Yu Gothic UI are missing, and Wine's
// Tahoma has no Japanese.
TEST(JapaneseFace, KeepsAJapaneseFaceAndNeverFallsBackToOneWithout) {
    EXPECT_EQ(JapaneseFace(L"MS PGothic").Name(), L"MS PGothic");
    for (const wchar_t* wanted : {L"Tahoma", L"No Such Face"}) {
        EXPECT_EQ(JapaneseFace(wanted).Name(), L"MS UI Gothic");
    }
}

}  // namespace
}  // namespace velmira
