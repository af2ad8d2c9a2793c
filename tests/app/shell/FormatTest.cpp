#include "Format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FormatNumber : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumber, GivesExpectedText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(kx::Format(c.value, c.pattern), c.expected) << c.value << " with " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumber,
    ::testing::Values(
        // Point written even without decimals; exponent always signed.
        FormatCase{1.0, "0.E+00", "1.E+00"}, FormatCase{1e-10, "0.E+00", "1.E-10"},
        FormatCase{1e-15, "0.E+00", "1.E-15"}, FormatCase{0.5, "0.###E+00", "5.E-01"},
        // Optional decimals dropped, required ones kept.
        FormatCase{1.0, "0.00####E+00", "1.00E+00"},
        FormatCase{101325.0, "0.00####E+00", "1.01325E+05"},
        FormatCase{1.23456789, "0.00####E+00", "1.234568E+00"},
        // Rounding carries into the exponent.
        FormatCase{9.9999996, "0.00####E+00", "1.00E+01"}, FormatCase{0.0, "0.00E+00", "0.00E+00"},
        FormatCase{-2.5e-3, "0.000E+00", "-2.500E-03"},
        // The exponent grows beyond its minimum digits.
        FormatCase{1e-100, "0.000E+00", "1.000E-100"},
        FormatCase{123450.0, "0.000E+000", "1.235E+005"},
        FormatCase{2.5e-3, "0.000E+000", "2.500E-003"},
        FormatCase{1.5e-7, "0.##E+00#", "1.5E-07"}, FormatCase{1.5e-100, "0.##E+00#", "1.5E-100"},
        FormatCase{1e5, "0.##E+00#", "1.E+05"}, FormatCase{1.0, "0.0##E+00", "1.0E+00"},
        FormatCase{3e-8, "0.0E+00", "3.0E-08"}, FormatCase{1.2345678e-3, "0.000000E+00", "1.234568E-03"},
        // "E-" writes only a minus.
        FormatCase{1e5, "0.0E-00", "1.0E05"}, FormatCase{1e-5, "0.0E-00", "1.0E-05"},
        // Fixed patterns.
        FormatCase{1200.0, "0.0", "1200.0"}, FormatCase{2.675, "0.00", "2.68"},
        FormatCase{0.004, "0.00", "0.00"}, FormatCase{0.005, "0.00", "0.01"},
        FormatCase{-0.004, "0.00", "0.00"}, FormatCase{0.5, "0.##", "0.5"},
        FormatCase{1.0, "0.##", "1."}, FormatCase{0.5, "0.", "1."}, FormatCase{12.5, "0", "13"},
        FormatCase{-12.5, "0", "-13"}, FormatCase{999.96, "0.0", "1000.0"},
        FormatCase{0.5, "#.##", ".5"}, FormatCase{7.0, "000", "007"},
        // No pattern: the default conversion.
        FormatCase{12.5, "", "12.5"}, FormatCase{0.3, "", "0.3"}, FormatCase{-1e-7, "", "-1E-07"},
        // Text patterns applied to a number.
        FormatCase{1.0, "@@@@", "   1"}, FormatCase{12.0, "!@@@@", "12  "}));

TEST(FormatText, NumericTextIsReadFirst) {
    EXPECT_EQ(kx::Format("0.5", "0.###E+00"), "5.E-01");
    EXPECT_EQ(kx::Format(" 1.5e-3 ", "0.00E+00"), "1.50E-03");
    EXPECT_EQ(kx::Format("abc", "0.00"), "abc");  // not a number: unchanged
    EXPECT_EQ(kx::Format("1.50", ""), "1.5");
}

// A factor's label states the factor applied: the pattern's text when it
// reads back as the value, else more decimals.
TEST(FormatFaithfully, StatesTheValueItself) {
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {1000, "0.0E+00", "1.0E+03"},        {1e-3, "0.00E+00", "1.00E-03"},   {1.25, "0.0E+00", "1.25E+00"},
        {1.234, "0.00E+00", "1.234E+00"},    {0.333333, "0.0E+00", "3.33333E-01"}, {-2.5e-7, "0.0##E+00", "-2.5E-07"},
        {1.0 / 3.0, "0.00E+00", "3.33333333333333E-01"}, {12.5, "0.0", "12.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(kx::FormatFaithfully(c.value, c.pattern), c.text) << c.value;
}

TEST(FormatText, CharacterPlaceholders) {
    EXPECT_EQ(kx::Format("abc", "@@@@@"), "  abc");
    EXPECT_EQ(kx::Format("abc", "!@@@@@"), "abc  ");
    EXPECT_EQ(kx::Format("abcdef", "@@@@"), "abcdef");
    EXPECT_EQ(kx::Format("abcdef", "!@@@@"), "abcdef");
    EXPECT_EQ(kx::Format("1.5E-03", "@@@@@@@@@@"), "   1.5E-03");
}

TEST(NumberToText, DefaultConversion) {
    EXPECT_EQ(kx::NumberToText(0.0), "0");
    EXPECT_EQ(kx::NumberToText(0.0001), "0.0001");
    EXPECT_EQ(kx::NumberToText(1e-5), "1E-05");
    EXPECT_EQ(kx::NumberToText(1.5e20), "1.5E+20");
    EXPECT_EQ(kx::NumberToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(kx::NumberToText(1e15), "1E+15");
    EXPECT_EQ(kx::NumberToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(kx::NumberToText(1234567890.0 / 7.0 - 1234567890.0), "-1058201048.57143");
    EXPECT_EQ(kx::Str(2.5), " 2.5");
    EXPECT_EQ(kx::Str(-2.5), "-2.5");
}

struct NumericCase {
    const char* text;
    bool numeric;
    double value;
};

class Numeric : public ::testing::TestWithParam<NumericCase> {};

TEST_P(Numeric, RecognisesDecimalNumbersOnly) {
    const NumericCase& c = GetParam();
    EXPECT_EQ(kx::IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
    auto v = kx::ParseNumber(c.text);
    ASSERT_EQ(v.has_value(), c.numeric);
    if (v) {
        EXPECT_DOUBLE_EQ(*v, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Numeric,
    ::testing::Values(NumericCase{" 1.5 ", true, 1.5}, NumericCase{"-2", true, -2},
                      NumericCase{"+3", true, 3}, NumericCase{".5", true, 0.5},
                      NumericCase{"5.", true, 5}, NumericCase{"1e5", true, 1e5},
                      NumericCase{"1E-05", true, 1e-5}, NumericCase{"\t7\t", true, 7},
                      NumericCase{"1e-999", true, 0}, NumericCase{"", false, 0},
                      NumericCase{"   ", false, 0}, NumericCase{".", false, 0},
                      NumericCase{"1,5", false, 0}, NumericCase{"1,000", false, 0},
                      NumericCase{"1 000", false, 0}, NumericCase{"&H10", false, 0},
                      NumericCase{"0x10", false, 0}, NumericCase{"inf", false, 0},
                      NumericCase{"-infinity", false, 0}, NumericCase{"nan", false, 0},
                      NumericCase{"1e", false, 0}, NumericCase{"1e999", false, 0},
                      NumericCase{"--1", false, 0}, NumericCase{"1.2.3", false, 0},
                      NumericCase{"1d5", false, 0}));

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(kx::Val("12.5 atm"), 12.5);
    EXPECT_DOUBLE_EQ(kx::Val("abc"), 0.0);
    EXPECT_DOUBLE_EQ(kx::Val(" 1 2 3"), 123.0);
    EXPECT_DOUBLE_EQ(kx::Val("-1.5e3x"), -1500.0);
    EXPECT_DOUBLE_EQ(kx::Val("1e"), 1.0);
    EXPECT_DOUBLE_EQ(kx::Val("  .5"), 0.5);
    EXPECT_DOUBLE_EQ(kx::Val("2.5.7"), 2.5);
    EXPECT_DOUBLE_EQ(kx::Val(""), 0.0);
}

TEST(RoundHalfEven, TiesGoToEven) {
    EXPECT_EQ(kx::RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(kx::RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(kx::RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(kx::RoundHalfEven(0.4), 0.0);
    EXPECT_EQ(kx::RoundHalfEven(1.6), 2.0);
    EXPECT_EQ(kx::RoundHalfEven(-1.6), -2.0);
    EXPECT_EQ(kx::RoundHalfEven(0.5), 0.0);
}

// Switches the C library to a locale whose decimal symbol is a comma, making
// one from the system's locale sources when none is installed.
bool useCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') return true;
    }
    auto dir = std::filesystem::temp_directory_path() / "kx_format_locale";
    std::filesystem::create_directories(dir);
    std::string cmd = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8")) return false;
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") && std::localeconv()->decimal_point[0] == ',';
}

TEST(FormatLocale, IndependentOfTheCommaDecimalLocale) {
    ASSERT_TRUE(useCommaLocale()) << "no locale with a comma decimal symbol could be set";
    EXPECT_EQ(kx::Format(1.5, "0.0"), "1.5");
    EXPECT_EQ(kx::Format(1.5e-7, "0.00E+00"), "1.50E-07");
    EXPECT_EQ(kx::NumberToText(0.25), "0.25");
    EXPECT_TRUE(kx::IsNumeric("1.5"));
    EXPECT_FALSE(kx::IsNumeric("1,5"));
    EXPECT_DOUBLE_EQ(*kx::ParseNumber("2.25"), 2.25);
    EXPECT_DOUBLE_EQ(kx::Val("3.75 atm"), 3.75);
    std::setlocale(LC_ALL, "C");
}

}  // namespace
