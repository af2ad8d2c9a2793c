// PLOT_Setup: the modal dialog in which the user sets up one chart: the two
// axes (shown or hidden, Auto, Linear or Log scale, range, tick marks and the
// significant digits of their spacing), the text size and three fonts, six
// colours, the point size, and for every subset its label, point symbol,
// line type and colour.
//
// It works on the active chart window. At load it leaves any zoom, saves the
// chart (in its own colours) to "KINA02.TMP" among the program's working
// files (WorkingFiles.h) and
// reads the chart's settings into its controls, the axes with the scale and
// range the chart draws. Apply writes what the user changed into the chart
// once the changed axes passed their checks (left alone, the chart stays
// exactly as drawn); OK applies and closes;
// Cancel (also Esc and the close box) reloads the chart from the backup, so
// the chart comes back as it was at opening, and switches it back to
// monochrome style when it was opened in it.
#pragma once

#include "ChartProperties.h"
#include "SetupRules.h"
#include "Forms.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace kx::platform {
class Grid;
}

namespace kx::chart_setup {

class LineSamples;
class PointSamples;

inline constexpr const char* kChartSetupDialog = "PLOT_Setup";
inline constexpr const char* kChartBackupName = "KINA02.TMP";

// Registers the dialog's creator with the shell.
void InstallChartSetup();

class PLOT_Setup : public platform::FormWindow<QDialog> {
public:
    // Works on the active chart window.
    PLOT_Setup();
    // Works on the given chart (which outlives the dialog).
    explicit PLOT_Setup(SetupTarget& chart);
    ~PLOT_Setup() override;

    // Validates the axis boxes the user changed and writes what the user
    // changed into the chart (opened and confirmed without a change, the
    // chart stays exactly as drawn); ErrBool comes back true when a check
    // refused (then nothing is written).
    void ToPlotOk(bool& ErrBool);
    // OK: applies; unless refused, closes (and the backup goes with it).
    void SUBOK();

    void Command1_Click();              // OK
    void Command7_Click();              // Apply
    void Command3_Click();              // Cancel
    void Command5_Click(int Index);     // colour of swatch Index
    void Command4_Click(int Index);     // font of sample Index
    void Command6_Click();              // colour of the current subset

    // Enables the fields of an axis for a scale mode (0 Auto, 1 Linear, 2 Log).
    void TextEnabX(int ModeN);
    void TextEnabY(int ModeN);
    // Shows tab SelInd (from 0).
    void TabSel(int SelInd);
    // The chart's fonts and text size into the Font tab, and back.
    void FontToMenu(const ChartProperties& chart);
    std::array<FontProperties, kFontGroups> FontFromMenu() const;

    // The samples of the Style tab: every line sample in LineCol with the
    // cell Ind highlighted; the point cell Ind highlighted; every symbol in
    // ColrSymb.
    void LineLabelColor(int Ind, Colour LineCol);
    void PointLabelColor(int Ind);
    void SetSymbols(Colour ColrSymb);
    // A click on line sample / point sample n: highlighted and stored in the
    // current subset row.
    void Label6_Click(int n);
    void Label4_Click(int n);

    // The dialog's table of subset styles (one row per subset at load).
    const std::vector<SubsetStyle>& SubsetStyles() const { return styles_; }
    const std::string& ChartBackupPath() const { return backupPath_; }
    // True when the load failed; OK and Apply stay disabled then.
    bool LoadFailed() const { return loadFailed_; }

    // Controls by their names, as the tests reach them.
    QTabWidget* TabStrip1() const { return tabStrip1_; }
    QCheckBox* Check1() const { return check1_; }
    QCheckBox* Check2() const { return check2_; }
    QRadioButton* Option(int n) const;  // Option3 to Option8, Option13 to Option18
    QLineEdit* Text(int n) const;       // Text2 to Text9
    QSpinBox* Text10() const { return text10_; }  // X significant digits, with its spinner
    QSpinBox* Text11() const { return text11_; }
    QLabel* Label(int n) const;         // Label2, 3, 5, 7 to 12, 14, 15, 17
    QLabel* Label1(int i) const { return label1_.at(static_cast<std::size_t>(i)); }
    QLabel* Label13(int i) const { return label13_.at(static_cast<std::size_t>(i)); }
    QWidget* Text1(int i) const { return text1_.at(static_cast<std::size_t>(i)); }
    Colour SwatchColour(int i) const { return swatch_.at(static_cast<std::size_t>(i)); }
    const FontProperties& SampleFont(int i) const { return fonts_.at(static_cast<std::size_t>(i)); }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command3() const { return command3_; }
    QPushButton* Command4(int i) const { return command4_.at(static_cast<std::size_t>(i)); }
    QPushButton* Command5(int i) const { return command5_.at(static_cast<std::size_t>(i)); }
    QPushButton* Command6() const { return command6_; }
    QPushButton* Command7() const { return command7_; }
    platform::Grid* GridEX1() const { return grid_; }
    LineSamples* LineSampleCells() const { return lineSamples_; }
    PointSamples* PointSampleCells() const { return pointSamples_; }

    // Esc and the close box: Cancel. When other code unloads the dialog it
    // only closes, leaving the chart as last applied.
    void reject() override;

protected:
    // However the dialog goes, the backup it made goes with it.
    void closeEvent(QCloseEvent* event) override;

private:
    struct AxisControls {
        QCheckBox* show = nullptr;
        std::array<QRadioButton*, 3> modes{};  // Auto, Linear, Log
        QLineEdit *maximum = nullptr, *minimum = nullptr, *major = nullptr, *minor = nullptr;
        QLabel *maximumLabel = nullptr, *minimumLabel = nullptr, *majorLabel = nullptr, *minorLabel = nullptr;
        QSpinBox* digits = nullptr;
        QLabel* digitsLabel = nullptr;
    };

    void buildControls();
    QGroupBox* buildAxis(const QString& title, AxisControls& axis, const std::array<int, 3>& optionNumbers,
                         const std::array<int, 4>& textNumbers, const std::array<int, 5>& labelNumbers,
                         const char* minorCaption, int digitsNumber);
    QWidget* buildFontTab();
    QWidget* buildColourTab();
    QWidget* buildStyleTab();
    void Form_Load();
    void loadAxis(AxisControls& axis, const AxisProperties& properties, const AxisSight& drawn, int tickDigits);
    SetupInput currentInput() const;
    void enableAxis(AxisControls& axis, int mode);
    int modeOf(const AxisControls& axis) const;
    int selectedOption(const std::array<QRadioButton*, 3>& options, int fallback) const;
    AxisInput inputOf(const AxisControls& axis) const;
    bool checkAxis(AxisControls& axis, char letter);
    void setSwatch(int i, Colour colour);
    void showSampleFont(int i);
    void refreshSamples();
    int currentStyleRow() const;  // index into styles_, -1 for none
    void keepOnScreenFrom(int leftTwips, std::optional<int> topTwips);
    bool hasData() const;

    std::unique_ptr<SetupTarget> ownTarget_;
    SetupTarget* target_ = nullptr;
    std::string backupPath_;
    bool backupWritten_ = false;
    bool openedMonochrome_ = false;
    bool monochromeDue_ = false;  // restored in colours; monochrome style still to switch on
    bool loadFailed_ = false;
    std::vector<SubsetStyle> styles_;
    std::array<Colour, 6> swatch_{};
    // The choices as the dialog showed them at load or at the last apply.
    SetupInput shown_;
    std::array<Colour, 6> shownSwatch_{};
    std::array<FontProperties, kFontGroups> fonts_{};

    QTabWidget* tabStrip1_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    AxisControls x_, y_;
    QSpinBox* text10_ = nullptr;
    QSpinBox* text11_ = nullptr;
    std::array<QRadioButton*, 3> textSize_{};   // Option3 Large, Option4 Medium, Option5 Small
    std::array<QRadioButton*, 3> pointSize_{};  // Option6 Small, Option7 Medium, Option8 Large
    std::array<QLabel*, 3> label13_{};
    std::array<QLabel*, 3> label16_{};
    std::array<QPushButton*, 3> command4_{};
    std::array<QLabel*, 6> label1_{};
    std::array<QWidget*, 6> text1_{};
    std::array<QPushButton*, 6> command5_{};
    QLabel* label12_ = nullptr;
    QLabel* label17_ = nullptr;
    platform::Grid* grid_ = nullptr;
    QPushButton* command6_ = nullptr;
    LineSamples* lineSamples_ = nullptr;
    PointSamples* pointSamples_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command7_ = nullptr;
    QPushButton* command3_ = nullptr;
};

}  // namespace kx::chart_setup
