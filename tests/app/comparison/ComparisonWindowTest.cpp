// The comparison window on the full and the reduced GRI runs made by the
// console solver: opening with the remembered choices, Prepare and the merged
// grid, a failed Prepare, the unit divisor, the checks of the settings at the
// row-header double click and the keys that change what it does.
#include <algorithm>

#include "Comparison.h"
#include "Scripted.h"

#include "Files.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "PLOT_Module3.h"
#include "PlotDialogs.h"
#include "RES_ShowFile.h"

#include "ReductionTestSupport.h"
#include "SolverRunFixture.h"
#include "ToolWindowsBed.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <filesystem>
#include <memory>

using namespace kx;
using kx::comparison::Comparison;
using kx::CmpFileData;
using kx::CmpMergedRow;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;

namespace {

namespace fs = std::filesystem;

}  // namespace

class ComparisonWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> runs;
    std::string fullRun, reducedRun, unrun;
    std::string isoRun, latin1Run;  // the isothermal run, and with "ÄR" and "HÖ2" in Latin-1

    std::unique_ptr<test::ToolWindowsBed> bed;
    std::unique_ptr<shell::FormCreatorInstallation> installed;
    std::string full, reduced;

    std::string copyIn(const std::string& run, const std::string& name) { return bed->CopyIn(run, name); }

    // Opens file 1 in a text window and the comparison from its menu.
    Comparison* open(const std::string& path) {
        return bed->OpenFromMenu<Comparison>(path, "RESCOMP", shell::kComparisonWindow);
    }
    Comparison* prepared() {
        Comparison* w = open(full);
        if (!w) return nullptr;
        w->Text2()->setText(platform::ToQ(reduced));
        w->Command3()->click();
        return w;
    }
    static int shownRowOf(Comparison* w, const QString& name) {
        for (int r = 1; r <= w->GridEX1()->RowCount(); ++r)
            if (w->GridEX1()->CellText(r, 2) == name) return r;
        return 0;
    }
    // The values of a file's row as the chart gets them: time and value per point.
    static std::vector<double> column(const CmpFileData& file, int row) {
        std::vector<double> values;
        for (int j = 1; j <= file.PointCount; ++j) values.push_back(file.Values(row, j));
        return values;
    }
    // The points a curve draws, in order (the chart starts a curve at its
    // first drawn point).
    using Points = std::vector<std::pair<double, double>>;
    static Points drawn(const std::vector<double>& x, const std::vector<double>& y) {
        Points points;
        for (std::size_t p = 0; p < x.size() && p < y.size(); ++p)
            if (x[p] != kMissingValue && y[p] != kMissingValue) points.emplace_back(x[p], y[p]);
        return points;
    }
    static void verifySelected(Comparison* w, QLineEdit* box) {
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->selectedText(), box->text());
    }
    // What needs prepared data is on (or off), b only for the relative error.
    static void verifyEnabled(Comparison* w, bool on) {
        QCOMPARE(w->GridEX1()->isEnabled(), on);
        for (const char* frame : {"Frame2", "Frame3", "Frame4", "Frame5"})
            QCOMPARE(w->findChild<QGroupBox*>(frame)->isEnabled(), on);
        QCOMPARE(w->Text3()->isEnabled(), on);
        QCOMPARE(w->Text5()->isEnabled(), on && w->Option1(2)->isChecked());
    }

private slots:
    void initTestCase() {
        runs = std::make_unique<test::TempDir>();
        fullRun = kxtest::RunSample(*runs, "gri30_ch4_1400K.txt").string();
        QVERIFY(!fullRun.empty());
        fs::create_directories(runs->file("reduced"));
        reducedRun = runs->file("reduced/gri_reduced.txt");
        kxtest::RecordingSink sink;
        RedKinModule module;
        QVERIFY(kxtest::ReduceForMethane(fullRun, reducedRun, sink, module).Written);
        QVERIFY(kxtest::RunSolver(reducedRun));
        unrun = runs->write("unrun/h2_air_1000K.txt", test::ReadBytes(KX_SAMPLES_DIR "/h2_air_1000K.txt"));
        std::string bytes = test::ReadBytes(KX_SAMPLES_DIR "/h2_o2_ar_isothermal.txt");
        isoRun = runs->write("iso/h2_o2_ar_isothermal.txt", bytes);
        QVERIFY(kxtest::RunSolver(isoRun));
        for (std::size_t at = bytes.find("AR"); at != std::string::npos; at = bytes.find("AR", at)) bytes[at] = '\xC4';
        for (std::size_t at = bytes.find("HO2"); at != std::string::npos; at = bytes.find("HO2", at)) bytes[at + 1] = '\xD6';
        latin1Run = runs->write("latin1/h2_o2_xr.txt", bytes);
        QVERIFY(kxtest::RunSolver(latin1Run));
    }
    void cleanupTestCase() { runs.reset(); }

    void init() {
        bed = std::make_unique<test::ToolWindowsBed>(KX_SHIPPED_OPTIONS);
        QVERIFY(!bed->optionsFailed);
        installed = std::make_unique<shell::FormCreatorInstallation>(shell::kComparisonWindow,
                                                                      [] { return new Comparison; });
        chart::InstallChartWindows();
        full = copyIn(fullRun, "full/gri30_ch4_1400K.txt");
        reduced = copyIn(reducedRun, "reduced/gri_reduced.txt");
    }
    void cleanup() {
        test::DeleteAllWindows();
        shell::InstallFormCreator(shell::kChartWindow, nullptr);
        shell::InstallFormCreator(chart::kExportDialog, nullptr);
        installed.reset();
        bed.reset();
    }

    void opensOnFileOneWithTheRememberedChoices() {
        ScriptedMessages messages;
        Comparison* w = open(full);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Comparing Solver Files"));
        QCOMPARE(w->findChild<QLabel*>("Label1")->text(), QString("Comparing Solver Files"));
        QCOMPARE(w->Text1()->text(), platform::ToQ(full));
        QVERIFY(w->Text1()->isReadOnly());
        QCOMPARE(w->Text2()->text(), QString());
        verifyEnabled(w, false);
        QVERIFY(w->Command3()->isEnabled());
        // The defaults of a new program.
        QVERIFY(w->Option4(1)->isChecked());
        QCOMPARE(w->Text3()->text(), QString("1.00E+00"));
        QVERIFY(w->Option7(0)->isChecked());
        QCOMPARE(w->Text4()->text(), QString("1.00E+00"));
        QVERIFY(w->Option1(0)->isChecked());
        QVERIFY(w->Option2()->isChecked());
        QCOMPARE(w->Text5()->text(), QString("5.00E-01"));
        QCOMPARE(w->TabStrip1()->tabText(0), QString("General"));
        QCOMPARE(w->TabStrip1()->tabText(1), QString("Tips"));
        // The grid's six columns, two hidden.
        platform::Grid* grid = w->GridEX1();
        QCOMPARE(grid->ColumnCount(), 6);
        QStringList captions;
        for (int c = 1; c <= 6; ++c) captions << grid->Column(c).Caption();
        QCOMPARE(captions, (QStringList{"No", "Species", "File 1", "File 2", "N1", "N2"}));
        QVERIFY(!grid->Column("N1").Visible() && !grid->Column("N2").Visible());
        // The "Tips" page.
        QCOMPARE(w->Label(8)->text(),
                 QString("In the table, the asterisk (*) denotes species, for which the data are available; the 'v' "
                         "symbol denotes target species specified during formation of reduced reaction mechanism."));
        QVERIFY(w->Label(6)->text().startsWith("Plotting Functions\r\n\r\nSelect function you want to plot: "));
        QVERIFY(w->Label(6)->text().endsWith("hold down the 'Ctrl' button and double click the row header."));
        QCOMPARE(w->Label(9)->text(),
                 QString("Relative Error Estimation\r\n\r\n") + QString(51, ' ') + "abs(Ck,1 - Ck,2)\r\n" +
                     QString(35, ' ') + "Error = ----------------------------------\r\n" + QString(50, ' ') +
                     "b Ck,1 + (1 - b) Ck,2\r\nwhere Ck is the k-th species concentration or temperature, b is a "
                     "parameter on the interval [0,1].");
        QVERIFY(messages.shown().empty());

        // Choices remembered from an earlier plot come back; the unit does not.
        Shared().CompareLogX = 0;
        Shared().CompareLogY = 1;
        Shared().CompareScaleY = 1000;
        Shared().CompareCurveKind = 2;
        Shared().CompareWeightB = 0.25;
        w->Option3()->setChecked(true);
        w = open(full);
        test::Settle();
        QCOMPARE(platform::FindForms(shell::kComparisonWindow).size(), size_t(1));
        QVERIFY(w->Option4(0)->isChecked());
        QVERIFY(w->Option7(1)->isChecked());
        QCOMPARE(w->Text4()->text(), QString("1.00E+03"));
        QVERIFY(w->Option1(2)->isChecked());
        QCOMPARE(w->Text5()->text(), QString("2.50E-01"));
        QVERIFY(w->Option2()->isChecked());
        QCOMPARE(w->CompareUnitIndex(), 0);
    }

    void prepareMergesTheFullAndTheReducedRun() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        verifyEnabled(w, true);
        QCOMPARE(Shared().CompareFile2Path, reduced);
        platform::Grid* grid = w->GridEX1();
        QCOMPARE(grid->RowCount(), 54);  // the temperature and the 53 species of the full run
        QCOMPARE(grid->CellText(1, 1), QString("0"));
        QCOMPARE(grid->CellText(1, 2), QString("Temperature"));
        int inBoth = 0, targets = 0;
        for (int r = 1; r <= grid->RowCount(); ++r) {
            QCOMPARE(grid->CellText(r, 3), QString("*"));
            const QString flag2 = grid->CellText(r, 4);
            if (!flag2.isEmpty()) ++inBoth;
            if (flag2 == "v") ++targets;
            QCOMPARE(grid->CellText(r, 6).isEmpty(), flag2.isEmpty());
        }
        QCOMPARE(inBoth, 48);  // the temperature and the 47 species kept
        QCOMPARE(targets, 4);
        for (const char* target : {"Temperature", "CH4", "O2", "CO2"})
            QCOMPARE(grid->CellText(shownRowOf(w, target), 4), QString("v"));
        QCOMPARE(w->Files().File(2).SpeciesCount, 47);
        QVERIFY(w->Files().File(2).PointCount > 100);

        // The relative error makes b editable; typing a path disables it all.
        w->Option1(2)->setChecked(true);
        verifyEnabled(w, true);
        w->Text2()->setText(platform::ToQ(reduced + " "));
        verifyEnabled(w, false);

        // Sorting keeps each row's own data.
        w->Text2()->setText(platform::ToQ(reduced));
        w->Command3()->click();
        emit grid->horizontalHeader()->sectionClicked(1);
        QCOMPARE(grid->CellText(1, 2), QString("AR"));
        QCOMPARE(grid->CellText(1, 1), QString::number(grid->DataRow(1) - 1));
        QCOMPARE(w->Files().MergedSpecies()[static_cast<std::size_t>(grid->DataRow(1) - 1)].Name, std::string("AR"));
    }

    void aFailedPrepareLeavesTheGridDisabledAndEmpty_data() {
        QTest::addColumn<QString>("file2");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing"
                                 << "File2, the specified Path/File name '%path' cannot be accessed or is invalid.\r\n"
                                    "File not found: %path.";
        QTest::newRow("a folder") << "folder"
                                  << "File2, the specified Path/File name '%path' cannot be accessed or is invalid.\r\n"
                                     "It is a folder: %path.";
        QTest::newRow("no results") << "unrun" << "In the file '%path', results are not found.";
        QTest::newRow("bad species count") << "broken"
                                           << "In the file '%path', unexpected error.\r\nSubscript out of range: line "
                                              "10: the species count 99 does not match the 47 thermo records between "
                                              "the THERMO line 34 and the REACTIONS line 225.";
        QTest::newRow("pressure -1") << "pressure"
                                     << "In the file '%path', unexpected error.\r\nInvalid procedure call or argument: "
                                        "line 14: the pressure must be above zero, not -0.100000E+01.";
        // A record whose layout is sound but whose value is no number: the
        // comparison's own reading refuses it, in the same form.
        QTest::newRow("a value that is no number")
            << "value"
            << "In the file 2 '%path', unexpected error.\r\nType mismatch: the mass fraction of species 1 of record 1 "
               "on line %line, \"x.5\", is no number.";
    }
    void aFailedPrepareLeavesTheGridDisabledAndEmpty() {
        QFETCH(QString, file2);
        QFETCH(QString, message);
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        QCOMPARE(w->GridEX1()->RowCount(), 54);
        std::string path = bed->folder.dir.file("missing.txt");
        if (file2 == "unrun") path = copyIn(unrun, "h2_air_1000K.txt");
        if (file2 == "folder") path = bed->folder.path();
        if (file2 == "broken") {
            // Complete results under a species count the records do not have.
            std::vector<std::string> lines = files::ReadLines(reduced);
            lines[9] = " 99 !Species";
            path = bed->folder.dir.file("broken.txt");
            files::WriteLines(path, lines);
        }
        if (file2 == "pressure") {
            std::vector<std::string> lines = files::ReadLines(reduced);
            lines[13] = " -1.000000E+00 !Pressure, atm";
            path = bed->folder.dir.file("pressure.txt");
            files::WriteLines(path, lines);
        }
        int recordLine = 0;
        if (file2 == "value") {
            std::vector<std::string> lines = files::ReadLines(reduced);
            const auto title = std::find_if(lines.begin(), lines.end(),
                                            [](const std::string& l) { return l.starts_with(" !$Results"); });
            QVERIFY(title != lines.end());
            std::string& first = *(title + 2);  // after the heading, one line a record
            first.replace(41, 16, "             x.5");
            recordLine = static_cast<int>(title - lines.begin()) + 3;
            path = bed->folder.dir.file("value.txt");
            files::WriteLines(path, lines);
        }
        w->Text2()->setText(platform::ToQ(path));
        w->Command3()->click();
        // One message for the refusal, nothing after it, under the
        // program's title: never an error report.
        QCOMPARE(messages.shown().size(), size_t(1));
        message.replace("%path", platform::ToQ(path)).replace("%line", QString::number(recordLine));
        QVERIFY2(messages.shown()[0].text.startsWith(message), qPrintable(messages.shown()[0].text));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        if (file2 == "value") QCOMPARE(messages.shown()[0].text, message);
        verifyEnabled(w, false);
        QCOMPARE(w->GridEX1()->RowCount(), 0);
        QCOMPARE(w->Files().MergedSpeciesLast(), -1);
        if (file2 == "missing" || file2 == "folder") {
            QCOMPARE(messages.shown().size(), size_t(1));
            QCOMPARE(messages.shown()[0].text, message);
            verifySelected(w, w->Text2());
        }
    }

    // A copy of the full run cut short, as file 1 or file 2: Prepare names
    // it once, says where its results end, and shows what is there.
    void anIncompleteFileIsNamedOnceAtPrepare_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("number");
        const std::pair<const char*, kxtest::ResultsCut> cuts[] = {
            {"cut in half", kxtest::ResultsCut::InHalf},
            {"cut between records", kxtest::ResultsCut::BetweenRecords},
            {"cut within a record", kxtest::ResultsCut::WithinARecord},
            {"no closing line", kxtest::ResultsCut::NoClosingLine}};
        for (int number : {1, 2})
            for (const auto& [name, cut] : cuts)
                QTest::newRow(qPrintable(QString("%1, file %2").arg(name).arg(number))) << static_cast<int>(cut) << number;
    }
    void anIncompleteFileIsNamedOnceAtPrepare() {
        QFETCH(int, cut);
        QFETCH(int, number);
        const kxtest::CutRun c = kxtest::CutResults(test::ReadBytes(full), 2, static_cast<kxtest::ResultsCut>(cut));
        const std::string cutPath = bed->folder.dir.write("cut/gri-cut.txt", c.text);
        ScriptedMessages messages;
        Comparison* w = open(number == 1 ? cutPath : full);
        QVERIFY(w);
        w->Text2()->setText(platform::ToQ(number == 1 ? full : cutPath));
        w->Command3()->click();

        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("In the file " + std::to_string(number) + " '" + cutPath +
                                                    "', results are incomplete: they end at " +
                                                    Format(c.lastTime, "0.000000E+00") +
                                                    " s of the run's final time 1.000000E-02 s."));
        QCOMPARE(messages.shown()[0].style, 48);
        verifyEnabled(w, true);
        const CmpFileData& cutData = w->Files().File(number);
        const CmpFileData& fullData = w->Files().File(3 - number);
        QCOMPARE(cutData.PointCount, c.records);
        QVERIFY(fullData.PointCount >= c.records);
        std::vector<double> fullTimes = column(fullData, 0);
        fullTimes.resize(static_cast<std::size_t>(c.records));
        QCOMPARE(column(cutData, 0), fullTimes);

        // The temperature of both files is drawn, the cut one up to its end.
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "Temperature"));
        QCOMPARE(messages.shown().size(), size_t(1));
        const chart::ChartModel& m = chart::TemporaryChart()->Pesgoa1();
        QCOMPARE(m.Subsets(), 2);
        const Points points = drawn(m.At(number - 1).x, m.At(number - 1).y);
        QCOMPARE(points.size(), static_cast<std::size_t>(c.records - 1));  // time 0 has no log10
        QVERIFY(std::abs(points.back().first - std::log10(c.lastTime)) < 1e-12);
        QVERIFY(drawn(m.At(2 - number).x, m.At(2 - number).y).size() == static_cast<std::size_t>(fullData.PointCount - 1));
    }

    void theUnitDecidesTheDivisor() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        const SharedState& s = Shared();
        QCOMPARE(w->CompareUnitDivisor(), s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4);
        QVERIFY(std::abs(w->CompareUnitDivisor() - 82.0573661) < 1e-4);  // cm^3 atm/(mol K)
        w->Option3()->setChecked(true);
        QCOMPARE(w->CompareUnitIndex(), 1);
        QCOMPARE(w->CompareUnitDivisor(), s.UnitFactorE7 / s.UnitFactorE4);
        w->Option2()->setChecked(true);
        QCOMPARE(w->CompareUnitIndex(), 0);
    }

    void theSettingsAreCheckedAtTheDoubleClick_data() {
        QTest::addColumn<bool>("logX");
        QTest::addColumn<QString>("x");
        QTest::addColumn<bool>("logY");
        QTest::addColumn<QString>("y");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("box");
        const QString xZero = "X-Axis scaling, please enter a nonzero number.";
        const QString xLog = "X-Axis scaling, for logarithmic scale please enter a positive number.";
        const QString yZero = "Y-Axis scaling, please enter a nonzero number.";
        const QString yLog = "Y-Axis scaling, for logarithmic scale please enter a positive number.";
        const QString bRange = "Relative error parameter, please enter a number on the interval [0, 1].";
        QTest::newRow("log X, negative") << true << "-2" << false << "1" << false << "0.5" << xLog << "Text3";
        QTest::newRow("linear X, zero") << false << "0" << false << "1" << false << "0.5" << xZero << "Text3";
        QTest::newRow("X not a number") << false << "two" << false << "1" << false << "0.5" << xZero << "Text3";
        QTest::newRow("X empty") << true << "" << false << "1" << false << "0.5" << xLog << "Text3";
        QTest::newRow("log Y, zero") << false << "-2" << true << "0" << false << "0.5" << yLog << "Text4";
        QTest::newRow("linear Y, empty") << false << "1" << false << " " << false << "0.5" << yZero << "Text4";
        QTest::newRow("b above 1") << true << "1" << false << "1" << true << "1.5" << bRange << "Text5";
        QTest::newRow("b not a number") << true << "1" << false << "1" << true << "b" << bRange << "Text5";
    }
    void theSettingsAreCheckedAtTheDoubleClick() {
        QFETCH(bool, logX);
        QFETCH(QString, x);
        QFETCH(bool, logY);
        QFETCH(QString, y);
        QFETCH(bool, relative);
        QFETCH(QString, b);
        QFETCH(QString, message);
        QFETCH(QString, box);
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        w->Option4(logX ? 1 : 0)->setChecked(true);
        w->Option7(logY ? 1 : 0)->setChecked(true);
        w->Option1(relative ? 2 : 0)->setChecked(true);
        w->Text3()->setText(x);
        w->Text4()->setText(y);
        w->Text5()->setText(b);
        w->TabStrip1()->setCurrentIndex(1);
        Shared().CompareScaleX = 7;
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "CH4"));
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        verifySelected(w, w->findChild<QLineEdit*>(box));
        QCOMPARE(Shared().CompareScaleX, 7.0);  // nothing is remembered
    }

    void shiftOrAltMakeTheDoubleClickDoNothing() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        w->Text3()->setText("0");  // would be refused
        platform::Grid* grid = w->GridEX1();
        grid->setFocus();
        for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Alt}) {
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(grid, &down);
            QVERIFY(w->ShiftAltFlag());
            QVERIFY(!w->AddCurveFlag());
            w->GridEX1_RowHeaderDoubleClick(1);
            QVERIFY(messages.shown().empty());
            QKeyEvent up(QEvent::KeyRelease, key, key == Qt::Key_Shift ? Qt::ShiftModifier : Qt::AltModifier);
            QApplication::sendEvent(grid, &up);
            QVERIFY(!w->ShiftAltFlag());
        }
        QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
        QApplication::sendEvent(grid, &ctrl);
        QVERIFY(w->AddCurveFlag());
        QVERIFY(!w->ShiftAltFlag());
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(grid, &out);
        QVERIFY(!w->AddCurveFlag());
        w->GridEX1_RowHeaderDoubleClick(1);
        QCOMPARE(messages.lastText(), QString("X-Axis scaling, for logarithmic scale please enter a positive number."));
    }

    // Both curves of CH4 on one new chart: file 1, then file 2, in the unit,
    // on a log10 time axis where time 0 is a gap.
    void aSpeciesIsDrawnFromBothFiles() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        const int row = shownRowOf(w, "CH4");
        w->GridEX1_RowHeaderDoubleClick(row);
        QVERIFY(messages.shown().empty());
        chart::PLOT* c = chart::TemporaryChart();
        QVERIFY(c);
        const chart::ChartModel& m = c->Pesgoa1();
        QCOMPARE(m.Subsets(), 2);
        QCOMPARE(m.At(0).label, std::string(" F1, CH4 (mol/cm^3)"));
        QCOMPARE(m.At(1).label, std::string(" F2, CH4 (mol/cm^3)"));
        QCOMPARE(m.xAxisLabel, std::string("Log10 Time (sec)"));
        for (int file : {1, 2}) {
            const CmpFileData& d = w->Files().File(file);
            const CmpMergedRow& merged = w->Files().MergedSpecies()[static_cast<std::size_t>(w->GridEX1()->DataRow(row) - 1)];
            const int valuesRow = *(file == 1 ? merged.Index1 : merged.Index2) + 1;
            const std::vector<double> times = column(d, 0), values = column(d, valuesRow);
            const chart::Subset& curve = m.At(file - 1);
            // Time 0 has no log10, a value of 0 (CH4 burnt out) is a gap.
            QCOMPARE(times[0], 0.0);
            Points expected;
            for (std::size_t p = 0; p < times.size(); ++p)
                if (times[p] > 0 && values[p] > 0)
                    expected.emplace_back(std::log10(times[p]), values[p] / w->CompareUnitDivisor());
            const Points points = drawn(curve.x, curve.y);
            QCOMPARE(points.size(), expected.size());
            QVERIFY(points.size() > 100 && points.size() < times.size() - 1);
            for (std::size_t p = 0; p < points.size(); ++p) {
                QVERIFY(std::abs(points[p].first - expected[p].first) < 1e-12);
                QVERIFY(std::abs(points[p].second / expected[p].second - 1) < 1e-12);
            }
        }
        QVERIFY(shell::FormVisible(c));
        QCOMPARE(Shared().CompareLogX, 1);

        // Ctrl adds O2's curves; a plain double click starts again.
        Shared().NewChartPending = false;
        QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
        QApplication::sendEvent(w->GridEX1(), &ctrl);
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "O2"));
        QCOMPARE(chart::TemporaryChart(), c);
        QCOMPARE(m.Subsets(), 4);
        QCOMPARE(m.At(3).label, std::string(" F2, O2 (mol/cm^3)"));
        QVERIFY(!w->AddCurveFlag());
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "O2"));
        QCOMPARE(m.Subsets(), 2);
        // Ctrl held at the click itself adds as well.
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "CH4"), platform::kCtrlMask);
        QCOMPARE(m.Subsets(), 4);
        QCOMPARE(platform::FindForms(shell::kChartWindow).size(), size_t(1));
    }

    void theRelativeErrorIsDrawnOnALinearValueAxis() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        w->Option1(2)->setChecked(true);
        w->Option4(0)->setChecked(true);  // linear time
        w->Text5()->setText("1");
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "CH4"));
        QVERIFY(messages.shown().empty());
        const chart::ChartModel& m = chart::TemporaryChart()->Pesgoa1();
        QCOMPARE(m.Subsets(), 1);
        QCOMPARE(m.At(0).label, std::string("CH4, Relative Error"));
        QCOMPARE(m.Number("YAxisScaleControl"), 1.0);
        QCOMPARE(m.xAxisLabel, std::string("Time (sec)"));
        // The chart holds the comparison core's curve point for point.
        CmpPlotSettings s;
        s.LogX = false;
        s.WeightB = 1;
        const CmpMergedRow& ch4 = w->Files().MergedSpecies()[static_cast<std::size_t>(w->GridEX1()->DataRow(shownRowOf(w, "CH4")) - 1)];
        const CmpPlotCurve expected = CmpBuildCurve(w->Files(), CmpFunction::RelativeError, 14, CmpValueRow(ch4.Index1),
                                                    CmpValueRow(ch4.Index2), s);
        QCOMPARE(expected.Y[0], kMissingValue);  // no error at time 0
        const Points points = drawn(m.At(0).x, m.At(0).y);
        QVERIFY(points == drawn(expected.X, expected.Y));
        QVERIFY(points.size() > 10);
        for (const auto& [t, e] : points) QVERIFY(t > 0 && e > 0);
        QCOMPARE(Shared().CompareCurveKind, 2);
        QCOMPARE(Shared().CompareWeightB, 1.0);
    }

    void whatAFileLacksOrNeverHoldsIsSaid() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        // AR is never formed and the reduction dropped it: file 1 has only zeros, file 2 lacks it.
        QCOMPARE(w->GridEX1()->CellText(shownRowOf(w, "AR"), 4), QString());
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "AR"));
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString("You are attempting to plot the function 'F1, AR (mol/cm^3)' where all "
                                              "values are zero. The function cannot be plotted."));
        QVERIFY(!chart::TemporaryChart());
        w->Option1(2)->setChecked(true);
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "AR"));
        QCOMPARE(messages.lastText(),
                 QString("File 2, data for 'AR' are not available; the comparison cannot be performed."));
        QVERIFY(!chart::TemporaryChart());
    }

    // Names are the file's Latin-1 bytes: the grid, the legends and the
    // messages show the same characters.
    void speciesNamesBeyondAsciiAreShownAsTheGridShowsThem() {
        ScriptedMessages messages;
        const std::string file1 = copyIn(latin1Run, "latin1/h2_o2_xr.txt");
        Comparison* w = open(file1);
        QVERIFY(w);
        w->Text2()->setText(platform::ToQ(copyIn(isoRun, "iso/h2_o2_ar_isothermal.txt")));
        w->Command3()->click();
        QVERIFY(messages.shown().empty());
        const QString argon = QString::fromUtf8("ÄR"), hO2 = QString::fromUtf8("HÖ2");
        QVERIFY(shownRowOf(w, argon) > 0);
        QVERIFY(shownRowOf(w, "AR") > 0);  // file 2's argon is another species
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, hO2));
        QVERIFY(messages.shown().empty());
        QVERIFY(chart::TemporaryChart());
        const chart::ChartModel& m = chart::TemporaryChart()->Pesgoa1();
        QCOMPARE(m.Subsets(), 1);
        QCOMPARE(QString::fromStdString(m.At(0).label), " F1, " + hO2 + " (mol/cm^3)");
        w->Option1(2)->setChecked(true);
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, argon));
        QCOMPARE(messages.lastText(),
                 "File 2, data for '" + argon + "' are not available; the comparison cannot be performed.");
        QCOMPARE(test::ReadBytes(file1), test::ReadBytes(latin1Run));
    }

    // The temperature is not divided by the unit; the Y scale shows in the
    // legend and every choice is remembered for the next opening.
    void theTemperatureOnLogAxesIsRemembered() {
        ScriptedMessages messages;
        Comparison* w = prepared();
        QVERIFY(w);
        w->Option3()->setChecked(true);
        w->Option7(1)->setChecked(true);
        w->Text4()->setText("1000");
        w->GridEX1_RowHeaderDoubleClick(shownRowOf(w, "Temperature"));
        QVERIFY(messages.shown().empty());
        const chart::ChartModel& m = chart::TemporaryChart()->Pesgoa1();
        QCOMPARE(m.At(0).label, std::string(" F1, Log10 Temperature (K) x 1.00E+03"));
        const std::vector<double> temperatures = column(w->Files().File(1), 1);
        const Points points = drawn(m.At(0).x, m.At(0).y);
        QCOMPARE(points.size(), temperatures.size() - 1);  // not at time 0
        QVERIFY(std::abs(points.back().second - std::log10(1000 * temperatures.back())) < 1e-12);
        QVERIFY(temperatures.back() > 2500);
        QCOMPARE(Shared().CompareLogY, 1);
        QCOMPARE(Shared().CompareScaleY, 1000.0);

        w = open(full);
        test::Settle();
        QVERIFY(w->Option7(1)->isChecked());
        QCOMPARE(w->Text4()->text(), QString("1.00E+03"));
        QVERIFY(w->Option2()->isChecked());
    }

    void browseTakesACheckedSolverFile() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        Comparison* w = open(full);
        QVERIFY(w);
        dialogs.ChooseOpen(platform::ToQ(reduced));
        w->Command2()->click();
        QCOMPARE(w->Text2()->text(), platform::ToQ(reduced));
        QCOMPARE(w->Text2()->cursorPosition(), w->Text2()->text().size());
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        w->Command2()->click();
        QCOMPARE(w->Text2()->text(), platform::ToQ(reduced));
        QVERIFY(messages.shown().empty());
    }

    // Folders and names beyond ASCII are taken as they are: file 1 shows,
    // Browse starts in its folder, file 2 is read from the typed path and
    // the refusals quote the paths.
    void pathsBeyondAsciiAreTakenAsTyped_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("Greek and accents") << "Δt résultats";
        QTest::newRow("nested, German and Greek") << "Messungen/Δt-Reihe";
        QTest::newRow("Cyrillic") << "измерения";
        QTest::newRow("Chinese") << "测量";
    }
    void pathsBeyondAsciiAreTakenAsTyped() {
        QFETCH(QString, folder);
        const QString folderPath = platform::ToQ(bed->folder.path()) + "/" + folder;
        full = copyIn(fullRun, platform::FromQ(folder + "/gri30 é.txt"));
        reduced = copyIn(reducedRun, platform::FromQ(folder + "/réduit Δ.txt"));
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        Comparison* w = open(full);
        QVERIFY(w);
        QCOMPARE(w->Text1()->text(), folderPath + "/gri30 é.txt");

        dialogs.ChooseOpen(folderPath + "/réduit Δ.txt");
        w->Command2()->click();
        QCOMPARE(dialogs.requests().at(0).file.initDir, folderPath);
        QCOMPARE(w->Text2()->text(), folderPath + "/réduit Δ.txt");
        w->Command3()->click();
        QVERIFY(messages.shown().empty());
        QCOMPARE(w->GridEX1()->RowCount(), 54);
        QCOMPARE(Shared().CompareFile2Path, reduced);
        verifyEnabled(w, true);

        const QString missing = folderPath + "/fehlt é.txt";
        w->Text2()->setText(missing);
        w->Command3()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), "File2, the specified Path/File name '" + missing +
                                          "' cannot be accessed or is invalid.\r\nFile not found: " + missing + ".");
        verifySelected(w, w->Text2());

        const QString unrunPath = folderPath + "/ohne Ergebnisse ö.txt";
        copyIn(unrun, platform::FromQ(folder + "/ohne Ergebnisse ö.txt"));
        w->Text2()->setText(unrunPath);
        w->Command3()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.lastText(), "In the file '" + unrunPath + "', results are not found.");

        // Typed again, the reduced run is read.
        w->Text2()->setText(folderPath + "/réduit Δ.txt");
        w->Command3()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(w->GridEX1()->RowCount(), 54);
        verifyEnabled(w, true);
    }
};

QTEST_MAIN(ComparisonWindowTest)
#include "ComparisonWindowTest.moc"
