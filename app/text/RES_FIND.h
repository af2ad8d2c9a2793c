// RES_FIND: the find-and-replace window. It stays open beside the text and
// works on the text window that was active last: Find Next searches on from
// where that window's last search stopped, Replace replaces the match found
// and finds the next, Replace All replaces every match. Whole word and match
// case narrow the search. For a solver file only finding is offered. When
// the window it works on closes it goes on with another text window, and
// it closes with the last one.
#pragma once

#include "Forms.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kx::text {

class RES_ShowFile;

class RES_FIND : public platform::FormWindow<QDialog> {
public:
    RES_FIND();

    // Called by a text window as it becomes active: the window to search
    // and whether it shows a solver file (then replacing is not offered).
    void IsSol(bool solverFile, RES_ShowFile* window);

    void FindNext();
    void Replace();
    void ReplaceAll();

    QLineEdit* Text1() const { return text1_; }  // the text to find
    QLineEdit* Text2() const { return text2_; }  // the replacement
    QCheckBox* Check1() const { return check1_; }  // whole word
    QCheckBox* Check2() const { return check2_; }  // match case
    QPushButton* Command2() const { return command2_; }  // Replace
    QPushButton* Command3() const { return command3_; }  // Replace All
    RES_ShowFile* Target() const;

private:
    int options() const;

    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLabel* label2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPointer<RES_ShowFile> target_;
};

}  // namespace kx::text
