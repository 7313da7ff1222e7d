#pragma once
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace qs::test {

// A PDF as poppler reads it back: each page's size in points (pdfinfo) and
// the words on it with their boxes (pdftotext -bbox), so a test looks at what
// a reader of the page would see.
struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
    bool landscape() const { return width > height; }
    QStringList texts() const {
        QStringList t;
        for (const PdfWord& w : words) t << w.text;
        return t;
    }
};

// The output of a poppler tool; empty when it failed.
inline QString RunPoppler(const QString& tool, const QStringList& arguments) {
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline std::vector<PdfPage> ReadPdf(const QString& path) {
    std::vector<PdfPage> pages;
    const QString info = RunPoppler(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                                QStringLiteral("-l"), QStringLiteral("1000"), path});
    const QRegularExpression size(QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                  QRegularExpression::MultilineOption);
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
    }
    const QString boxes = RunPoppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    const QRegularExpression pageStart(QStringLiteral("<page "));
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    const QStringList perPage = boxes.split(pageStart);
    for (int i = 1; i < perPage.size() && i <= static_cast<int>(pages.size()); ++i)
        for (auto it = word.globalMatch(perPage[i]); it.hasNext();) {
            const auto m = it.next();
            pages[static_cast<std::size_t>(i - 1)].words.push_back(
                {m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                 m.captured(4).toDouble()});
        }
    return pages;
}

}  // namespace qs::test
