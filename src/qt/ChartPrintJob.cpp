#include "qt/ChartPrintJob.h"

#include <QPrinter>

#include <string>

namespace qs {

ChartPrintJob::ChartPrintJob(QCustomPlot& plot, QString pdfFile)
    : plot_(plot), pdfFile_(std::move(pdfFile)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setDocName(QStringLiteral("Quillstone chart"));
    printer_->setColorMode(QPrinter::Color);
    if (toPdf()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfFile_);
    }
    printer_->setPageOrientation(QPageLayout::Landscape);
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
        // Pens widen with the page scale, so a bold line stays bold on paper.
        painter_.setMode(QCPPainter::pmNonCosmetic);
    } else if (!printer_->newPage()) {
        error_ = "The printer did not accept page " + std::to_string(pages_ + 1) + ".";
        return;
    }
    const QRectF page = printer_->pageRect(QPrinter::DevicePixel);
    const int height = qMax(1, qRound(kLayoutWidth * page.height() / page.width()));
    const double scale = page.width() / kLayoutWidth;
    painter_.save();
    painter_.scale(scale, scale);
    plot_.toPainter(&painter_, kLayoutWidth, height);
    painter_.restore();
    ++pages_;
}

void ChartPrintJob::finish() {
    if (painter_.isActive()) painter_.end();
}

QString ChartPrintJob::pdfFileName(const QDateTime& utc, const std::function<bool(const QString&)>& exists) {
    const QString stem = QStringLiteral("Chart-") + utc.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + QStringLiteral(".pdf");
    for (int n = 2; exists(name); ++n) name = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf");
    return name;
}

}  // namespace qs
