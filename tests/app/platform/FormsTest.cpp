// The program's list of windows, lookups, unloading and capabilities.
#include "Errors.h"
#include "Forms.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

using namespace kx::platform;

namespace {

class TextWindow : public FormWindow<QWidget>, public HasMePath {
public:
    explicit TextWindow(std::string path, QString caption) : FormWindow("RES_ShowFile"), path_(std::move(path)) {
        SetCaption(caption);
    }
    std::string MePath() const override { return path_; }
    bool QueryUnload() override {
        ++asked;
        return !refuse;
    }
    bool refuse = false;
    int asked = 0;

private:
    std::string path_;
};

class ResultsWindow : public FormWindow<QWidget>, public HasSolverFilePath {
public:
    explicit ResultsWindow(std::string path) : FormWindow("MenuForm"), path_(std::move(path)) {}
    std::string SolverFilePath() const override { return path_; }

private:
    std::string path_;
};

// Lets Qt run the deletions that closing asked for.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

class FormsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        for (Form* f : Forms()) delete f->Widget();
        SetActiveDocumentSource(nullptr);
    }

    void windowsAreListedInLoadOrderAndFoundByTypeCaptionAndPath() {
        auto* a = new TextWindow("/data/a.sol", "a.sol");
        auto* r = new ResultsWindow("/data/a.sol");
        auto* b = new TextWindow("/other/a.sol", "a.sol");
        QCOMPARE(Forms(), (std::vector<Form*>{a, r, b}));
        QCOMPARE(FindForm("res_showfile"), a);
        QCOMPARE(FindForms("RES_SHOWFILE"), (std::vector<Form*>{a, b}));
        QCOMPARE(FindForm("MENUFORM"), r);
        QCOMPARE(FindForm("SOL_RUN"), nullptr);
        QCOMPARE(FindFormByCaption("A.SOL"), a);  // the first of two alike
        QCOMPARE(FindFormByMePath("/other/a.sol"), b);
        QCOMPARE(FindFormByMePath("/OTHER/a.sol"), nullptr);  // paths compare exactly
        QCOMPARE(FindFormBySolverFilePath("/data/a.sol"), r);
        QCOMPARE(FindFormBySolverFilePath("/other/a.sol"), nullptr);
        delete r;
        QCOMPARE(Forms(), (std::vector<Form*>{a, b}));
    }

    void unloadAsksTheWindowAndMayBeRefused() {
        auto* w = new TextWindow("/x.txt", "x.txt");
        QPointer<QWidget> alive(w);
        w->refuse = true;
        QVERIFY(!Unload(w));
        QCOMPARE(Forms().size(), size_t(1));
        w->refuse = false;
        QVERIFY(Unload(w));
        QVERIFY(Forms().empty());  // gone from the list at once
        settle();
        QVERIFY(alive.isNull());  // and deleted once the event is done
    }

    void closeBoxGoesThroughTheSameQuestion() {
        auto* w = new TextWindow("/x.txt", "x.txt");
        QPointer<QWidget> alive(w);
        w->show();
        w->refuse = true;
        QVERIFY(!w->close());
        QCOMPARE(w->asked, 1);
        QVERIFY(FindForm("RES_ShowFile"));
        w->refuse = false;
        QVERIFY(w->close());
        QVERIFY(!FindForm("RES_ShowFile"));
        settle();
        QVERIFY(alive.isNull());
    }

    void unloadingAnMdiChildClosesItsFrame() {
        FormWindow<QMainWindow> main("MDIForm1");
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        auto* w = new TextWindow("/x.txt", "x.txt");
        QPointer<QMdiSubWindow> frame(area->addSubWindow(w));
        SetActiveDocumentSource([area]() -> Form* {
            return area->activeSubWindow() ? dynamic_cast<Form*>(area->activeSubWindow()->widget()) : nullptr;
        });
        main.show();
        frame->show();
        area->setActiveSubWindow(frame);
        QCOMPARE(ActiveDocument(), w);
        QVERIFY(Unload(w));
        settle();
        QVERIFY(frame.isNull());
        QCOMPARE(Forms(), (std::vector<Form*>{&main}));
    }

    // A window loaded and refused before it is shown, or any window the
    // user is not in, leaves the active window as it was when it is
    // unloaded: the user stays in the window they acted from.
    void unloadingAnotherWindowKeepsTheActiveOne() {
        FormWindow<QMainWindow> main("MDIForm1");
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        SetActiveDocumentSource([area]() -> Form* {
            return area->activeSubWindow() ? dynamic_cast<Form*>(area->activeSubWindow()->widget()) : nullptr;
        });
        main.resize(800, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto* first = new TextWindow("/a.txt", "a.txt");
        auto* second = new TextWindow("/b.txt", "b.txt");
        for (TextWindow* w : {first, second}) area->addSubWindow(w)->show();
        area->setActiveSubWindow(area->subWindowList().at(1));
        QCOMPARE(ActiveDocument(), second);

        for (bool shown : {false, true}) {
            auto* loaded = new TextWindow("/c.txt", "c.txt");
            QMdiSubWindow* frame = area->addSubWindow(loaded);
            frame->setVisible(shown);
            area->setActiveSubWindow(area->subWindowList().at(1));
            QCOMPARE(ActiveDocument(), second);
            QVERIFY(Unload(loaded));
            settle();
            QCOMPARE(ActiveDocument(), second);
        }
    }

    void requireFindsACapabilityOrRaisesTheCallersError() {
        auto* text = new TextWindow("/t.txt", "t.txt");
        auto* results = new ResultsWindow("/r.sol");
        QCOMPARE(Require<HasMePath>(text).MePath(), std::string("/t.txt"));
        try {
            Require<HasMePath>(results);
            QFAIL("no error");
        } catch (const kx::Error& e) {
            QCOMPARE(e.kind(), kx::ErrorKind::MethodNotSupported);
        }
        try {
            Require<HasMePath>(ActiveDocument());  // no active window
            QFAIL("no error");
        } catch (const kx::Error& e) {
            QCOMPARE(e.kind(), kx::ErrorKind::ObjectNotSet);
        }
    }
};

QTEST_MAIN(FormsTest)
#include "FormsTest.moc"
