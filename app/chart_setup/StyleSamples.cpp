#include "StyleSamples.h"

#include "ChartProperties.h"

#include "Desktop.h"
#include "Dialogs.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace kx::chart_setup {
namespace {

constexpr double kMargin = 60;  // twips around the outer cells
// The samples are drawn half as large again as their twips, so that the
// symbols read as well as the chart draws them.
constexpr double kEnlarge = 1.5;

Cell areaAround(const std::vector<int>& codes, std::optional<Cell> (*cellOf)(int)) {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (int code : codes) {
        const Cell c = *cellOf(code);
        left = std::min(left, c.Left);
        top = std::min(top, c.Top);
        right = std::max(right, c.Left + c.Width);
        bottom = std::max(bottom, c.Top + c.Height);
    }
    return {left - kMargin, top - kMargin, right - left + 2 * kMargin, bottom - top + 2 * kMargin};
}

Qt::PenStyle penStyleOf(LinePattern pattern) {
    switch (pattern) {
        case LinePattern::Dash: return Qt::DashLine;
        case LinePattern::Dot: return Qt::DotLine;
        case LinePattern::DashDot: return Qt::DashDotLine;
        case LinePattern::DashDotDot: return Qt::DashDotDotLine;
        case LinePattern::Solid: break;
    }
    return Qt::SolidLine;
}

QString noneFontFamily() {
    const QString wanted = "Lucida Sans Unicode";
    return QFontDatabase::hasFamily(wanted) ? wanted : QString();
}

}  // namespace

SampleCells::SampleCells(QWidget* parent, const std::vector<int>& codes, std::optional<Cell> (*cellOf)(int),
                         const Cell& area)
    : QWidget(parent), codes_(codes), cellOf_(cellOf), area_(area) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SampleCells::SetColour(Colour colour) {
    colour_ = colour;
    update();
}

void SampleCells::SetHighlight(int code, Colour highlight) {
    highlighted_ = cellOf_(code) ? std::optional<int>(code) : std::nullopt;
    highlight_ = highlight;
    update();
}

void SampleCells::ClearHighlight() {
    highlighted_.reset();
    update();
}

std::optional<int> SampleCells::Highlighted() const { return highlighted_; }

double SampleCells::scale() const { return kEnlarge * platform::TwipsToPixels(1440) / 1440.0; }

QPointF SampleCells::toPixels(double x, double y) const {
    return {(x - area_.Left) * scale(), (y - area_.Top) * scale()};
}

QRect SampleCells::CellRect(int code) const {
    const std::optional<Cell> c = cellOf_(code);
    if (!c) return {};
    return QRectF(toPixels(c->Left, c->Top), toPixels(c->Left + c->Width, c->Top + c->Height)).toRect();
}

QSize SampleCells::sizeHint() const {
    return {static_cast<int>(std::ceil(area_.Width * scale())), static_cast<int>(std::ceil(area_.Height * scale()))};
}

void SampleCells::paintEvent(QPaintEvent*) {
    // Cells that are not highlighted show the frame behind them.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int code : codes_) {
        const Cell cell = *cellOf_(code);
        const QRectF r(toPixels(cell.Left, cell.Top), toPixels(cell.Left + cell.Width, cell.Top + cell.Height));
        if (highlighted_ != code) {
            painter.setPen(QPen(palette().color(QPalette::Mid), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        drawSample(painter, code, cell);
    }
    // The highlighted cell on top: its colour, framed so that it shows on
    // any plot background.
    if (highlighted_) {
        const Cell cell = *cellOf_(*highlighted_);
        const QRectF r(toPixels(cell.Left, cell.Top), toPixels(cell.Left + cell.Width, cell.Top + cell.Height));
        painter.fillRect(r, platform::ToQColor(highlight_));
        drawSample(painter, *highlighted_, cell);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(1, 1, -1, -1));
    }
}

void SampleCells::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    const double x = p.x() / scale() + area_.Left, y = p.y() / scale() + area_.Top;
    for (int code : codes_) {
        if (cellOf_(code)->Contains(x, y)) {
            if (click_) click_(code);
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

LineSamples::LineSamples(QWidget* parent)
    : SampleCells(parent, LineSampleCodes(), LineSampleCell, areaAround(LineSampleCodes(), LineSampleCell)) {}

void LineSamples::drawSample(QPainter& painter, int code, const Cell& cell) {
    const LineStyle style = LineSampleStyle(code);
    const Segment s = LineSampleStroke(cell);
    QPen pen(platform::ToQColor(SampleColour()), style.Width, penStyleOf(style.Pattern), Qt::FlatCap);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);  // crisp lines of whole pixels
    painter.setPen(pen);
    painter.drawLine(toPixels(s.X1, s.Y1), toPixels(s.X2, s.Y2));
    painter.restore();
}

PointSamples::PointSamples(QWidget* parent)
    : SampleCells(parent, PointSampleCodes(), PointSampleCell, areaAround(PointSampleCodes(), PointSampleCell)) {}

void PointSamples::drawSample(QPainter& painter, int code, const Cell& cell) {
    const QColor colour = platform::ToQColor(SampleColour());
    if (code == kPointNone) {
        QFont font = painter.font();
        if (const QString family = noneFontFamily(); !family.isEmpty()) font.setFamily(family);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(toPixels(cell.Left, cell.Top), toPixels(cell.Left + cell.Width, cell.Top + cell.Height)),
                         Qt::AlignCenter, "None");
        return;
    }
    const Symbol symbol = SymbolFor(code, cell);
    // The symbols keep their proportions: their strokes grow with them.
    for (const Segment& s : symbol.Lines) {
        painter.setPen(QPen(colour, s.Width * kEnlarge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(toPixels(s.X1, s.Y1), toPixels(s.X2, s.Y2));
    }
    if (const std::optional<Shape>& shape = symbol.Outline) {
        painter.setPen(QPen(colour, shape->BorderWidth * kEnlarge));
        painter.setBrush(shape->Filled ? QBrush(colour) : QBrush(Qt::NoBrush));
        const QRectF r(toPixels(shape->Left, shape->Top), toPixels(shape->Left + shape->Size, shape->Top + shape->Size));
        if (shape->Kind == ShapeKind::Circle)
            painter.drawEllipse(r);
        else
            painter.drawRect(r);
    }
}

}  // namespace kx::chart_setup
