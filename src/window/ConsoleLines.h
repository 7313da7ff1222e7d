#pragma once
#include <optional>
#include <string>
#include <vector>

#include "stability/DataAnalysis.h"

#include "window/SampleRecord.h"
#include "window/StatusEvent.h"

namespace qs {

// The lines the program without a window writes for a person: what the
// window's captions and status lines would show, one line per change.

// sample count=<CountBox> time="<DateBox>" value=<LastBox> mean=<ShowMean>
// filter=<FilterValue>, each text as its caption shows it.
std::string SampleConsoleLine(const SampleRecord& sample);

// stats channel=<1 or 2> n=<N> mean= stddev= stddev_ppm= min= max= p2p=
// p2p_ppm= drift_per_day= drift_ppm_per_day= drift_stderr= tau0=, then for
// each row of the octave table oadev_m<m>= oadev_err_m<m>= mdev_m<m>=
// hdev_m<m>=, and on channel 1's line in Alternate Commands tempco_pairs=
// tempco_slope= tempco_slope_err= tempco_r= tempco_ppm_per_unit=: the
// figures of the Stability window, each number as it reads back exactly,
// "none" for one that does not exist.
std::string StatsConsoleLine(const ChannelAnalysis& channel, const std::optional<RegressionFigures>& tempco);
// A line per channel of the analysis that has readings.
std::vector<std::string> StatsConsoleLines(const DataAnalysis& analysis);

enum class ConsoleStream { Out, Err };

struct ConsoleLine {
    ConsoleStream stream;
    std::string text;
};

// The line for a status change; none for a change nobody needs to read
// (a note taken off the line, an empty text).
std::optional<ConsoleLine> StatusConsoleLine(const StatusEvent& event);

}  // namespace qs
