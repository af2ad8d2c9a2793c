// Controls made under their object name (the control's name in the window,
// "Command7", "Text5"), so tests and window code find them by it.
#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kx::platform {

// A button that does not take Return as the window's default button.
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption);
QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption = QString());
QLineEdit* NewTextBox(QWidget* parent, const QString& name);
// A box the user reads but does not type into (a path taken from another
// window), in the window's colour.
QLineEdit* NewLockedTextBox(QWidget* parent, const QString& name);
QRadioButton* NewOption(QWidget* parent, const QString& name, const QString& caption);
QGroupBox* NewFrame(QWidget* parent, const QString& name, const QString& caption);
// The title across the top of a tool window: centred, bold, a size larger.
QLabel* NewBanner(QWidget* parent, const QString& name, const QString& caption = QString());

}  // namespace kx::platform
