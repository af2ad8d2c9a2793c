// Comparison ("Comparing Solver Files"): compares the results of two solver
// files, typically a full and a reduced mechanism. File 1 is the document of
// the text window it was opened from, file 2 is chosen with "Browse ";
// "Prepare" reads both into the merged species table, and a double click on
// a row header draws both curves of the species or the temperature, or
// their relative error, on the "Temporary Chart ".
//
// A tool window: single, owned by the main window, not modal.
#pragma once

#include "ComparisonFiles.h"
#include "ComparisonPlot.h"
#include "Forms.h"

#include <QDialog>

#include <array>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QGroupBox;

namespace kx::platform {
class Grid;
}

namespace kx::comparison {

class Comparison : public platform::FormWindow<QDialog> {
public:
    Comparison();

    // The path of file 1.
    void FilePa1(const std::string& FPA);
    // Can file 2 be opened for reading? ErrB true after the message when not.
    void TestRedFile(const std::string& FlP, bool& ErrB);
    // Reads both files and finds their pressure and results; ErrBb true when
    // the comparison must stop (the reason has been shown).
    void OpenFiles(bool& ErrBb);
    // The species of both files and the merged table; false after a failure
    // was reported.
    bool SpeciesAARR();
    // Both results blocks into values; false after a failure was reported.
    bool ConvertToMoleFractions();
    // error is true, after the message, when the box holds no number.
    void ErrCheckNumber(QLineEdit* box, int tab, const std::string& message, bool& error);
    // "Parameter b" can be entered (the relative error is chosen).
    void ObEnab(bool BB);
    // Shows page nn (0 "General", 1 "Tips").
    void FrameWiev(int nn);
    // Draws the curve of file 1 (0), of file 2 (1) or the relative error (2)
    // of merged row RowInd; NspecPL1 and NspecPL2 are the rows of each file's
    // values (-99999 when the file lacks the quantity).
    void RedPlotFunction(int NFunction, int RowInd, int NspecPL1, int NspecPL2);
    // Enables what needs prepared data, or disables it.
    void ShowMsg(bool BBShow);
    // The message, then page NTab with the box focused and its text selected.
    void RedMsgS(const std::string& MsgSt, QLineEdit* Tx, int NTab);

    // The row-header double click on the grid's row (as shown), with the
    // shift state of the click (Ctrl adds, Shift or Alt do nothing).
    void GridEX1_RowHeaderDoubleClick(int row, int shift = 0);

    // Controls by their names, as tests reach them.
    QTabWidget* TabStrip1() const { return tabStrip1_; }
    QLineEdit* Text1() const { return text1_; }  // file 1
    QLineEdit* Text2() const { return text2_; }  // file 2
    QLineEdit* Text3() const { return text3_; }  // X scaling
    QLineEdit* Text4() const { return text4_; }  // Y scaling
    QLineEdit* Text5() const { return text5_; }  // b
    QRadioButton* Option1(int index) const { return index == 0 ? option1_[0] : option1_[1]; }  // 0 or 2
    QRadioButton* Option2() const { return option2_; }
    QRadioButton* Option3() const { return option3_; }
    QRadioButton* Option4(int index) const { return option4_.at(static_cast<std::size_t>(index)); }
    QRadioButton* Option7(int index) const { return option7_.at(static_cast<std::size_t>(index)); }
    QPushButton* Command2() const { return command2_; }  // Browse
    QPushButton* Command3() const { return command3_; }  // Prepare
    platform::Grid* GridEX1() const { return grid_; }
    QLabel* Label(int number) const;  // Label6, Label8 and Label9 of the "Tips" page

    const ComparisonFiles& Files() const { return *files_; }
    int CompareUnitIndex() const { return unitIndex_; }
    double CompareUnitDivisor() const { return unitDivisor_; }
    bool AddCurveFlag() const { return addCurveFlag_; }
    bool ShiftAltFlag() const { return shiftAltFlag_; }

private:
    void buildControls();
    void Form_Load();
    void Command2_Click();  // Browse
    void Command3_Click();  // Prepare
    void setUnit(int index);
    // Forgets the tables of an earlier Prepare.
    void clearTables();
    CmpPlotSettings plotSettings() const;
    void showOnTemporaryChart(const CmpPlotCurve& curve, double scaleX);
    void keepClearOf(QWidget* chartFrame);

    QTabWidget* tabStrip1_ = nullptr;
    QLabel* label1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QLineEdit* text5_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QLabel* label7_ = nullptr;
    QLabel* label8_ = nullptr;
    QLabel* label9_ = nullptr;
    std::array<QRadioButton*, 2> option1_{};  // the elements 0 and 2
    QRadioButton* option2_ = nullptr;
    QRadioButton* option3_ = nullptr;
    std::array<QRadioButton*, 2> option4_{};
    std::array<QRadioButton*, 2> option7_{};
    QGroupBox* frame2_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QGroupBox* frame4_ = nullptr;
    QGroupBox* frame5_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    platform::Grid* grid_ = nullptr;

    std::unique_ptr<ComparisonFiles> files_;
    bool prepared_ = false;
    bool addCurveFlag_ = false;
    bool shiftAltFlag_ = false;
    int unitIndex_ = 0;
    double unitDivisor_ = 1;
};

// Registers the window as "Comparison" for the text window's menu.
void InstallComparisonWindow();

}  // namespace kx::comparison
