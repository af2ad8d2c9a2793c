// Controls made under their object name (the control's name in the window,
// "Command7", "Text5"), so tests and window code find them by it.
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kx::platform {

// A button that does not take Return as the window's default button.
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption);
QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption = QString());
QLineEdit* NewTextBox(QWidget* parent, const QString& name);

}  // namespace kx::platform
