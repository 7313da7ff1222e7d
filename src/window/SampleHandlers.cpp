// Sample evaluation: one accepted reply becomes a sample with its points,
// statistics, captions and data-file line, and its record for the listeners.
#include <string>
#include <utility>

#include "core/CNumbers.h"
#include "core/ChannelRouting.h"
#include "core/Statistics.h"
#include "datafile/DataLine.h"
#include "platform/Conversions.h"
#include "platform/DayCount.h"
#include "window/DeferredError.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// What a sample reads and updates of its own channel.
struct ChannelParts {
    double& lastValue;
    double& filterState;
    const TEdit& commandBox;
};

ChannelParts channelParts(TGPIBTelnet& w, int channel) {
    if (channel == 1) return {w.State.LastValue1, w.State.FilterState1, w.CommandBox};
    return {w.State.LastValue2, w.State.FilterState2, w.CommandBox2};
}

int otherChannel(int channel) { return channel == 1 ? 2 : 1; }

}  // namespace

void TGPIBTelnet::EvaluateSample(std::string_view cleanText, const SampleTime& time) {
    State.AwaitingReply = 0;
    const double value = CAtof(cleanText);
    State.SampleCount += 1;
    LastBox.setCaption(FloatToStr(value));

    const double x = EncodeDateTime(time);
    const CommandMode mode = commandMode();
    const int channel = ReplyChannel(mode, State.ReplyPhase);
    const ChannelParts own = channelParts(*this, channel);
    ISeries& raw = seriesTable_.of(channel, SeriesRole::Raw);
    const ChannelRoute<double> route = RouteSample(mode, channel, value, {State.HeldValue1, State.HeldValue2});
    own.lastValue = value;
    raw.AddPoint(x, value);
    if (route.otherHeld) seriesTable_.of(otherChannel(channel), SeriesRole::Raw).AddPoint(x, *route.otherHeld);
    State.HeldValue1 = route.held.channel1;
    State.HeldValue2 = route.held.channel2;

    // Per-sample scrolling: at most one point per series, after the new raw
    // point and before the new mean and filter points.
    Stability.append(channel, SecondsOfDayCount(x), value, mode == CommandMode::Alternate);
    if (State.ScrollPoints > 0) {
        for (ISeries* s : seriesTable_.all())
            if (s->Count() >= State.ScrollPoints) s->DeleteFirst();
        dropScrolledReadings();
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

    // With a scroll window of 1 the raw series is empty again by now; the
    // latest point was the value itself, so that is its mean.
    const double mean = raw.Count() > 0 ? RunningMean(raw, State.MeanPoints) : value;
    seriesTable_.of(channel, SeriesRole::Mean).AddPoint(x, mean);
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

    const double filter = FilterStep(own.filterState, own.lastValue, State.FilterSamples);
    seriesTable_.of(channel, SeriesRole::Filter).AddPoint(x, filter);
    FilterValue.setCaption(FloatToStr(filter));

    DateBox.setCaption(FormatDateBox(time));

    const std::string fileName = TextFileBox.text();
    std::string dataLine = FormatDataLine(time, cleanText, mean, filter);
    const bool written = dataFileLines_.append(fileName, dataLine);
    noteDataFileWrite(written, fileName);
    if (written && mode == CommandMode::Alternate) State.nextLineChannel = otherChannel(channel);

    deferred.run([&] { State.CountdownMs = intervalMs(); });
    Timer1.setEnabled(false);
    State.PollBusy = 0;
    sampleSubscribers.publish(SampleRecord{++lastSampleSeq_, time, channel, own.commandBox.text(),
                                           std::string(cleanText), value, mean, filter, State.SampleCount,
                                           State.Minimum, State.Maximum, State.Difference, std::move(dataLine),
                                           written});
    deferred.rethrow();
}

}  // namespace qs
