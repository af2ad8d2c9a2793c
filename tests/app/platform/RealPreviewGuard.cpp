// Shows a real print preview with KX_NO_REAL_MODALS set: the program must
// end at once with a failure instead of waiting for a user.
#include "Report.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    qputenv("KX_NO_REAL_MODALS", "1");
    QApplication app(argc, argv);
    kx::platform::Report report("GUARD");
    report.Field = kx::platform::ReportTextField{720, 10000, "Nobody will print this.", kx::platform::MonospacePrintFont(10)};
    kx::platform::ShowReport(report);
    return 0;  // reached only when the preview did not wait: still a failure below
}
