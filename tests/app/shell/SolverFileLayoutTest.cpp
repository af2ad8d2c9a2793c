// The input part of a solver file as every reader of the desktop program
// takes it: through the solver's own reading, its key lines where the
// solver finds them, its refusals with the solver's line and words, and the
// run settings held to the solver's checks or taken as they stand.
#include "Errors.h"
#include "ResultsBlock.h"
#include "SolverFileLayout.h"
#include "SolverFileText.h"
#include "solver_file.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using kx::solverfile::ReadSolverInput;

std::vector<std::string> Sample() {
    std::vector<std::string> lines;
    const std::string bytes = kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt");
    std::size_t start = 0;
    for (std::size_t lf = bytes.find('\n'); lf != std::string::npos; start = lf + 1, lf = bytes.find('\n', start))
        lines.push_back(bytes.substr(start, lf - start - (lf > start && bytes[lf - 1] == '\r')));
    return lines;
}

struct Case {
    const char* what;
    int line;          // the line changed (from 1); with `text` empty and removed, left out
    std::string text;
    bool removed;
    kx::SolverSettings settings;
    std::string refusal;  // the error's text; empty when the file reads
    int thermoLine;       // where the THERMO line is found when it reads
};

// The sample: line 33 blank, THERMO on 34, 11 species, the separator lines
// 79-81 (" END", " ", " REACTIONS ..."), 25 reactions, the end line 191.
TEST(SolverInput, IsReadAsTheSolverReadsIt) {
    using S = kx::SolverSettings;
    const Case cases[] = {
        {"the sample", 0, "", false, S::Run, "", 34},
        {"a comment line 33 beginning \"thermo\"", 33, "thermo data follow", false, S::Run, "", 34},
        {"THERMO on line 33", 33, "", true, S::Run, "", 33},
        {"THERMO without its blank", 34, "THERMO", false, S::Run,
         "Input past end of file: line 192: the file has no \" THERMO\" line from line 33 on", 0},
        {"THERMO in small letters", 34, " thermo", false, S::Open,
         "Input past end of file: line 192: the file has no \" THERMO\" line from line 33 on", 0},
        {"a blank REACTIONS line", 81, " ", false, S::Run, "", 34},
        {"the REACTIONS line first of the separators", 79, " REACTIONS", false, S::Run, "", 34},
        {"a species count below the records", 10, " 10 !Species", false, S::Run,
         "Subscript out of range: line 10: the species count 10 does not match the 11 thermo records between the "
         "THERMO line 34 and the REACTIONS line 81", 0},
        {"a reaction count above the records", 11, " 26 !Reactions", false, S::Run,
         "Subscript out of range: line 11: the reaction count 26 is above the 25 reaction records before the end "
         "line 191", 0},
        {"301 species", 10, " 301 !Species", false, S::Open,
         "Subscript out of range: line 10: the species count 301 is above the limit of 300 species", 0},
        {"3001 reactions", 11, " 3001 !Reactions", false, S::Open,
         "Subscript out of range: line 11: the reaction count 3001 is above the limit of 3000 reactions", 0},
        {"a blank species name", 39, " 2                     O2                    0    300.0   5000.0   1000.0 1.479E-01",
         false, S::Open, "Invalid procedure call or argument: line 39: the species name in columns 7-22 is blank", 0},
        {"text for the pressure", 14, " one !Pressure, atm", false, S::Run,
         "Type mismatch: line 14: no readable number for the pressure", 0},
        {"pressure 0", 14, " 0 !Pressure, atm", false, S::Run,
         "Invalid procedure call or argument: line 14: the pressure must be above zero, not 0.000000E+00", 0},
        {"pressure 0, the settings open", 14, " 0 !Pressure, atm", false, S::Open, "", 34},
        {"text for the step limit, the settings open", 22, " many", false, S::Open, "", 34},
        {"an initial temperature outside the allowable ones", 16, " 2.0E+02 !T", false, S::Run,
         "Invalid procedure call or argument: line 16: the initial temperature 0.200000E+03 is outside the allowable "
         "temperatures 0.250000E+03 - 0.500000E+04", 0},
        {"a gas constant of 0, the settings open", 31, " 0 !R", false, S::Open,
         "Invalid procedure call or argument: line 31: the gas constant must be above zero, not 0.000000E+00", 0},
    };
    const std::vector<std::string> sample = Sample();
    ASSERT_EQ(sample.size(), 191u);
    for (Case c : cases) {
        std::vector<std::string> lines = sample;
        if (c.removed) lines.erase(lines.begin() + c.line - 1);
        else if (c.line > 0) lines[static_cast<std::size_t>(c.line) - 1] = c.text;
        const std::vector<std::string_view> views(lines.begin(), lines.end());
        try {
            const kx::solverfile::SolverInput input = ReadSolverInput(views, c.settings);
            EXPECT_EQ(c.refusal, "") << c.what << ": read";
            EXPECT_EQ(input.ThermoLine(), c.thermoLine) << c.what;
            EXPECT_EQ(input.EndLine(), static_cast<int>(lines.size())) << c.what;
            EXPECT_EQ(input.SpeciesCount(), 11) << c.what;
            // The records follow the THERMO line and the separator lines.
            EXPECT_EQ(input.Reaction(1).FirstLine, c.thermoLine + 4 * 11 + 4) << c.what;
            EXPECT_EQ(input.Reaction(25).FirstLine + input.Reaction(25).Lines, input.EndLine()) << c.what;
        } catch (const kx::Error& e) {
            EXPECT_EQ(std::string(e.what()), c.refusal) << c.what;
        }
    }
}

// A count beyond the limits is checked in the order of the solver's run,
// by every reading: the THERMO line first, then the end line where the
// counts put it, then the limit. Where the run finds no end line there, it
// and the shared reading refuse the file alike, naming the same line in the
// same words (the count's line when the THERMO line is there).
TEST(SolverInput, TheLimitsAreCheckedInTheRunsOrder) {
    struct Edit {
        int line;
        const char* text;  // nullptr: left out
    };
    struct Case {
        const char* what;
        std::vector<Edit> edits;  // from the last line up
        int line;                 // the line the refusal names
        const char* words;        // the start of its words
    } cases[] = {
        {"301 species and no THERMO line", {{34, nullptr}, {10, " 301 !Species"}}, 191,
         "the file has no \" THERMO\" line from line 33 on"},
        {"3001 reactions and no THERMO line", {{34, " thermo"}, {11, " 3001 !Reactions"}}, 192,
         "the file has no \" THERMO\" line from line 33 on"},
        {"301 species", {{10, " 301 !Species"}}, 10, "the species count 301 is above the limit of 300 species"},
        {"3001 reactions", {{11, " 3001 !Reactions"}}, 11, "the reaction count 3001 is above the limit"},
        {"301 species and 3001 reactions", {{11, " 3001 !Reactions"}, {10, " 301 !Species"}}, 10,
         "the species count 301 is above the limit of 300 species"},
    };
    const std::vector<std::string> sample = Sample();
    for (const Case& c : cases) {
        std::vector<std::string> lines = sample;
        for (const Edit& e : c.edits) {
            if (e.text) lines[static_cast<std::size_t>(e.line) - 1] = e.text;
            else lines.erase(lines.begin() + e.line - 1);
        }
        std::string bytes;
        for (const std::string& l : lines) bytes += l + "\r\n";
        kx::SolverFileText text;
        text.Take(bytes);
        const kx::SolverModelStorage runStorage, readStorage;
        kx::SolverInputError run, read;
        ASSERT_EQ(kx::SolverReadText(text, runStorage.Model(), run), kx::SolverLoad::InputError) << c.what;
        kx::SolverInputPlaces places;
        ASSERT_FALSE(kx::SolverReadInput(text, kx::SolverSettings::Open, readStorage.Model(), places, read)) << c.what;
        EXPECT_EQ(run.line, c.line) << c.what << ": " << run.problem;
        EXPECT_EQ(run.problem.rfind(c.words, 0), 0u) << c.what << ": " << run.problem;
        EXPECT_EQ(read.line, run.line) << c.what;
        EXPECT_EQ(read.problem, run.problem) << c.what;
    }
}

// The step number of a results record is what the solver writes in its
// field: a whole number, or the mark of a step above 99999, which every
// record after the first so marked bears too. Anything else is refused
// naming the record and its line. Four records of one species, one line
// each, on lines 3 to 6 after the title and the heading.
TEST(ResultsRecords, TheStepFieldHoldsAWholeNumberOrTheSolversOverflowMark) {
    // The refusal of a step field that holds neither.
    const auto noStep = [](int record, const std::string& field) {
        return "Type mismatch: the step number of record " + std::to_string(record) + " on line " +
               std::to_string(record + 2) + ", \"" + field + "\", is neither a whole number nor the mark of a step "
               "above 99999, \"*****\"";
    };
    struct Case {
        std::vector<std::string> steps;
        std::string refusal;  // "" read
    } cases[] = {
        {{"0", "1", "50", "99999"}, ""},
        {{"99998", "99999", "*****", "*****"}, ""},
        {{"*****", "*****", "*****", "*****"}, ""},
        {{"1", "xyz", "3", "4"}, noStep(2, "  xyz")},
        {{"1", "2", "", "4"}, noStep(3, "     ")},
        {{"1", "2", "3", "****"}, noStep(4, " ****")},
        {{"1", "*****", "7", "*****"},
         "Invalid procedure call or argument: the step number of record 3 on line 5, 7, is not above that of a record "
         "before it, above 99999"},
        {{"1", "2", "2", "3"},
         "Invalid procedure call or argument: the step number of record 3 on line 5, 2, is not above that of record 2 "
         "before it, 2"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = {" !$Results  Mass Fractions"};
        for (const std::string& l : kx::test::ResultsRecordLines("StepN", {"Time", "T", "S1"}, true))
            lines.push_back(l);
        for (std::size_t i = 0; i < c.steps.size(); ++i)
            for (const std::string& l : kx::test::ResultsRecordLines(
                     c.steps[i], {std::to_string(i + 1) + ".00000000E-006", "1.00000000E+003", "1.00000000E+000"}))
                lines.push_back(l);
        lines.push_back(" !$End");
        const std::vector<std::string_view> views(lines.begin(), lines.end());
        const std::string what = c.steps[0] + " " + c.steps[1] + " " + c.steps[2] + " " + c.steps[3];
        const kx::ResultsRecords records = kx::JoinResultsRecords(views, 1, 1);
        ASSERT_EQ(records.Records.size(), 4u) << what;
        try {
            const kx::ResultsValues values = kx::ReadRecordValues(records, 1, {});
            EXPECT_EQ(c.refusal, "") << what << ": read";
            EXPECT_EQ(values.Value(3, 0), 4e-6) << what;
        } catch (const kx::Error& e) {
            EXPECT_EQ(std::string(e.what()), c.refusal) << what;
        }
    }
}

}  // namespace
