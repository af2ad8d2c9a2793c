// Solver files for tests, built line by line: a header of 34 lines (line 1
// the signature, line 10 the species count, line 15 the temperature mode),
// the three separator lines with the REACTIONS line, reaction lines, the
// end line, and whatever a run would have appended.
#pragma once

#include <string>
#include <vector>

namespace kx::test {

struct SolverFileText {
    std::string signature = "!$KINOVEX SOLVER";
    int species = 3;
    std::string temperatureMode = " 1 !Temperature Equation";
    std::vector<std::string> reactions = {" 1    H2+O2<=>2OH", "      1   2", "       0.1E+01"};
    std::vector<std::string> after;  // lines after the end line
    int headerLines = 34;            // fewer cut the header short

    std::string bytes() const {
        std::vector<std::string> lines;
        lines.push_back(signature);
        for (int n = 2; n <= 9; ++n) lines.push_back(" ");
        lines.push_back(std::string(" ").append(std::to_string(species)).append(" !Species"));
        lines.push_back(" 1 !Reactions");
        for (int n = 12; n <= 14; ++n) lines.push_back(" !");
        lines.push_back(temperatureMode);
        for (int n = 16; n <= 33; ++n) lines.push_back(" 1.0 !value");
        lines.push_back(" THERMO");
        lines.resize(static_cast<std::size_t>(headerLines));
        if (headerLines == 34) {
            for (const char* l : {" END", " ", " REACTIONS   MOLES   CAL/MOLE"}) lines.push_back(l);
            lines.insert(lines.end(), reactions.begin(), reactions.end());
            lines.push_back(" END");
            lines.insert(lines.end(), after.begin(), after.end());
        }
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        return out;
    }
};

// A reaction record of three lines followed by a reverse-rate line.
inline std::vector<std::string> RevReaction(int number) {
    const std::string n = std::to_string(number);
    return {" " + n + "    A" + n + "+B<=>C" + n, "      1   2", "       0.1E+01", "      REV / 1.0 0.0 0.0 /"};
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
