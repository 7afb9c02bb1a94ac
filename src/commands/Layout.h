#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace velmira {

// The windows are laid out in twips, 1440 to an inch: 15 to a pixel at
// 96 dots per inch.
inline constexpr double kTwipsPerInch = 1440.0;

struct TwipsRect {
    double left;
    double top;
    double width;
    double height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// One coordinate in pixels at `dotsPerInch`, rounded half away from zero.
int TwipsToPixels(double twips, int dotsPerInch = 96);

// Edges are rounded, not sizes, so that controls which touch in twips still
// touch in pixels.
PixelRect ToPixels(const TwipsRect& rect, int dotsPerInch = 96);

// One row of a window's layout table: a control's name and its rectangle in
// twips, relative to its container. Lines run from (left, top) to
// (left + width, top). The first row is the window's client area.
struct Placement {
    std::string_view name;
    TwipsRect twips;
};

// The row of `name`; a name missing from the table is a programming error
// and stops the program.
const TwipsRect& TwipsOf(std::span<const Placement> table, std::string_view name);

std::span<const Placement> MainFormLayout();
std::span<const Placement> RestoreFormLayout();

// Colours as 0x00BBGGRR values, red in the low byte.
namespace colors {
inline constexpr std::uint32_t kNoticeBlue = 0x00FF0000;     // MainForm Label2
inline constexpr std::uint32_t kWarningRed = 0x000000FF;     // MainForm Label3
inline constexpr std::uint32_t kBackground = 0x00D4D4FF;     // RestoreForm, pale pink
inline constexpr std::uint32_t kTitleBlue = 0x00FF8080;      // Label1(2) and Line1(0)
inline constexpr std::uint32_t kLowerLineGrey = 0x00C0C0C0;  // Line1(1)
inline constexpr std::uint32_t kBarGreen = 0x0000FF00;       // SyoriSp(1)
inline constexpr std::uint32_t kHighlightRed = 255;          // a hovered label-button
inline constexpr std::uint32_t kBlack = 0;
}  // namespace colors

// The label-buttons' font: normal weight, Japanese character set, underlined.
// Named in English, the name that matches whatever the display language (the
// Japanese one may not).
inline constexpr std::string_view kLabelButtonFace = "MS PGothic";
inline constexpr double kStartButtonPoints = 14.25;  // CmdGd(1) "復元開始"
inline constexpr double kCloseButtonPoints = 9.75;   // CmdGd(0) "閉る"

}  // namespace velmira
