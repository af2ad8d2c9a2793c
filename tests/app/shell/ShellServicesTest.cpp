// The shell's shared services on the desktop: the message routine and error
// traps, the common dialogs as the windows call them, and the grid and
// window helpers.
#include "CommonDialogs.h"
#include "Desktop.h"
#include "Errors.h"
#include "Forms.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Scripted.h"
#include "SharedState.h"
#include "TempDir.h"
#include "WindowHelpers.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;

namespace {

class ChartWindow : public platform::FormWindow<QWidget>, public platform::ChartDataSource {
public:
    ChartWindow() : FormWindow("PLOT") {}
    std::vector<double> x, y;
    int Subsets() const override { return 1; }
    int Points() const override { return static_cast<int>(x.size()); }
    double XDataII(int, int p) const override { return x[static_cast<size_t>(p)]; }
    double YDataII(int, int p) const override { return y[static_cast<size_t>(p)]; }
};

}  // namespace

class ShellServicesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Shared().ErrorText.clear(); }

    void errorMessageShowsTheTextUnderTheProgramTitle() {
        ScriptedMessages messages;
        shell::ShowErrorMessage("MDI#011. Subscript out of range");
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text, QString("MDI#011. Subscript out of range"));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KinovexRed"));
    }

    void trapStoresTagAndDescriptionAndShowsThem() {
        ScriptedMessages messages;
        bool after = false;
        QVERIFY(!shell::Trap("Sol#303. ", [&] {
            throw Error(ErrorKind::FileNotFound);
            after = true;
        }));
        QVERIFY(!after);
        QCOMPARE(Shared().ErrorText, std::string("Sol#303. File not found"));
        QCOMPARE(messages.lastText(), QString("Sol#303. File not found"));
        QVERIFY(shell::Trap("Sol#304. ", [] {}));
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(!shell::IgnoreErrors([] { throw Error(ErrorKind::Overflow); }));
        QCOMPARE(messages.shown().size(), size_t(1));
    }

    void inputErrorSelectsTheWholeBox() {
        ScriptedMessages messages;
        QWidget window;
        auto* box = new QLineEdit("12,5", &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        shell::ShowInputError(&window, "Wrong number.", box);
        QCOMPARE(messages.shown()[0].text, QString("Wrong number."));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(box->selectedText(), QString("12,5"));
        QCOMPARE(messages.shown().size(), size_t(1));

        box->setEnabled(false);  // cannot take the focus: reported with the routine's tag
        shell::ShowInputError(&window, "Wrong number.", box);
        QCOMPARE(messages.shown().size(), size_t(3));
        QVERIFY(messages.lastText().startsWith("Sol#202.1 "));
        QVERIFY(messages.lastText().size() > int(std::string_view("Sol#202.1 ").size()));
    }

    void openDialogCancelLeavesThePath() {
        ScriptedDialogs dialogs;
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        dialogs.ChooseOpen("/data/h2.sol");
        std::string path = "/before.txt";
        bool cancelled = false;
        shell::ShowOpenDialog(path, 1, "", cancelled);
        QVERIFY(cancelled);
        QCOMPARE(path, std::string("/before.txt"));
        shell::ShowOpenDialog(path, 2, "h2.sol", cancelled);
        QVERIFY(!cancelled);
        QCOMPARE(path, std::string("/data/h2.sol"));
        const auto& r = dialogs.requests()[1].file;
        QCOMPARE(r.filter, QString(shell::kOpenFilter));
        QCOMPARE(r.filterIndex, 2);
        QCOMPARE(r.fileName, QString("h2.sol"));
    }

    void saveDialogStartsOnTheLastNameAndAsksInModeOne() {
        ScriptedDialogs dialogs;
        dialogs.ChooseSave("/data/chart.pg");
        dialogs.ChooseSave("/data/chart2.pg");
        std::string path;
        bool cancelled = true;
        shell::CommonDialog1().FileName = "/data/last.txt";
        shell::ShowSaveDialog(1, path, 1, cancelled, "Charts (*.pg)|*.pg");
        QVERIFY(!cancelled);
        QCOMPARE(path, std::string("/data/chart.pg"));
        shell::ShowSaveDialog(0, path, 1, cancelled, "Charts (*.pg)|*.pg");
        QCOMPARE(dialogs.requests()[0].file.fileName, QString("/data/last.txt"));
        QVERIFY(dialogs.requests()[0].file.confirmOverwrite);
        QCOMPARE(dialogs.requests()[1].file.fileName, QString("/data/chart.pg"));
        QVERIFY(!dialogs.requests()[1].file.confirmOverwrite);
    }

    // A name chosen with blanks at its end names the file without them, and
    // that file, when it is there, is asked about (the dialog asked only
    // about the name with the blanks); No shows the dialog again.
    void saveDialogDropsBlanksThatEndTheName_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("a new file") << false << 0 << true;
        QTest::newRow("a file there, Yes") << true << int(platform::kAnswerYes) << true;
        QTest::newRow("a file there, No") << true << int(platform::kAnswerNo) << false;
    }
    void saveDialogDropsBlanksThatEndTheName() {
        QFETCH(bool, exists);
        QFETCH(int, answer);
        QFETCH(bool, chosen);
        test::TempDir dir;
        const std::string file = dir.file("chart.pg");
        if (exists) dir.write("chart.pg", "old chart");
        ScriptedDialogs dialogs;
        dialogs.ChooseSave(QString::fromStdString(file + "  "));
        if (!chosen) dialogs.Cancel(ScriptedDialogs::Kind::Save);
        ScriptedMessages messages;
        if (exists) messages.Answer(answer);
        std::string path = "before";
        bool cancelled = false;
        shell::ShowSaveDialog(1, path, 1, cancelled, "Charts (*.pg)|*.pg");
        QCOMPARE(cancelled, !chosen);
        QCOMPARE(path, chosen ? file : std::string("before"));
        QCOMPARE(messages.shown().size(), std::size_t(exists ? 1 : 0));
        if (exists) {
            QCOMPARE(messages.lastText(),
                     QString("The file '%1' already exists.\r\nReplace it?").arg(QString::fromStdString(file)));
            QCOMPARE(messages.shown()[0].style,
                     platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2);
        }
        QCOMPARE(dialogs.requests().size(), std::size_t(chosen ? 1 : 2));
    }

    void colourDialogSplitsTheChosenColour() {
        ScriptedDialogs dialogs;
        dialogs.ChooseColour(255);
        dialogs.ChooseColour(0x123456);
        dialogs.Cancel(ScriptedDialogs::Kind::Colour);
        Colour colour = -1;
        int red = -1, green = -1, blue = -1;
        bool cancelled = true;
        shell::ShowColorDialog(colour, red, green, blue, cancelled, 0x00FFFF);
        QCOMPARE(*dialogs.requests()[0].colour, 0x00FFFF);
        QVERIFY(!cancelled);
        QCOMPARE((std::vector<int>{colour, red, green, blue}), (std::vector<int>{255, 255, 0, 0}));
        shell::ShowColorDialog(colour, red, green, blue, cancelled);
        QCOMPARE(*dialogs.requests()[1].colour, 255);  // no initial colour: the last one
        QCOMPARE((std::vector<int>{red, green, blue}), (std::vector<int>{0x56, 0x34, 0x12}));
        shell::ShowColorDialog(colour, red, green, blue, cancelled);
        QVERIFY(cancelled);
        QCOMPARE(colour, 0x123456);
    }

    void fontDialogWithoutSizeChoiceGivesTenPoints() {
        ScriptedDialogs dialogs;
        dialogs.ChooseFont({"DejaVu Serif", 16, false, true});
        dialogs.Cancel(ScriptedDialogs::Kind::Font);
        bool bold = true, italic = false, failed = true;
        double size = 0;
        std::string name;
        shell::ShowFontDialog(0, bold, italic, size, name, failed, true, false, 12.0, std::string("DejaVu Sans"));
        QCOMPARE(dialogs.requests()[0].font.initial.name, QString("DejaVu Sans"));
        QVERIFY(dialogs.requests()[0].font.initial.bold);
        QVERIFY(!failed);
        QCOMPARE(name, std::string("DejaVu Serif"));
        QCOMPARE(size, 10.0);
        QVERIFY(!bold);
        QVERIFY(italic);
        shell::ShowFontDialog(0, bold, italic, size, name, failed, false, false);
        QVERIFY(failed);
        QCOMPARE(name, std::string("DejaVu Serif"));
    }

    void headerClicksSortAsTheKeyColumnRuleSays() {
        platform::Grid grid;
        grid.AddColumn("Num", "No");
        grid.AddColumn("Value", "Value");
        const std::vector<double> values = {2, 3, 1};
        grid.OnReadRow([&](int row, platform::GridRow& v) {
            v.Value(1) = row;
            v.Value(2) = values[static_cast<size_t>(row) - 1];
        });
        grid.SetRowCount(3);
        auto shown = [&] {
            QStringList s;
            for (int r = 1; r <= 3; ++r) s << grid.CellText(r, 1);
            return s;
        };
        shell::SortGridByColumn(grid, grid.Column(2), 1);
        QCOMPARE(shown(), QStringList({"3", "1", "2"}));
        shell::SortGridByColumn(grid, grid.Column(2), 1);
        QCOMPARE(shown(), QStringList({"2", "1", "3"}));
        shell::SortGridByColumn(grid, grid.Column(2), 1);
        QCOMPARE(shown(), QStringList({"3", "1", "2"}));
        grid.SetRow(3);
        shell::SortGridByColumn(grid, grid.Column(1), 1);
        QCOMPARE(shown(), QStringList({"1", "2", "3"}));
        QCOMPARE(grid.Row(), 1);
        QCOMPARE(grid.SortKeyCount(), 1);
    }

    void normalizeRestoresOnlyAMaximisedMainWindow() {
        QMainWindow main;
        shell::SetMainWindow(&main);
        main.resize(400, 300);
        main.show();
        Shared().MainWasMaximized = true;
        shell::NormalizeMdiWindow();
        QVERIFY(!Shared().MainWasMaximized);
        QCOMPARE(main.size(), QSize(400, 300));

        main.showMaximized();
        QVERIFY(QTest::qWaitFor([&] { return main.isMaximized(); }));
        shell::NormalizeMdiWindow();
        QVERIFY(Shared().MainWasMaximized);
        QVERIFY(!main.isMaximized());
        QCOMPARE(main.width(), platform::TwipsToPixels(platform::ScreenWidthTwips()));
        shell::SetMainWindow(nullptr);
        QVERIFY_THROWS_EXCEPTION(Error, shell::NormalizeMdiWindow());
    }

    void activeGraphHasDataAsksTheActiveChart() {
        ChartWindow chart;
        platform::FormWindow<QWidget> text("RES_ShowFile");
        platform::Form* active = &chart;
        platform::SetActiveDocumentSource([&] { return active; });
        chart.x = {-99999, 1};
        chart.y = {1, -99999};
        QVERIFY(!shell::ActiveGraphHasData());
        chart.y[1] = 2;
        QVERIFY(shell::ActiveGraphHasData());
        active = &text;
        try {
            shell::ActiveGraphHasData();
            QFAIL("a text window answered");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), ErrorKind::MethodNotSupported);
        }
        platform::SetActiveDocumentSource(nullptr);
    }
};

QTEST_MAIN(ShellServicesTest)
#include "ShellServicesTest.moc"
