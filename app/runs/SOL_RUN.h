// SOL_RUN: the run-settings window of one solver file. It shows the file's
// run settings, its species with their initial mole fractions and its
// reaction count, warns about species without thermodynamic data when the
// temperature is integrated, loads defaults, saved settings or the last
// state of an earlier run, and runs the solver on the rewritten file.
//
// The main window's deferred opening creates it, calls GETPASS and shows
// it, owned by the main window and not modal.
#pragma once

#include "Capabilities.h"
#include "Forms.h"
#include "RunSettings.h"
#include "Timer.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kx::platform {
class Grid;
}

namespace kx::runs {

class SOL_RUN : public platform::FormWindow<QDialog>, public platform::RunSettingsLoader {
public:
    SOL_RUN();

    // Selects tab 1 ("Starting  Values") for 1, tab 2 for any other value.
    void ShowTab(int NTab);
    // Shows the tab, selects the whole text of the box and shows the message.
    void ShoeTextMsg(QLineEdit* Txt, int Frn, const std::string& Msg);
    // The warning about species without thermodynamic data (temperature
    // integrated only); the window grows to show it.
    void PolinomCheck();
    // Puts the default solver parameters into their boxes.
    void DefoultVaues();
    // Loads the solver file. The window that asked for the run is found
    // later by this path, not by its caption InitFileCap: two files of the
    // same name in different folders have windows of the same caption.
    void GETPASS(const std::string& Pth, const std::string& InitFileCap) override;
    // Reads the solver file. When it fails, Run, Save and Last Step stay
    // disabled; when only the last step of an earlier run cannot be read
    // (reported), Last Step alone does.
    void OpnFile(const std::string& FilePP);
    // Reads the last state of an earlier completed run; false on failure.
    bool LastVal(const std::string& FilePPSS);
    // Loads the saved settings into the window.
    void EnterSetting();
    // Sorts the grid by "No", ascending.
    void RecOrder_Load();

    // Controls by their names, as the window's users and its tests reach them.
    QLineEdit* Text1() const { return text1_; }
    QLineEdit* Text3() const { return text3_; }
    QLineEdit* Text6() const { return text6_; }
    QLineEdit* Text7() const { return text7_; }
    QLineEdit* Text4(int index) const { return text4_.at(static_cast<std::size_t>(index)); }
    QRadioButton* Option1() const { return option1_; }
    QRadioButton* Option3() const { return option3_; }
    QCheckBox* Check1() const { return check1_; }
    QTabWidget* TabStrip1() const { return tabStrip1_; }
    platform::Grid* GridEX1() const { return grid_; }
    QLabel* Label2() const { return label2_; }
    QLabel* Label9() const { return label9_; }
    QPushButton* Command1() const { return command1_; }  // Default Setting
    QPushButton* Command2() const { return command2_; }  // Cancel
    QPushButton* Command3() const { return command3_; }  // Save
    QPushButton* Command4() const { return command4_; }  // Clear Table
    QPushButton* Command5() const { return command5_; }  // Run Solver
    QPushButton* Command6() const { return command6_; }  // Enter
    QPushButton* Command7() const { return command7_; }  // Last Step

    const std::string& RunFilePath() const { return runFilePath_; }
    const SolverFileModel& Model() const { return model_; }

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void buildControls();
    void Form_Load();
    void Timer1_Timer();
    QLineEdit* box(Setting s) const;
    RunSettings settingsFromBoxes() const;
    void showSettings(const RunSettings& s);
    // Takes the settings from the boxes, lets the step change them and shows
    // them again, also when the step fails (what it changed before stays);
    // returns them.
    RunSettings changeSettings(const std::function<void(RunSettings&)>& step);
    void setRunEnabled(bool enabled);
    void refillGrid();
    void keepGridWhole();
    void positionGridLater(int row, int column);
    void commitGridEdit();
    std::string savedSettingsFile() const;

    QTabWidget* tabStrip1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLineEdit* text6_ = nullptr;
    QLineEdit* text7_ = nullptr;
    std::array<QLineEdit*, 7> text4_{};
    QRadioButton* option1_ = nullptr;
    QRadioButton* option3_ = nullptr;
    QCheckBox* check1_ = nullptr;
    platform::Grid* grid_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QLabel* label9_ = nullptr;
    QLabel* label11_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command5_ = nullptr;
    QPushButton* command6_ = nullptr;
    QPushButton* command7_ = nullptr;
    platform::Timer timer1_{200, true};

    std::string runFilePath_;
    SolverFileModel model_;
    LastStep lastStep_;
    int gridRow_ = 1;
    int gridCol_ = 1;
};

// Registers the window as "SOL_RUN" for the main window's deferred opening.
void InstallRunSettingsWindow();

}  // namespace kx::runs
