#pragma once

#include <cstdint>
#include <optional>
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

// Colours as 0x00BBGGRR values, red in the low byte.
namespace colors {
inline constexpr std::uint32_t kNoticeBlue = 0x00FF0000;      // MainForm Label2
inline constexpr std::uint32_t kWarningRed = 0x000000FF;      // MainForm Label3
inline constexpr std::uint32_t kBackground = 0x00D4D4FF;      // RestoreForm, pale pink
inline constexpr std::uint32_t kTitleBlue = 0x00FF8080;       // Label1(2) and Line1(0)
inline constexpr std::uint32_t kLowerLineGrey = 0x00C0C0C0;   // Line1(1)
inline constexpr std::uint32_t kBarGreen = 0x0000FF00;        // SyoriSp(1)
inline constexpr std::uint32_t kHighlightColor = 0x000000FF;  // a hovered label-button
inline constexpr std::uint32_t kBlack = 0;
}  // namespace colors

// The face of every control's font. Named in English, the name that matches
// whatever the display language (the Japanese one may not).
inline constexpr std::string_view kControlFace = "MS PGothic";

// A font of kControlFace, normal weight, Japanese character set.
struct TextFont {
    double points;
    bool underline = false;
};

enum class Sizing {
    Kept,      // keeps the row's size
    FitsText,  // sizes itself to its one line of text
};

// One row of a window's layout table: a control's name, its rectangle in
// twips relative to its container, and how it looks, so that both front ends
// make it alike: its first text (UTF-8, CR LF line breaks), its sizing, the
// colour of its text, line or fill (none: the system's text colour) and its
// font (none: the window's). Lines run from (left, top) to (left + width,
// top). The first row is the window's client area, with the window's font.
struct Placement {
    std::string_view name;
    TwipsRect twips;
    std::string_view text = {};
    Sizing sizing = Sizing::Kept;
    std::optional<std::uint32_t> color = {};
    std::optional<TextFont> font = {};
};

// The row of `name`; a name missing from the table is a programming error
// and stops the program.
const Placement& RowOf(std::span<const Placement> table, std::string_view name);
inline const TwipsRect& TwipsOf(std::span<const Placement> table, std::string_view name) {
    return RowOf(table, name).twips;
}

std::span<const Placement> MainFormLayout();
std::span<const Placement> RestoreFormLayout();

}  // namespace velmira
