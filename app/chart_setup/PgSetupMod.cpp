#include "PgSetupMod.h"

#include "ChartReports.h"
#include "Desktop.h"
#include "FormRegistry.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "SharedState.h"
#include "WindowHelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kx::chart_setup {

PgSetupMod::PgSetupMod() : FormWindow(shell::kChartPageSetup) {
    SetCaption("Page Setup");
    auto* label3 = new QLabel("Paper Size", this);
    label3->setObjectName("Label3");
    combo1_ = new QComboBox(this);
    combo1_->setObjectName("Combo1");
    label3->setBuddy(combo1_);
    auto* frame2 = new QGroupBox("Orientation", this);
    frame2->setObjectName("Frame2");
    option1_ = new QRadioButton("Portrait ", frame2);
    option1_->setObjectName("Option1");
    option2_ = new QRadioButton("Landscape ", frame2);
    option2_->setObjectName("Option2");
    auto* orientation = new QHBoxLayout(frame2);
    orientation->addWidget(option1_);
    orientation->addWidget(option2_);
    orientation->addStretch(1);
    label1_ = new QLabel(this);
    label1_->setObjectName("Label1");
    label1_->setWordWrap(true);
    command1_ = new QPushButton("OK", this);
    command1_->setObjectName("Command1");
    command1_->setDefault(true);
    command2_ = new QPushButton("Cancel", this);
    command2_->setObjectName("Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label3);
    layout->addWidget(combo1_);
    layout->addWidget(frame2);
    layout->addWidget(label1_);
    layout->addLayout(buttons);
    setMinimumWidth(platform::TwipsToPixels(5000));
    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });

    // Form_Load.
    shell::PlaceOnMainWindow(this, 2100, 1500);
    combo1_->addItems({" Letter, 8 1/2 x 11 inches", " A4, 210 x 297 mm"});
    const SharedState& shared = Shared();
    combo1_->setCurrentIndex(shared.PageSetupValues[4] == static_cast<float>(kPaperLetter) ? 0 : 1);
    (shared.PageSetupValues[5] == static_cast<float>(kPortrait) ? option1_ : option2_)->setChecked(true);
    label1_->setText(
        "You can't choose size of image optionally; the image is automatically "
        "rescaled to a certain size depending on the size and orientation of paper.");
}

void PgSetupMod::Command1_Click() {
    shell::TrapRestoringPointer("PrSet#001 ", [this] {
        platform::SetMousePointer(platform::kPointerHourglass);
        SharedState& shared = Shared();
        shared.PageSetupValues[4] = static_cast<float>(combo1_->currentIndex() != 0 ? kPaperA4 : kPaperLetter);
        shared.PageSetupValues[5] = static_cast<float>(option1_->isChecked() ? kPortrait : kLandscape);
        shell::UnloadReportDesigners();
        platform::Form* chart = platform::ActiveDocument();
        // The dialog is gone before the preview shows.
        accept();
        const ChartPrintPlan plan = PlanChartPrint(shared.PageSetupValues[4], shared.PageSetupValues[5]);
        const ChartPainter picture = PRINT_CHART(chart, plan.pictureHeight, plan.pictureWidth);
        if (!picture) {
            // The chart could not be drawn (reported): nothing to preview.
            platform::SetMousePointer(platform::kPointerDefault);
            return;
        }
        ShowChartReport(plan, picture);
    });
}

void PgSetupMod::Command2_Click() { reject(); }

void InstallChartPrinting() {
    shell::InstallFormCreator(shell::kChartPageSetup, [] { return new PgSetupMod; });
}

}  // namespace kx::chart_setup
