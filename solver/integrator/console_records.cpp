// Console records of the integrator: one line each on standard output. Numbers
// are written with std::to_chars, independent of any locale.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "radau5_core.h"

namespace kx::radau_console {

namespace {

void Emit(const std::string& record) {
  std::fwrite(record.data(), 1, record.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string IntText(long long v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

// Shortest text that reads back as the same double; always shows it is a real.
std::string RealText(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  std::string text(buf, res.ptr);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

}  // namespace

void Line(const std::string& text) { Emit(text); }

void LineWithIntegers(const std::string& text, std::initializer_list<long long> values) {
  std::string record(text);
  for (const long long v : values) {
    record += ' ';
    record += IntText(v);
  }
  Emit(record);
}

void LineWithReals(const std::string& text, std::initializer_list<double> values) {
  std::string record(text);
  for (const double v : values) {
    record += ' ';
    record += RealText(v);
  }
  Emit(record);
}

void ExitRecord(double x) {
  constexpr int kWidth = 18;
  std::string field;
  if (std::isnan(x) || std::isinf(x)) {
    field = RealText(x);
  } else if (x == 0.0) {
    field = "0.0000E+00";
  } else {
    // d.ddde+xx with four significant digits, rewritten as 0.dddd times 10^(xx+1).
    char buf[32];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::abs(x), std::chars_format::scientific, 3);
    *res.ptr = '\0';
    const char* e = std::strchr(buf, 'e');
    const int exponent = std::atoi(e + 1) + 1;
    field = x < 0 ? "-0." : "0.";
    field += buf[0];
    field.append(buf + 2, 3);
    const int mag = std::abs(exponent);
    char sign = exponent < 0 ? '-' : '+';
    std::string digits = IntText(mag);
    if (mag < 10) digits = "0" + digits;
    // A three-digit exponent takes the place of the letter.
    field += mag > 99 ? std::string(1, sign) + digits : std::string("E") + sign + digits;
  }
  if (field.size() < kWidth) field.insert(0, kWidth - field.size(), ' ');
  Emit(" EXIT OF RADAU5 AT X=" + field);
}

}  // namespace kx::radau_console
