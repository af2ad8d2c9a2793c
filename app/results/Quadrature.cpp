#include "Quadrature.h"

#include <cmath>
#include <string>

#include "Errors.h"

namespace kx {

IntervalQuadrature::IntervalQuadrature(std::span<const double> times, int first, int last, int finalRow,
                                       std::size_t seriesCount)
    : times_(times),
      first_(first),
      last_(last),
      final_(finalRow),
      start_(StartRowFor(first)),
      end_(EndRowFor(last, finalRow)),
      next_(StartRowFor(first)),
      series_(seriesCount),
      prev1_(seriesCount, 0.0),
      prev2_(seriesCount, 0.0),
      prev3_(seriesCount, 0.0),
      s1_(seriesCount, 0.0),
      s2_(seriesCount, 0.0),
      e_(seriesCount, 0.0) {
    if (first < 1 || last < first || finalRow < last || times.size() <= static_cast<std::size_t>(end_))
        throw Error(ErrorKind::SubscriptOutOfRange, "interval rows");
    for (int i = start_; i <= end_; ++i)
        if (!std::isfinite(t(i))) throw Error(ErrorKind::TypeMismatch, "time of row " + std::to_string(i));
    for (int i = start_; i < end_; ++i)
        if (t(i) == t(i + 1))
            throw Error(ErrorKind::DivisionByZero, "equal times in rows " + std::to_string(i) + " and " +
                                                       std::to_string(i + 1));
}

void IntervalQuadrature::AddRow(std::span<const double> f) {
    const int i = next_;
    if (i > end_ || f.size() < series_) throw Error(ErrorKind::SubscriptOutOfRange, "quadrature row");

    if (first_ < last_ && i >= first_ && i <= last_) {
        const double w = i == first_ ? t(i + 1) - t(i) : i == last_ ? t(i) - t(i - 1) : t(i + 1) - t(i - 1);
        for (std::size_t m = 0; m < series_; ++m) s1_[m] += w * f[m];
    }

    if (i > start_ + 2) {
        // Cubic through rows i-3..i, corrected on [t(i-2), t(i-1)].
        const double h = t(i - 1) - t(i - 2);
        const double qa = (t(i - 2) - t(i - 3)) / h;
        const double qb = (t(i - 1) - t(i - 3)) / h;
        const double qc = (t(i) - t(i - 1)) / h;
        const double qd = (t(i) - t(i - 2)) / h;
        const double qe = (t(i) - t(i - 3)) / h;
        const double c1 = (2 * qc + 1) / (qa * qb * qe);
        const double c2 = (2 * (qc - qa) + 1) / (qa * qd);
        const double c3 = (2 * (qa - qc) + 1) / (qc * qb);
        const double c4 = (2 * qa + 1) / (qe * qd * qc);
        for (std::size_t m = 0; m < series_; ++m)
            s2_[m] += h * (-c1 * prev3_[m] + c2 * prev2_[m] + c3 * prev1_[m] - c4 * f[m]);
    }

    if (first_ == 1 && i == 3 && first_ < last_) {
        // Parabola through rows 1-3, corrected on [t(1), t(2)].
        const double d12 = t(2) - t(1), d13 = t(3) - t(1), d23 = t(3) - t(2);
        const double q1 = d12 / d23, q2 = d13 / d23;
        for (std::size_t m = 0; m < series_; ++m)
            e_[m] += ((prev1_[m] - prev2_[m]) / q1 - f[m] + prev1_[m]) * q1 * q1 * q1 * d23 / q2;
    }

    if (last_ == final_ && i == final_ && i - 2 >= start_ && first_ < last_) {
        // Parabola through the last three rows, corrected on [t(i-1), t(i)].
        const double dA = t(i - 1) - t(i - 2), dB = t(i) - t(i - 2), h = t(i) - t(i - 1);
        const double q1 = dA / h, q2 = dB / h;
        for (std::size_t m = 0; m < series_; ++m)
            e_[m] += ((prev1_[m] - prev2_[m]) / q1 - f[m] + prev1_[m]) * h / q2;
    }

    prev3_.swap(prev2_);
    prev2_.swap(prev1_);
    for (std::size_t m = 0; m < series_; ++m) prev1_[m] = f[m];
    ++next_;
}

double IntervalQuadrature::Integral(std::size_t m) const {
    if (next_ <= end_ || m >= series_) throw Error(ErrorKind::SubscriptOutOfRange, "quadrature result");
    return s1_[m] / 2 + s2_[m] / 12 + e_[m] / 6;
}

}  // namespace kx
