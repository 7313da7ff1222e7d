#include "qt/chart/ChartPrintJob.h"

#include <QPrinter>

#include <string>

#include "qt/chart/ChartExport.h"

namespace qs {

namespace {
// Room left around the chart on every side of the page.
constexpr double kPageMarginMm = 12.0;
}  // namespace

// A job goes to a PDF file on a machine without a printer so that printing
// never silently does nothing. The printer is opened with the first page, so
// a job that prints no page never touches it.
//
// Each page holds the whole chart, laid out for the page's printable area as
// for a window of that size: the printer counts its pixels at the screen's
// resolution, where the layout measures its fonts, so every text keeps the
// point size of its font on paper and axes, labels and titles fit the page.
// Lines and text stay vectors whatever that resolution.
ChartPrintJob::ChartPrintJob(QCustomPlot& plot, QString pdfFile)
    : plot_(plot), pdfFile_(std::move(pdfFile)), printer_(std::make_unique<QPrinter>(QPrinter::ScreenResolution)) {
    printer_->setDocName(QStringLiteral("Quillstone chart"));
    printer_->setColorMode(QPrinter::Color);
    if (toPdf()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfFile_);
    }
    printer_->setPageOrientation(QPageLayout::Landscape);
    printer_->setPageMargins(QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                             QPageLayout::Millimeter);
}

ChartPrintJob::~ChartPrintJob() { finish(); }

void ChartPrintJob::addPage() {
    if (failed()) return;
    if (pages_ == 0) {
        if (!painter_.begin(printer_.get())) {
            error_ = toPdf() ? "Cannot write the PDF file \"" + pdfFile_.toStdString() + "\"."
                             : std::string("The default printer cannot be opened.");
            return;
        }
        painter_.setMode(QCPPainter::pmVectorized);
        painter_.setMode(QCPPainter::pmNoCaching);
        // A hairline pen becomes a pen of one layout pixel, so every line
        // keeps its width relative to the chart on paper.
        painter_.setMode(QCPPainter::pmNonCosmetic);
    } else if (!printer_->newPage()) {
        error_ = "The printer did not accept page " + std::to_string(pages_ + 1) + ".";
        return;
    }
    // The painter's origin is the printable area's corner.
    const QRect area = printer_->pageLayout().paintRectPixels(printer_->resolution());
    painter_.save();
    plot_.toPainter(&painter_, area.width(), area.height());
    painter_.restore();
    ++pages_;
}

void ChartPrintJob::finish() {
    if (painter_.isActive()) painter_.end();
}

QString ChartPrintJob::pdfFileName(const QDateTime& utc, const std::function<bool(const QString&)>& exists) {
    const QString stem = ChartFileStem(utc);
    QString name = stem + QStringLiteral(".pdf");
    for (int n = 2; exists(name); ++n) name = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf");
    return name;
}

}  // namespace qs
