// The chart window: appearance, subset editing, chart size, export, the
// data table and the set-up dialog.
#include "PLOT.h"

#include "ChartLoading.h"
#include "Desktop.h"
#include "FileHelpers.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Modal.h"
#include "OpenFiles.h"
#include "PlotDialogs.h"
#include "SharedState.h"
#include "SubsetText.h"
#include "Text.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QImageWriter>
#include <QMimeData>
#include <QScrollArea>

namespace kx::chart {
namespace {

using platform::FromQ;
using platform::ToQ;

}  // namespace

// ---- Appearance -----------------------------------------------------------------

void PLOT::ViewingStyle() {
    shell::Trap("Plot#006. ", [this] {
        if (model_.colourStyle)
            Monochr();
        else
            PlotCol();
        chartChanged_ = true;
    });
}

void PLOT::PlotCol() {
    shell::Trap("Plot#006.3 ", [this] {
        model_.colourStyle = true;
        Refr();
    });
}

void PLOT::Monochr() {
    shell::Trap("Plot#006.3 ", [this] {
        model_.colourStyle = false;
        Refr();
    });
}

void PLOT::ColorToPlot(Colour DeskColorN, Colour TextColorN, Colour ShadowColorN, Colour GraphBackColor,
                       Colour GraphForeColorN, Colour GraphAnnotationColorN_A, Colour MkColor) {
    shell::Trap("Plot#082. ", [&] {
        model_.Set("DeskColor", static_cast<double>(DeskColorN));
        model_.Set("TextColor", static_cast<double>(TextColorN));
        model_.Set("ShadowColor", static_cast<double>(ShadowColorN));
        model_.Set("GraphBackColor", static_cast<double>(GraphBackColor));
        model_.Set("GraphForeColor", static_cast<double>(GraphForeColorN));
        Shared().SelectionColor = MkColor;
        for (int i = 0; i < kAnnotationSlots; ++i) model_.Slot(i).colour = GraphAnnotationColorN_A;
        Refr();
    });
}

void PLOT::MarkDataPnt() {
    shell::Trap("Plot#009. ", [this] {
        model_.Set("MarkDataPoints", FlagValue(!model_.Flag("MarkDataPoints")));
        chartChanged_ = true;
        Refr();
    });
}

void PLOT::GridLine() {
    shell::Trap("Plot#008. ", [this] {
        model_.Set("GridLines", FlagValue(!model_.Flag("GridLines")));
        chartChanged_ = true;
        Refr();
    });
}

void PLOT::SetTextSize(int sizeClass) {
    model_.Set("FONTSIZE", static_cast<double>(sizeClass));
    chartChanged_ = true;
    Refr();
}

void PLOT::SetPointSize(int sizeClass) {
    model_.Set("PointSize", static_cast<double>(sizeClass));
    chartChanged_ = true;
    Refr();
}

void PLOT::ShowLegend(bool on) {
    model_.Set("ShowLegend", FlagValue(on));
    chartChanged_ = true;
    Refr();
}

void PLOT::CastomDial() {
    shell::Trap("Plot#032. ", [this] {
        showDialog("PLOT_Setup");
        Refr();
    });
}

void PLOT::ViewDataOnly() {
    shell::Trap("Plot#016. ", [this] {
        // The table is UTF-8, as the text window reads it: titles and labels
        // keep every character.
        shell::ShowMadeTable(DataTableLines(model_), Caption().trimmed() + " - Data");
    });
}

// ---- Subsets ----------------------------------------------------------------------

void PLOT::SubSetSelect(int SubsetNM) {
    shell::Trap("Plot#045.1 ", [&] {
        if (SubsetNM < 0 || SubsetNM >= model_.Subsets()) return;
        view_->SetSelectedSubset(SubsetNM);
        enable({"CUTPLOT", "SAVESUBSET", "DELETESUBSET", "SUBSETLABEL", "SUBSETLINEPOINTS"}, true);
        setToolbarButton(toolbar2::kCut, true);
        setToolbarButton(toolbar2::kCopy, true);
    });
}

void PLOT::SubSetSelCancel() {
    view_->SetSelectedSubset(-1);
    enable({"CUTPLOT", "SAVESUBSET", "DELETESUBSET", "SUBSETLABEL", "SUBSETLINEPOINTS"}, false);
    setToolbarButton(toolbar2::kCut, false);
    setToolbarButton(toolbar2::kCopy, false);
}

void PLOT::ToClipFile(int SubSetN) {
    shell::Trap("Plot#079. ", [&] {
        const std::string text = CopiedSubsetText(model_.At(SubSetN));
        files::WriteAll(CopiedSubsetPath(), text);
        platform::ClipboardSetText(ToQ(text));
        enable({"PASTEPLOT"}, true);
        setToolbarButton(toolbar2::kPaste, true);
    });
}

void PLOT::SAVESS() {
    shell::Trap("Plot#011. ", [this] {
        const int s = SelectedSubset();
        if (s >= 0) ToClipFile(s);
    });
}

void PLOT::CUTSS() {
    shell::Trap("Plot#010. ", [this] {
        const int s = SelectedSubset();
        if (s < 0) return;
        ToClipFile(s);
        // The subset goes only once it is safe in the scratch file.
        bool noCopy = true;
        ClipCheckUp(noCopy);
        if (!noCopy) SubsetDel(s);
    });
}

void PLOT::PASTESS() {
    shell::Trap("Plot#012. ", [this] {
        std::optional<Subset> subset = copiedSubset();
        if (!subset) {
            shell::UserMessage("There is no copied subset to paste.", platform::kMsgExclamation);
            return;
        }
        AddSubset(model_, std::move(*subset));
        chartChanged_ = true;
        view_->UndoZoom();
        Refr();
    });
}

void PLOT::SubsetDel(int SubsetNM) {
    shell::Trap("Plot#080. ", [&] {
        if (SubsetNM < 0 || SubsetNM >= model_.Subsets()) return;
        SubSetSelCancel();
        DeleteSubset(model_, SubsetNM);
        // The cursor stays with its point, or goes with its subset.
        const int s = static_cast<int>(model_.Number("CursorSubset"));
        if (s == SubsetNM) {
            XYHIDESub();
            model_.Set("CursorSubset", -1.0);
        } else if (s > SubsetNM) {
            model_.Set("CursorSubset", static_cast<double>(s - 1));
        }
        cursorSubset_ = -1;
        chartChanged_ = true;
        Refr();
        const int mode = static_cast<int>(model_.Number("CursorMode"));
        if (mode != kCursorNone) view_->SetDataCursor(mode, static_cast<int>(model_.Number("CursorSubset")),
                                                      static_cast<int>(model_.Number("CursorPoint")));
    });
}

// Switches the selected subset between its line and its points alone.
void PLOT::SubsetLinePoints() {
    shell::Trap("Plot#014. ", [this] {
        const int s = SelectedSubset();
        if (s < 0) return;
        Subset& sub = model_.At(s);
        if (sub.lineType == kLineTypeNone) {
            sub.lineType = 0;
        } else {
            sub.lineType = kLineTypeNone;
            if (sub.pointType == kPointTypeNone) sub.pointType = 3;
        }
        chartChanged_ = true;
        Refr();
    });
}

// ---- Chart size ---------------------------------------------------------------------

void PLOT::FullWin() {
    fixedSize_ = false;
    view_->setMinimumSize(0, 0);
    view_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    scroll_->setWidgetResizable(true);
    if (QAction* a = action("FULLWIN")) a->setChecked(true);
}

void PLOT::ChartSize() {
    if (!fixedSize_) FullWin();
}

void PLOT::PoltSize(bool& ErrBL, double HeigthVal, double WidthVal, int Action) {
    ErrBL = false;
    shell::Trap("Plot#081. ", [&] {
        const bool fits = HeigthVal >= 2 && HeigthVal <= 100 && WidthVal >= 2 && WidthVal <= 100;
        if (!fits) {
            ErrBL = true;
            shell::UserMessage("The chart size must lie between 2 and 100 cm.", platform::kMsgExclamation);
            return;
        }
        if (Action != 1) return;
        const double pixelsPerCm = logicalDpiX() / 2.54;
        fixedSize_ = true;
        scroll_->setWidgetResizable(false);
        view_->setFixedSize(static_cast<int>(WidthVal * pixelsPerCm), static_cast<int>(HeigthVal * pixelsPerCm));
        if (QAction* a = action("FULLWIN")) a->setChecked(false);
        Refr();
    });
}

void PLOT::GetChartSize_Pix(int& Chart_H, int& Chart_W) const {
    Chart_H = view_->height();
    Chart_W = view_->width();
}

void PLOT::GetChartSize_Twips(double& Chart_H, double& Chart_W) const {
    Chart_H = platform::PixelsToTwips(view_->height());
    Chart_W = platform::PixelsToTwips(view_->width());
}

double PLOT::ChartWidth() const { return platform::PixelsToTwips(view_->width()); }
double PLOT::ChartHeight() const { return platform::PixelsToTwips(view_->height()); }

// ---- Export ------------------------------------------------------------------------------

void PLOT::exportDialog() {
    platform::Form* form = shell::LoadForm(kExportDialog);
    auto* dialog = qobject_cast<QDialog*>(form->Widget());
    const bool accepted = dialog && platform::ShowModal(*dialog) == QDialog::Accepted;
    if (platform::IsLoaded(form)) platform::Unload(form);
    if (!accepted) return;
    const SharedState& s = Shared();
    if (ExportChart(s.ExportPictureKind, s.ExportDestination, s.ExportFilePath) && s.ExportDestination == kExportToFile)
        shell::UserMessage("The chart has been exported to '" + s.ExportFilePath + "'.", platform::kMsgInformation);
}

bool PLOT::ExportChart(int kind, int destination, const std::string& path) {
    return shell::Trap("Plot#030. ", [&] {
        SubSetSelCancel();
        const QSize size = view_->size().expandedTo(QSize(200, 150));
        QByteArray bytes;
        QImage image;
        if (kind == kExportSvg) {
            bytes = view_->ToSvg(size);
        } else {
            image = view_->ToImage(size);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, kind == kExportBmp ? "bmp" : "png");
            if (!writer.write(image)) throw Error(ErrorKind::FileWriteFailed, FromQ(writer.errorString()));
        }
        if (destination == kExportToFile) {
            files::WriteAll(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
            return;
        }
        auto* data = new QMimeData;
        if (kind == kExportSvg) {
            data->setData("image/svg+xml", bytes);
            data->setImageData(view_->ToImage(size));
        } else {
            data->setImageData(image);
        }
        QApplication::clipboard()->setMimeData(data);
    });
}

void PLOT::PRINT_CHART(float& HVal_Tw, float& WVal_Tw) {
    shell::Trap("Plot#088. ", [&] {
        const int width = std::max(1, platform::TwipsToPixels(static_cast<int>(WVal_Tw)));
        const int height = std::max(1, platform::TwipsToPixels(static_cast<int>(HVal_Tw)));
        HVal_Tw = HVal_Tw * 1000 / 567;
        WVal_Tw = WVal_Tw * 1000 / 567;
        QApplication::clipboard()->setImage(view_->ToImage(QSize(width, height)));
    });
}

}  // namespace kx::chart
