// The main window's menu bar following the active document window.
#include "DocumentMenuBar.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using kx::platform::DocumentMenuBar;
using kx::platform::DocumentMenus;

namespace {

// The captions of the menus in a bar, as far as they are visible.
QStringList captions(const QMenuBar* bar) {
    QStringList shown;
    for (const QAction* a : bar->actions())
        if (a->isVisible()) shown << a->text();
    return shown;
}

QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& keys, int& count) {
    QAction* a = menu->addAction(caption);
    a->setShortcut(keys);
    QObject::connect(a, &QAction::triggered, [&count] { ++count; });
    return a;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

class DocumentMenusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> main;
    QMdiArea* area = nullptr;
    DocumentMenus* menus = nullptr;
    int ownCount = 0, textSaves = 0, chartSaves = 0;

    // A document window of the kind the program's text window is.
    QMainWindow* textDocument() {
        auto* w = new QMainWindow;
        w->setWindowTitle("text");
        QMenu* file = w->menuBar()->addMenu("File");
        addItem(file, "Save", QKeySequence("Ctrl+S"), textSaves);
        w->menuBar()->addMenu("Edit")->addAction("Copy");
        w->setCentralWidget(new QWidget);
        return w;
    }
    // A plain widget with a bar of its own in its layout.
    QWidget* chartDocument() {
        auto* w = new QWidget;
        w->setWindowTitle("chart");
        auto* layout = new QVBoxLayout(w);
        auto* bar = new QMenuBar(w);
        layout->setMenuBar(bar);
        addItem(bar->addMenu("Chart"), "Save Chart", QKeySequence("Ctrl+S"), chartSaves);
        return w;
    }
    QMdiSubWindow* show(QWidget* document) {
        QMdiSubWindow* sub = area->addSubWindow(document);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        area->setActiveSubWindow(sub);
        return sub;
    }

private slots:
    void init() {
        ownCount = textSaves = chartSaves = 0;
        main = std::make_unique<QMainWindow>();
        area = new QMdiArea;
        main->setCentralWidget(area);
        addItem(main->menuBar()->addMenu("File"), "Open...", QKeySequence("Ctrl+O"), ownCount);
        main->menuBar()->addMenu("Help")->addAction("About");
        menus = new DocumentMenus(main->menuBar(), area);
        main->resize(900, 600);
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }
    void cleanup() {
        main.reset();
        settle();
    }

    void theActiveDocumentsMenusStandInTheMainBarAndItsOwnBarIsHidden() {
        QMainWindow* text = textDocument();
        QWidget* chart = chartDocument();
        auto* plain = new QWidget;
        QMdiSubWindow* textFrame = show(text);
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit"}));
        QCOMPARE(main->menuBar()->actions(), text->menuBar()->actions());
        QVERIFY(text->menuBar()->isHidden());
        QCOMPARE(menus->ShownDocument(), text);

        show(chart);
        QCOMPARE(captions(main->menuBar()), QStringList{"Chart"});
        QVERIFY(DocumentMenuBar(chart)->isHidden());
        QVERIFY(text->menuBar()->isHidden());

        // A document window without menus shows the main window's own.
        show(plain);
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Help"}));
        QCOMPARE(menus->ShownDocument(), nullptr);

        area->setActiveSubWindow(textFrame);
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit"}));
        // Only one bar is to be seen.
        QVERIFY(!text->menuBar()->isVisible() && !DocumentMenuBar(chart)->isVisible());
    }

    void closingTheLastDocumentBringsBackTheMainWindowsOwnMenus() {
        QPointer<QMdiSubWindow> first = show(textDocument());
        QPointer<QMdiSubWindow> second = show(chartDocument());
        second->close();
        settle();
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit"}));
        first->close();
        settle();
        QVERIFY(first.isNull() && second.isNull());
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Help"}));
        QCOMPARE(menus->ShownDocument(), nullptr);
    }

    void shortcutsReachTheMenusOfTheActiveDocumentOnly() {
        QMdiSubWindow* text = show(textDocument());
        QMdiSubWindow* chart = show(chartDocument());
        QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(chartSaves, 1);
        QCOMPARE(textSaves, 0);

        area->setActiveSubWindow(text);
        QTest::keyClick(main.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(textSaves, 1);
        QCOMPARE(chartSaves, 1);
        // The main window's own items are away while a document's are shown.
        QTest::keyClick(main.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(ownCount, 0);

        text->close();
        chart->close();
        settle();
        QTest::keyClick(main.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(ownCount, 1);
        QCOMPARE(textSaves + chartSaves, 2);
    }

    void menusChangedLaterFollowInTheMainBar() {
        QMainWindow* text = textDocument();
        show(text);
        QMenu* extra = text->menuBar()->addMenu("Tools");
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit", "Tools"}));
        extra->menuAction()->setVisible(false);
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit"}));
        delete extra;
        QCOMPARE(main->menuBar()->actions().size(), 2);

        // A window that makes its bar only after it was shown.
        auto* late = new QMainWindow;
        late->setCentralWidget(new QWidget);
        show(late);
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Help"}));
        late->menuBar()->addMenu("Results");
        settle();
        QCOMPARE(captions(main->menuBar()), QStringList{"Results"});
        QVERIFY(late->menuBar()->isHidden());
    }

    void anotherWindowInFrontKeepsTheDocumentsMenus() {
        show(textDocument());
        QWidget dialog;
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(captions(main->menuBar()), (QStringList{"File", "Edit"}));
    }
};

QTEST_MAIN(DocumentMenusTest)
#include "DocumentMenusTest.moc"
