#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Chart.h"

namespace qs::test {

// The reply text of a data-file line "date time, TEXT, MEAN, FILTER": what
// stands between the time and the last two fields.
inline std::string ReplyTextOf(const std::string& line) {
    const std::size_t filter = line.rfind(", ");
    if (filter == std::string::npos || filter == 0) return {};
    const std::size_t mean = line.rfind(", ", filter - 1);
    if (line.size() < 21 || mean == std::string::npos || mean < 21) return {};
    return line.substr(21, mean - 21);
}

inline std::vector<std::string> ReplyTextsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> texts;
    for (const auto& l : lines) texts.push_back(ReplyTextOf(l));
    return texts;
}

// The value the C library reads at the start of a reply text.
inline double ValueOf(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

inline std::vector<double> YValues(const ISeries& series) {
    std::vector<double> values;
    for (int i = 0; i < series.Count(); ++i) values.push_back(series.YValue(i));
    return values;
}

// How many of wanted are missing from have, each element of have used once.
template <typename T>
int MissingFrom(const std::vector<T>& wanted, std::vector<T> have) {
    int missing = 0;
    for (const auto& w : wanted) {
        const auto it = std::find(have.begin(), have.end(), w);
        if (it == have.end()) ++missing;
        else have.erase(it);
    }
    return missing;
}

// Every sample came from a whole value the simulator sent: each reply text
// of the data file, and each raw point of the chart, is one of them.
inline void ExpectNoInventedSample(const std::vector<std::string>& dataTexts, const std::vector<double>& chart,
                                   const std::vector<std::string>& completeValues) {
    const auto sent = [](const auto& values, const auto& v) {
        return std::find(values.begin(), values.end(), v) != values.end();
    };
    for (const auto& text : dataTexts)
        EXPECT_TRUE(sent(completeValues, text)) << "a data-file sample that the simulator never sent whole: \""
                                                << text.substr(0, 80) << "\" (" << text.size() << " bytes)";
    std::vector<double> sentValues;
    for (const auto& v : completeValues) sentValues.push_back(ValueOf(v));
    for (double y : chart)
        EXPECT_TRUE(sent(sentValues, y)) << "a chart point whose value the simulator never sent whole: " << y;
}

}  // namespace qs::test
