#include "fixed_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using namespace kx::fmt;

std::string E(double v, int w, int d, int e = 0) {
  char b[64];
  return std::string(b, PutE(b, v, w, d, e));
}

std::string I(long long v, int w) {
  char b[64];
  return std::string(b, PutI(b, v, w));
}

struct RealCase {
  const char* field;
  int decimals;
  double expected;
};

TEST(FixedFieldInput, RealsFollowTheFormattedInputRules) {
  const RealCase cases[] = {
      {" 0.35470000E+16", 8, 0.3547e16},
      {"-0.40600000E+00", 8, -0.406},
      {"               ", 8, 0.0},             // all blank reads as zero
      {"", 8, 0.0},                            // beyond the end of a short line
      {" 1 . 5 E + 0 2 ", 8, 150.0},           // blanks inside are ignored
      {"5", 3, 0.005},                         // implied decimals without a point
      {"5        ", 3, 0.005},                 // trailing blanks are ignored, not zeros
      {"12345E2", 3, 1234.5},                  // implied decimals with an exponent
      {"2.5     ", 2, 2.5},
      {"12.     ", 2, 12.0},
      {"1.0D-3", 8, 1e-3},
      {"1.0d+3", 8, 1e3},
      {"1.0+05", 8, 1e5},                      // sign-only exponent
      {"-.5e1", 8, -5.0},
      {"0.250E-010", 3, 0.25e-10},             // a three-digit exponent in ten columns
      {"1.0E-999", 8, 0.0},                    // below the smallest double
  };
  for (const RealCase& c : cases) {
    double v = -1.0;
    EXPECT_TRUE(ReadRealField(c.field, c.decimals, v)) << c.field;
    EXPECT_DOUBLE_EQ(v, c.expected) << c.field;
  }
}

TEST(FixedFieldInput, UnreadableRealsAreRefused) {
  for (const char* field : {"abc", "1.2.3", "E5", "1.0E", "1.0E+", "1.0X5", "--1", "1.0E+999", "nan", "inf"}) {
    double v = 0.0;
    EXPECT_FALSE(ReadRealField(field, 8, v)) << field;
  }
}

TEST(FixedFieldInput, IntegersIgnoreBlanks) {
  struct Case {
    const char* field;
    bool ok;
    int expected;
  };
  const Case cases[] = {
      {"   4", true, 4},   {"4   ", true, 4},     {"10  ", true, 10}, {"    ", true, 0},
      {" -12", true, -12}, {"+7", true, 7},       {"1.0", false, 0},  {"a", false, 0},
      {"99999999999", false, 0}, {"-2147483648", true, -2147483647 - 1}, {"-", false, 0},
  };
  for (const Case& c : cases) {
    int v = -99;
    EXPECT_EQ(ReadIntField(c.field, v), c.ok) << c.field;
    if (c.ok) {
      EXPECT_EQ(v, c.expected) << c.field;
    }
  }
}

TEST(FixedFieldInput, FieldsAreColumnRangesOfPaddedLines) {
  const std::string line = "abcdef";
  EXPECT_EQ(Field(line, 2, 3), "bcd");
  EXPECT_EQ(Field(line, 5, 10), "ef");
  EXPECT_EQ(Field(line, 7, 4), "");
}

TEST(FreeFormatInput, TheFirstItemOfAValueLineIsTheValue) {
  int n = 0;
  EXPECT_TRUE(ReadListInt(" 11 !Species", n));
  EXPECT_EQ(n, 11);
  EXPECT_TRUE(ReadListInt("\t325,!Reactions", n));
  EXPECT_EQ(n, 325);
  EXPECT_FALSE(ReadListInt(" 1.5 !Delta N", n));
  EXPECT_FALSE(ReadListInt("    ", n));
  EXPECT_FALSE(ReadListInt(" !Species", n));

  double v = 0;
  EXPECT_TRUE(ReadListReal(" 1.000000E+00 !Pressure, atm", v));
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(ReadListReal(" 82.0573661 !R", v));
  EXPECT_EQ(v, 82.0573661);
  EXPECT_TRUE(ReadListReal(" 1 !integral real", v));  // no implied decimals here
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(ReadListReal("1.5d-3", v));
  EXPECT_EQ(v, 1.5e-3);
  EXPECT_FALSE(ReadListReal(" x1.0", v));
  EXPECT_FALSE(ReadListReal("", v));
}

struct ECase {
  double value;
  int w, d, e;
  const char* expected;
};

TEST(ExponentOutput, FieldsMatchTheLayouts) {
  const double inf = std::numeric_limits<double>::infinity();
  const ECase cases[] = {
      {1.0, 16, 8, 3, " 0.10000000E+001"},
      {0.0, 16, 8, 3, " 0.00000000E+000"},
      {-1.27e-2, 16, 8, 3, "-0.12700000E-001"},
      {1000.0, 16, 8, 3, " 0.10000000E+004"},
      {1e-300, 16, 8, 3, " 0.10000000E-299"},
      {0.999999999, 16, 8, 3, " 0.10000000E+001"},   // rounding carries into the exponent
      {2.2250738585072014e-308, 16, 8, 3, " 0.22250739E-307"},
      {1.5e-4, 13, 7, 0, "0.1500000E-03"},
      {-1.5e-4, 13, 7, 0, "-.1500000E-03"},           // no room for the leading zero
      {1500.0, 10, 4, 0, "0.1500E+04"},
      {250.0, 10, 4, 0, "0.2500E+03"},
      {1e-120, 13, 7, 0, "0.1000000-119"},            // three-digit exponent drops the letter
      {1e-5, 12, 6, 0, "0.100000E-04"},
      {1e300, 10, 4, 3, ".1000E+301"},
      {1.0, 8, 4, 0, "********"},                     // no room at all
      {inf, 16, 8, 3, "        Infinity"},
      {-inf, 16, 8, 3, "       -Infinity"},
  };
  for (const ECase& c : cases) EXPECT_EQ(E(c.value, c.w, c.d, c.e), c.expected) << c.value;
  EXPECT_EQ(E(std::nan(""), 16, 8, 3), "             NaN");
}

TEST(IntegerOutput, RightAlignedOrAsterisks) {
  EXPECT_EQ(I(12, 4), "  12");
  EXPECT_EQ(I(99999, 5), "99999");
  EXPECT_EQ(I(100000, 5), "*****");
  EXPECT_EQ(I(-1234, 5), "-1234");
  EXPECT_EQ(I(-12345, 5), "*****");
  EXPECT_EQ(I(0, 8), "       0");
}

TEST(TextOutput, CutOrPadded) {
  char b[32];
  EXPECT_EQ(std::string(b, PutA(b, "T", 4)), "T   ");
  EXPECT_EQ(std::string(b, PutA(b, "StepNumber", 5)), "StepN");
}

}  // namespace
