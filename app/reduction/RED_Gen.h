// RED_Gen: the reduction set-up window. It takes the solver file of the text
// window it was opened from, loads its results ("Prepare") into the results
// holder, lists the species in the targets grid with their cut parameters,
// and "Start" checks the entries, cuts the stored steps into averaging
// intervals, runs the reduction engine, which writes the reduced solver
// file, and on request opens that file in a text window and starts a run.
//
// A tool window: single, owned by the main window, not modal.
#pragma once

#include "Files.h"
#include "Forms.h"
#include "ReductionEngine.h"
#include "ReductionSetup.h"
#include "ResultsHolder.h"

#include <QDialog>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kx::platform {
class Grid;
}

namespace kx::reduction {

class RED_Gen : public platform::FormWindow<QDialog>, public RedGenView {
public:
    RED_Gen();
    ~RED_Gen() override;

    // The averaging intervals over the time points 0..Nsteps, Dsteps steps
    // each (the last takes what remains); Ninter their number.
    void IntervalsN(int Nsteps, int Dsteps, int& Ninter);
    // The species parameters; true (after the message) when one is wrong.
    bool CheckTabParam();
    // Enables or disables Browse, Clear All, Prepare, Start and Close.
    void CommandEn(bool BBOOLL) override;
    // Whether the reduced file can be written at the path; ErrB true after
    // the message when not.
    void TestRedFile(const std::string& FlP, bool& ErrB);
    // The parameter boxes, the targets and the averaged steps; ErrBb true
    // after the message on the first wrong entry.
    void RedTabGetF(bool& ErrBb);
    // Hands a parameter being edited in the grid back to the table.
    void UbdateGrid();
    // TestRedFile on the reduced path; on failure the path is selected.
    bool RedPathErr();
    // Shows the targets table in the grid again.
    void ParametrsSeting();
    // Fills the table and the boxes from the loaded source run.
    void PrepData();
    // The largest and the current number of averaged steps.
    int AverNmSet();
    // Draws species with a nonzero initial fraction in the highlight colour.
    void MarkedColor();
    // The Save dialog for the reduced file.
    void RedNewPath(bool& CanselEr, std::string& FileNSw);
    // Enables or disables Start and Clear All.
    void ObjectsEn(bool Bool);

    // What the engine uses of the window.
    void ShowWindow() override;
    void ProgressBarVisible(bool visible) override;
    void ProgressValue(float value) override;
    void BusyPointer(bool busy) override;

    // Controls by their names, as tests reach them.
    QLineEdit* Text10() const { return text10_; }   // source file
    QLineEdit* Text5() const { return text5_; }     // reduced file
    QLineEdit* Text1(int index) const { return text1_.at(static_cast<std::size_t>(index)); }  // 0 temperature, 1 others
    QLineEdit* Text4() const { return text4_; }     // averaged steps
    QLineEdit* Text6() const { return text6_; }     // largest number of averaged steps
    QLabel* Label4() const { return label4_; }
    QLabel* Label8() const { return label8_; }
    QCheckBox* Check2() const { return check2_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    platform::Grid* GridEX1() const { return grid_; }
    QPushButton* Command1() const { return command1_; }  // Start
    QPushButton* Command3() const { return command3_; }  // Close
    QPushButton* Command4() const { return command4_; }  // Clear All
    QPushButton* Command7() const { return command7_; }  // Prepare
    QPushButton* Command8() const { return command8_; }  // Browse

    // The state behind the controls.
    const std::vector<RedTargetRow>& TargetTable() const { return targetTable_; }
    int PointCount() const { return pointCount_; }
    const std::vector<RedInterval>& Intervals() const { return intervals_; }
    const std::string& SourceFilePath() const { return sourceFilePath_; }
    // The outcome of the last Start that ran the engine.
    const RedOutcome& LastOutcome() const { return lastOutcome_; }

private:
    void buildControls();
    void Form_Load();
    void Command1_Click();  // Start
    void Command3_Click();  // Close
    void Command4_Click();  // Clear All
    void Command7_Click();  // Prepare
    void Command8_Click();  // Browse
    // Shows in its box the full path of the reduced file that the typed
    // path names (RedTargetPath).
    void completeReducedPath();
    // Refuses a reduced path that names the source file.
    bool refuseSourceAsReduced();
    // Refuses a Start when the source file is no longer what Prepare read.
    bool refuseChangedSource();
    // Forgets a preparation that no longer stands.
    void clearPrepared();
    void showSpeciesRow(int species);
    void startReducedMechanism(const std::string& path);
    // Whether the reduced file may be written at the path: a file there
    // that is not a solver file is replaced only when the user agrees.
    bool mayReplace(const std::string& path);

    QLabel* label1_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label8_ = nullptr;
    QFrame* shape1_ = nullptr;
    QLineEdit* text10_ = nullptr;
    QLineEdit* text5_ = nullptr;
    std::array<QLineEdit*, 2> text1_{};
    QLineEdit* text4_ = nullptr;
    QLineEdit* text6_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    platform::Grid* grid_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command7_ = nullptr;
    QPushButton* command8_ = nullptr;

    std::unique_ptr<SOL_RESX> holder_;
    std::string sourceFilePath_;
    files::FileStamp sourceStamp_;  // the source as Prepare read it
    std::vector<RedTargetRow> targetTable_;
    int pointCount_ = 0;
    std::vector<double> timePoints_;
    std::vector<RedInterval> intervals_;
    RedOutcome lastOutcome_;
    std::string replaceConfirmed_;  // the existing file that Browse chose, replacing it confirmed
};

// Registers the window as "RED_Gen" for the text window's menu.
void InstallReductionWindow();

}  // namespace kx::reduction
