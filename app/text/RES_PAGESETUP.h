// RES_PAGESETUP: "Text Editor Print", the modal dialog through which a
// text document is printed. The user sets the margins, the paper, the
// orientation, a page heading and the page numbering; "Print Preview"
// checks them, stores them (paper, orientation, margins and the number
// alignment for every text window, the heading, the page-number flag and
// the first page number in the active window) and prints the active text
// window.
#pragma once

#include "Forms.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kx::text {

class RES_PAGESETUP : public platform::FormWindow<QDialog> {
public:
    // Loads the values of the active document window; a window without
    // page set-up values (or none) raises into the caller's trap.
    RES_PAGESETUP();

    // "Print Preview": the checks, then store and print.
    void Command5_Click();
    // "Cancel": closes; nothing is stored.
    void Command3_Click();

    QLineEdit* Text1(int i) const { return text1_[static_cast<size_t>(i)]; }  // margins
    QComboBox* Combo2() const { return combo2_; }                            // paper
    QRadioButton* Option1() const { return option1_; }                       // portrait
    QRadioButton* Option2() const { return option2_; }                       // landscape
    QLineEdit* Text4() const { return text4_; }                              // heading
    QCheckBox* Check1() const { return check1_; }                            // page numbers
    QComboBox* Combo1() const { return combo1_; }                            // number alignment
    QLineEdit* Text3() const { return text3_; }                              // first page number
    QLabel* Label6() const { return label6_; }                               // what will be printed
    QPushButton* Command5() const { return command5_; }
    QPushButton* Command3() const { return command3_; }

private:
    void buildControls();
    void load();

    std::array<QLineEdit*, 4> text1_{};
    QComboBox* combo2_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLabel* label6_ = nullptr;
    QPushButton* command5_ = nullptr;
    QPushButton* command3_ = nullptr;
};

}  // namespace kx::text
