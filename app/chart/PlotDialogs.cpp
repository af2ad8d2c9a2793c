#include "PlotDialogs.h"

#include "CommonDialogs.h"
#include "Desktop.h"
#include "Files.h"
#include "Format.h"
#include "Messages.h"
#include "Modal.h"
#include "SharedState.h"
#include "Text.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <filesystem>

namespace kx::chart {

PLOT_xportMe::PLOT_xportMe() : FormWindow(kExportDialog) {
    setWindowTitle("Export Chart");
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QGroupBox("Picture", this);
    auto* pictureRows = new QVBoxLayout(picture);
    const char* kindCaptions[] = {"PNG picture", "BMP picture", "SVG drawing"};
    for (int k = 0; k < 3; ++k) {
        kinds_[k] = new QRadioButton(kindCaptions[k], picture);
        kinds_[k]->setObjectName(QString("Option%1").arg(k + 1));
        pictureRows->addWidget(kinds_[k]);
    }
    auto* target = new QGroupBox("Destination", this);
    auto* targetRows = new QVBoxLayout(target);
    destinations_[0] = new QRadioButton("Clipboard", target);
    destinations_[1] = new QRadioButton("File", target);
    destinations_[0]->setObjectName("Option4");
    destinations_[1]->setObjectName("Option5");
    targetRows->addWidget(destinations_[0]);
    targetRows->addWidget(destinations_[1]);
    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(target);
    file_->setObjectName("Text1");
    file_->setMinimumWidth(platform::TwipsToPixels(4000));
    auto* browseButton = new QPushButton("Browse...", target);
    browseButton->setObjectName("Command3");
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browseButton);
    targetRows->addLayout(fileRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("Command1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("Command2");
    layout->addWidget(picture);
    layout->addWidget(target);
    layout->addWidget(buttons);

    const SharedState& s = Shared();
    kinds_[std::clamp(s.ExportPictureKind, 0, 2)]->setChecked(true);
    destinations_[std::clamp(s.ExportDestination, 0, 1)]->setChecked(true);
    file_->setText(platform::ToQ(s.ExportFilePath));
    enableFile();
    connect(destinations_[1], &QRadioButton::toggled, this, [this] { enableFile(); });
    connect(browseButton, &QPushButton::clicked, this, [this] { shell::Trap("Plot#033. ", [this] { browse(); }); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { shell::Trap("Plot#034. ", [this] { Ok(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int PLOT_xportMe::kind() const {
    for (int k = 0; k < 3; ++k)
        if (kinds_[k]->isChecked()) return k;
    return kExportPng;
}

void PLOT_xportMe::enableFile() {
    const bool toFile = destinations_[1]->isChecked();
    file_->setEnabled(toFile);
    if (auto* b = findChild<QPushButton*>("Command3")) b->setEnabled(toFile);
}

void PLOT_xportMe::browse() {
    const std::string ext = ExportExtension(kind());
    std::string path = platform::FromQ(file_->text());
    bool cancelled = false;
    shell::CommonDialog1().FileName = file_->text();
    shell::ShowSaveDialog(1, path, 1, cancelled, "Pictures (*." + ext + ")|*." + ext);
    if (cancelled) return;
    // The dialog asked before choosing a file that is there.
    replaceConfirmed_ = files::Exists(path) ? path : std::string();
    file_->setText(platform::ToQ(path));
}

bool PLOT_xportMe::mayReplace(const std::string& path) {
    if (path == replaceConfirmed_ || !files::Exists(path)) return true;
    return shell::AskReplaceFile(path, "Replace it with the exported chart?");
}

void PLOT_xportMe::Ok() {
    int k = kind();
    const int destination = destinations_[1]->isChecked() ? kExportToFile : kExportToClipboard;
    std::string path;
    if (destination == kExportToFile) {
        const std::string typed = platform::FromQ(file_->text());
        std::error_code ec;
        const std::string folder = std::filesystem::current_path(ec).string();
        const ExportTarget target =
            ExportTargetFor(typed, k, folder, [](const std::string& p) { return files::FolderExists(p); });
        if (target.fault == ExportNameFault::NoName) {
            shell::ShowInputError(this, "Please enter the name of the file to export to.", file_);
            return;
        }
        if (target.fault == ExportNameFault::Folder) {
            shell::ShowInputError(
                this, platform::ToQ("'" + target.path + "' is a folder. Please enter the name of the file to export to."),
                file_);
            return;
        }
        // The dialog names the file written and the kind it is written as.
        k = target.kind;
        path = target.path;
        kinds_[k]->setChecked(true);
        file_->setText(platform::ToQ(path));
        if (!mayReplace(path)) {
            file_->setFocus();
            file_->selectAll();
            return;
        }
    }
    SharedState& s = Shared();
    s.ExportPictureKind = k;
    s.ExportDestination = destination;
    if (destination == kExportToFile) s.ExportFilePath = path;
    accept();
}

namespace {

class ChartSizeDialog : public QDialog {
public:
    ChartSizeDialog(QWidget* owner, double heightCm, double widthCm) : QDialog(owner) {
        setObjectName("ChartSizeDialog");
        setWindowTitle("Chart Size");
        auto* form = new QFormLayout(this);
        height_ = new QLineEdit(platform::ToQ(Format(heightCm, "0.0")), this);
        width_ = new QLineEdit(platform::ToQ(Format(widthCm, "0.0")), this);
        height_->setObjectName("HeightBox");
        width_->setObjectName("WidthBox");
        form->addRow("Height (cm):", height_);
        form->addRow("Width (cm):", width_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            for (QLineEdit* box : {height_, width_})
                if (!ParseNumber(platform::FromQ(box->text()))) {
                    shell::ShowInputError(this, "Please enter the size in centimetres as a number.", box);
                    return;
                }
            accept();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    double height() const { return ParseNumber(platform::FromQ(height_->text())).value_or(0); }
    double width() const { return ParseNumber(platform::FromQ(width_->text())).value_or(0); }

private:
    QLineEdit* height_;
    QLineEdit* width_;
};

}  // namespace

bool AskChartSize(QWidget* owner, double heightCm, double widthCm, double& newHeightCm, double& newWidthCm) {
    ChartSizeDialog dialog(owner, heightCm, widthCm);
    if (platform::ShowModal(dialog) != QDialog::Accepted) return false;
    newHeightCm = dialog.height();
    newWidthCm = dialog.width();
    return true;
}

}  // namespace kx::chart
