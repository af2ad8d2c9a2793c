// Solver files for tests, built line by line as the solver reads them: a
// header of 34 lines (line 1 the signature, line 10 the species count,
// line 11 the reaction count, line 15 the temperature mode, the run
// settings of a run at 1000 K), one four-line thermodynamic record per
// species (S1, S2, ...; S1 the whole initial mixture), the three separator
// lines with the REACTIONS line, the reaction records, the end line, and
// whatever a run would have appended. Unchanged, the solver runs it.
#pragma once

#include <string>
#include <vector>

namespace kx::test {

struct SolverFileText {
    std::string signature = "!$KINOVEX SOLVER";
    int species = 3;  // at least 3 for the default reaction
    std::string temperatureMode = " 1 !Temperature Equation";
    // One record of three lines: S1 + S2 => S3 + S3.
    std::vector<std::string> reactions = {" 1    H2+O2<=>2OH",
                                          "      1   2   0   3   3   0   0   0   0   1   1   0   0   0   0   0",
                                          "       0.17000000E+14 0.00000000E+00 0.47780000E+05"};
    int reactionCount = 1;
    std::vector<std::string> after;  // lines after the end line
    int headerLines = 34;            // fewer cut the header short

    // The four lines of species k's record: a plain thermodynamic fit and a
    // molar mass of 2.
    static std::vector<std::string> ThermoRecord(int k) {
        std::string first = " " + std::to_string(k);
        first.resize(6, ' ');
        std::string name = "S" + std::to_string(k);
        name.resize(16, ' ');
        first += name + " " + name;
        first.resize(45, ' ');
        first += "0    300.0   5000.0   1000.0 ";  // columns 46-74
        if (k == 1) first += "1.000E+00";
        const std::string c = "    0.15000E+01", m = "   -0.15000E+01";
        return {first, c + c + c + c + c, m + m + m + m + m, c + c + c + c + "          2.000"};
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        lines.push_back(signature);
        for (int n = 2; n <= 9; ++n) lines.push_back(" ");
        lines.push_back(std::string(" ").append(std::to_string(species)).append(" !Species"));
        lines.push_back(std::string(" ").append(std::to_string(reactionCount)).append(" !Reactions"));
        for (const char* l : {" !", " !Run parameters", " 1.000000E+00 !Pressure, atm"}) lines.push_back(l);
        lines.push_back(temperatureMode);
        for (const char* l : {" 1.000000E+03 !Initial Temperature", " 2.500000E+02 !Minimal Allowable Temperature",
                              " 5.000000E+03 !Maximum Allowable Temperature", " 0.000000E+00 !Initial Time",
                              " 1.000000E-03 !Final Time", " 1.000000E-08 !Initial Step Size",
                              " 100000 !Maximum Number of Steps", " 1.000000E-06 !Relative Tolerance",
                              " 1.000000E-12 !Absolute Tolerance", " ", " !Output Parameters",
                              " 100000 !R!Maximum Number of lines in output", " 1 !Delta N", " ", " !Gas constants",
                              " 1.9872042586408 !R in units of the activation energies",
                              " 82.0573661 !R in units of pressure and concentration", " ", " THERMO"})
            lines.push_back(l);
        lines.resize(static_cast<std::size_t>(headerLines));
        if (headerLines == 34) {
            for (int k = 1; k <= species; ++k)
                for (const std::string& l : ThermoRecord(k)) lines.push_back(l);
            for (const char* l : {" END", " ", " REACTIONS   MOLES   CAL/MOLE"}) lines.push_back(l);
            lines.insert(lines.end(), reactions.begin(), reactions.end());
            lines.push_back(" END");
            lines.insert(lines.end(), after.begin(), after.end());
        }
        return lines;
    }

    std::string bytes() const {
        std::string out;
        for (const std::string& l : Lines()) out += l + "\r\n";
        return out;
    }
};

// A reaction record of three lines that the solver reads (S1 + S2 => S3),
// and the same followed by a reverse-rate line, which has no place in it.
inline std::vector<std::string> PlainReaction(int number) {
    const std::string n = std::to_string(number);
    return {" " + n + "    A" + n + "+B<=>C" + n,
            "      1   2   0   3   0   0   0   0   0   2   1   0   0   0   0   1",
            "       0.10000000E+14 0.00000000E+00 0.10000000E+05"};
}

inline std::vector<std::string> RevReaction(int number) {
    std::vector<std::string> lines = PlainReaction(number);
    lines.push_back("      REV / 1.0 0.0 0.0 /");
    return lines;
}

// The lines of a results record, or of its heading, as the solver lays them
// out: the step number in columns 2-6, then 17-character fields (the time,
// the temperature and one per species, the field's text right-aligned, or
// left-aligned for the heading's names), 50 species a line, each further
// line indented by 40 blanks.
inline std::vector<std::string> ResultsRecordLines(const std::string& step, const std::vector<std::string>& fields,
                                                   bool leftAligned = false) {
    auto field = [&](const std::string& text) {
        const std::string pad(text.size() < 16 ? 16 - text.size() : 0, ' ');
        return " " + (leftAligned ? text + pad : pad + text);
    };
    std::vector<std::string> lines = {" " + std::string(step.size() < 5 ? 5 - step.size() : 0, ' ') + step};
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 2 && (k - 2) % 50 == 0) lines.push_back(std::string(40, ' '));
        lines.back() += field(fields[k]);
    }
    return lines;
}

// The results a run appends for `species` species (named S1, S2, ...): a
// blank line, the title, the heading, then `records` records (step i, time
// i x 1e-6 s, 1000 K, every mass fraction 1e-3).
inline std::vector<std::string> Results(int species, int records,
                                        const std::string& title = " !$Results  Mass Fractions") {
    std::vector<std::string> lines = {" ", title};
    std::vector<std::string> names = {"Time", "T"};
    for (int k = 1; k <= species; ++k) names.push_back("S" + std::to_string(k));
    for (const std::string& l : ResultsRecordLines("StepN", names, true)) lines.push_back(l);
    for (int i = 1; i <= records; ++i) {
        std::vector<std::string> values = {std::to_string(i) + ".00000000E-006", "1.00000000E+003"};
        values.resize(static_cast<std::size_t>(species) + 2, "1.00000000E-003");
        for (const std::string& l : ResultsRecordLines(std::to_string(i), values)) lines.push_back(l);
    }
    return lines;
}

}  // namespace kx::test
