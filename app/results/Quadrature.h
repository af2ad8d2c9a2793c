// Integration of sampled curves over the stored rows of a time interval.
//
// Each sub-interval [t(i), t(i+1)] of the interval [t(first), t(last)] is
// integrated exactly for the cubic through the two stored points on either
// side of it; a sub-interval at the first or last stored row of the whole
// table, which has no point beyond it, uses the parabola through its three
// nearest points. The sum is formed as a trapezoid part, a cubic correction
// per inner sub-interval and the end corrections, from one value per row and
// series, each row visited once in order.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace kx {

class IntervalQuadrature {
public:
    // times[i] is the time of row i; it must hold every row of the working
    // range StartRow..EndRow. first and last are the interval's rows
    // (1 <= first <= last <= finalRow), finalRow the last row of the table.
    // Throws kx::Error when the rows do not fit or when two consecutive times
    // of the working range are equal (the corrections would divide by zero).
    IntervalQuadrature(std::span<const double> times, int first, int last, int finalRow, std::size_t seriesCount);

    // The working range: one row beyond each end of the interval where the
    // table has one.
    static int StartRowFor(int first) { return first == 1 ? 1 : first - 1; }
    static int EndRowFor(int last, int finalRow) { return last == finalRow ? last : last + 1; }
    int StartRow() const { return start_; }
    int EndRow() const { return end_; }

    // The values of every series at the next row (StartRow first).
    void AddRow(std::span<const double> f);

    // The integral of series m over [t(first), t(last)], once every row of
    // the working range was added; 0 for an interval of one row.
    double Integral(std::size_t m) const;

private:
    double t(int i) const { return times_[static_cast<std::size_t>(i)]; }

    std::span<const double> times_;
    int first_, last_, final_, start_, end_, next_;
    std::size_t series_;
    // Values of the three rows before the current one: f(i-1), f(i-2), f(i-3).
    std::vector<double> prev1_, prev2_, prev3_;
    std::vector<double> s1_, s2_, e_;
};

}  // namespace kx
