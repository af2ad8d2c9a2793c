// The "Number Format" help window, the user-guide viewer and the About box.
#include "AboutKINOVEX.h"
#include "FormRegistry.h"
#include "Help.h"
#include "MDIForm1.h"
#include "Scripted.h"

#include "DesktopTestSupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>

#include <filesystem>
#include <memory>
#include <set>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;

namespace {

std::vector<QWidget*> helpViewers() {
    std::vector<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Kinovex Help") found.push_back(w);
    return found;
}

// The point sizes used anywhere in the text.
std::set<double> sizesIn(QTextEdit* box) {
    std::set<double> sizes;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) sizes.insert(it.fragment().charFormat().fontPointSize());
    return sizes;
}

}  // namespace

class HelpAboutTest : public QObject {
    Q_OBJECT

    std::optional<kx::test::WindowTestBed> bed;

    shell::MDIForm1* main = nullptr;

private slots:
    void init() {
        bed.emplace();
        main = new shell::MDIForm1;
        main->show();
    }
    void cleanup() { bed.reset(); }

    void theNumberFormatTextHasItsTable() {
        auto* help = new shell::Help1;
        QCOMPARE(help->Caption(), QString("Kinovex   Number Format"));
        const std::string& text = help->NumberFormatHelpText();
        QVERIFY(text.rfind("Number Format\r\n\r\nIn most text databases on thermodynamics and chemical kinetics, a "
                           "number format with the decimal point as Decimal Symbol is used. The Kinovex subroutines",
                           0) == 0);
        const std::size_t tableStart = text.find("Format Feature");
        QVERIFY(tableStart != std::string::npos);
        QVERIFY(text.compare(tableStart - 4, 4, "\r\n\r\n") == 0);
        QString table = QString::fromStdString(text.substr(tableStart));
        QVERIFY(table.endsWith("\r\n\r\n"));
        const QStringList lines = table.left(table.size() - 4).split("\r\n");
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], QString("Format Feature         Symbol       Correct         Incorrect"));
        for (int i = 1; i < 13; ++i) QCOMPARE(lines[i].size(), 67);
        QCOMPARE(lines.filter(QRegularExpression("^-{67}$")).size(), 5);
        QCOMPARE(lines[5], QString("Digit Grouping          No          123456789.00    123.456.789.00 "));
        QCOMPARE(help->RichTextBox1()->toPlainText(), QString::fromStdString(text).replace("\r\n", "\n"));
        QVERIFY(help->findChild<QAction*>("FONTMedium")->isChecked());
    }

    void eachSizeChecksOnlyItsItemAndKeepsTheSelection() {
        auto* help = new shell::Help1;
        QTextCursor selection = help->RichTextBox1()->textCursor();
        selection.setPosition(5);
        selection.setPosition(12, QTextCursor::KeepAnchor);
        help->RichTextBox1()->setTextCursor(selection);
        QCOMPARE(sizesIn(help->RichTextBox1()), (std::set<double>{11}));
        struct Case {
            const char* item;
            double size;
        } cases[] = {{"FONTSmall", 9}, {"FONTLarge", 14}, {"FONTMedium", 11}};
        for (const Case& c : cases) {
            help->findChild<QAction*>(c.item)->trigger();
            QCOMPARE(sizesIn(help->RichTextBox1()), (std::set<double>{c.size}));
            for (const char* item : {"FONTSmall", "FONTMedium", "FONTLarge"})
                QCOMPARE(help->findChild<QAction*>(item)->isChecked(), std::string(item) == c.item);
            QCOMPARE(help->RichTextBox1()->textCursor().selectionStart(), 5);
            QCOMPARE(help->RichTextBox1()->textCursor().selectionEnd(), 12);
        }
        help->FntSize(10);
        for (const char* item : {"FONTSmall", "FONTMedium", "FONTLarge"})
            QVERIFY(!help->findChild<QAction*>(item)->isChecked());
    }

    void selectAllAndCopyPutTheWholeTextOnTheClipboard() {
        auto* help = new shell::Help1;
        help->findChild<QAction*>("HELPSELALL")->trigger();
        help->findChild<QAction*>("HELPCOPY")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromStdString(help->NumberFormatHelpText()).replace("\r\n", "\n"));
    }

    void theHelpWindowsShortcutsWorkFromTheMainWindowsBar() {
        auto* help = new shell::Help1;
        shell::ShowForm(help);
        platform::BringToFront(help);
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QCOMPARE(main->menuBar()->actions(), help->menuBar()->actions());
        QVERIFY(!help->menuBar()->isVisible());
        // The menu item's shortcut, not the text box's own keys.
        int selectAll = 0;
        connect(help->findChild<QAction*>("HELPSELALL"), &QAction::triggered, [&] { ++selectAll; });
        platform::MdiFrame(help)->setFocus();
        QTest::keyClick(main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selectAll, 1);
        QCOMPARE(help->RichTextBox1()->textCursor().selectedText().size(),
                 help->RichTextBox1()->toPlainText().size());
    }

    void thePageSetUpOfTheHelpIsFixed() {
        auto* help = new shell::Help1;
        help->Set_Page_SetUp("My header", 0, 7);
        std::string header = "x";
        std::int32_t numbers = 0, first = 0;
        platform::Require<platform::HasPageSetup>(help).Get_Page_SetUp(header, numbers, first);
        QCOMPARE(header, std::string("Help"));
        QCOMPARE(numbers, 1);
        QCOMPARE(first, 1);
    }

    void closingTheHelpEndsTheProgram() {
        kx::test::EndCounter end;
        auto* help = new shell::Help1;
        help->findChild<QAction*>("HELPEXIT")->trigger();
        QVERIFY(!platform::FindForm("Help1"));
        QCOMPARE(end.count, 0);
        bed->clock->Advance(300);
        QCOMPARE(end.count, 1);
    }

    void theUserGuideOpensOnceAndAgainAfterClosingTheOldViewer() {
        ScriptedMessages messages;
        bed->folder.dir.write("AssistFiles/HelpFiles/KinovexHelp.html", kx::test::ReadBytes(KX_HELP_FILE));
        shell::ShowHelp();
        QCOMPARE(helpViewers().size(), size_t(1));
        QWidget* first = helpViewers()[0];
        QVERIFY(first->isMaximized());
        auto* browser = first->findChild<QTextBrowser*>();
        QVERIFY(browser->toPlainText().contains("Running the solver"));
        QPointer<QWidget> firstAlive(first);
        shell::ShowHelp();
        kx::test::Settle();
        QVERIFY(firstAlive.isNull());
        QCOMPARE(helpViewers().size(), size_t(1));
        QVERIFY(messages.shown().empty());
    }

    void helpWindowsOpenLargeEnoughToReadAndOnTheScreen() {
        // At least 800x600 or 70 % of the screen, as far as the place allows.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize wanted = QSize(800, 600).expandedTo(screen.size() * 0.7).boundedTo(screen.size());

        bed->folder.dir.write("AssistFiles/HelpFiles/KinovexHelp.html", kx::test::ReadBytes(KX_HELP_FILE));
        shell::ShowHelp();
        QWidget* viewer = helpViewers().at(0);
        // Where the window manager does not maximise it, it stays at this.
        const QRect normal = viewer->normalGeometry();
        QVERIFY2(normal.width() >= wanted.width() && normal.height() >= wanted.height(),
                 qPrintable(QString("%1x%2").arg(normal.width()).arg(normal.height())));
        QVERIFY(screen.contains(normal));

        // The number-format help lies in the main window's area.
        main->resize(1200, 800);
        auto* help = new shell::Help1;
        shell::ShowForm(help);
        QWidget* frame = platform::OuterWidget(help);
        const QRect area(QPoint(0, 0), main->Area()->viewport()->size());
        QVERIFY(area.contains(frame->geometry()));
        QVERIFY(frame->width() >= std::min(wanted.width(), area.width()));
        QVERIFY(frame->height() >= std::min(wanted.height(), area.height()));
    }

    void theUserGuideNamesEverySampleFileAndHowToAddACurve() {
        const QString guide = QString::fromStdString(kx::test::ReadBytes(KX_HELP_FILE));
        std::vector<std::string> samples;
        for (const auto& entry : std::filesystem::directory_iterator(KX_SAMPLES_DIR))
            if (entry.is_regular_file()) samples.push_back(entry.path().filename().string());
        QVERIFY(!samples.empty());
        for (const std::string& name : samples)
            QVERIFY2(guide.contains(QString::fromStdString("<tt>" + name + "</tt>")), name.c_str());
        // What a double click does in the results window's tables.
        QVERIFY(guide.contains("a plain double-click replaces"));
        QVERIFY(guide.contains("<b>Ctrl</b> with the double-click adds"));
        QVERIFY(!guide.contains("further curves are added"));
    }

    void aMissingUserGuideOpensNothingAndSaysNothing() {
        ScriptedMessages messages;
        shell::ShowHelp();
        QVERIFY(helpViewers().empty());
        QVERIFY(messages.shown().empty());
    }

    void theAboutBoxIsModalOverTheMainWindowUntilClosed() {
        ScriptedModals modals;
        QString shownText;
        QPoint offset;
        modals.Next([&](QDialog& d) {
            auto& about = dynamic_cast<shell::AboutKINOVEX&>(d);
            shownText = about.RichTextBox1()->toPlainText();
            offset = about.pos() - main->pos();
            about.Command1()->click();
        });
        shell::ShowAboutBox();
        QCOMPARE(modals.shown(), (std::vector<QString>{"About KINOVEX"}));
        QCOMPARE(shownText, QString("\n\n KINOVEX-II Versions 3.5\n\n") + shell::AboutText().split("\r\n")[4] +
                                "\n\n   Contact: support@kinovex.example\n   Home Page: https://kinovex.example");
        QVERIFY(shell::AboutText().split("\r\n")[4].startsWith(' '));
        QCOMPARE(offset, QPoint(platform::TwipsToPixels(2100), platform::TwipsToPixels(1500)));
        QVERIFY(!platform::FindForm("AboutKINOVEX"));

        main->EnableStartMenus();
        modals.Next([](QDialog& d) { d.reject(); });  // the close box
        main->findChild<QAction*>("ABOUTKV")->trigger();
        QCOMPARE(modals.shown().size(), size_t(2));
        QVERIFY(!platform::FindForm("AboutKINOVEX"));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "HelpAboutTest.moc"
