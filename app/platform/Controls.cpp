#include "Controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kx::platform {

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* NewTextBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* NewLockedTextBox(QWidget* parent, const QString& name) {
    QLineEdit* box = NewTextBox(parent, name);
    box->setReadOnly(true);
    box->setStyleSheet("QLineEdit { background: palette(window); }");
    return box;
}

QRadioButton* NewOption(QWidget* parent, const QString& name, const QString& caption) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}

QGroupBox* NewFrame(QWidget* parent, const QString& name, const QString& caption) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    return f;
}

QLabel* NewBanner(QWidget* parent, const QString& name, const QString& caption) {
    QLabel* banner = NewLabel(parent, name, caption);
    banner->setAlignment(Qt::AlignCenter);
    QFont font = banner->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    banner->setFont(font);
    return banner;
}

}  // namespace kx::platform
