#include "chart/ChartPrinting.h"

#include "chart/AxisLabels.h"

namespace qs {

namespace {
// "2026-12-08 14:05:00", from the axis' "2026-12-08-14:05:00".
std::string utcText(double days) {
    std::string text = FormatAxisDateTime(days);
    if (text.size() > 10) text[10] = ' ';
    return text;
}
}  // namespace

std::optional<std::string> PrintQuestion(int pages, const std::string& printer) {
    if (pages <= kPagesPrintedWithoutAsking) return std::nullopt;
    const std::string where = printer.empty() ? "to a PDF file in the working folder (no printer is installed)"
                                              : "to the printer \"" + printer + "\"";
    return "The chart fills " + std::to_string(pages) + " pages at this many samples per printed page. Send all " +
           std::to_string(pages) + " pages " + where + "?";
}

std::string ChartTitleLine(const std::string& dataFile, const std::string& command1, const std::string& command2,
                           double firstDays, double lastDays) {
    std::string line = dataFile;
    std::string commands;
    if (!command1.empty()) commands = "left: " + command1;
    if (!command2.empty()) commands += (commands.empty() ? "" : ", ") + std::string("right: ") + command2;
    if (!commands.empty()) line += (line.empty() ? "" : "; ") + commands;
    line += (line.empty() ? "" : "; ") + utcText(firstDays) + " to " + utcText(lastDays) + " UTC";
    return line;
}

}  // namespace qs
