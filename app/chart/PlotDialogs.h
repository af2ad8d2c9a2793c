// The chart window's small dialogs: the export dialog PLOT_xportMe and the
// chart size question. Both are modal windows shown through ShowModal.
#pragma once

#include "Forms.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace kx::chart {

inline constexpr const char* kExportDialog = "PLOT_xportMe";

// Export kinds and destinations as the shared ExportPictureKind and
// ExportDestination keep them.
inline constexpr int kExportPng = 0;
inline constexpr int kExportBmp = 1;
inline constexpr int kExportSvg = 2;
inline constexpr int kExportToClipboard = 0;
inline constexpr int kExportToFile = 1;

// The picture kind, the destination and the file of an export. It starts
// on the shared remembered choices and stores them back on OK.
class PLOT_xportMe : public platform::FormWindow<QDialog> {
public:
    PLOT_xportMe();

    QRadioButton* KindButton(int kind) const { return kinds_[kind]; }
    QRadioButton* DestinationButton(int destination) const { return destinations_[destination]; }
    QLineEdit* FileBox() const { return file_; }
    // OK: checks the choice and stores it; the dialog ends accepted.
    void Ok();

private:
    void browse();
    int kind() const;
    void enableFile();

    QRadioButton* kinds_[3] = {};
    QRadioButton* destinations_[2] = {};
    QLineEdit* file_ = nullptr;
};

// The file extension of an export kind ("png", "bmp", "svg").
const char* ExportExtension(int kind);

// Asks for a chart size in centimetres, starting on the given one; false
// when the user cancelled.
bool AskChartSize(QWidget* owner, double heightCm, double widthCm, double& newHeightCm, double& newWidthCm);

}  // namespace kx::chart
