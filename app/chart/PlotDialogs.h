// The chart window's small dialogs: the export dialog PLOT_xportMe and the
// chart size question. Both are modal windows shown through ShowModal.
#pragma once

#include "ExportNaming.h"
#include "Forms.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QRadioButton;

namespace kx::chart {

inline constexpr const char* kExportDialog = "PLOT_xportMe";

// Export destinations as the shared ExportDestination keeps them.
inline constexpr int kExportToClipboard = 0;
inline constexpr int kExportToFile = 1;

// The picture kind, the destination and the file of an export. It starts
// on the shared remembered choices and stores them back on OK. The file is
// the one ExportTargetFor makes of the typed name; OK shows it (and the
// kind its extension chose) in the dialog and asks before it replaces a
// file that is there.
class PLOT_xportMe : public platform::FormWindow<QDialog> {
public:
    PLOT_xportMe();

    QRadioButton* KindButton(int kind) const { return kinds_[kind]; }
    QRadioButton* DestinationButton(int destination) const { return destinations_[destination]; }
    QLineEdit* FileBox() const { return file_; }
    // OK: checks the choice and stores it; the dialog ends accepted. A file
    // that is not to be replaced keeps the dialog open.
    void Ok();

private:
    void browse();
    bool mayReplace(const std::string& path);
    int kind() const;
    void enableFile();

    QRadioButton* kinds_[3] = {};
    QRadioButton* destinations_[2] = {};
    QLineEdit* file_ = nullptr;
    std::string replaceConfirmed_;  // an existing file the Save dialog of Browse asked about
};

// Asks for a chart size in centimetres, starting on the given one; false
// when the user cancelled.
bool AskChartSize(QWidget* owner, double heightCm, double widthCm, double& newHeightCm, double& newWidthCm);

}  // namespace kx::chart
