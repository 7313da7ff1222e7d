// Sample evaluation: one accepted reply becomes a sample with its points,
// statistics, captions and data-file line.
#include <string>

#include "core/CNumbers.h"
#include "core/ChannelRouting.h"
#include "core/Statistics.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "platform/Conversions.h"
#include "window/DeferredError.h"
#include "window/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::EvaluateSample(std::string_view cleanText, const SampleTime& time) {
    State.AwaitingReply = 0;
    const double value = CAtof(cleanText);
    State.SampleCount += 1;
    LastBox.setCaption(FloatToStr(value));

    const double x = EncodeDateTime(time);
    const CommandMode mode = commandMode();
    const int channel = ReplyChannel(mode, State.ReplyPhase);
    const ChannelRoute<double> route = RouteSample(mode, channel, value, {State.HeldValue1, State.HeldValue2});
    (channel == 1 ? State.LastValue1 : State.LastValue2) = value;
    (channel == 1 ? Series1 : Series4).AddPoint(x, value);
    if (route.otherHeld) (channel == 1 ? Series4 : Series1).AddPoint(x, *route.otherHeld);
    State.HeldValue1 = route.held.channel1;
    State.HeldValue2 = route.held.channel2;

    // Per-sample scrolling: at most one point per series, after the new raw
    // point and before the new mean and filter points.
    if (State.ScrollPoints > 0) {
        for (ISeries* s : {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6})
            if (s->Count() >= State.ScrollPoints) s->DeleteFirst();
    }
    Chart1.Redraw();
    CountBox.setCaption(IntToStr(State.SampleCount));

    const ExtremesUpdate extremes = UpdateExtremes({State.Minimum, State.Maximum}, value);
    State.Minimum = extremes.extremes.minimum;
    State.Maximum = extremes.extremes.maximum;
    if (extremes.newMinimum) MinBox.setCaption(FloatToStr(State.Minimum));
    if (extremes.newMaximum) MaxBox.setCaption(FloatToStr(State.Maximum));
    State.Difference = State.Maximum - State.Minimum;
    DiffBox.setCaption(FloatToStr(State.Difference));

    ISeries& raw = channel == 1 ? Series1 : Series4;
    // With a scroll window of 1 the raw series is empty again by now; the
    // latest point was the value itself, so that is its mean.
    const double mean = raw.Count() > 0 ? RunningMean(raw, State.MeanPoints) : value;
    (channel == 1 ? Series2 : Series6).AddPoint(x, mean);
    ShowMean.setCaption(FloatToStr(mean));

    // A FilterPoints text that does not convert is reported once the sample
    // is complete; meanwhile the last good time constant serves, so that the
    // sample still gets its filter point and its data-file line.
    DeferredError deferred;
    deferred.run([&] {
        const std::string& text = FilterPoints.text();
        int n = text.empty() ? 1 : StrToInt(text);
        State.FilterSamples = n < 1 ? 1 : n;
    });
    if (State.FilterSamples < 1) State.FilterSamples = 1;

    double& filterState = channel == 1 ? State.FilterState1 : State.FilterState2;
    const double input = channel == 1 ? State.LastValue1 : State.LastValue2;
    const double filter = FilterStep(filterState, input, State.FilterSamples);
    (channel == 1 ? Series3 : Series5).AddPoint(x, filter);
    FilterValue.setCaption(FloatToStr(filter));

    DateBox.setCaption(FormatDateBox(time));

    const std::string fileName = TextFileBox.text();
    noteDataFileWrite(AppendToFile(fileName, FormatDataLine(time, cleanText, mean, filter)), fileName);

    deferred.run([&] { State.CountdownMs = intervalMs(); });
    Timer1.setEnabled(false);
    State.PollBusy = 0;
    deferred.rethrow();
}

}  // namespace qs
