#include "RES_PAGESETUP.h"

#include "Desktop.h"
#include "Format.h"
#include "FormRegistry.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "SharedState.h"
#include "Text.h"
#include "TextPrinting.h"
#include "WindowHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::text {
namespace {

using platform::FromQ;
using platform::ToQ;

constexpr const char* kMarginLabels[4] = {"Left", "Right", "Top", "Bottom"};

QLineEdit* numberBox(QWidget* parent, const QString& name, int widthTwips) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaximumWidth(platform::TwipsToPixels(widthTwips));
    return box;
}

}  // namespace

RES_PAGESETUP::RES_PAGESETUP() : FormWindow(shell::kTextPageSetup) {
    SetCaption("Text Editor Print");
    buildControls();
    load();
}

void RES_PAGESETUP::buildControls() {
    auto* frame1 = new QGroupBox("Margins (inchs)", this);
    frame1->setObjectName("Frame1");
    auto* margins = new QGridLayout(frame1);
    for (int i = 0; i < 4; ++i) {
        text1_[static_cast<size_t>(i)] = numberBox(frame1, QString("Text1_%1").arg(i), 900);
        auto* label = new QLabel(kMarginLabels[i], frame1);
        label->setBuddy(text1_[static_cast<size_t>(i)]);
        margins->addWidget(label, i / 2, (i % 2) * 2);
        margins->addWidget(text1_[static_cast<size_t>(i)], i / 2, (i % 2) * 2 + 1);
    }

    auto* frame2 = new QGroupBox("Orientation", this);
    frame2->setObjectName("Frame2");
    auto* orientation = new QVBoxLayout(frame2);
    option1_ = new QRadioButton("Portrait ", frame2);
    option1_->setObjectName("Option1");
    option2_ = new QRadioButton("Landscape ", frame2);
    option2_->setObjectName("Option2");
    orientation->addWidget(option1_);
    orientation->addWidget(option2_);

    combo2_ = new QComboBox(this);
    combo2_->setObjectName("Combo2");
    text4_ = new QLineEdit(this);
    text4_->setObjectName("Text4");
    check1_ = new QCheckBox("Page Numbers", this);
    check1_->setObjectName("Check1");
    combo1_ = new QComboBox(this);
    combo1_->setObjectName("Combo1");
    text3_ = numberBox(this, "Text3", 900);
    label6_ = new QLabel(this);
    label6_->setObjectName("Label6");
    label6_->setWordWrap(true);
    command5_ = new QPushButton("Print Preview", this);
    command5_->setObjectName("Command5");
    command5_->setDefault(true);
    command3_ = new QPushButton("Cancel", this);
    command3_->setObjectName("Command3");

    auto* fields = new QGridLayout;
    auto addRow = [&](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        fields->addWidget(label, row, 0);
        fields->addWidget(field, row, 1);
    };
    addRow(0, "Paper Size", combo2_);
    addRow(1, "Page Heading", text4_);
    fields->addWidget(check1_, 2, 0, 1, 2);
    addRow(3, "Page Number Alignment", combo1_);
    addRow(4, "First Page Number", text3_);
    fields->setColumnStretch(1, 1);

    auto* frames = new QHBoxLayout;
    frames->addWidget(frame1, 2);
    frames->addWidget(frame2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command5_);
    buttons->addWidget(command3_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(fields);
    layout->addWidget(label6_);
    layout->addLayout(buttons);
    setMinimumWidth(platform::TwipsToPixels(6600));

    connect(command5_, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void RES_PAGESETUP::load() {
    platform::UnloadAll(shell::kFindWindow);
    platform::Form* active = platform::ActiveDocument();
    std::string heading;
    std::int32_t pageNumbers = 0;
    std::int32_t firstPage = 0;
    platform::Require<platform::HasPageSetup>(active).Get_Page_SetUp(heading, pageNumbers, firstPage);
    text3_->setText(QString::number(firstPage));
    check1_->setChecked(pageNumbers != 0);
    text4_->setText(ToQ(heading));

    const SharedState& shared = Shared();
    combo1_->addItems({" Left Justify ", " Right Justify "});
    combo1_->setCurrentIndex(std::clamp(shared.PageNumberAlign, 0, 1));
    combo2_->addItems({" Letter, 8 1/2 x 11 in", " A4, 210 x 297 mm"});
    combo2_->setCurrentIndex(shared.PageSetupValues[4] == static_cast<float>(kPaperLetter) ? 0 : 1);
    (shared.PageSetupValues[5] == static_cast<float>(kPortrait) ? option1_ : option2_)->setChecked(true);
    for (size_t i = 0; i < 4; ++i) text1_[i]->setText(ToQ(Format(shared.PageSetupValues[i], "0.##")));

    // Only a text window can have a selection to print.
    bool selected = false;
    if (auto* text = dynamic_cast<platform::TextPrinting*>(active)) text->SelZxBB(selected);
    label6_->setText(selected ? "Selected portion of the text will be printed. "
                                "To print the entire document, you should cancel text selection."
                              : "The entire document will be printed. "
                                "To print a portion of the text, you should select this portion.");

    shell::PlaceOnMainWindow(this, 2100, 1500);
}

void RES_PAGESETUP::Command5_Click() {
    shell::Trap("PgSet#001. ", [this] {
        PageSetupEntries entries;
        for (size_t i = 0; i < 4; ++i) entries.margins[i] = FromQ(text1_[i]->text());
        entries.paperIndex = combo2_->currentIndex();
        entries.portrait = option1_->isChecked();
        entries.heading = FromQ(text4_->text());
        entries.pageNumbers = check1_->isChecked();
        entries.alignIndex = combo1_->currentIndex();
        entries.firstPage = FromQ(text3_->text());

        const PageSetupOutcome out = CheckPageSetup(entries);
        if (out.refusal == PageSetupRefusal::Margin) {
            shell::ShowInputError(this, ToQ(out.message), text1_[static_cast<size_t>(out.box)]);
            return;
        }
        shell::UnloadReportDesigners();
        if (out.firstPageFilled) text3_->setText("1");
        if (out.refusal == PageSetupRefusal::FirstPage) {
            shell::ShowInputError(this, ToQ(out.message), text3_);
            return;
        }
        SharedState& shared = Shared();
        if (out.storePage) {
            shared.PageSetupValues[4] = static_cast<float>(out.paper);
            shared.PageSetupValues[5] = static_cast<float>(out.orientation);
            for (size_t i = 0; i < 4; ++i) shared.PageSetupValues[i] = out.margins[i];
        }
        if (out.refusal == PageSetupRefusal::Fit) {
            shell::UserMessage(out.message, platform::kMsgExclamation);
            return;
        }
        shared.PageNumberAlign = out.numberAlign;
        platform::Form* target = platform::ActiveDocument();
        // The dialog is gone before the preview shows.
        accept();
        platform::Require<platform::HasPageSetup>(target).Set_Page_SetUp(out.heading, out.pageNumbers,
                                                                          out.firstPage);
        platform::Require<platform::TextPrinting>(target).Print_Rch();
    });
}

void RES_PAGESETUP::Command3_Click() { reject(); }

}  // namespace kx::text
