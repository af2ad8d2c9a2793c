// PgSetupMod: "Page Setup" of chart printing. The user chooses the paper
// and the orientation; OK stores them in the shared page set-up (text
// printing starts from them too) and prints the active chart window on one
// page, at the picture size of that page layout.
#pragma once

#include "Forms.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kx::chart_setup {

class PgSetupMod : public platform::FormWindow<QDialog> {
public:
    PgSetupMod();

    // OK: store, then print the active chart window.
    void Command1_Click();
    // Cancel: closes; nothing is stored.
    void Command2_Click();

    QComboBox* Combo1() const { return combo1_; }        // paper
    QRadioButton* Option1() const { return option1_; }   // portrait
    QRadioButton* Option2() const { return option2_; }   // landscape
    QLabel* Label1() const { return label1_; }           // the note on the picture size
    QPushButton* Command1() const { return command1_; }  // OK
    QPushButton* Command2() const { return command2_; }  // Cancel

private:
    QComboBox* combo1_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

// Installs the chart page set-up dialog for the main window's print button.
void InstallChartPrinting();

}  // namespace kx::chart_setup
