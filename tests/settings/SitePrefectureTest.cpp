#include <gtest/gtest.h>

#include "base/BaseModule.h"
#include "platform/TextCodec.h"
#include "settings/FirstFieldScanner.h"
#include "settings/SitePrefecture.h"
#include "settings/SiteRegion.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

using testing::FolderDrives;
using testing::TempDir;

TEST(SiteRegion, ComparesThePrefectureExactly) {
    EXPECT_EQ(RegionOf("茨城県"), SiteRegion::Ibaraki);
    EXPECT_EQ(RegionOf("鳥取県"), SiteRegion::Tottori);
    EXPECT_EQ(RegionOf("茨城"), SiteRegion::Other);
    EXPECT_EQ(RegionOf("\u3000茨城県"), SiteRegion::Other);
    EXPECT_EQ(RegionOf("茨城県 "), SiteRegion::Other);
    EXPECT_EQ(RegionOf(""), SiteRegion::Other);
    EXPECT_EQ(RegionOf("[info]"), SiteRegion::Other);
}

TEST(SitePrefecture, FirstFieldRules) {
    const struct {
        const char* bytes;
        const char* field;
    } cases[] = {
        {"茨城県,1,2\r\nnext", "茨城県"},
        {"茨城県", "茨城県"},
        {"  \r\n\r\n茨城県\r\n", "茨城県"},
        {"\"鳥取,県\",x", "鳥取,県"},
        {"\"鳥取県\"", "鳥取県"},
        {"[info]\r\npref=茨城県", "[info]"},
        {"\t茨城県", "茨城県"},          // a leading tab is skipped like a space
        {"茨城県  ,x", "茨城県"},        // trailing blanks of an unquoted field go
        {"\" 茨城県 \"", " 茨城県 "},    // inside quotes everything stays
        {"\"茨城県\r\n", "茨城県\r\n"},  // an unclosed quote runs to the end
        {",茨城県", ""},
        {"\u3000茨城県", "\u3000茨城県"},  // only single-byte spaces are skipped
    };
    for (const auto& c : cases) EXPECT_EQ(FirstField(c.bytes), c.field) << c.bytes;
}

TEST(SitePrefecture, NoFieldIsInputPastTheEnd) {
    for (const char* bytes : {"", "   ", "\r\n \r\n", "\t"}) {
        try {
            FirstField(bytes);
            ADD_FAILURE() << "no error for \"" << bytes << "\"";
        } catch (const NumberedError& error) {
            EXPECT_EQ(error.code(), 62);
        }
    }
}

TEST(SitePrefecture, LongFieldsAreCutButNeverMistakenForAPrefecture) {
    const std::size_t cap = FirstFieldScanner::kMaxFieldBytes;
    const std::string full(cap, 'x');
    EXPECT_EQ(FirstField(full + ",y"), full);
    EXPECT_EQ(FirstField("\"" + full + "\""), full);
    EXPECT_EQ(FirstField(full + "yz"), full);
    EXPECT_EQ(FirstField("\"" + full + "yz"), full);
    // Blanks past the cap may still be trailing ones, so they are read on.
    const std::string ibaraki = Utf8ToCp932("茨城県");
    const std::string blanks(cap, ' ');
    EXPECT_EQ(FirstField(ibaraki + blanks + "\t\r\n"), ibaraki);
    const std::string runOn = FirstField(ibaraki + blanks + "x");
    EXPECT_EQ(runOn, ibaraki + blanks.substr(ibaraki.size()));
    EXPECT_EQ(RegionOf(Cp932ToUtf8(runOn)), SiteRegion::Other);
}

TEST(FirstFieldScanner, AnySplitOfTheFileGivesTheSameField) {
    const std::size_t cap = FirstFieldScanner::kMaxFieldBytes;
    const std::string files[] = {
        " \r\n\t茨城県  ,x",
        "\"鳥,取\"rest",
        "\"unclosed\r\n",
        "x" + std::string(cap + 3, ' ') + "y",
        "\"" + std::string(cap + 1, 'q'),
        " \r\n",
    };
    const auto fieldOf = [](const FirstFieldScanner& scanner) {
        try {
            return scanner.Field();
        } catch (const NumberedError& error) {
            return "<error " + std::to_string(error.code()) + ">";
        }
    };
    for (const std::string& file : files) {
        FirstFieldScanner whole;
        const std::size_t wholeUsed = whole.Feed(file);
        for (std::size_t split = 0; split <= file.size(); ++split) {
            FirstFieldScanner parts;
            std::size_t used = parts.Feed(std::string_view(file).substr(0, split));
            used += parts.Feed(std::string_view(file).substr(split));
            EXPECT_EQ(used, wholeUsed) << file << " split at " << split;
            EXPECT_EQ(parts.Done(), whole.Done());
            EXPECT_EQ(fieldOf(parts), fieldOf(whole)) << file << " split at " << split;
        }
    }
}

TEST(FirstFieldScanner, TakesNoBytePastTheFieldsEnd) {
    FirstFieldScanner comma;
    EXPECT_EQ(comma.Feed("\r\nab,cd"), 5u);
    EXPECT_TRUE(comma.Done());
    EXPECT_EQ(comma.Feed("more"), 0u);
    EXPECT_EQ(comma.Field(), "ab");

    // An unclosed quote stops one byte past the cap, however long the file.
    FirstFieldScanner open;
    const std::string chunk(65536, 'q');
    std::size_t used = open.Feed("\"");
    for (int i = 0; i < 1600 && !open.Done(); ++i) used += open.Feed(chunk);
    EXPECT_TRUE(open.Done());
    EXPECT_EQ(used, FirstFieldScanner::kMaxFieldBytes + 2);
    EXPECT_EQ(open.Field(), chunk.substr(0, FirstFieldScanner::kMaxFieldBytes));
}

class LoadSitePrefectureTest : public ::testing::Test {
  protected:
    LoadSitePrefectureTest() {
        drives.roots['C'] = dir.MakeDir("C");
        BaseModule::SitePrefecture.clear();
    }
    int LoadError() {
        try {
            LoadSitePrefecture(drives);
        } catch (const NumberedError& error) {
            return error.code();
        }
        return 0;
    }
    TempDir dir;
    FolderDrives drives;
};

TEST_F(LoadSitePrefectureTest, ReadsCodePage932FromTheCurrentDrive) {
    EXPECT_EQ(SettingsFilePath(drives).Display(), "C:\\Velmira\\set\\info.ini");
    dir.Write("C/Velmira/set/info.ini", Utf8ToCp932("茨城県,0123\r\n[other]\r\n"));
    ASSERT_EQ(LoadError(), 0);
    EXPECT_EQ(BaseModule::SitePrefecture, "茨城県");
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Ibaraki);

    dir.Write("C/Velmira/set/info.ini", Utf8ToCp932("\"鳥取県\""));
    ASSERT_EQ(LoadError(), 0);
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Tottori);
}

TEST_F(LoadSitePrefectureTest, UnreadableSettingsRaiseTheirNumbers) {
    EXPECT_EQ(LoadError(), 76);  // no Velmira\set folder
    dir.MakeDir("C/Velmira/set");
    EXPECT_EQ(LoadError(), 53);  // folder but no file
    dir.Write("C/Velmira/set/info.ini", " \r\n");
    EXPECT_EQ(LoadError(), 62);
    drives.roots.erase('C');
    EXPECT_EQ(LoadError(), 68);
    EXPECT_EQ(BaseModule::SitePrefecture, "");
}

TEST_F(LoadSitePrefectureTest, InvalidBytesReadAsAnotherPrefecture) {
    dir.Write("C/Velmira/set/info.ini", "\x88\xEF\x8F\xE9\x8C");
    ASSERT_EQ(LoadError(), 0);
    EXPECT_EQ(BaseModule::SitePrefecture, "茨城\xEF\xBF\xBD");
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Other);
}

}  // namespace
}  // namespace velmira
