#pragma once
#include <cstdint>
#include <string>

#include "core/SampleTime.h"

namespace qs {

// One taken sample as its listeners see it: everything the captions, the
// chart and the data file got from it, built once by EvaluateSample after
// the data-file line, so that no listener reads it back off the window.
struct SampleRecord {
    std::uint64_t seq = 0;  // 1, 2, ...: never the same twice while the program runs
    SampleTime time;        // UTC, whole seconds: the line's stamp and DateBox
    int channel = 1;        // 1: a reply to CommandBox, 2: to CommandBox2
    std::string command;    // that box's text as the sample was taken
    std::string cleanText;  // the reply as the data-file line holds it
    double value = 0.0;     // LastBox
    double mean = 0.0;      // ShowMean: the running mean of the channel
    double filter = 0.0;    // FilterValue: the RC filter output of the channel
    int count = 0;          // CountBox
    // The statistics over every sample since they were last reset (MinBox,
    // MaxBox, DiffBox as they stand after this sample).
    double minimum = 0.0, maximum = 0.0, difference = 0.0;
    std::string dataLine;  // CR LF included
    bool written = false;  // whether dataLine reached the data file

    friend bool operator==(const SampleRecord&, const SampleRecord&) = default;
};

}  // namespace qs
