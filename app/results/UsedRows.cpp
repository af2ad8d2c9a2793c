// The time interval in use, its rows, and the hand-over of the interval to
// the windows that read it.
#include <cmath>
#include <climits>

#include "Errors.h"
#include "Format.h"
#include "ResultsReader.h"

namespace kx {

double ResultsReader::RawTime(int row) const {
    // Row 0 is the column header: it has no time.
    if (row < 1 || row >= tables_.ResultRowCount)
        throw Error(ErrorKind::TypeMismatch, "row " + std::to_string(row) + " holds no time");
    const double t = tables_.ResultValues(row, 0);
    if (std::isnan(t)) throw Error(ErrorKind::TypeMismatch, "time of row " + std::to_string(row));
    return t;
}

double ResultsReader::RoundedTime(int row) const {
    RawTime(row);
    return tables_.RoundedTimes[static_cast<std::size_t>(row)];
}

bool ResultsReader::UsedData() {
    return RunTagged(Tag("Sol#117. ", "Sol#117-1 "), [&] {
        bool rebuilt = false;
        try {
            rebuilt = UsedDataBody();
        } catch (...) {
            KeepUsedInterval();
            throw;
        }
        if (!rebuilt) KeepUsedInterval();
        return rebuilt;
    });
}

void ResultsReader::KeepUsedInterval() {
    // The interval asked for was not taken: the one of the rows in use stays.
    UsedRowsState& u = used_;
    if (u.UsedCount == 0) return;
    u.IntervalStart = tables_.RoundedTimes[static_cast<std::size_t>(u.FirstUsedRow)];
    u.IntervalEnd = tables_.RoundedTimes[static_cast<std::size_t>(u.LastUsedRow)];
}

bool ResultsReader::UsedDataBody() {
    RequireLoaded();
    const int R = tables_.ResultRowCount - 1;
    UsedRowsState& u = used_;

    // The first row from row 2 on at or after the start, and the first row at
    // or after the end (R when there is none); a row is tested for the start
    // before it is tested for the end.
    auto scan = [&](double startLimit, double endLimit, int& first, int& stop) {
        first = 0;
        stop = R;
        for (int i = 1; i <= R; ++i) {
            const double tau = RoundedTime(i);
            if (first == 0 && i >= 2 && tau >= startLimit) first = i;
            if (tau >= endLimit) {
                stop = i;
                break;
            }
        }
        if (first == 0) first = 1;
    };

    // The selection is built aside and taken as a whole: an interval that
    // fails, or holds too few points for the step, leaves the interval, its
    // rows and its count as they were, so that what the window shows is
    // what every curve and analysis reads.
    int first = 0, stop = 0;
    scan(u.IntervalStart, u.IntervalEnd, first, stop);
    // A point within a ten-thousandth of its step from a boundary counts as
    // on it. Row 1 as first or stop row has no step before it and fails here.
    const double a = (RawTime(first) - RawTime(first - 1)) / 10000;
    const double b = (RawTime(stop) - RawTime(stop - 1)) / 10000;
    scan(u.IntervalStart + a, u.IntervalEnd - b, first, stop);
    int lastRow = stop;
    int firstRow = first > 1 ? first - 1 : 1;
    // Records printed at the same time as a boundary row (steps shorter
    // than the printed digits) stand at that boundary too.
    while (lastRow < R && RawTime(lastRow + 1) == RawTime(lastRow)) ++lastRow;
    while (firstRow > 1 && RawTime(firstRow - 1) == RawTime(firstRow)) --firstRow;

    const int n = lastRow - firstRow + 1;
    const double intervalStart = RoundToSevenDigits(RawTime(firstRow));
    const double intervalEnd = RoundToSevenDigits(RawTime(lastRow));

    if (u.PointStep == 0) throw Error(ErrorKind::DivisionByZero, "point step");
    const double perStep = static_cast<double>(n) / u.PointStep;
    if (perStep < 2) return false;

    const int m = u.PointStep == 1 ? n : static_cast<int>(RoundHalfEven(perStep));
    int count = m + 1;
    std::vector<int> rows(static_cast<std::size_t>(count) + 1, 0);
    std::vector<double> times(static_cast<std::size_t>(count) + 1, 0.0);
    std::vector<double> density(static_cast<std::size_t>(count) + 1, 0.0);
    for (int i = firstRow; i <= lastRow; i += u.PointStep) {
        const std::size_t j = static_cast<std::size_t>((i - firstRow) / u.PointStep + 1);
        if (j >= rows.size()) break;
        rows[j] = i;
        times[j] = tables_.ResultValues(i, 0);
        density[j] = tables_.RowDensity[static_cast<std::size_t>(i)];
    }
    // With a step above 1 the interval's last row becomes the last used point.
    const double lastTaken = times[static_cast<std::size_t>(count) - 1];
    if (std::isnan(lastTaken)) throw Error(ErrorKind::TypeMismatch, "time of a used row");
    if (intervalEnd > RoundToSevenDigits(lastTaken)) {
        const std::size_t j = static_cast<std::size_t>(count);
        rows[j] = lastRow;
        times[j] = intervalEnd;
        density[j] = tables_.RowDensity[static_cast<std::size_t>(lastRow)];
        ++count;
    }
    rows.resize(static_cast<std::size_t>(count));
    times.resize(static_cast<std::size_t>(count));
    density.resize(static_cast<std::size_t>(count));
    u.FirstUsedRow = firstRow;
    u.LastUsedRow = lastRow;
    u.PointCount = n;
    u.IntervalStart = intervalStart;
    u.IntervalEnd = intervalEnd;
    u.UsedCount = count;
    u.UsedRows = std::move(rows);
    u.UsedTimes = std::move(times);
    u.UsedDensity = std::move(density);
    return true;
}

MainParameters ResultsReader::FromMain_Param() {
    return RunTagged(Tag("MenForm#121. ", "Sol#121. "), [&] {
        RequireLoaded();
        const ResultsTables& t = tables_;
        MainParameters p;
        p.SMin = t.FirstTime;
        p.Smax = t.LastTime;
        used_.IntervalStart = RoundToSevenDigits(used_.IntervalStart);
        used_.IntervalEnd = RoundToSevenDigits(used_.IntervalEnd);
        p.RowCntD = t.NumColumns;
        p.SpecArrD.assign(static_cast<std::size_t>(t.NumColumns), std::string());
        p.InitFract.assign(static_cast<std::size_t>(t.NumColumns), 0.0);
        for (int k = 1; k <= t.NumSpecies; ++k) {
            p.SpecArrD[static_cast<std::size_t>(k)] = t.ColumnNames[static_cast<std::size_t>(k) + 2];
            p.InitFract[static_cast<std::size_t>(k)] = t.InitialMoleFractions[static_cast<std::size_t>(k) + 2];
        }
        p.SolverFile = t.ResultFilePath;
        p.Pressur = t.Pressure;
        p.NTemper = t.TemperatureMode;
        return p;
    });
}

InitialCondition ResultsReader::red_InitialCond() const {
    RequireLoaded();
    InitialCondition c;
    c.SolPass = tables_.ResultFilePath;
    c.InitFractBB.assign(static_cast<std::size_t>(tables_.NumColumns), false);
    for (int k = 1; k <= tables_.NumSpecies; ++k)
        c.InitFractBB[static_cast<std::size_t>(k)] = tables_.InitialMoleFractions[static_cast<std::size_t>(k) + 2] > 0;
    return c;
}

IntervalPoints ResultsReader::SelectInterval(double usMin, double usMax) {
    RequireLoaded();
    used_.IntervalStart = usMin;
    used_.IntervalEnd = usMax;
    IntervalPoints p;
    p.Rebuilt = UsedData();
    p.UsMin = used_.IntervalStart;
    p.UsMax = used_.IntervalEnd;
    const int n = used_.UsedCount - 1;
    // Every caller works on at least two points (a first and a last step).
    if (n < 2) throw Error(ErrorKind::SubscriptOutOfRange, "fewer than two stored points are selected");
    p.Times.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        const double time = used_.UsedTimes[static_cast<std::size_t>(i)];
        if (std::isnan(time)) throw Error(ErrorKind::TypeMismatch, "time of used point " + std::to_string(i));
        p.Times[static_cast<std::size_t>(i)] = time;
    }
    p.Count = n;
    return p;
}

IntervalPoints ResultsReader::RED_ToMainParam(double usMin, double usMax) {
    return RunTagged("Sol#112-2 ", [&] {
        IntervalPoints p = SelectInterval(usMin, usMax);
        // The reduction takes the points as those of the interval it asked
        // for: the rows of another interval would give it another's values.
        if (!p.Rebuilt)
            throw Error(ErrorKind::SubscriptOutOfRange, "the interval " + Format(usMin, "0.000000E+00") + " - " +
                                                            Format(usMax, "0.000000E+00") +
                                                            " holds fewer than two stored points");
        return p;
    });
}

IntervalPoints ResultsReader::ToMainParam(double usMin, double usMax, int pointStep) {
    const int previousStep = used_.PointStep;
    used_.PointStep = pointStep;
    try {
        IntervalPoints p = ToMainParam(usMin, usMax);
        if (!p.Rebuilt) used_.PointStep = previousStep;
        return p;
    } catch (...) {
        used_.PointStep = previousStep;
        throw;
    }
}

IntervalPoints ResultsReader::ToMainParam(double usMin, double usMax) {
    return RunTagged("Sol#112. ", [&] {
        IntervalPoints p = SelectInterval(usMin, usMax);
        if (owner_ == ReaderOwner::ReductionHolder) {
            // The holder's list starts at entry 0 and ends with an empty entry.
            p.Times.erase(p.Times.begin());
            p.Times.push_back(0.0);
        }
        p.Count += 1;
        return p;
    });
}

bool ResultsReader::ToMain_Param(bool addToChart, double factorT, std::string_view pointStepText,
                                 std::string_view timeScaleText, bool logTimeAxis) {
    return RunTagged("Sol#122. ", [&] {
        used_.AddToChart = addToChart;
        const int previousStep = used_.PointStep;
        const auto step = ParseNumber(pointStepText);
        if (!step) throw Error(ErrorKind::TypeMismatch, "point presentation");
        const double rounded = RoundHalfEven(*step);
        if (!(rounded >= INT_MIN && rounded <= INT_MAX)) throw Error(ErrorKind::Overflow, "point presentation");
        used_.PointStep = static_cast<int>(rounded);
        used_.LogTimeAxis = logTimeAxis;
        const auto scale = ParseNumber(timeScaleText);
        if (!scale) throw Error(ErrorKind::TypeMismatch, "X-axis scaling");
        used_.TimeScale = *scale;
        used_.YScale = factorT;
        // A step that leaves too few points is not taken either: the step
        // stays that of the rows in use.
        bool taken = false;
        try {
            taken = UsedData();
        } catch (...) {
            used_.PointStep = previousStep;
            throw;
        }
        if (!taken) used_.PointStep = previousStep;
        return taken;
    });
}

}  // namespace kx
