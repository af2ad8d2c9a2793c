// The data side of the comparison of two solver files: reading both files,
// their pressure, results block, zero threshold, species with molar masses
// and reduction-target flags, the merged species table of the grid, and the
// conversion of each results block into a table of time, temperature and,
// per species, mole fraction times pressure over temperature.
//
// File 1 is typically a full mechanism and file 2 the reduced one, whose
// line 12 names the targets of the reduction. Messages go to the
// Notifier; a file that does not read as the solver wrote it throws
// FileRefusal, worded as every reader refuses a file (FileRefusalText);
// any other failure of a step with a failure tag throws TaggedError.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CurveArithmetic.h"
#include "Messages.h"
#include "ResultsBlock.h"
#include "SolverFileLayout.h"
#include "Table2.h"

namespace kx {

// What is known of one file. Lists are 1-based unless a row 0 is named.
struct CmpFileData {
    std::string Path;
    std::vector<std::string> Lines;          // every line of the file; a single empty entry once converted
    int TitleLine = 0;                       // the results title after the end line
    double FinalTime = 0;                    // the run's final time, line 20 as the solver reads it
    double Pressure = 0;                     // atm, line 14
    double ZeroThreshold = 0;                // of the absolute tolerance (header line 24): ZeroThresholdOf
    int SpeciesCount = 0;                    // NS
    int TemperatureMode = 1;                 // line 15
    double InitialTemperature = 0;           // K, line 16
    // Rows 0..NS; row 0 is the temperature (its name is not set). Flags: "*"
    // the quantity is in the file, "v" it was a target of the reduction.
    std::vector<std::string> SpeciesNames;
    std::vector<std::string> SpeciesFlags;
    std::vector<double> MolarMasses;         // 0..NS
    // (0..NS+2, 0..PointCount): column j is output point j; row 0 time
    // (s), row 1 temperature (K), row k + 1 species k as x_k P / T.
    Table2<double> Values;
    int PointCount = 0;
    // The records run up to the closing "!$End" line: the run wrote all its
    // results. False for a run cut off or stopped, or a file cut short.
    bool ResultsClosed = false;
};

// A row of the species grid. Flags and indices are empty where the file
// lacks the species.
struct CmpMergedRow {
    std::string Name;
    std::string Flag1, Flag2;
    std::optional<int> Index1, Index2;  // the species' row in each file (0 for the temperature)
};

// The text of `text` before the first occurrence of `probe`; empty when the
// probe does not occur or is its first character.
std::string ExtractVal(std::string_view text, std::string_view probe);

class ComparisonFiles {
public:
    explicit ComparisonFiles(Notifier& messages) : messages_(messages) {}

    // The message for a file 2 that cannot be opened for reading, with why
    // on a line of its own; none when it can.
    static std::optional<std::string> TestRedFile(const std::string& path);

    struct OpenOutcome {
        bool Failed = false;
        int FocusFile = 0;  // 1 or 2: the file that could not be opened; its path box takes the focus
    };
    // Reads both files (file 2 only when file 1 succeeds) and finds each
    // one's results block; paths are trimmed. Refusals are shown here.
    // "Comp#005. "
    OpenOutcome OpenFiles(std::string_view path1, std::string_view path2);
    // Pressures, thresholds, species, molar masses, target flags and the
    // merged table. Each file's input part is read as the solver reads it
    // for a run (ReadSolverInput), the pressure of line 14 among it. A
    // file that does not read so is refused ("In the file 2
    // '/data/reduced.txt', unexpected error.\r\nInvalid procedure call or
    // argument: line 14: the pressure must be above zero, not
    // 0.000000E+00."); file 2 is read only when file 1 is. "Comp#004. "
    void SpeciesAARR();
    // Both results blocks into Values, read as the results window reads
    // them: a record that does not read refuses its file, naming its line
    // (times that decrease, a temperature that contradicts the mode of a
    // run at constant temperature among them). A mass fraction counts as
    // zero as in the results window (CountsAsZero). Results that do not end
    // at their closing line are converted as far as they go, and then each
    // such file is named in a note that says where they end. "Comp#006. "
    void ConvertToMoleFractions();

    const CmpFileData& File(int number) const { return files_.at(static_cast<std::size_t>(number - 1)); }
    // Rows 0..MergedSpeciesLast(): row 0 "Temperature", then file 1's species
    // in file order, then file 2's species that file 1 lacks.
    const std::vector<CmpMergedRow>& MergedSpecies() const { return merged_; }
    int MergedSpeciesLast() const { return static_cast<int>(merged_.size()) - 1; }
    // Row `row` of a file's Values (1 the temperature, k + 1 species k)
    // against time, over its parsed points.
    CmpCurve Curve(int number, int row) const;

private:
    // What OpenOne read of a file, handed on to the steps after it so that
    // each part is read once: the input part as a run reads it, and the
    // joined results records. Either is empty where it did not read so; the
    // step that needs it reads it again, and that reading says why.
    struct FileReading {
        std::optional<solverfile::SolverInput> Input;
        std::optional<ResultsRecords> Records;
    };

    bool OpenOne(int number, std::string_view path, OpenOutcome& outcome);
    void SpeciesOf(CmpFileData& file, FileReading& reading);
    void Convert(CmpFileData& file, FileReading& reading, int number);

    Notifier& messages_;
    std::array<CmpFileData, 2> files_;
    std::array<FileReading, 2> readings_;
    std::vector<CmpMergedRow> merged_;
};

}  // namespace kx
