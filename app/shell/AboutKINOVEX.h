// AboutKINOVEX: the modal About box with the program's edition, version
// and contact lines.
#pragma once

#include "Forms.h"

#include <QDialog>

class QPushButton;
class QTextEdit;

namespace kx::shell {

class AboutKINOVEX : public platform::FormWindow<QDialog> {
public:
    explicit AboutKINOVEX(QWidget* owner = nullptr);

    QTextEdit* RichTextBox1() const { return richTextBox1_; }
    QPushButton* Command1() const { return command1_; }

private:
    QTextEdit* richTextBox1_ = nullptr;
    QPushButton* command1_ = nullptr;
};

// The About box's text, lines separated by CR LF.
QString AboutText();

// Shows the About box modally over the main window; returns when closed.
void ShowAboutBox();

}  // namespace kx::shell
