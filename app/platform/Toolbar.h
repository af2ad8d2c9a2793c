// A toolbar whose buttons are reached by index (from 1, separators
// counted, in the order they were added) and by key, and which reports the
// key of a pressed button.
#pragma once

#include <QIcon>
#include <QString>
#include <QToolBar>

#include <functional>

class QAction;

namespace kx::platform {

class Toolbar : public QToolBar {
public:
    explicit Toolbar(QWidget* parent = nullptr);

    // Adds a button with its key, tooltip and icon; the key is its name.
    QAction* AddButton(const QString& key, const QString& tooltip, const QIcon& icon);
    void AddSeparator();

    // Buttons and separators counted from 1; nullptr outside.
    int ButtonCount() const;
    QAction* Button(int index) const;
    // The button with this key (exact letter case); nullptr when none.
    QAction* Button(const QString& key) const;

    // Runs the handler with the key of every pressed button.
    void OnButtonClick(std::function<void(const QString& key)> handler) { handler_ = std::move(handler); }

private:
    std::function<void(const QString&)> handler_;
};

}  // namespace kx::platform
