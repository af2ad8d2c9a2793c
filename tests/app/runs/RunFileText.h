// Solver files for the tests of solver runs, laid out column by column as
// the solver reads them: a 34-line header with the run settings, one
// four-line thermodynamic record per species, three separator lines, the
// reactions, the END line, and whatever a run appended.
#pragma once

#include "Format.h"
#include "SolverFileText.h"

#include <string>
#include <vector>

namespace kx::test {

struct RunSpecies {
    std::string name;
    std::string fraction;  // columns 75-84 ("" leaves them blank)
    double molarMass = 2.016;
    bool thermoData = true;  // false: every coefficient 0
};

// The text right-aligned / left-aligned in a field of the given width.
inline std::string RightAligned(const std::string& text, std::size_t width) {
    return Format(text, std::string(width, '@'));
}

inline std::string LeftAligned(const std::string& text, std::size_t width) {
    std::string pattern(width + 1, '@');
    pattern[0] = '!';
    return Format(text, pattern);
}

struct RunFileText {
    std::vector<std::string> header = {
        "!$KINOVEX SOLVER",
        " Test mechanism",
        " ", " ", " ", " ", " ", " ", " ",
        "",  // 10: species count, filled in when left empty
        "",  // 11: reaction count, filled in when left empty
        " !",
        " !Run parameters",
        " 1.000000E+00 !Pressure, atm",
        " 1 !Temperature Equation",
        " 1.000000E+03 !Initial Temperature",
        " 2.500000E+02 !Minimal Allowable Temperature",
        " 5.000000E+03 !Maximum Allowable Temperature",
        " 0.000000E+00 !Initial Time",
        " 1.000000E-03 !Final Time",
        " 1.000000E-08 !Initial Step Size",
        " 100000 !Maximum Number of Steps",
        " 1.000000E-06 !Relative Tolerance",
        " 1.000000E-12 !Absolute Tolerance",
        " ",
        " !Output Parameters",
        " 100000 !R!Maximum Number of lines in output",
        " 1 !Delta N",
        " ",
        " !Gas constants",
        " 1.9872042586408 !R in units of the activation energies",
        " 82.0573661 !R in units of pressure and concentration",
        " ",
        " THERMO",
    };
    std::vector<RunSpecies> species = {{"H2", "5.000E-01", 2.016}, {"O2", "2.500E-01", 31.998}, {"N2", "", 28.014}};
    int reactions = 2;
    // Each reaction with a list of one third body: three lines more, six a record.
    bool thirdBodies = false;
    std::vector<std::string> after;  // lines after the END line
    const char* lineEnd = "\r\n";

    static std::string Coefficient(double v) { return RightAligned(Format(v, "0.00000000E+00"), 15); }

    static std::vector<std::string> ThermoRecord(int number, const RunSpecies& s) {
        const double c = s.thermoData ? 1.5 : 0.0;
        std::string first = LeftAligned(std::string(" ").append(std::to_string(number)), 6) + LeftAligned(s.name, 16) +
                            LeftAligned(" " + s.name, 23) + "0    300.0   5000.0   1000.0 ";  // 74 columns
        if (!s.fraction.empty()) first += LeftAligned(s.fraction, 10);
        std::string line2, line3, line4;
        for (int k = 0; k < 5; ++k) line2 += Coefficient(c);
        for (int k = 0; k < 5; ++k) line3 += Coefficient(-c);
        for (int k = 0; k < 4; ++k) line4 += Coefficient(c);
        return {first, line2, line3, line4 + RightAligned(Format(s.molarMass, "0.000"), 15)};
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines = header;
        if (lines[9].empty()) lines[9] = std::string(" ").append(std::to_string(species.size())).append(" !Species");
        if (lines[10].empty()) lines[10] = std::string(" ").append(std::to_string(reactions)).append(" !Reactions");
        for (std::size_t k = 0; k < species.size(); ++k) {
            std::vector<std::string> record = ThermoRecord(static_cast<int>(k + 1), species[k]);
            lines.insert(lines.end(), record.begin(), record.end());
        }
        for (const char* l : {" END", " ", " REACTIONS   MOLES   CAL/MOLE"}) lines.push_back(l);
        for (int r = 1; r <= reactions; ++r) {
            lines.push_back(std::string(" ").append(std::to_string(r)).append("    H2+O2<=>2OH"));
            lines.push_back(thirdBodies ? "      1   2   0   3   3   0   0   0   0   1   1   2   1   0   0   0"
                                        : "      1   2   0   3   3   0   0   0   0   1   1   0   0   0   0   0");
            lines.push_back("       0.17000000E+14 0.00000000E+00 0.47780000E+05");
            if (thirdBodies)
                for (const char* l : {"      N2", "      3       0       0       0       0       0       0       0       0       0",
                                      "      1.5     0.      0.      0.      0.      0.      0.      0.      0.      0."})
                    lines.push_back(l);
        }
        lines.push_back("END");
        lines.insert(lines.end(), after.begin(), after.end());
        return lines;
    }

    std::string bytes() const {
        std::string out;
        for (const std::string& l : Lines()) out += l + lineEnd;
        return out;
    }

    // Number of the END line (from 1).
    int EndLine() const { return static_cast<int>(Lines().size() - after.size()); }

    // The lines that open a run's results: a blank line, the title, and the
    // heading that names the species, laid out as the records (50 species a
    // line).
    std::vector<std::string> ResultsStart() const {
        std::vector<std::string> lines = {" ", " !$Results  Mass Fractions"};
        std::vector<std::string> names = {"Time", "T"};
        for (const RunSpecies& s : species) names.push_back(s.name);
        for (const std::string& l : ResultsRecordLines("StepN", names, true)) lines.push_back(l);
        return lines;
    }
};

// One results line: the step, time and temperature (first line only), then
// the values, each in 17 columns as the solver writes them.
inline std::string ResultsLine(bool first, int step, double time, double temperature,
                               const std::vector<double>& values) {
    auto value = [](double v) { return std::string(" ").append(RightAligned(Format(v, "0.00000000E+000"), 16)); };
    std::string line;
    if (first) {
        line = std::string(" ").append(RightAligned(std::to_string(step), 5)).append(value(time)).append(value(temperature));
    } else {
        line = std::string(40, ' ');
    }
    for (double v : values) line += value(v);
    return line;
}

}  // namespace kx::test
