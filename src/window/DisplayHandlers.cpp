// Display options of the chart: which series are shown and drawn bold, the
// scrolling window, and the mean and filter windows typed by the user.
#include "chart/SeriesStyle.h"
#include "platform/Conversions.h"
#include "platform/DayCount.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// Each handler applies its check box's state to the series that the style
// table ties to that box; it never toggles, so running it twice is harmless.
void showSeriesOf(IChart& chart, const TCheckBox& box) {
    for (const SeriesStyle& s : SeriesStyles())
        if (s.shownBy == box.name()) chart.Series(s.series).SetVisible(box.checked());
}

void boldSeriesOf(IChart& chart, const TCheckBox& box) {
    for (const SeriesStyle& s : SeriesStyles())
        if (s.boldBy == box.name()) chart.Series(s.series).SetPenWidth(box.checked() ? kBoldPenWidth : kNormalPenWidth);
}

}  // namespace

void TGPIBTelnet::DisplayDataBoxClick() { showSeriesOf(Chart1, DisplayDataBox); }
void TGPIBTelnet::DisplayMeanBoxClick() { showSeriesOf(Chart1, DisplayMeanBox); }
void TGPIBTelnet::FilterCheckboxClick() { showSeriesOf(Chart1, FilterCheckbox); }
void TGPIBTelnet::BoldRawClick() { boldSeriesOf(Chart1, BoldRaw); }
void TGPIBTelnet::BoldMeanClick() { boldSeriesOf(Chart1, BoldMean); }
void TGPIBTelnet::BoldFilterClick() { boldSeriesOf(Chart1, BoldFilter); }

// Also runs when MinStringBox loses the focus: it reads ScrollBox either way.
void TGPIBTelnet::ScrollBoxExit() {
    if (ScrollBox.text().empty()) return;
    const int points = StrToInt(ScrollBox.text());
    State.ScrollPoints = points < 0 ? 0 : points;
    ScrollBox.setText(IntToStr(State.ScrollPoints));
    TrimToScrollWindow();
    Chart1.Redraw();
    State.RestartFilters();
}

// The new window applies from the next sample on; plotted means stay.
void TGPIBTelnet::MeanBoxChange() {
    if (MeanBox.text().empty()) return;
    const int points = StrToInt(MeanBox.text());
    State.MeanPoints = points < 0 ? 0 : points;
    Stability.setMeanPoints(State.MeanPoints);
    // A normalised text runs this handler once more, which then finds it unchanged.
    MeanBox.setText(IntToStr(State.MeanPoints));
}

// The time constant itself is read afresh at every sample; here it is only
// normalised, and both filters start over with the new constant.
void TGPIBTelnet::FilterPointsChange() {
    if (FilterPoints.text().empty()) return;
    const int samples = StrToInt(FilterPoints.text());
    FilterPoints.setText(IntToStr(samples < 1 ? 1 : samples));
    State.RestartFilters();
}

// Series1's count alone decides how many passes run: command 2's series lose
// a point per pass only while they have one, so a chart that holds only
// command 2 is never trimmed.
void TGPIBTelnet::TrimToScrollWindow() {
    while (State.ScrollPoints > 0 && Series1.Count() > State.ScrollPoints) {
        for (ISeries* s : seriesTable_.all())
            if (s->Count() > 0) s->DeleteFirst();
    }
    if (State.ScrollPoints > 0) dropScrolledReadings();
}

void TGPIBTelnet::dropScrolledReadings() {
    for (int channel : {1, 2}) {
        const ISeries& raw = seriesTable_.of(channel, SeriesRole::Raw);
        if (raw.Count() == 0) Stability.dropAll(channel);
        else Stability.dropBefore(channel, SecondsOfDayCount(raw.XValue(0)));
    }
}

}  // namespace qs
