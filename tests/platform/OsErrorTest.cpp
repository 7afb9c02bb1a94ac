#include <gtest/gtest.h>

#include <cerrno>

#include "platform/OsError.h"

namespace velmira {
namespace {

TEST(OsError, LinuxCodesMapOntoTheProgramsNumbers) {
#ifndef __linux__
    GTEST_SKIP() << "errno codes are Linux's";
#else
    EXPECT_EQ(ErrorFromOs(ENOENT, "x").code(), 53);
    EXPECT_EQ(ErrorFromOs(ENOENT, "x", LookingFor::Folder).code(), 76);
    EXPECT_EQ(ErrorFromOs(ENOTDIR, "x").code(), 76);
    EXPECT_EQ(ErrorFromOs(EACCES, "x").code(), 70);
    EXPECT_EQ(ErrorFromOs(EROFS, "x").code(), 70);
    EXPECT_EQ(ErrorFromOs(ENOSPC, "x").code(), 61);
    EXPECT_EQ(ErrorFromOs(EIO, "x").code(), 57);
    EXPECT_EQ(ErrorFromOs(ENOMEDIUM, "x").code(), 68);
    EXPECT_EQ(ErrorFromOs(EBUSY, "x").code(), 75);
#endif
}

TEST(OsError, CarriesNumberDescriptionAndDetail) {
    const NumberedError error(ErrorNumber::FileNotFound, "/Velmira/set/info.ini");
    EXPECT_EQ(error.code(), 53);
    EXPECT_EQ(error.description(), "ファイルが見つかりません。");
    EXPECT_EQ(error.detail(), "/Velmira/set/info.ini");
    EXPECT_STREQ(error.what(), "53: ファイルが見つかりません。 (/Velmira/set/info.ini)");
}

}  // namespace
}  // namespace velmira
