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

// The results a run appends: a blank line, the title, the heading record
// of linesPerRecord lines, then the given data lines.
inline std::vector<std::string> Results(int linesPerRecord, int dataLines, const std::string& title = " !$Results  Mass Fractions") {
    std::vector<std::string> lines = {" ", title};
    for (int k = 0; k < linesPerRecord; ++k) lines.push_back(k == 0 ? " StepN Time T H2" : "    O2");
    for (int k = 0; k < dataLines; ++k) lines.push_back("       1  0.1E-05  0.1E+04");
    return lines;
}

}  // namespace kx::test
