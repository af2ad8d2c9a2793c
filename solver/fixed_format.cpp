#include "fixed_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kx::fmt {

namespace {

constexpr int kMaxItem = 256;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign at the start of a number: skipped; true for a minus.
bool TakeSign(const char*& p, const char* end) {
  if (p == end || (*p != '+' && *p != '-')) return false;
  return *p++ == '-';
}

// Reads an integer from its blank-free, non-empty text.
bool ParseInt(const char* p, const char* end, int& value) {
  const bool negative = TakeSign(p, end);
  if (p == end) return false;
  long long v = 0;
  for (; p != end; ++p) {
    if (!IsDigit(*p)) return false;
    v = v * 10 + (*p - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

// Reads a real from its blank-free, non-empty text; `decimals` implied
// decimals apply when there is no decimal point.
bool ParseReal(const char* p, const char* end, int decimals, double& value) {
  const bool negative = TakeSign(p, end);
  char digits[kMaxItem + 32];
  int count = 0;
  int fraction = 0;
  bool point = false;
  for (; p != end; ++p) {
    if (IsDigit(*p)) {
      digits[count++] = *p;
      if (point) ++fraction;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (count == 0) return false;
  long exponent = 0;
  if (p != end) {
    char c = *p;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == 'Q' || c == 'q') ++p;
    else if (c != '+' && c != '-') return false;
    const bool negativeExponent = TakeSign(p, end);
    if (p == end) return false;
    for (; p != end; ++p) {
      if (!IsDigit(*p)) return false;
      if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
    }
    if (negativeExponent) exponent = -exponent;
  }
  const long scale = exponent - (point ? fraction : decimals);
  int length10 = count;
  digits[length10++] = 'e';
  auto [next, ec] = std::to_chars(digits + length10, digits + sizeof digits, scale);
  if (ec != std::errc()) return false;
  double v = 0.0;
  auto result = std::from_chars(digits, next, v);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small for a double reads as zero; too large is unreadable.
    int significant = 0;
    for (int i = 0; i < count; ++i)
      if (digits[i] != '0') {
        significant = count - i;
        break;
      }
    if (scale + significant > 0) return false;
    v = 0.0;
  } else if (result.ec != std::errc() || result.ptr != next) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

// Fixed-field input: the field without its blanks, read by `parse`; an
// all-blank field reads as zero.
template <typename T, typename Parse>
bool ReadField(std::string_view field, T& value, Parse parse) {
  char text[kMaxItem];
  int length = 0;
  for (char c : field) {
    if (c == ' ') continue;
    if (length == kMaxItem) return false;
    text[length++] = c;
  }
  if (length == 0) {
    value = T(0);
    return true;
  }
  return parse(text, text + length, value);
}

// Free-format input: the first item of the line, read by `parse`; leading
// blanks are skipped and the item ends at a blank, comma, slash or "!". A
// line without an item is unreadable.
template <typename T, typename Parse>
bool ReadListItem(std::string_view line, T& value, Parse parse) {
  const std::string_view item = ListItem(line);
  if (item.empty() || item.size() > kMaxItem) return false;
  return parse(item.data(), item.data() + item.size(), value);
}

char* Stars(char* out, int w) {
  std::memset(out, '*', static_cast<std::size_t>(w));
  return out + w;
}

char* RightAligned(char* out, const char* text, int length, int w) {
  if (length > w) return Stars(out, w);
  std::memset(out, ' ', static_cast<std::size_t>(w - length));
  std::memcpy(out + (w - length), text, static_cast<std::size_t>(length));
  return out + w;
}

}  // namespace

std::string_view Field(std::string_view line, int first, int width) {
  const std::size_t start = static_cast<std::size_t>(first - 1);
  if (start >= line.size()) return {};
  return line.substr(start, static_cast<std::size_t>(width));
}

bool ReadIntField(std::string_view field, int& value) { return ReadField(field, value, ParseInt); }

bool ReadRealField(std::string_view field, int decimals, double& value) {
  return ReadField(field, value, [decimals](const char* p, const char* end, double& v) {
    return ParseReal(p, end, decimals, v);
  });
}

std::string_view ListItem(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::size_t j = i;
  while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != ',' && line[j] != '/' &&
         line[j] != '!')
    ++j;
  return line.substr(i, j - i);
}

bool ReadListInt(std::string_view line, int& value) { return ReadListItem(line, value, ParseInt); }

bool ReadListReal(std::string_view line, double& value) {
  return ReadListItem(line, value, [](const char* p, const char* end, double& v) {
    return ParseReal(p, end, 0, v);
  });
}

char* PutA(char* out, std::string_view text, int w) {
  const std::size_t n = text.size() < static_cast<std::size_t>(w) ? text.size() : static_cast<std::size_t>(w);
  if (n > 0) std::memcpy(out, text.data(), n);  // an empty text may have no storage at all
  std::memset(out + n, ' ', static_cast<std::size_t>(w) - n);
  return out + w;
}

char* PutI(char* out, long long value, int w) {
  char text[24];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  (void)ec;
  return RightAligned(out, text, static_cast<int>(end - text), w);
}

char* PutE(char* out, double value, int w, int d, int e) {
  if (std::isnan(value)) return RightAligned(out, "NaN", 3, w);
  const bool negative = std::signbit(value);
  if (std::isinf(value)) {
    if (w >= 9 || (!negative && w >= 8))
      return negative ? RightAligned(out, "-Infinity", 9, w) : RightAligned(out, "Infinity", 8, w);
    return negative ? RightAligned(out, "-Inf", 4, w) : RightAligned(out, "Inf", 3, w);
  }
  // Mantissa digits d1..dd and the exponent of 0.d1d2...dd.
  char digits[64];
  int exponent = 0;
  if (value == 0.0) {
    std::memset(digits, '0', static_cast<std::size_t>(d));
  } else {
    char sci[64];
    auto [end, ec] = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, d - 1);
    (void)ec;
    int n = 0;
    const char* p = sci;
    for (; p != end && *p != 'e'; ++p)
      if (*p != '.') digits[n++] = *p;
    int x = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, x);
    exponent = x + 1;
  }
  char body[96];
  int n = 0;
  if (negative) body[n++] = '-';
  const int zeroAt = n;
  body[n++] = '0';
  body[n++] = '.';
  std::memcpy(body + n, digits, static_cast<std::size_t>(d));
  n += d;
  const int magnitude = exponent < 0 ? -exponent : exponent;
  int expDigits = e;
  if (e == 0) {
    expDigits = magnitude <= 99 ? 2 : 3;
    if (magnitude > 999) return Stars(out, w);
    if (magnitude <= 99) body[n++] = 'E';
  } else {
    int limit = 1;
    for (int i = 0; i < e; ++i) limit *= 10;
    if (magnitude >= limit) return Stars(out, w);
    body[n++] = 'E';
  }
  body[n++] = exponent < 0 ? '-' : '+';
  for (int i = expDigits - 1, m = magnitude; i >= 0; --i, m /= 10) body[n + i] = static_cast<char>('0' + m % 10);
  n += expDigits;
  if (n > w) {
    std::memmove(body + zeroAt, body + zeroAt + 1, static_cast<std::size_t>(n - zeroAt - 1));
    --n;
  }
  return RightAligned(out, body, n, w);
}

}  // namespace kx::fmt
