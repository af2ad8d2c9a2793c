// Small solver files with results, written the way the console solver lays
// them out, for the results-reader tests.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Messages.h"
#include "Quantities.h"

namespace kxtest {

struct FixtureSpecies {
    std::string name;
    double molarMass = 10.0;
    double initialFraction = 0.0;  // when no species has one, the file gives species 1 the whole gas
    // a1..a7 upper range, a8..a14 lower range.
    std::array<double, 14> coefficients{};
    double tLow = 300.0, tHigh = 5000.0, tMid = 1000.0;
};

struct FixtureReaction {
    // A reaction of the given species, the other fields at their defaults.
    static FixtureReaction Of(std::string equation, std::vector<int> reactants, std::vector<int> products);

    std::string equation;
    std::vector<int> reactants;  // species numbers, at most 3
    std::vector<int> products;   // at most 6
    int thirdBody = 0;           // integer field 12
    int lowPressure = 0;         // field 14
    int falloffKind = 0;         // field 15
    int reverse = 1;             // field 16
    std::array<double, 3> rate{1.0, 0.0, 0.0};
    std::array<double, 3> low{};
    std::vector<double> falloff;  // 3, 4 or 5 numbers by kind
    std::vector<int> partners;
    std::vector<double> efficiencies;
};

struct FixtureRecord {
    double time = 0;
    double temperature = 1000;
    std::vector<double> y;  // mass fractions, one per species
};

struct SolverFileFixture {
    std::vector<FixtureSpecies> species;
    std::vector<FixtureReaction> reactions;
    double pressure = 1.0;
    int mode = 0;
    double initialTemperature = 1000.0;
    double absTolerance = 1e-12;
    double gasConstantE = 1.9872042586408;
    double gasConstantConc = 82.0573661;
    std::vector<FixtureRecord> records;
    std::string resultsTitle = " !$Results  Mass Fractions";
    // Lines after the records (without line ends).
    std::vector<std::string> tail{" !$End", " ", " STATISTICS"};
    std::string lineEnd = "\r\n";

    // n species named S1.., molar masses 10, 11, ..., no reactions.
    static SolverFileFixture WithSpecies(int n);
    // Adds records at the given times: y of species k = 1e-3 k + 1e-6 i for record i.
    void AddRecords(const std::vector<double>& times);

    // The file as lines (no line ends), and the text with lineEnd after each.
    std::vector<std::string> Lines() const;
    std::string Text() const;
    void Write(const std::filesystem::path& path) const;
};

// A run with a known answer: S1 => S2 (k = 2) and S1 + S4 => S3 + S4 (k = 1)
// at 1000 K, every molar mass 10 and the fractions summing to 1, so the
// density is the same in every record and the rate of the first reaction per
// gram is 0.2 y1. y1 is a cubic of time (CubicRunY1), so are both rates;
// y2 = 0.3 + y2Slope t, y3 = 0.65 - y1 - y2Slope t, y4 = 0.05. Records at
// kCubicRunTimes (rows 1..9).
double CubicRunY1(double t);
double CubicRunY1Integral(double a, double b);  // of y1 over [a, b]
extern const std::vector<double> kCubicRunTimes;
SolverFileFixture CubicTwoReactionRun(double y2Slope);

// The record lines of a results block, for tests that edit the text.
std::string RecordFirstLine(int step, double time, double temperature, const std::vector<double>& y);

// A copy of a run's results cut short, as a run cut off or a file cut in
// two leaves it: in the middle of its bytes (wherever that falls), after the
// records of the first half, within the record after them (after its first
// line when a record has several, else in the middle of its line), or with
// only its closing line and what follows it left out. linesPerRecord is that
// of the run's results.
enum class ResultsCut { InHalf, BetweenRecords, WithinARecord, NoClosingLine };
struct CutRun {
    std::string text;
    int records = 0;        // the complete records left
    double lastTime = 0;    // the time of the last of them
};
// Throws std::runtime_error when the text holds no closed results block.
CutRun CutResults(const std::string& text, int linesPerRecord, ResultsCut cut);

// A solver file with results whose header does not match its records (a
// count off by one, a temperature mode beyond 0 and 1, a species number
// beyond the species), and the description with which every reader of
// results refuses it, the line named.
struct DisagreeingHeader {
    std::string what;
    std::vector<std::string> lines;
    std::string description;
};
std::vector<DisagreeingHeader> HeadersThatDisagreeWithTheirRecords();

// The lines as file text, each followed by the line end.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n");

// Records what the code under test shows; errorRoutine marks a report
// through the shared error routine.
class RecordingSink : public kx::Notifier {
public:
    struct Shown {
        std::string text;
        kx::MessageIcon icon;
        bool errorRoutine;
    };
    void Message(const std::string& text, int style, const std::string&) override {
        shown.push_back({text, static_cast<kx::MessageIcon>(style), false});
    }
    void ReportError(std::string_view tag, std::string_view description) override {
        shown.push_back({std::string(tag) + std::string(description), kx::MessageIcon::Exclamation, true});
    }
    std::vector<Shown> shown;
};

// The gas constant in cm^3 atm/(mol K) that the tests give the reader.
inline constexpr double kGasConstantCm3Atm = 82.0573661;
inline constexpr double kAvogadro = 6.02214076e23;
inline constexpr double kGasConstantJ = 8.314462618;
inline constexpr double kGasConstantCal = 1.987204;

// The units of the derived quantities with the constants above.
inline kx::QuantityUnits TestUnits(int concUnit = 0, bool joule = true) {
    kx::QuantityUnits u;
    u.ConcUnit = concUnit;
    u.AvogadroNumber = kAvogadro;
    u.GasConstantCm3Atm = kGasConstantCm3Atm;
    u.GasConstantJ = kGasConstantJ;
    u.GasConstantCal = kGasConstantCal;
    u.Joule = joule;
    return u;
}

}  // namespace kxtest
