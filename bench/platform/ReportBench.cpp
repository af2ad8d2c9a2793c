// Laying out and drawing a long text report into a PDF file, as printing
// the text of a large solver file with results does: records of 56 values
// in 17-character columns, 50 values to a line, so every line wraps over
// several printed lines.
#include "Report.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

QString resultsText(int records) {
    QString text;
    for (int r = 0; r < records; ++r) {
        QString line;
        for (int v = 0; v < 56; ++v) {
            line += QString("%1").arg(1.234567e-3 * (r + 1) * (v + 1), 17, 'E', 8);
            if (v == 49) {
                text += line + '\n';
                line.clear();
            }
        }
        text += line + '\n';
    }
    return text;
}

void BM_TextReportToPdf(benchmark::State& state) {
    const QString text = resultsText(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        kx::platform::Report report("PRINT_PREVIEW");
        report.MarginTop = report.MarginBottom = 1440;
        report.PageHeader.height = 460;
        report.PageHeader.font = kx::platform::SansPrintFont(9, true);
        report.PageHeader.labels = {{720, 0, 1440, 360, Qt::AlignLeft, "", true}};
        report.PageHeaderFormat = [](kx::platform::Report& r) {
            r.PageHeader.labels[0].text = QString::number(r.PageNumber());
        };
        report.Field = kx::platform::ReportTextField{720, 10433, text, kx::platform::MonospacePrintFont(10)};
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("bench.pdf"));
        printer.setFullPage(true);
        printer.setPageLayout(report.PageLayout());
        pages = report.Render(printer);
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = text.size() / 1e6;
}
BENCHMARK(BM_TextReportToPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
