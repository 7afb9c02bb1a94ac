#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/LetterAssigner.h"

namespace velmira {
namespace {

std::string Letters(const std::vector<std::optional<char>>& letters) {
    std::string text;
    for (const auto& letter : letters) text += letter ? *letter : '-';
    return text;
}

TEST(LetterAssigner, KeepsLettersAndReusesTheLowestFreedOne) {
    LetterAssigner assigner;
    EXPECT_EQ(Letters(assigner.Assign({"x", "y", "z"})), "DEF");
    // y goes; x and z keep theirs, in whatever order they come now.
    EXPECT_EQ(Letters(assigner.Assign({"z", "x"})), "FD");
    // A newcomer takes the freed E, the next one G.
    EXPECT_EQ(Letters(assigner.Assign({"x", "w", "z", "v"})), "DEFG");
    // y comes back as a stranger.
    EXPECT_EQ(Letters(assigner.Assign({"x", "w", "z", "v", "y"})), "DEFGH");
    EXPECT_EQ(Letters(assigner.Assign({})), "");
    EXPECT_EQ(Letters(assigner.Assign({"v"})), "D");
}

TEST(LetterAssigner, VolumesPastZAreLeftOutUntilALetterFrees) {
    std::vector<std::string> keys;
    for (int i = 0; i < 25; ++i) keys.push_back("v" + std::to_string(i));
    LetterAssigner assigner;
    EXPECT_EQ(Letters(assigner.Assign(keys)), "DEFGHIJKLMNOPQRSTUVWXYZ--");

    keys.erase(keys.begin() + 1);  // E goes
    EXPECT_EQ(Letters(assigner.Assign(keys)), "DFGHIJKLMNOPQRSTUVWXYZE-");
}

}  // namespace
}  // namespace velmira
