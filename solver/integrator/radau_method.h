// Coefficients of the three-stage Radau IIA method (order 5) as the step
// loop uses them.
#pragma once

#include <cmath>

namespace kx {

// Transformation T to, and TI from, the coordinates in which the inverse of
// the Radau IIA coefficient matrix is block diagonal (T32 = 1, T33 = 0).
inline constexpr double kT11 = 9.1232394870892942792e-02;
inline constexpr double kT12 = -0.14125529502095420843;
inline constexpr double kT13 = -3.0029194105147424492e-02;
inline constexpr double kT21 = 0.24171793270710701896;
inline constexpr double kT22 = 0.20412935229379993199;
inline constexpr double kT23 = 0.38294211275726193779;
inline constexpr double kT31 = 0.96604818261509293619;
inline constexpr double kTI11 = 4.3255798900631553510;
inline constexpr double kTI12 = 0.33919925181580986954;
inline constexpr double kTI13 = 0.54177053993587487119;
inline constexpr double kTI21 = -4.1787185915519047273;
inline constexpr double kTI22 = -0.32768282076106238708;
inline constexpr double kTI23 = 0.47662355450055045196;
inline constexpr double kTI31 = -0.50287263494578687595;
inline constexpr double kTI32 = 2.5719269498556054292;
inline constexpr double kTI33 = -0.59603920482822492497;

// Nodes, error-estimate weights and eigenvalues of the method.
struct MethodConstants {
  double c1, c2, c1m1, c2m1, c1mc2;
  double dd1, dd2, dd3;
  double u1, alph, beta;

  MethodConstants() {
    const double sq6 = std::sqrt(6.0);
    c1 = (4.0 - sq6) / 10.0;
    c2 = (4.0 + sq6) / 10.0;
    c1m1 = c1 - 1.0;
    c2m1 = c2 - 1.0;
    c1mc2 = c1 - c2;
    dd1 = -(13.0 + 7.0 * sq6) / 3.0;
    dd2 = (-13.0 + 7.0 * sq6) / 3.0;
    dd3 = -1.0 / 3.0;
    const double cbrt81 = std::pow(81.0, 1.0 / 3.0);
    const double cbrt9 = std::pow(9.0, 1.0 / 3.0);
    u1 = 30.0 / (6.0 + cbrt81 - cbrt9);
    const double a = (12.0 - cbrt81 + cbrt9) / 60.0;
    const double b = (cbrt81 + cbrt9) * std::sqrt(3.0) / 60.0;
    const double cno = a * a + b * b;
    alph = a / cno;
    beta = b / cno;
  }
};

}  // namespace kx
