// Reading the pages of a printed PDF file in tests, through the poppler
// tools (pdfinfo, pdftotext, pdftoppm; tools/deps.sh installs them).
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace kx::test {

// The standard output of a tool; a tool that is missing or fails raises.
inline QByteArray RunPdfTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error((tool + " " + arguments.join(' ') + " failed: " + process.errorString() + " " +
                                  QString::fromLocal8Bit(process.readAllStandardError()))
                                     .toStdString());
    return process.readAllStandardOutput();
}

inline int PdfPageCount(const QString& pdf) {
    const QString info = QString::fromUtf8(RunPdfTool("pdfinfo", {pdf}));
    const QRegularExpressionMatch m = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The size of a page (from 1) in points, width across.
inline QSizeF PdfPageSize(const QString& pdf, int page) {
    const QString info =
        QString::fromUtf8(RunPdfTool("pdfinfo", {"-f", QString::number(page), "-l", QString::number(page), pdf}));
    const QRegularExpressionMatch m =
        QRegularExpression(R"(Page\s+\d+\s+size:\s+([\d.]+)\s+x\s+([\d.]+)\s+pts)").match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// The text of a page (from 1) in its physical layout.
inline QString PdfPageText(const QString& pdf, int page) {
    return QString::fromUtf8(
        RunPdfTool("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"}));
}

// A word of a page and its box in points from the page's top-left corner.
struct PdfWord {
    QString text;
    QRectF box;
};

// The words of a page (from 1) in reading order, with their boxes.
inline std::vector<PdfWord> PdfPageWords(const QString& pdf, int page) {
    const QString html = QString::fromUtf8(
        RunPdfTool("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"}));
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(5);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
        words.push_back({text, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// A page (from 1) as a grey image at the resolution (dots per inch), or in
// its colours.
inline QImage PdfPageImage(const QString& pdf, int page, int dpi, bool grey = true) {
    QStringList arguments{"-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page), pdf};
    if (grey) arguments.prepend("-gray");
    QImage image;
    image.loadFromData(RunPdfTool("pdftoppm", arguments));
    return image;
}

// The smallest rectangle holding every pixel darker than white on the
// image; empty for a blank page.
inline QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace kx::test
