#include "RES_FIND.h"

#include "FormRegistry.h"
#include "MessageBox.h"
#include "Messages.h"
#include "RES_ShowFile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kx::text {

RES_FIND::RES_FIND() : FormWindow(shell::kFindWindow) {
    SetCaption("Find");
    setModal(false);
    auto* grid = new QGridLayout(this);
    text1_ = new QLineEdit(this);
    text1_->setObjectName("Text1");
    text2_ = new QLineEdit(this);
    text2_->setObjectName("Text2");
    label2_ = new QLabel("Replace with:", this);
    check1_ = new QCheckBox("Match whole word only", this);
    check1_->setObjectName("Check1");
    check2_ = new QCheckBox("Match case", this);
    check2_->setObjectName("Check2");
    command1_ = new QPushButton("Find Next", this);
    command1_->setObjectName("Command1");
    command1_->setDefault(true);
    command2_ = new QPushButton("Replace", this);
    command2_->setObjectName("Command2");
    command3_ = new QPushButton("Replace All", this);
    command3_->setObjectName("Command3");
    command4_ = new QPushButton("Cancel", this);
    command4_->setObjectName("Command4");
    grid->addWidget(new QLabel("Find what:", this), 0, 0);
    grid->addWidget(text1_, 0, 1);
    grid->addWidget(label2_, 1, 0);
    grid->addWidget(text2_, 1, 1);
    grid->addWidget(check1_, 2, 0, 1, 2);
    grid->addWidget(check2_, 3, 0, 1, 2);
    grid->addWidget(command1_, 0, 2);
    grid->addWidget(command2_, 1, 2);
    grid->addWidget(command3_, 2, 2);
    grid->addWidget(command4_, 3, 2);
    connect(command1_, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(command2_, &QPushButton::clicked, this, [this] { Replace(); });
    connect(command3_, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(command4_, &QPushButton::clicked, this, [this] { platform::Unload(this); });

    auto* active = dynamic_cast<RES_ShowFile*>(platform::ActiveDocument());
    IsSol(active && active->GetIsSolFile(), active);
}

void RES_FIND::IsSol(bool solverFile, RES_ShowFile* window) {
    if (window) target_ = window;
    for (QWidget* w : std::initializer_list<QWidget*>{label2_, text2_, command2_, command3_}) w->setVisible(!solverFile);
    SetCaption(solverFile ? "Find" : "Find and Replace");
}

RES_ShowFile* RES_FIND::Target() const {
    if (auto* active = dynamic_cast<RES_ShowFile*>(platform::ActiveDocument())) return active;
    return target_.data();
}

int RES_FIND::options() const {
    return (check1_->isChecked() ? kFindWholeWord : 0) + (check2_->isChecked() ? kFindMatchCase : 0);
}

void RES_FIND::FindNext() {
    shell::Trap("Find#001. ", [this] {
        platform::Require<platform::HasMePath>(Target());
        Target()->Find_Rich(text1_->text(), options(), true);
    });
}

void RES_FIND::Replace() {
    shell::Trap("Find#002. ", [this] {
        platform::Require<platform::HasMePath>(Target());
        RES_ShowFile* t = Target();
        if (t->GetIsSolFile()) return;
        // The first press finds; each next one replaces the match and finds on.
        if (t->LastFindText() != text1_->text() || t->LastFindOptions() != options())
            t->Find_Rich(text1_->text(), options(), true);
        else
            t->Replace_Rich(text2_->text());
    });
}

void RES_FIND::ReplaceAll() {
    shell::Trap("Find#003. ", [this] {
        platform::Require<platform::HasMePath>(Target());
        RES_ShowFile* t = Target();
        if (t->GetIsSolFile() || text1_->text().isEmpty()) return;
        const int count = t->Replace_ALL(text1_->text(), text2_->text(), options());
        if (count == 0)
            ShowTextNotFound(text1_->text());
        else
            platform::MsgBox(QString::number(count) + " replacement(s) made.", platform::kMsgInformation,
                             shell::kMessageTitle);
    });
}

}  // namespace kx::text
