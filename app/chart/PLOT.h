// PLOT: the chart window. One window shows one chart: a chart file
// ("Chart " and the file's name) or the curves a producer handed over in the
// shared plot data (the one "Temporary Chart "). The chart's content is the
// window's ChartModel (Pesgoa1()); ChartView draws it.
//
// Other windows call the public methods below; the shell reaches the window
// through the capability interfaces. Every public operation traps its own
// errors and reports them with its tag, except where a comment says that
// errors reach the caller.
#pragma once

#include "Capabilities.h"
#include "ChartModel.h"
#include "ChartView.h"
#include "Files.h"
#include "Forms.h"
#include "Timer.h"

#include <QMainWindow>
#include <QPointF>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;

namespace kx::chart {

inline constexpr const char* kTemporaryChartCaption = "Temporary Chart ";

// Buttons of the main window's chart toolbar, by index.
namespace toolbar2 {
inline constexpr int kSave = 1;
inline constexpr int kCut = 4;
inline constexpr int kCopy = 5;
inline constexpr int kPaste = 6;
inline constexpr int kGridLines = 11;
inline constexpr int kMarker = 12;
inline constexpr int kStyle = 13;
}  // namespace toolbar2

// The long labels of appended subsets, one (first part, rest) per subset.
using LongLabels = std::vector<std::pair<std::string, std::string>>;

class PLOT : public platform::FormWindow<QMainWindow>,
             public platform::ChartFileLoader,
             public platform::ShowsFile,
             public platform::ChartToolbarTarget,
             public platform::ChartTexts,
             public platform::ChartAnnotations,
             public platform::HasToolbar,
             public platform::HasActivation,
             public platform::ChartDataSource {
public:
    PLOT();
    ~PLOT() override;

    // ---- the chart ----
    // The chart's content and settings, by name (see ChartModel). After
    // changing it call Refr() (or ApplyChartChanges()) to redraw and
    // MustSave() to mark the chart changed.
    ChartModel& Pesgoa1() { return model_; }
    const ChartModel& Pesgoa1() const { return model_; }
    ChartView* View() const { return view_; }
    // Draws the chart into the rectangle of a painter (printing, export).
    void RenderChart(QPainter& painter, const QRectF& target);

    // ---- window state ----
    bool ChartChanged() const { return chartChanged_; }
    bool ChartSavedToFile() const { return chartSavedToFile_; }
    const std::string& ChartFileName() const { return chartFileName_; }
    std::string ShownFile() const override { return chartFileName_; }
    bool ShowsOlderCopy() const override;
    bool RandomColours() const { return model_.colourStyle; }
    bool FirstActivation() const { return firstActivation_; }
    bool ClosingWithoutPrompt() const { return closingWithoutPrompt_; }
    bool IsTemporaryChart() const;

    // ---- loading ----
    // Loads the shared plot data: mode 0 a new chart, any other mode the
    // data only; HistogrBool marks a histogram.
    void Intit(long ModeNm, bool HistogrBool);
    // Appends the shared append hand-off as new subsets; TipTx holds their
    // long labels.
    void SubSetAdd(const LongLabels& TipTx);
    void CheckDiv();

    // ---- files ----
    // Opens a chart file into this window. On success FormCaption is
    // "Chart " and the file's name; a file that is no chart of this
    // program sets ErrBool (nothing shown: the opener tells the user).
    void OPENPLOT(const std::string& Fileop, bool& ErrBool, std::string& FormCaption) override;
    std::string OpenRefusal() const override { return openRefusal_; }
    // Reloads the chart's content from a file and keeps the window's file
    // name, caption and flags. Errors reach the caller.
    void RestoreContent(const std::string& path);
    // Save As; Cancelled comes back true when the user gave up (also at the
    // question about a file another window shows, or about its own file
    // changed on disk). Returns true when the chart was written; a failed
    // write is reported.
    bool SaveGraphTT(bool& Cancelled);
    // Save to the chart's file, else Save As. A file changed on disk since
    // it was opened or saved is asked about first; No saves nothing.
    void SaveTT() override;
    bool Save();

    // ---- toolbar, menus, timers ----
    void ToolBr() override;
    void ClipCheckUp(bool& ErrBL);  // true: this copy has no copied subset
    void MenuEnab(bool EnBool);
    void MustSave() override { chartChanged_ = true; }
    // Sets whether the chart counts as changed since its last save (a
    // content brought back as it was counts as it did then).
    void SetChartChanged(bool changed) { chartChanged_ = changed; }
    void Refr();
    void Form_Activate() override;
    void Form_Deactivate() override;
    bool QueryUnload() override;

    // ---- appearance ----
    void ViewingStyle() override;
    bool COLORBOOLTT() const { return model_.colourStyle; }
    void PlotCol();
    void Monochr();
    void ColorToPlot(Colour DeskColorN, Colour TextColorN, Colour ShadowColorN, Colour GraphBackColor,
                     Colour GraphForeColorN, Colour GraphAnnotationColorN_A, Colour MkColor);
    void MarkDataPnt() override;
    void GridLine() override;
    void SetTextSize(int sizeClass);
    void SetPointSize(int sizeClass);
    void ShowLegend(bool on);
    // Shows the chart set-up dialog.
    void CastomDial();
    // The data of the chart as a text table in a text window.
    void ViewDataOnly();

    // ---- chart size and export ----
    void FullWin();
    void ChartSize();
    // A fixed chart size in centimetres (Action 1 applies it, 0 only checks
    // it); ErrBL is set, with a message, for a size outside 2 to 100 cm.
    void PoltSize(bool& ErrBL, double HeigthVal, double WidthVal, int Action);
    void GetChartSize_Twips(double& Chart_H, double& Chart_W) const;
    void GetChartSize_Pix(int& Chart_H, int& Chart_W) const;
    double ChartWidth() const;
    double ChartHeight() const;
    // The export: kind 0 PNG, 1 BMP, 2 SVG; destination 0 the clipboard, 1
    // the file. Returns false when it failed (reported).
    bool ExportChart(int kind, int destination, const std::string& path);
    // The chart picture at a size in twips on the clipboard; the sizes come
    // back in hundredths of a millimetre.
    void PRINT_CHART(float& HVal_Tw, float& WVal_Tw);

    // ---- zoom, cursor and mouse ----
    void UndoZM();
    void XVAL(long PoinInd);
    void YVAL(long PoinInd);
    void XYHIDESub();
    void XYShowSub();
    void TxtBoxEn(bool Bl);
    void SetCursorMode(int mode);
    QComboBox* Combo1() const { return combo1_; }
    QComboBox* Combo2() const { return combo2_; }
    int CursorSubset() const { return cursorSubset_; }
    int HoverSubset() const { return hoverSubset_; }
    bool AnnotationMoving() const { return annotationMoving_; }
    int MovingAnnotation() const { return movingAnnotation_; }

    // ---- subsets ----
    void SubSetSelect(int SubsetNM);
    void SubSetSelCancel();
    int SelectedSubset() const { return view_->SelectedSubset(); }
    void SubsetLab(int SubsetNM, int PointNM);
    void CUTSS() override;
    void SAVESS() override;
    void PASTESS() override;
    void ToClipFile(int SubSetN);
    void SubsetDel(int SubsetNM);
    void SubsetLinePoints();

    // ---- annotations and texts ----
    void TextAnnotationsNew() override;
    void TextAnnotationsOld() override;
    void SHOWALLTEXT() override;
    void NewAnnotation();
    void SetMainTitle(const std::string& text) override;
    void SetSubTitle(const std::string& text) override;
    void SetXAxisLabel(const std::string& text) override;
    void SetYAxisLabel(const std::string& text) override;
    void SetSubsetLabel(int subset, const std::string& text) override;
    void ApplyChartChanges() override { Refr(); }

    // ---- data for other windows ----
    int Subsets() const override { return model_.Subsets(); }
    int Points() const override { return model_.Points(); }
    double XDataII(int subset, int point) const override { return model_.X(subset, point); }
    double YDataII(int subset, int point) const override { return model_.Y(subset, point); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether there is a copied subset to paste, and that subset.
    bool mayPaste();
    std::optional<Subset> copiedSubset();

    void buildMenus();
    QAction* action(const char* name) const;
    void enable(std::initializer_list<const char*> names, bool on);
    void menuCommand(QAction* a, const char* tag, std::function<void()> body);
    void syncToolbar();
    void setToolbarButton(int index, bool enabled);
    void openPanel(const char* caption, const std::string& text, int subset);
    void hidePanel();
    // Writes the chart file (errors reported under the tag); the window's
    // file is then the one written, as written.
    bool writeChart(const std::string& path, const char* tag);
    void cursorMoved();
    void moveCursor(int key);
    void mousePress(QMouseEvent* e);
    bool mouseMove(QMouseEvent* e);
    bool mouseRelease(QMouseEvent* e);
    void mouseDoubleClick();
    void click(const HotSpot& hot);
    bool keyDown(int key);
    void popupMenu(const QPoint& at);
    void exportDialog();
    void showDialog(const char* type);
    void closeWindow();
    void exitProgram();
    void resetMouseState();

    ChartModel model_;
    ChartView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* readout_ = nullptr;
    QLabel* readoutLabel_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QMenu* popup_ = nullptr;

    platform::Timer timer1_{500, true};
    platform::Timer timer2_{550, true};

    bool chartChanged_ = false;
    bool chartSavedToFile_ = false;
    bool firstActivation_ = true;
    bool redrawPending_ = false;
    std::string chartFileName_;
    files::FileStamp diskStamp_;  // the chart file as opened or last saved
    bool closingWithoutPrompt_ = false;
    std::string openRefusal_;  // why the last OPENPLOT failed

    int cursorSubset_ = -1;
    int clickedSubset_ = -1;
    bool pointClickPending_ = false;
    bool labelClickPending_ = false;
    int hoverSubset_ = -1;
    bool annotationMoving_ = false;
    int movingAnnotation_ = 0;
    bool keyHeld_ = false;
    QPointF pressPos_;
    HotSpot pressHot_;
    QPointF lastMousePos_;
    bool fixedSize_ = false;
};

// Registers the chart window "PLOT" and the export dialog "PLOT_xportMe"
// with the shell, which creates them by name.
void InstallChartWindows();

}  // namespace kx::chart
