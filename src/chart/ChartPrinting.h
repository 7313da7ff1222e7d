#pragma once
#include <optional>
#include <string>

namespace qs {

// What goes with the chart on paper and into a saved file.

// A print job of more pages than this asks first.
inline constexpr int kPagesPrintedWithoutAsking = 20;

// The question before a print job of pages pages, naming them and where they
// go (printer: the default printer's name, empty when the pages go to a PDF
// file); nullopt for a job small enough to go without one.
std::optional<std::string> PrintQuestion(int pages, const std::string& printer);

// The title line of a printed page or a saved chart: the data file's name,
// the command of each value axis with a line on it (commandN empty: that
// axis shows nothing), and the time shown from firstDays to lastDays (chart
// keys, days since 1899-12-30) in UTC.
std::string ChartTitleLine(const std::string& dataFile, const std::string& command1, const std::string& command2,
                           double firstDays, double lastDays);

}  // namespace qs
