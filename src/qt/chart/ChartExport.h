#pragma once
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace qs {

// A picture of the chart to save, as the person chose it.
struct ChartFile {
    enum class Format { Png, PngDoubleSize, Pdf };
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
// size, or PDF; a name without an ending gets the chosen format's. It is a
// nested event loop: open it only from the person's own input.
std::optional<ChartFile> ChooseChartFile(QWidget* parent, const QString& suggestedPath);

// The format a dialog's filter and a file name ask for; the name's ending
// wins over the filter, and a missing ending is added.
ChartFile ChartFileFor(QString path, const QString& filter);

}  // namespace qs
