// Message boxes, common dialogs and modal windows, through their scripted
// doubles.
#include "Dialogs.h"
#include "MessageBox.h"
#include "Modal.h"
#include "Scripted.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace kx::platform;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;

class ModalServicesTest : public QObject {
    Q_OBJECT

    QStringList failures;
    testing::FailureReporter record() {
        return [this](const QString& what) { failures << what; };
    }

private slots:
    // The file dialog keeps its state in the settings: not in the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { failures.clear(); }

    void theFileDialogShowsItsColumnsWhole() {
        QTemporaryDir folder;
        for (const char* name : {"gri30_ch4_1400K.txt", "h2_air_1000K.txt"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(81000, 'x'));
        }
        QFileDialog dialog(nullptr, "Open", folder.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* view = dialog.findChild<QTreeView*>("treeView");
        QVERIFY(view);
        // Column widths the dialog kept from an earlier use, made narrow.
        view->header()->setSectionResizeMode(QHeaderView::Interactive);
        for (int c = 1; c < 4; ++c) view->header()->resizeSection(c, 20);
        FitFileDialog(dialog);
        dialog.show();
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
        QCoreApplication::processEvents();
        QHeaderView* header = view->header();
        for (int c = 0; c < header->count(); ++c) {
            const int needed = std::max(header->sectionSizeHint(c), static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c));
            QVERIFY2(header->sectionSize(c) >= needed, qPrintable(QString("column %1: %2 < %3").arg(c).arg(header->sectionSize(c)).arg(needed)));
        }
        dialog.close();
    }

    void messagesAreRecordedAndQuestionsAnswered() {
        ScriptedMessages messages;
        messages.Answer(kAnswerNo);
        messages.Answer(kAnswerYes);
        QCOMPARE(MsgBox("Saved.", kMsgInformation, "KINOVEX"), kAnswerOk);
        QCOMPARE(MsgBox("Replace?", kMsgExclamation + kMsgYesNo, "KINOVEX"), kAnswerNo);
        QCOMPARE(MsgBox("Show results?", kMsgInformation + kMsgYesNo), kAnswerYes);
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(messages.shown()[1].text, QString("Replace?"));
        QCOMPARE(messages.shown()[1].style, 52);
        QCOMPARE(messages.shown()[2].title, QString(kDefaultTitle));  // no title: the program's
    }

    void messageBoxesTakeTheirButtonsAndDefaultFromTheStyle() {
        struct Case {
            int style;
            QMessageBox::StandardButtons buttons;
            QMessageBox::StandardButton defaultButton;
            QMessageBox::Icon icon;
        };
        const Case cases[] = {
            {kMsgOk, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::NoIcon},
            {kMsgYesNo + kMsgExclamation, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::Warning},
            {kMsgYesNo + kMsgExclamation + kMsgDefaultButton2, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
             QMessageBox::Warning},
            {kMsgYesNoCancel + kMsgQuestion + kMsgDefaultButton2,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No, QMessageBox::Question},
            {kMsgOkCancel + kMsgCritical, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
             QMessageBox::Critical},
            {kMsgOkCancel + kMsgInformation + kMsgDefaultButton2, QMessageBox::Ok | QMessageBox::Cancel,
             QMessageBox::Cancel, QMessageBox::Information},
        };
        for (const Case& c : cases) {
            QMessageBox box;
            SetUpMessageBox(box, "first\r\nsecond", c.style, "KINOVEX");
            QCOMPARE(box.standardButtons(), c.buttons);
            QCOMPARE(box.icon(), c.icon);
            QCOMPARE(box.text(), QString("first\nsecond"));
            QCOMPARE(box.windowTitle(), QString("KINOVEX"));
            if (c.defaultButton != QMessageBox::NoButton)
                QCOMPARE(static_cast<QAbstractButton*>(box.defaultButton()), box.button(c.defaultButton));
        }
    }

    void unscriptedQuestionFailsInsteadOfWaiting() {
        {
            ScriptedMessages messages(record());
            QCOMPARE(MsgBox("Delete?", kMsgYesNo), kAnswerNo);
            QCOMPARE(failures.size(), 1);
            QVERIFY(failures[0].contains("Delete?"));
        }
        {
            ScriptedMessages messages(record());
            messages.Answer(kAnswerYes);
        }  // an answer nobody asked for
        QCOMPARE(failures.size(), 2);
        {
            // Boxes with a Cancel button are questions too; unanswered, they cancel.
            ScriptedMessages messages(record());
            QCOMPARE(MsgBox("Save changes?", kMsgQuestion + kMsgYesNoCancel), kAnswerCancel);
            QCOMPARE(MsgBox("Not suitable.", kMsgExclamation + kMsgOkCancel), kAnswerCancel);
            messages.Answer(kAnswerNo);
            QCOMPARE(MsgBox("Save changes?", kMsgQuestion + kMsgYesNoCancel), kAnswerNo);
        }
        QCOMPARE(failures.size(), 4);
        QVERIFY(failures[2].contains("answered Cancel"));
    }

    void doublesRestoreThePreviousService() {
        ScriptedMessages outer;
        {
            ScriptedMessages inner;
            MsgBox("inner");
            QCOMPARE(outer.shown().size(), size_t(0));
        }
        MsgBox("outer");
        QCOMPARE(outer.lastText(), QString("outer"));
    }

    void nameFiltersDropTheDescriptionsPatternsAndMapEveryFile() {
        QCOMPARE(NameFilters("All Files (*.*)|*.*|Windows Text (*.txt)|*.txt"),
                 QStringList({"All Files (*)", "Windows Text (*.txt)"}));
        QCOMPARE(NameFilters("Charts|*.pg;*.PG"), QStringList({"Charts (*.pg *.PG)"}));
        QCOMPARE(NameFilters(""), QStringList());
    }

    void commonDialogCarriesItsChoicesToTheNextUse() {
        ScriptedDialogs dialogs;
        CommonDialog d;
        d.InitDir = "/samples";
        d.Filter = "Text (*.txt)|*.txt";
        d.FilterIndex = 1;
        dialogs.ChooseOpen("/data/a.txt");
        dialogs.Cancel(ScriptedDialogs::Kind::Save);
        dialogs.ChooseSave("/data/b.txt");
        QVERIFY(d.ShowOpen());
        QCOMPARE(d.FileName, QString("/data/a.txt"));
        QVERIFY(!d.ShowSave());
        QCOMPARE(d.FileName, QString("/data/a.txt"));  // a cancel changes nothing
        d.ConfirmOverwrite = true;
        QVERIFY(d.ShowSave());
        QCOMPARE(d.FileName, QString("/data/b.txt"));
        const auto& r = dialogs.requests();
        QCOMPARE(r.size(), size_t(3));
        QCOMPARE(r[0].file.initDir, QString("/samples"));
        QCOMPARE(r[0].file.fileName, QString(""));
        QCOMPARE(r[1].file.fileName, QString("/data/a.txt"));  // the save starts on the last name
        QVERIFY(!r[1].file.confirmOverwrite);
        QVERIFY(r[2].file.confirmOverwrite);
    }

    void colourAndFontDialogs() {
        ScriptedDialogs dialogs;
        CommonDialog d;
        d.Color = 0x00FF00;
        d.StartOnColor = true;
        dialogs.ChooseColour(0x0000FF);
        QVERIFY(d.ShowColor());
        QCOMPARE(d.Color, 0x0000FF);
        QCOMPARE(*dialogs.requests()[0].colour, 0x00FF00);

        d.FontMin = d.FontMax = 10;
        dialogs.ChooseFont(FontChoice{"DejaVu Sans", 14, true, false});
        QVERIFY(d.ShowFont());
        QCOMPARE(d.Font.name, QString("DejaVu Sans"));
        QCOMPARE(d.Font.size, 10.0);  // kept within the allowed range
        QVERIFY(d.Font.bold);
    }

    void dialogScriptMismatchFails() {
        {
            ScriptedDialogs dialogs(record());
            dialogs.ChooseOpen("/x");
            CommonDialog d;
            QVERIFY(!d.ShowSave());  // a save where an open was scripted: cancelled
            QVERIFY(!d.ShowColor());  // nothing scripted: cancelled
        }
        QCOMPARE(failures.size(), 2);
    }

    void modalWindowRunsTheScriptedAction() {
        ScriptedModals modals;
        QDialog dialog;
        dialog.setWindowTitle("Page Setup");
        auto* edit = new QLineEdit(&dialog);
        modals.Next([](QDialog& d) {
            d.findChild<QLineEdit*>()->setText("0.75");
            d.accept();
        });
        modals.Next([](QDialog&) {});  // left open: rejected
        QCOMPARE(ShowModal(dialog), int(QDialog::Accepted));
        QCOMPARE(edit->text(), QString("0.75"));
        QCOMPARE(ShowModal(dialog), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(modals.shown(), std::vector<QString>({"Page Setup", "Page Setup"}));
    }

    void unscriptedModalWindowFails() {
        {
            ScriptedModals modals(record());
            QDialog dialog;
            QCOMPARE(ShowModal(dialog), int(QDialog::Rejected));
        }
        QCOMPARE(failures.size(), 1);
    }
};

QTEST_MAIN(ModalServicesTest)
#include "ModalServicesTest.moc"
