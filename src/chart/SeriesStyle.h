#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace qs {

// What each of the six series shows and how a chart back end draws it. The
// logic itself only shows, hides and widens series through ISeries; the
// colours, axes and look are applied once by the back end that draws them.

enum class SeriesRole { Raw, Mean, Filter };
enum class ValueAxis { Left, Right };

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct SeriesStyle {
    int series;             // 1 to 6: Series1 ... Series6
    std::string_view name;  // "Series1"
    int command;            // 1: replies to CommandBox, 2: to CommandBox2
    SeriesRole role;
    ValueAxis axis;  // command 1 on the left axis, command 2 on the right
    Rgb colour;
    int initialPenWidth;       // pixels, before any Bold click
    std::string_view shownBy;  // the check box that shows it while checked
    std::string_view boldBy;   // the check box that draws it 2 pixels wide while checked
};

// The six series in order Series1 ... Series6. Note that on the right axis
// Series5 is the filter and Series6 the mean.
std::span<const SeriesStyle> SeriesStyles();
// n from 1 to 6.
const SeriesStyle& SeriesStyleOf(int n);

// Pen widths that the Bold check boxes switch between.
inline constexpr int kBoldPenWidth = 2;
inline constexpr int kNormalPenWidth = 1;

// ---- the chart's look
inline constexpr std::string_view kBottomAxisTitle = "Universal Time (UTC)";
// Date-time labels of the bottom axis (Qt/Delphi pattern letters):
// 2024-03-05-14:07:09. FormatAxisDateTime gives the same text.
inline constexpr std::string_view kDateTimeLabelFormat = "yyyy-MM-dd-hh:mm:ss";
// Value labels of the left and right axes: thousands separators, at least
// one integer digit, up to seven decimals without trailing zeros (1,200.5).
// FormatAxisValue gives the same text.
inline constexpr std::string_view kValueLabelFormat = "#,##0.#######";
inline constexpr Rgb kAxisLineColour{64, 64, 64};
inline constexpr Rgb kGridLineColour{192, 192, 192};
// Back wall and panel: a vertical gradient from this colour down to white.
inline constexpr Rgb kGradientStartColour{224, 224, 224};
inline constexpr Rgb kGradientEndColour{255, 255, 255};
// The left axis draws its grid solid, the right axis dash-dot-dot.
enum class GridStyle { Solid, DashDotDot };
inline constexpr GridStyle kLeftGridStyle = GridStyle::Solid;
inline constexpr GridStyle kRightGridStyle = GridStyle::DashDotDot;

}  // namespace qs
