#include "Desktop.h"

#include <QApplication>
#include <QPageSize>
#include <QTest>

using namespace kx::platform;

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void paperCodes() {
        QCOMPARE(PaperCodeOf(QPageSize::A4), 9);
        QCOMPARE(PaperCodeOf(QPageSize::Letter), 1);
        QCOMPARE(PaperCodeOf(QPageSize::Legal), 5);
        QCOMPARE(PaperCodeOf(QPageSize::A3), 0);
        const int paper = DefaultPrinterPaper();
        QVERIFY(paper == 0 || paper == 1 || paper == 5 || paper == 9);
    }

    void twipsFollowTheScreenResolution() {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
        QCOMPARE(TwipsToPixels(1440), qRound(dpi));
        QCOMPARE(PixelsToTwips(qRound(dpi)), 1440);
        QCOMPARE(ScreenWidthTwips(), PixelsToTwips(QGuiApplication::primaryScreen()->geometry().width()));
        QVERIFY(ScreenHeightTwips() > 0);
    }

    void mousePointerIsOneSettingNotAStack() {
        SetMousePointer(kPointerHourglass);
        SetMousePointer(kPointerHourglass);
        QCOMPARE(MousePointer(), kPointerHourglass);
        QVERIFY(QApplication::overrideCursor());
        SetMousePointer(kPointerDefault);  // one reset undoes any number of sets
        QCOMPARE(MousePointer(), kPointerDefault);
        QVERIFY(!QApplication::overrideCursor());
    }

    void clipboardText() {
        ClipboardSetText("H2 + O2");
        QCOMPARE(ClipboardText(), QString("H2 + O2"));
        ClipboardClear();
        QCOMPARE(ClipboardText(), QString());
    }

    void programFolderAndEnd() {
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
        SetProgramFolder("/opt/kinovex/");
        QCOMPARE(ProgramFolder(), QString("/opt/kinovex"));
        SetProgramFolder(QString());
        int ended = 0;
        SetEndProgramHandler([&] { ++ended; });
        EndProgram();
        QCOMPARE(ended, 1);
        SetEndProgramHandler(nullptr);
    }
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
