// The main window at work: the deferred exit, the deferred opening of the
// run-settings window, bringing a window to the front, the toolbars, the
// chart-text panel and the arrangement of the document windows.
#include "FormRegistry.h"
#include "Icons.h"
#include "MDIForm1.h"
#include "Scripted.h"

#include "DesktopTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;
using kx::test::CallLog;
using kx::test::StubChartWindow;
using kx::test::StubTextWindow;
using kx::test::StubToolDialog;

namespace {

// A document window that records its activation events.
class ActivationWindow : public platform::FormWindow<QWidget>, public platform::HasActivation {
public:
    ActivationWindow(CallLog& log, const QString& caption) : FormWindow("RES_ShowFile"), log_(log) { SetCaption(caption); }
    void Form_Activate() override { log_.push_back(Caption().toStdString() + " activated"); }
    void Form_Deactivate() override { log_.push_back(Caption().toStdString() + " deactivated"); }

private:
    CallLog& log_;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::optional<kx::test::WindowTestBed> bed;

    shell::MDIForm1* main = nullptr;
    CallLog log;

    // Puts a new document window into the main window's area, shown and active.
    template <class Window>
    static Window* showDocument(Window* w) {
        shell::PlaceForm(w);
        shell::ShowForm(w);
        platform::BringToFront(w);
        return w;
    }
    StubTextWindow* openText(const QString& caption) {
        auto* w = new StubTextWindow(log);
        w->SetCaption(caption);
        return showDocument(w);
    }
    StubChartWindow* openChart() {
        auto* w = new StubChartWindow(log);
        w->SetCaption("Temporary Chart ");
        return showDocument(w);
    }
    static QMdiSubWindow* frame(platform::Form* f) { return platform::MdiFrame(f); }

private slots:
    void init() {
        bed.emplace();
        log.clear();
        main = new shell::MDIForm1;
        main->resize(1000, 700);
        main->show();
    }
    void cleanup() { bed.reset(); }

    void withoutADocumentTheMainWindowShowsItsOwnMenusAndNoEmptyOne() {
        auto shownMenus = [this] {
            QStringList shown;
            for (QAction* a : main->menuBar()->actions())
                if (a->isVisible()) {
                    shown << a->text();
                    if (!a->menu() || a->menu()->actions().isEmpty()) shown << "(empty)";
                }
            return shown;
        };
        QCOMPARE(shownMenus(), (QStringList{"File", "Help"}));
        for (const char* nothingToDo : {"CLOSE", "SAVE", "SAVEAS"})
            QVERIFY2(!main->findChild<QMenu*>("FILE")->findChild<QAction*>(nothingToDo)->isEnabled(), nothingToDo);

        // A document window with menus of its own lends them to the bar
        // while it is active.
        auto* doc = new platform::FormWindow<QMainWindow>("MenuForm");
        doc->menuBar()->addMenu("Results")->addAction("Species");
        showDocument(doc);
        QCOMPARE(shownMenus(), QStringList{"Results"});
        platform::Unload(doc);
        kx::test::Settle();
        QCOMPARE(shownMenus(), (QStringList{"File", "Help"}));
    }

    void everyToolbarButtonHasAPictureAndATip() {
        // The program's icon theme, when installed, gives every picture.
        const bool themed = !platform::IconThemeName().isEmpty();
        for (platform::Toolbar* bar : {main->Toolbar2(), main->Toolbar5()}) {
            int buttons = 0;
            for (int i = 1; i <= bar->ButtonCount(); ++i) {
                QAction* b = bar->Button(i);
                if (b->isSeparator()) continue;
                ++buttons;
                const QString key = b->objectName();
                QVERIFY2(!b->icon().isNull(), qPrintable(key));
                QVERIFY2(!b->icon().pixmap(bar->iconSize()).isNull(), qPrintable(key));
                QVERIFY2(!b->toolTip().trimmed().isEmpty(), qPrintable(key));
                if (themed) QVERIFY2(!b->icon().name().isEmpty(), qPrintable(key));
            }
            QCOMPARE(buttons, bar == main->Toolbar2() ? 10 : 8);
        }
    }

    void exitStopsAtAWindowWhoseUserCancelsAndATryLaterEnds() {
        kx::test::EndCounter end;
        StubTextWindow* first = openText("first.txt");
        StubTextWindow* second = openText("second.txt");
        QPointer<QWidget> secondAlive(second);
        first->closing = StubTextWindow::Closing::CancelAtPrompt;
        for (const char* name : {"KINA03.TMP", "KINA02.TMP", "CHEM01.TMP", "TmpPlot.txt", "SolverFilePath.txt"})
            files::WriteAll(bed->folder.working(name), "x");
        const std::string working = WorkingFolder();
        const std::string shared = bed->folder.dir.write("AssistFiles/SolverData.txt", "x");
        bed->folder.dir.write("SOLTMP.txt", "x");

        main->findChild<QAction*>("EXIT")->trigger();
        bed->clock->Advance(299);
        QVERIFY(platform::FindForm("RES_ShowFile"));
        bed->clock->Advance(1);
        QCOMPARE(end.count, 0);
        QCOMPARE(platform::Forms(), (std::vector<platform::Form*>{main, first, second}));
        QVERIFY(files::Exists(working + "KINA03.TMP"));

        // The close box starts the same deferred exit, from the start.
        first->closing = StubTextWindow::Closing::Accept;
        QVERIFY(!main->close());
        QVERIFY(main->isVisible());
        QCOMPARE(end.count, 0);
        bed->clock->Advance(300);
        QCOMPARE(end.count, 1);
        QVERIFY(platform::Forms().empty());
        // This copy's working files go with their folder.
        QVERIFY(!std::filesystem::exists(working));
        QVERIFY(files::Exists(shared));
        QVERIFY(!files::Exists(bed->folder.dir.file("SOLTMP.txt")));
        kx::test::Settle();
        QVERIFY(secondAlive.isNull());
    }

    void anEarlierCancelledPromptDoesNotStopALaterExit() {
        kx::test::EndCounter end;
        new platform::FormWindow<QWidget>("PLOT");  // closes without touching the flag
        Shared().CloseRefused = true;  // left by a save prompt cancelled outside any exit
        shell::RequestExit();
        bed->clock->Advance(300);
        QCOMPARE(end.count, 1);
        QVERIFY(platform::Forms().empty());
    }

    void aWindowThatStaysStopsTheExitEvenWithoutTheFlag() {
        kx::test::EndCounter end;
        StubTextWindow* stays = openText("draft.txt");
        stays->closing = StubTextWindow::Closing::StayWithoutFlag;
        shell::RequestExit();
        bed->clock->Advance(300);
        QCOMPARE(end.count, 0);
        QVERIFY(platform::FindForm("RES_ShowFile"));
        QVERIFY(platform::FindForm("MDIForm1"));
    }

    void aSecondRunRequestWithinHalfASecondOpensOneWindowForTheSecondFile() {
        int created = 0;
        shell::FormCreatorInstallation run(shell::kRunSettingsWindow, [&] {
            ++created;
            return new StubToolDialog(log, shell::kRunSettingsWindow);
        });
        shell::Timer3Run("/data/a.sol", "a.sol");
        bed->clock->Advance(300);
        shell::Timer3Run("/data/b.sol", "b.sol");
        bed->clock->Advance(199);
        QCOMPARE(created, 0);
        bed->clock->Advance(1);
        QCOMPARE(created, 1);
        QCOMPARE(log, (CallLog{"GETPASS /data/b.sol | b.sol"}));
        platform::Form* first = platform::FindForm("SOL_RUN");
        QVERIFY(first && first->Widget()->isVisible());
        QCOMPARE(first->Widget()->parentWidget(), main);  // owned by the main window, not modal
        QVERIFY(!qobject_cast<QDialog*>(first->Widget())->isModal());
        bed->clock->Advance(2000);
        QCOMPARE(created, 1);

        // A later request replaces the open window.
        shell::Timer3Run("/data/c.sol", "c.sol");
        bed->clock->Advance(500);
        QCOMPARE(created, 2);
        QCOMPARE(platform::FindForms("SOL_RUN").size(), size_t(1));
        QVERIFY(platform::FindForm("SOL_RUN") != first);
    }

    void aDialogOpensAtLeastAtItsSizeHintInsideTheMainWindow() {
        main->setGeometry(QRect(40, 30, 700, 500));
        shell::FormCreatorInstallation run(shell::kRunSettingsWindow, [] {
            auto* dialog = new platform::FormWindow<QDialog>(shell::kRunSettingsWindow);
            auto* layout = new QVBoxLayout(dialog);
            layout->addWidget(new QLabel(QString(30, 'W'), dialog));
            // Too small for its content, and out to the right.
            dialog->resize(50, 40);
            dialog->move(1500, 60);
            return dialog;
        });
        platform::Form* form = shell::LoadForm(shell::kRunSettingsWindow);
        shell::ShowForm(form);
        QWidget* dialog = form->Widget();
        QVERIFY(dialog->width() >= dialog->sizeHint().width() && dialog->height() >= dialog->sizeHint().height());
        QVERIFY2(main->geometry().contains(dialog->frameGeometry()),
                 qPrintable(QString("%1,%2 %3x%4").arg(dialog->x()).arg(dialog->y()).arg(dialog->width()).arg(dialog->height())));
    }

    void aRunRequestWithoutTheRunWindowIsReported() {
        ScriptedMessages messages;
        main->Timer3Run("/data/a.sol", "a.sol");
        bed->clock->Advance(500);
        QCOMPARE(messages.lastText(), QString("MDI#017-1 This part of the program is not available: SOL_RUN"));
        QCOMPARE(messages.shown()[0].style, 48);
    }

    void aWindowNamedInAnyCaseComesToTheFrontLater() {
        StubTextWindow* doc1 = openText("Text Doc1");
        StubTextWindow* doc2 = openText("h2_air.txt");
        QCOMPARE(platform::ActiveDocument(), doc2);
        std::string caption = "text doc1";
        main->ZordTimer(caption);
        QCOMPARE(caption, std::string("TEXT DOC1"));
        bed->clock->Advance(299);
        QCOMPARE(platform::ActiveDocument(), doc2);
        bed->clock->Advance(1);
        QCOMPARE(platform::ActiveDocument(), doc1);

        std::string unknown = "no such window";
        main->ZordTimer(unknown);
        bed->clock->Advance(300);
        QCOMPARE(platform::ActiveDocument(), doc1);
    }

    // While another program (another running copy of this one) is the
    // active application, the document window that was active stays the
    // one that toolbars and dialogs act on.
    void theActiveDocumentStaysWhileAnotherProgramIsActive() {
        openText("Text Doc1");
        StubTextWindow* doc2 = openText("h2_air.txt");
        QCOMPARE(platform::ActiveDocument(), doc2);
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(main, &deactivate);
        QEvent away(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &away);
        QCOMPARE(platform::ActiveDocument(), doc2);
    }

    void toolbarSetsFollowTheModeAndThePanelKeepsItsPlace() {
        struct Case {
            int mode;
            bool chart, text;
        } cases[] = {{2, true, false}, {3, true, false}, {5, false, true}, {1, false, false},
                     {5, false, true}, {4, false, false}, {2, true, false}, {0, false, false}};
        for (const Case& c : cases) {
            shell::SetMainToolbars(c.mode);
            QCOMPARE(!main->Toolbar2()->isHidden(), c.chart);
            QCOMPARE(!main->Toolbar5()->isHidden(), c.text);
        }
        // The panel stands right of the chart toolbar's buttons, its three
        // controls side by side, the caption box wide enough for its text.
        shell::SetMainToolbars(2);
        QToolBar* chartBar = main->Toolbar2();
        QAction* lastButton = chartBar->actions().last();
        const int buttonsEnd = chartBar->x() + chartBar->widgetForAction(lastButton)->geometry().right();
        QVERIFY(main->Text8()->x() >= platform::TwipsToPixels(4660));
        QVERIFY(main->Text8()->x() > buttonsEnd);
        QVERIFY(main->RichTextBox6()->x() > main->Text8()->geometry().right());
        QVERIFY(main->Command3()->x() > main->RichTextBox6()->geometry().right());
        QVERIFY(main->Text8()->width() >= main->Text8()->fontMetrics().horizontalAdvance("New Annotation"));
    }

    void textToolbarButtonsHaveFixedPlacesAndCallTheActiveWindow() {
        const char* order[] = {"SAVE", nullptr, "PRINT", nullptr, "TXT_CUT", "TXT_COPY", "TXT_PASTE", nullptr,
                               "RICH_UNDO", "RICH_REDO", nullptr, "FIND"};
        QCOMPARE(main->Toolbar5()->ButtonCount(), 12);
        for (int i = 1; i <= 12; ++i) {
            QAction* b = main->Toolbar5()->Button(i);
            if (!order[i - 1])
                QVERIFY(b->isSeparator());
            else
                QCOMPARE(b->objectName(), QString(order[i - 1]));
        }
        openText("notes.txt");
        for (const char* key : {"SAVE", "TXT_CUT", "TXT_COPY", "TXT_PASTE", "RICH_UNDO", "RICH_REDO"})
            main->Toolbar5()->Button(QString(key))->trigger();
        QCOMPARE(log, (CallLog{"SVTXT false", "TEXT_CUT", "TEXT_COPY", "ClipInRich", "Rich_Undo", "Rich_Redo"}));
    }

    void chartToolbarButtonsCallTheActiveChart() {
        openChart();
        for (const char* key : {"SAVE", "CUTSUBSET", "SAVESUBSET", "PASTESUBSET", "SHOWTEXT", "GRIDLINE", "MARKER",
                                "LEGEND"})
            main->Toolbar2()->Button(QString(key))->trigger();
        QCOMPARE(log, (CallLog{"SaveTT", "CUTSS", "SAVESS", "PASTESS", "SHOWALLTEXT", "GridLine", "MarkDataPnt",
                               "ViewingStyle"}));
        QCOMPARE(main->Toolbar2()->Button(1)->objectName(), QString("SAVE"));
        QVERIFY(main->Toolbar2()->Button(QString("save")) == nullptr);  // keys in their own letter case
    }

    void aButtonForAnotherKindOfWindowIsReportedAsAnErrorOfTheAction() {
        ScriptedMessages messages;
        openChart();
        main->Toolbar5()->Button(QString("TXT_COPY"))->trigger();
        QCOMPARE(messages.lastText(),
                 QString("MDI#017. The window does not support this property or method: PLOT"));
        openText("notes.txt");
        main->Toolbar2()->Button(QString("GRIDLINE"))->trigger();
        QCOMPARE(messages.lastText(),
                 QString("MDI#016. The window does not support this property or method: RES_ShowFile"));
        QCOMPARE(messages.shown().size(), size_t(2));
        QVERIFY(log.empty());
    }

    void printOpensItsSetUpModallyAndFindStaysBesideTheText() {
        ScriptedModals modals;
        shell::FormCreatorInstallation pageSetup(shell::kTextPageSetup, [&] {
            auto* d = new StubToolDialog(log, shell::kTextPageSetup);
            d->setWindowTitle("Page Setup");
            return d;
        });
        shell::FormCreatorInstallation find(shell::kFindWindow, [&] { return new StubToolDialog(log, "RES_FIND"); });
        openText("notes.txt");
        bool wasModal = false;
        modals.Next([&](QDialog& d) {
            wasModal = true;
            QCOMPARE(d.parentWidget(), main);
            d.accept();
        });
        main->Toolbar5()->Button(QString("PRINT"))->trigger();
        QVERIFY(wasModal);
        QCOMPARE(modals.shown(), (std::vector<QString>{"Page Setup"}));
        QVERIFY(!platform::FindForm("RES_PAGESETUP"));

        main->Toolbar5()->Button(QString("FIND"))->trigger();
        platform::Form* findWindow = platform::FindForm("RES_FIND");
        QVERIFY(findWindow && findWindow->Widget()->isVisible());
        main->Toolbar5()->Button(QString("FIND"))->trigger();  // the open one again
        QCOMPARE(platform::FindForms("RES_FIND").size(), size_t(1));
        QCOMPARE(modals.shown().size(), size_t(1));
    }

    void thePanelAppliesItsTextByLabel() {
        StubChartWindow* chart = openChart();
        Q_UNUSED(chart);
        struct Case {
            const char* label;
            int subset;
            CallLog calls;
        } cases[] = {
            {"Main Title", 0, {"MainTitle=T", "Apply", "MustSave"}},
            {"  SubTitle ", 0, {"SubTitle=T", "Apply", "MustSave"}},
            {"XAxis Label", 0, {"XAxisLabel=T", "Apply", "MustSave"}},
            {"YAxis Label", 0, {"YAxisLabel=T", "Apply", "MustSave"}},
            {"SubSet Label", 2, {"SubsetLabels(2)=T", "Apply", "MustSave"}},
            {"New Annotation", 0, {"TextAnnotationsNew", "Apply", "MustSave"}},
            {"Annotation", 0, {"TextAnnotationsOld", "Apply", "MustSave"}},
            {"main title", 0, {"Apply", "MustSave"}},
        };
        for (const Case& c : cases) {
            log.clear();
            main->SetMode(true, c.subset);
            main->Text8()->setText(c.label);
            main->RichTextBox6()->setText("T");
            main->Command3()->click();
            QCOMPARE(log, c.calls);
        }
        // Enter in the text box does what OK does.
        log.clear();
        main->Text8()->setText("Main Title");
        main->RichTextBox6()->setText("Ignition");
        QTest::keyClick(main->RichTextBox6(), Qt::Key_Return);
        QCOMPARE(log, (CallLog{"MainTitle=Ignition", "Apply", "MustSave"}));
    }

    void thePanelOpensForANewAnnotationAndHides() {
        openChart();
        QVERIFY(main->Text8()->isHidden());
        main->Toolbar2()->Button(QString("ANNOTATIONS"))->trigger();
        QVERIFY(!main->Text8()->isHidden() && !main->RichTextBox6()->isHidden() && !main->Command3()->isHidden());
        QCOMPARE(main->Text8()->text(), QString("New Annotation"));
        QCOMPARE(main->SubsetIndex(), 0);
        main->RichTextBox6()->setText("peak");
        main->SetMode(false, 0);
        QVERIFY(main->Text8()->isHidden() && main->RichTextBox6()->isHidden() && main->Command3()->isHidden());
        QVERIFY(main->RichTextBox6()->text().isEmpty());
    }

    // The panel is the chart's that opened it: out of sight while another
    // window is active (its OK could only fail there), back as it was left
    // when the chart is active again, and gone for good once closed.
    void thePanelShowsOnlyWhileTheWindowThatOpenedItIsActive() {
        // The panel's controls in sight: 3 or none.
        const auto panelShown = [this] {
            int shown = 0;
            for (QWidget* w : std::initializer_list<QWidget*>{main->Text8(), main->RichTextBox6(), main->Command3()})
                shown += w->isHidden() ? 0 : 1;
            return shown;
        };
        StubChartWindow* chart = openChart();
        main->Toolbar2()->Button(QString("ANNOTATIONS"))->trigger();
        main->RichTextBox6()->setText("peak");
        QCOMPARE(panelShown(), 3);

        StubTextWindow* text = openText("notes.txt");
        QCOMPARE(platform::ActiveDocument(), static_cast<platform::Form*>(text));
        QCOMPARE(panelShown(), 0);
        StubChartWindow* other = openChart();
        QCOMPARE(panelShown(), 0);  // another chart's: not this one's panel

        platform::BringToFront(chart);
        QCOMPARE(panelShown(), 3);
        QCOMPARE(main->Text8()->text(), QString("New Annotation"));
        QCOMPARE(main->RichTextBox6()->text(), QString("peak"));
        log.clear();
        main->Command3()->click();
        QCOMPARE(log, (CallLog{"TextAnnotationsNew", "Apply", "MustSave"}));

        // Closed, it stays closed whichever window comes.
        main->SetMode(false, 0);
        platform::BringToFront(text);
        platform::BringToFront(chart);
        QCOMPARE(panelShown(), 0);
        // Opened on the other chart, and that chart closed: the panel goes with it.
        platform::BringToFront(other);
        main->SetMode(true, 0);
        QCOMPARE(panelShown(), 3);
        platform::BringToFront(text);
        platform::Unload(other);
        platform::BringToFront(chart);
        QCOMPARE(panelShown(), 0);
    }

    void thePanelOnAWindowThatIsNoChartIsReported() {
        ScriptedMessages messages;
        openText("notes.txt");
        main->Text8()->setText("Main Title");
        main->PlotTxtOK();
        QCOMPARE(messages.lastText(),
                 QString("MDI#010 The window does not support this property or method: RES_ShowFile"));
        QCOMPARE(main->Text8()->text(), QString("Main Title"));
    }

    void activatingTheMainWindowAsksTheActiveDocumentForItsToolbar() {
        openText("notes.txt");
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(main, &activate);
        QCOMPARE(log, (CallLog{"ToolBr"}));
        // No active document: nothing happens, nothing is shown.
        ScriptedMessages messages;
        main->Area()->closeAllSubWindows();
        QCoreApplication::sendEvent(main, &activate);
        QVERIFY(messages.shown().empty());
    }

    void documentWindowsHearWhenTheyBecomeActiveAndWhenTheyStopBeing() {
        std::vector<ActivationWindow*> windows;
        for (const char* caption : {"a.txt", "b.txt"})
            windows.push_back(showDocument(new ActivationWindow(log, caption)));
        QCOMPARE(log, (CallLog{"a.txt activated", "a.txt deactivated", "b.txt activated"}));
        log.clear();
        platform::BringToFront(windows[0]);
        QCOMPARE(log, (CallLog{"b.txt deactivated", "a.txt activated"}));
        log.clear();
        platform::BringToFront(windows[0]);
        QVERIFY(log.empty());
    }

    void aMainWindowBeingDestroyedCallsNoDocumentWindow() {
        for (const char* caption : {"a.txt", "b.txt", "c.txt"}) showDocument(new ActivationWindow(log, caption));
        log.clear();
        // The document windows go with the main window, the active one
        // first: the rest must not be activated by a window that is gone.
        delete main;
        main = nullptr;
        QVERIFY2(log.empty(), log.empty() ? "" : log.front().c_str());
        QVERIFY(platform::Forms().empty());
    }

    void windowsAreTiledOrCascadedOverTheWholeArea() {
        std::vector<platform::Form*> docs = {openText("a.txt"), openText("b.txt"), openText("c.txt")};
        const QSize area = main->Area()->viewport()->size();
        main->ArrangeChildren(1);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(frame(docs[i])->width(), area.width());
            QCOMPARE(frame(docs[i])->y(), i * (area.height() / 3));
        }
        main->ArrangeChildren(2);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(frame(docs[i])->height(), area.height());
            QCOMPARE(frame(docs[i])->x(), i * (area.width() / 3));
        }
        // Cascade: one size for all, reaching the area's right and bottom
        // edges, the window in front (the last opened) at the last step.
        main->ArrangeChildren(0);
        QCOMPARE(frame(docs[0])->pos(), QPoint(0, 0));
        for (int i = 0; i < 3; ++i) QCOMPARE(frame(docs[i])->size(), frame(docs[0])->size());
        QCOMPARE(frame(docs[2])->geometry().bottomRight(), QRect(QPoint(0, 0), area).bottomRight());
        QVERIFY(frame(docs[1])->x() > 0 && frame(docs[1])->x() < frame(docs[2])->x());
        QCOMPARE(platform::ActiveDocument(), docs[2]);

        frame(docs[1])->showMinimized();
        main->ArrangeChildren(3);
        QCOMPARE(frame(docs[1])->x(), 0);
        QCOMPARE(frame(docs[1])->y() + frame(docs[1])->height(), area.height());

        ScriptedMessages messages;
        main->ArrangeChildren(7);
        QCOMPARE(messages.lastText(), QString("MDI#011. Invalid procedure call or argument: arrangement 7"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
