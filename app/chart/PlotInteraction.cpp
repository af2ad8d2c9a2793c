// The chart window: loading the shared plot data, the mouse, the keys, the
// data cursor and its read-out, zoom, annotations and chart texts.
#include "PLOT.h"

#include "ChartLoading.h"
#include "ChartRandom.h"
#include "Desktop.h"
#include "Help.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "SharedState.h"
#include "Text.h"
#include "TextHelpers.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>

namespace kx::chart {
namespace {

using platform::FromQ;
using platform::ToQ;

}  // namespace

// ---- Loading ----------------------------------------------------------------------

void PLOT::Intit(long ModeNm, bool HistogrBool) {
    shell::Trap("Plot#001. ", [&] {
        LoadPlotData(model_, Shared(), ModeNm == 0, HistogrBool, ChartRandom());
        // New content: not on any file yet.
        chartChanged_ = true;
        Shared().NewChartPending = false;
        view_->SetSelectedSubset(-1);
        view_->SetDataCursor(kCursorNone, -1, -1);
        cursorSubset_ = -1;
        view_->UndoZoom();
        Refr();
    });
}

void PLOT::SubSetAdd(const LongLabels& TipTx) {
    shell::Trap("Plot#078. ", [&] {
        AppendPlotData(model_, Shared(), TipTx, model_.colourStyle, ChartRandom());
        view_->UndoZoom();
        Refr();
        chartChanged_ = true;
    });
}

void PLOT::CheckDiv() {
    chart::CheckDiv(model_);
    Refr();
}

// ---- The main window's text panel ---------------------------------------------------

void PLOT::openPanel(const char* caption, const std::string& text, int subset) {
    shell::MDIForm1* main = shell::MainForm();
    if (!main) return;
    main->SetMode(true, subset);
    main->Text8()->setText(caption);
    main->RichTextBox6()->setText(ToQ(text));
}

void PLOT::hidePanel() {
    shell::MDIForm1* main = shell::MainForm();
    if (!main) return;
    main->HideContr();
}

// ---- Read-out and data cursor ---------------------------------------------------------

void PLOT::XVAL(long PoinInd) {
    shell::Trap("Plot#041. ", [&] {
        const std::array<std::string, 2> lines = XReadout(model_.X(cursorSubset_, static_cast<int>(PoinInd)));
        combo1_->setItemText(0, ToQ(lines[0]));
        combo1_->setItemText(1, ToQ(lines[1]));
    });
}

void PLOT::YVAL(long PoinInd) {
    shell::Trap("Plot#042.1 ", [&] {
        const std::array<std::string, 2> lines = YReadout(model_.Y(cursorSubset_, static_cast<int>(PoinInd)));
        combo2_->setItemText(0, ToQ(lines[0]));
        combo2_->setItemText(1, ToQ(lines[1]));
    });
}

void PLOT::XYHIDESub() {
    shell::Trap("Plot#084. ", [this] {
        readout_->hide();
        model_.Set("CursorMode", 0.0);
        view_->SetDataCursor(kCursorNone, -1, -1);
    });
}

void PLOT::XYShowSub() {
    shell::Trap("Plot#087. ", [this] {
        if (model_.Number("CursorMode") == kCursorNone) model_.Set("CursorMode", static_cast<double>(kCursorSquare));
        const int s = static_cast<int>(model_.Number("CursorSubset"));
        const int p = static_cast<int>(model_.Number("CursorPoint"));
        if (s >= 0 && s < model_.Subsets() && model_.HasPoint(s, p)) {
            cursorSubset_ = s;
            SubsetLab(s, p);
            XVAL(p);
            YVAL(p);
            view_->SetDataCursor(static_cast<int>(model_.Number("CursorMode")), s, p);
        }
        readout_->show();
    });
}

void PLOT::TxtBoxEn(bool Bl) {
    combo1_->setEnabled(Bl);
    combo2_->setEnabled(Bl);
}

void PLOT::SetCursorMode(int mode) {
    model_.Set("CursorMode", static_cast<double>(mode));
    cursorMoved();
}

void PLOT::SubsetLab(int SubsetNM, int PointNM) {
    (void)PointNM;
    const std::string& label = model_.At(SubsetNM).label;
    readoutLabel_->setText(ToQ("Subset " + std::to_string(SubsetNM + 1) + (label.empty() ? "" : ": " + label)));
}

// The cursor stands on another point: the read-out follows it.
void PLOT::cursorMoved() {
    shell::Trap("Plot#040.1 ", [this] {
        const int s = static_cast<int>(model_.Number("CursorSubset"));
        const int p = static_cast<int>(model_.Number("CursorPoint"));
        if (s < 0 || s >= model_.Subsets() || !model_.HasPoint(s, p)) return;
        TxtBoxEn(true);
        if (s != cursorSubset_) {
            cursorSubset_ = s;
            SubsetLab(s, p);
        }
        XVAL(p);
        YVAL(p);
        readout_->show();
        view_->SetDataCursor(static_cast<int>(model_.Number("CursorMode")), s, p);
    });
}

// The arrow keys move the data cursor: left and right along its subset,
// up and down to the next subset with a point there.
void PLOT::moveCursor(int key) {
    const int subsets = model_.Subsets();
    if (subsets == 0 || model_.Number("CursorMode") == kCursorNone) return;
    int s = static_cast<int>(model_.Number("CursorSubset"));
    int p = static_cast<int>(model_.Number("CursorPoint"));
    if (s < 0 || s >= subsets) return;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const int step = key == Qt::Key_Right ? 1 : -1;
        for (int q = p + step; q >= 0 && q < model_.Points(); q += step)
            if (model_.HasPoint(s, q)) {
                p = q;
                break;
            }
    } else {
        const int step = key == Qt::Key_Up ? 1 : -1;
        for (int k = 1; k < subsets; ++k) {
            const int t = ((s + step * k) % subsets + subsets) % subsets;
            if (model_.HasPoint(t, p)) {
                s = t;
                break;
            }
        }
    }
    model_.Set("CursorSubset", static_cast<double>(s));
    model_.Set("CursorPoint", static_cast<double>(p));
    cursorMoved();
}

// ---- Zoom ---------------------------------------------------------------------------

void PLOT::UndoZM() {
    shell::Trap("Plot#075. ", [this] {
        view_->UndoZoom();
        Refr();
    });
}

// ---- Mouse and keys --------------------------------------------------------------------

bool PLOT::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return FormWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: mousePress(static_cast<QMouseEvent*>(event)); return annotationMoving_;
        case QEvent::MouseMove: return mouseMove(static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease: return mouseRelease(static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonDblClick: mouseDoubleClick(); return false;
        case QEvent::KeyPress: return keyDown(static_cast<QKeyEvent*>(event)->key());
        case QEvent::KeyRelease:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) keyHeld_ = false;
            return false;
        case QEvent::FocusIn:
            shell::Trap("Plot#050. ", [this] {
                ToolBr();
                cursorSubset_ = -1;
            });
            return false;
        case QEvent::FocusOut:
            // A menu or a dialog over the chart leaves the selection.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ||
                static_cast<QFocusEvent*>(event)->reason() == Qt::TabFocusReason)
                shell::Trap("Plot#050. ", [this] { SubSetSelCancel(); });
            platform::SetMousePointer(platform::kPointerDefault);
            return false;
        default: return FormWindow::eventFilter(watched, event);
    }
}

void PLOT::mousePress(QMouseEvent* e) {
    shell::Trap("Plot#051. ", [&] {
        pressPos_ = e->position();
        pressHot_ = view_->HotSpotAt(pressPos_);
        if (SelectedSubset() >= 0) SubSetSelCancel();
        timer2_.SetEnabled(true);
        if (e->button() == Qt::LeftButton && pressHot_.type == kHotAnnotation) {
            annotationMoving_ = true;
            movingAnnotation_ = pressHot_.data1;
            openPanel("Annotation", model_.Slot(movingAnnotation_).text, 0);
            view_->setSelectionRectMode(QCP::srmNone);
            return;
        }
        // Zooming needs a chart with a range on both axes.
        view_->setSelectionRectMode(e->button() == Qt::LeftButton && view_->ZoomAllowed() ? QCP::srmZoom : QCP::srmNone);
    });
}

bool PLOT::mouseMove(QMouseEvent* e) {
    bool consumed = false;
    shell::Trap("Plot#052. ", [&] {
        lastMousePos_ = e->position();
        if (annotationMoving_) {
            consumed = true;
            if (!(e->buttons() & Qt::LeftButton)) return;
            const QRectF grid = view_->GridRect().adjusted(3, 3, -3, -3);
            if (!grid.contains(lastMousePos_)) {
                view_->setCursor(Qt::ArrowCursor);
                return;
            }
            view_->setCursor(Qt::CrossCursor);
            const QPointF at = view_->ToGraph(lastMousePos_);
            Annotation& a = model_.Slot(movingAnnotation_);
            a.x = at.x();
            a.y = at.y();
            chartChanged_ = true;
            redrawPending_ = true;
            view_->Refresh();
            return;
        }
        view_->unsetCursor();
        if (e->buttons() != Qt::NoButton) return;  // a zoom rectangle is being drawn
        const HotSpot hot = view_->HotSpotAt(lastMousePos_);
        hoverSubset_ = hot.type == kHotLegend || hot.type == kHotDataPoint ? hot.data1 : -1;
        QString tip;
        if (hot.type == kHotDataPoint) tip = ToQ(SubsetToolTip(model_.At(hot.data1)));
        // A legend entry shortened to fit shows its whole label.
        if (hot.type == kHotLegend && view_->LegendEntryShortened(hot.data1)) tip = ToQ(model_.At(hot.data1).label);
        view_->setToolTip(tip);
    });
    return consumed;
}

bool PLOT::mouseRelease(QMouseEvent* e) {
    bool consumed = false;
    shell::Trap("Plot#053. ", [&] {
        if (annotationMoving_) {
            annotationMoving_ = false;
            view_->unsetCursor();
            Refr();
            consumed = true;
            return;
        }
        if (e->button() == Qt::RightButton) {
            popupMenu(e->globalPosition().toPoint());
            consumed = true;
            return;
        }
        if (e->button() == Qt::LeftButton && (e->position() - pressPos_).manhattanLength() <= 3) click(pressHot_);
    });
    return consumed;
}

void PLOT::click(const HotSpot& hot) {
    switch (hot.type) {
        case kHotDataPoint:
            shell::Trap("Plot#044. ", [&] {
                const int mode = static_cast<int>(model_.Number("CursorMode"));
                if (mode != kCursorCross && mode != kCursorSquare) model_.Set("CursorMode", static_cast<double>(kCursorSquare));
                model_.Set("CursorSubset", static_cast<double>(hot.data1));
                model_.Set("CursorPoint", static_cast<double>(hot.data2));
                clickedSubset_ = hot.data1;
                pointClickPending_ = true;
                timer1_.SetEnabled(true);
                cursorMoved();
            });
            break;
        case kHotLegend:
            shell::Trap("Plot#053-1. ", [&] {
                labelClickPending_ = true;
                clickedSubset_ = hot.data1;
                timer1_.SetEnabled(true);
                openPanel("SubSet Label", model_.At(hot.data1).label, hot.data1);
            });
            break;
        case kHotMainTitle: shell::Trap("Plot#057. ", [&] { openPanel("Main Title", model_.mainTitle, 0); }); break;
        case kHotSubTitle: shell::Trap("Plot#058. ", [&] { openPanel("SubTitle", model_.subTitle, 0); }); break;
        case kHotYAxisLabel: shell::Trap("Plot#060. ", [&] { openPanel("YAxis Label", model_.yAxisLabel, 0); }); break;
        case kHotXAxisLabel: shell::Trap("Plot#059. ", [&] { openPanel("XAxis Label", model_.xAxisLabel, 0); }); break;
        default: break;
    }
}

void PLOT::mouseDoubleClick() {
    shell::Trap("Plot#045. ", [this] {
        if (!(pointClickPending_ || labelClickPending_) || clickedSubset_ != hoverSubset_) return;
        pointClickPending_ = false;
        labelClickPending_ = false;
        timer1_.SetEnabled(false);
        timer2_.SetEnabled(false);
        SubSetSelect(clickedSubset_);
    });
}

void PLOT::popupMenu(const QPoint& at) {
    syncToolbar();
    popup_->popup(at);
}

bool PLOT::keyDown(int key) {
    if (key == Qt::Key_F1) {
        shell::Trap("Plot#036. ", [] { shell::ShowHelp(); });
        return true;
    }
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        shell::Trap("Plot#040.2 ", [&] { moveCursor(key); });
        return true;
    }
    if ((key != Qt::Key_Escape && key != Qt::Key_Delete) || keyHeld_) return false;
    shell::Trap("Plot#048. ", [&] {
        keyHeld_ = true;
        if (key == Qt::Key_Escape) {
            annotationMoving_ = false;
            view_->UndoZoom();
            XYHIDESub();
            SubSetSelCancel();
            hidePanel();
            Refr();
            return;
        }
        const HotSpot hot = view_->HotSpotAt(lastMousePos_);
        if (SelectedSubset() >= 0) {
            SubsetDel(SelectedSubset());
            if (shell::MDIForm1* main = shell::MainForm()) main->SetMode(false, 0);
            return;
        }
        if (hot.type == kHotNothing || hot.type == kHotLegend || hot.type == kHotDataPoint) return;
        if (shell::MDIForm1* main = shell::MainForm()) main->SetMode(false, 0);
        chartChanged_ = true;
        switch (hot.type) {
            case kHotXAxisLabel: model_.xAxisLabel.clear(); break;
            case kHotYAxisLabel: model_.yAxisLabel.clear(); break;
            case kHotMainTitle: model_.mainTitle.clear(); break;
            case kHotSubTitle: model_.subTitle = Shared().PlotSubtitle; break;
            case kHotAnnotation: {
                Annotation& a = model_.Slot(hot.data1);
                a.x = kMissing;
                a.y = kMissing;
                a.text = kEmptySlotText;
                break;
            }
            default: break;
        }
        Refr();
    });
    return true;
}

// ---- Annotations and chart texts ----------------------------------------------------------

void PLOT::NewAnnotation() {
    openPanel("New Annotation", std::string(), 0);
}

void PLOT::TextAnnotationsNew() {
    shell::Trap("Plot#042. ", [this] {
        shell::MDIForm1* main = shell::MainForm();
        const std::string text(TrimBlanks(main ? FromQ(main->RichTextBox6()->text()) : std::string()));
        if (text.empty()) return;
        const std::optional<int> slot = model_.FirstFreeSlot();
        if (!slot) {
            shell::UserMessage("All 101 annotations of this chart are in use. Delete an annotation (point at it and "
                               "press Delete) before you add a new one.",
                               platform::kMsgExclamation);
            return;
        }
        // In the middle of the plotting area.
        const QRectF grid = view_->GridRect();
        const QPointF a = view_->ToGraph(QPointF(grid.right() - 3, grid.top() + 3));
        const QPointF b = view_->ToGraph(QPointF(grid.left() + 3, grid.bottom() - 3));
        const bool logX = view_->xAxis->scaleType() == QCPAxis::stLogarithmic;
        const bool logY = view_->yAxis->scaleType() == QCPAxis::stLogarithmic;
        Annotation& n = model_.Slot(*slot);
        n.attribute = 0;
        n.x = logX ? std::sqrt(a.x() * b.x()) : (a.x() + b.x()) / 2;
        n.y = logY ? std::sqrt(a.y() * b.y()) : (a.y() + b.y()) / 2;
        n.text = text;
        n.type = model_.Slot(0).type;
        chartChanged_ = true;
        Refr();
    });
}

void PLOT::TextAnnotationsOld() {
    shell::Trap("Plot#043. ", [this] {
        shell::MDIForm1* main = shell::MainForm();
        const std::string text(TrimBlanks(main ? FromQ(main->RichTextBox6()->text()) : std::string()));
        Annotation& a = model_.Slot(movingAnnotation_);
        if (!text.empty()) {
            a.text = text;
        } else {
            a.x = kMissing;
            a.y = kMissing;
            a.text = kEmptySlotText;
        }
        chartChanged_ = true;
        Refr();
    });
}

void PLOT::SHOWALLTEXT() {
    shell::Trap("Plot#070. ", [this] {
        model_.Set(209, 0.0);
        model_.Set(207, 0.0);
        bool filled = false;
        auto fill = [&filled](std::string& text, const char* standard) {
            // A text of blanks alone is as good as none: it shows nothing.
            if (!TrimBlanks(text).empty()) return;
            text = standard;
            filled = true;
        };
        fill(model_.mainTitle, "Main Title");
        fill(model_.subTitle, "SubTitle");
        fill(model_.xAxisLabel, "X-Axis");
        fill(model_.yAxisLabel, "Y-Axis");
        for (int s = 0; s < model_.Subsets(); ++s)
            if (model_.At(s).label.empty()) {
                model_.At(s).label = "Subset " + std::to_string(s + 1);
                filled = true;
            }
        model_.Set("LegendFlags", 0, -1.0);
        if (filled) chartChanged_ = true;
        Refr();
    });
}

void PLOT::SetMainTitle(const std::string& text) { model_.mainTitle = text; }
void PLOT::SetSubTitle(const std::string& text) { model_.subTitle = text; }
void PLOT::SetXAxisLabel(const std::string& text) { model_.xAxisLabel = text; }
void PLOT::SetYAxisLabel(const std::string& text) { model_.yAxisLabel = text; }
void PLOT::SetSubsetLabel(int subset, const std::string& text) { model_.At(subset).label = text; }

}  // namespace kx::chart
