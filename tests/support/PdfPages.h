// Reading the pages of a printed PDF file in tests, through the poppler
// tools (pdfinfo, pdftotext, pdftoppm; tools/deps.sh installs them).
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <stdexcept>

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

// A page (from 1) as a grey image at the resolution (dots per inch).
inline QImage PdfPageImage(const QString& pdf, int page, int dpi) {
    QImage image;
    image.loadFromData(RunPdfTool("pdftoppm", {"-gray", "-r", QString::number(dpi), "-f", QString::number(page),
                                               "-l", QString::number(page), pdf}));
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
