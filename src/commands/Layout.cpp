#include "commands/Layout.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/WindowTexts.h"

namespace velmira {

namespace {

constexpr TextFont kControlFont{9.0};
constexpr TextFont kStartButtonFont{14.25, true};
constexpr TextFont kCloseButtonFont{9.75, true};
constexpr Sizing kFits = Sizing::FitsText;
constexpr Sizing kKept = Sizing::Kept;

constexpr Placement kMainForm[] = {
    {"MainForm", {0, 0, 4545, 2790}, {}, kKept, {}, kControlFont},
    {"Label1", {225, 135, 4245, 1080}},
    {"Label2", {135, 1245, 4800, 630}, {}, kKept, colors::kNoticeBlue},
    {"Label3", {315, 1950, 3900, 180}, texts::kMainLabel3, kFits, colors::kWarningRed},
    {"Command1(0)", {2445, 2265, 1890, 405}, texts::kNext},
    {"Command1(1)", {495, 2265, 885, 405}, texts::kQuit},
};

constexpr Placement kRestoreForm[] = {
    {"RestoreForm", {0, 0, 4860, 4875}, {}, kKept, {}, kControlFont},
    {"Label1(2)", {600, 105, 3420, 180}, texts::kRestoreHeading, kFits, colors::kTitleBlue},
    {"Line1(0)", {90, 360, 4620, 0}, {}, kKept, colors::kTitleBlue},
    {"WakuFrame(0)", {90, 375, 4725, 1740}},
    {"Label1(1)", {570, 630, 1110, 180}, texts::kIdleCaption, kFits},
    {"SyoriSp(0)", {570, 885, 3585, 135}},
    {"SyoriSp(1)", {570, 885, 150, 135}, {}, kKept, colors::kBarGreen},
    {"WakuFrame(1)", {60, 3435, 4605, 1305}},
    {"Label1(3)", {150, 240, 4365, 900}, texts::kInsertDisk},
    {"Label1(4)", {150, 735, 4365, 435}, texts::kPickLowest},
    {"Line1(1)", {120, 2160, 4620, 0}, {}, kKept, colors::kLowerLineGrey},
    {"Label1(0)", {75, 2295, 1515, 180}, texts::kDriveListLabel, kFits},
    {"DrvList", {1665, 2310, 450, 1110}},
    {"WakuFrame(2)", {2220, 2235, 1245, 825}},
    {"SentakuOp(0)", {150, 210, 1035, 210}, texts::kIbarakiOption0},
    {"SentakuOp(1)", {150, 510, 1035, 210}, texts::kIbarakiOption1},
    {"CmdGd(1)", {3525, 2340, 1155, 285}, texts::kStartButton, kFits, {}, kStartButtonFont},
    {"CmdGd(0)", {4305, 2970, 375, 195}, texts::kCloseButton, kFits, {}, kCloseButtonFont},
    {"BackUpFileList(0)", {705, 5010, 2625, 2250}},
    {"BackUpFileList(1)", {3720, 5055, 2625, 2250}},
};

}  // namespace

int TwipsToPixels(double twips, int dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

PixelRect ToPixels(const TwipsRect& rect, int dotsPerInch) {
    const int left = TwipsToPixels(rect.left, dotsPerInch);
    const int top = TwipsToPixels(rect.top, dotsPerInch);
    const int right = TwipsToPixels(rect.left + rect.width, dotsPerInch);
    const int bottom = TwipsToPixels(rect.top + rect.height, dotsPerInch);
    return {left, top, right - left, bottom - top};
}

const Placement& RowOf(std::span<const Placement> table, std::string_view name) {
    for (const auto& row : table) {
        if (row.name == name) return row;
    }
    std::fprintf(stderr, "no layout row for %s\n", std::string(name).c_str());
    std::abort();
}

std::span<const Placement> MainFormLayout() {
    return kMainForm;
}

std::span<const Placement> RestoreFormLayout() {
    return kRestoreForm;
}

}  // namespace velmira
