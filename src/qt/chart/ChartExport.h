#pragma once
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QCustomPlot;
class QWidget;

namespace qs {

// A picture of the chart to save, as the person chose it.
struct ChartFile {
    // Csv: the figures behind a chart, where a chart offers them.
    enum class Format { Png, PngDoubleSize, Pdf, Csv };
    QString path;
    Format format = Format::Png;
    friend bool operator==(const ChartFile&, const ChartFile&) = default;
};

// Asks where to save the chart, offering suggestedPath; nothing when the
// person cancels.
using ChartFileChooser = std::function<std::optional<ChartFile>(const QString& suggestedPath)>;

// "Chart-YYYYMMDD-hhmmss" for the UTC time: the name printed pages and saved
// pictures start from.
QString ChartFileStem(const QDateTime& utc);

// The save dialog: PNG at the chart's size on screen, PNG at twice that
// size, or PDF, and with withCsv CSV too; a name without an ending gets the
// chosen format's. It is a nested event loop: open it only from the
// person's own input.
std::optional<ChartFile> ChooseChartFile(QWidget* parent, const QString& suggestedPath, bool withCsv = false);

// The format a dialog's filter and a file name ask for; the name's ending
// wins over the filter (".csv" only withCsv), and a missing ending is added.
ChartFile ChartFileFor(QString path, const QString& filter, bool withCsv = false);

// Writes the plot as it now shows to a PNG or PDF file (titled title);
// false and why when it cannot, or for a CSV file, which is the caller's.
bool SavePlot(QCustomPlot& plot, const ChartFile& file, const QString& title, std::string& error);
// Puts the plot as it now shows on the clipboard.
void CopyPlot(QCustomPlot& plot);

}  // namespace qs
