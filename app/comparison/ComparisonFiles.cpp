#include "ComparisonFiles.h"

#include <climits>
#include <cmath>

#include "Errors.h"
#include "FileHelpers.h"
#include "Files.h"
#include "Format.h"
#include "Index.h"
#include "ResultsReader.h"
#include "SolverFileLayout.h"
#include "SolverFileReading.h"
#include "TextHelpers.h"
#include "ZeroThreshold.h"

namespace kx {

using namespace solverfile;

namespace {

bool IsWholeNumber(std::string_view word) {
    const auto v = ParseNumber(word);
    return v && *v == std::floor(*v) && std::fabs(*v) <= INT_MAX;
}

// A targets line: whole numbers (the count first) before its "!", and
// "Targets" right after it.
bool IsTargetsLine(std::string_view line, std::vector<int>& numbers) {
    const std::size_t mark = line.find('!');
    if (mark == std::string_view::npos || !line.substr(mark + 1).starts_with("Targets")) return false;
    const std::vector<std::string_view> words = Words(line.substr(0, mark));
    if (words.empty()) return false;
    numbers.clear();
    for (std::string_view w : words) {
        if (!IsWholeNumber(w)) return false;
        numbers.push_back(static_cast<int>(*ParseNumber(w)));
    }
    return true;
}

// Runs `read` on file `number`; a failure is the file's refusal, as every
// reader words it ("In the file 2 '/data/reduced.txt', unexpected
// error.\r\nType mismatch: line 24: ...").
template <class Read>
void InTheFile(int number, const std::string& path, const Read& read) {
    try {
        read();
    } catch (const std::exception& e) {
        throw FileRefusal(FileRefusalText(path, e.what(), number));
    }
}

}  // namespace

std::string ExtractVal(std::string_view text, std::string_view probe) {
    const std::size_t at = text.find(probe);
    if (probe.empty() || at == std::string_view::npos) return {};
    return std::string(text.substr(0, at));
}

std::optional<std::string> ComparisonFiles::TestRedFile(const std::string& path) {
    const std::string reason = WhyUnreadable(path);
    if (reason.empty()) return std::nullopt;
    return "File2, the specified Path/File name '" + path + "' cannot be accessed or is invalid.\r\n" + reason;
}

ComparisonFiles::OpenOutcome ComparisonFiles::OpenFiles(std::string_view path1, std::string_view path2) {
    return RunTagged("Comp#005. ", [&] {
        OpenOutcome outcome;
        if (OpenOne(1, path1, outcome)) OpenOne(2, path2, outcome);
        return outcome;
    });
}

bool ComparisonFiles::OpenOne(int number, std::string_view pathText, OpenOutcome& outcome) {
    const std::string path(Trim(pathText));
    if (const std::string reason = WhyUnreadable(path); !reason.empty()) {
        ShowMessage(messages_,
                    "File " + std::to_string(number) +
                        ", the specified Path/File name cannot be accessed or is invalid.\r\n" + reason,
                    MessageIcon::Exclamation);
        outcome.Failed = true;
        outcome.FocusFile = number;
        return false;
    }
    CmpFileData& file = files_[At(number - 1)];
    file = CmpFileData{};
    file.Path = path;
    file.Lines = files::ReadLines(path, SplitSolverLines);
    file.Lines.insert(file.Lines.begin(), std::string());  // entry 0 unused

    FileReading& reading = readings_[At(number - 1)];
    reading = FileReading{};

    // The results title after the mechanism's end line, where every reader
    // of results finds it, the input part read as the solver reads it: as
    // a run read it, kept for SpeciesAARR, or else with the run settings
    // unread. A file whose input part does not read so is refused naming
    // the line when its species are read (SpeciesAARR).
    const std::vector<std::string_view> lines(file.Lines.begin() + 1, file.Lines.end());
    SolverInput input;
    SolverInputError inputError;
    const bool runRead = ReadSolverInput(lines, SolverSettings::Run, input, inputError);
    if (!runRead && !ReadSolverInput(lines, SolverSettings::Open, input, inputError)) return true;
    auto refuse = [&](const std::string& text) {
        ShowMessage(messages_, InTheFileText(path, number) + text, MessageIcon::Exclamation);
        outcome.Failed = true;
        return false;
    };
    file.TitleLine = ResultsTitleLine(lines, input.EndLine());
    if (file.TitleLine == 0) return refuse("results are not found.");
    // Results without their closing line, as every reader of results joins
    // them, are refused with fewer records than a comparison needs. Records
    // that do not read, and closed results with too few records, are named
    // when the records are read (ConvertToMoleFractions).
    try {
        ResultsRecords results = JoinResultsRecords(lines, file.TitleLine, input.SpeciesCount());
        if (!results.Found()) return refuse("results are not found.");
        if (!results.Closed && results.Records.size() < kLeastResultsRecords) return refuse("results are incomplete.");
        reading.Records = std::move(results);
    } catch (const Error&) {
    }
    if (runRead) reading.Input = std::move(input);
    return true;
}

void ComparisonFiles::SpeciesAARR() {
    RunTagged("Comp#004. ", [&] {
        // Both files are read alike: a failure names the file it is in.
        for (int number = 1; number <= 2; ++number) {
            CmpFileData& file = files_[At(number - 1)];
            InTheFile(number, file.Path, [&] { SpeciesOf(file, readings_[At(number - 1)]); });
        }

        const CmpFileData& f1 = files_[0];
        const CmpFileData& f2 = files_[1];
        merged_.assign(1, CmpMergedRow{});
        for (int i = 1; i <= f1.SpeciesCount; ++i)
            merged_.push_back({f1.SpeciesNames[At(i)], f1.SpeciesFlags[At(i)], "", i, std::nullopt});
        for (int j = 1; j <= f2.SpeciesCount; ++j) {
            const std::string& name = f2.SpeciesNames[At(j)];
            int r = 0;
            for (int i = 1; i <= f1.SpeciesCount && r == 0; ++i)
                if (f1.SpeciesNames[At(i)] == name) r = i;
            if (r > 0) {
                merged_[At(r)].Flag2 = f2.SpeciesFlags[At(j)];
                merged_[At(r)].Index2 = j;
            } else {
                merged_.push_back({name, "", f2.SpeciesFlags[At(j)], std::nullopt, j});
            }
        }
        merged_[0] = {"Temperature", f1.SpeciesFlags[0], f2.SpeciesFlags[0], 0, 0};
    });
}

void ComparisonFiles::SpeciesOf(CmpFileData& file, FileReading& reading) {
    const int lineCount = static_cast<int>(file.Lines.size()) - 1;
    auto line = [&](int n) -> const std::string& {
        if (n < 1 || n > lineCount) throw Error(ErrorKind::SubscriptOutOfRange, LineLabel(n));
        return file.Lines[At(n)];
    };
    // The input part as the solver read it for the run, as the results
    // window reads it: the header values, and counts that match the records
    // before anything is sized or read by them. Read here when it did not
    // read so at opening, which throws why.
    const std::vector<std::string_view> lines(file.Lines.begin() + 1, file.Lines.end());
    if (!reading.Input) reading.Input = ReadSolverInput(lines, SolverSettings::Run);
    const SolverInput& input = *reading.Input;
    file.Pressure = input.Model().P;
    file.FinalTime = input.Model().XEND;  // only the note on incomplete results reads it
    file.ZeroThreshold = ZeroThresholdOf(input.Model().ATOL);
    const int ns = input.SpeciesCount();
    CheckHeadingSpecies(lines, file.TitleLine, ns);
    file.SpeciesCount = ns;
    file.TemperatureMode = input.Model().MODE;
    file.InitialTemperature = input.Model().T0;
    file.SpeciesNames.assign(At(ns) + 1, std::string());
    file.SpeciesFlags.assign(At(ns) + 1, std::string());
    file.MolarMasses.assign(At(ns) + 1, 0.0);
    for (int i = 1; i <= ns; ++i) {
        file.SpeciesNames[At(i)] = std::string(SpeciesName(line(input.SpeciesLine(i))));
        file.SpeciesFlags[At(i)] = "*";
        file.MolarMasses[At(i)] = input.Species(i).Values[14];
    }
    file.SpeciesFlags[0] = "*";

    // The targets of the reduction that wrote the file. Line 12 of any other
    // file is free text and flags nothing.
    std::vector<int> numbers;
    if (IsTargetsLine(line(kTargetsLine), numbers) && numbers[0] > 0) {
        for (std::size_t t = 1; t < numbers.size(); ++t) {
            const int k = numbers[t] == -1 ? 0 : numbers[t];
            if (k < 0 || k > ns)
                throw Error(ErrorKind::SubscriptOutOfRange,
                            LineLabel(kTargetsLine) + ": the target " + std::to_string(numbers[t]) +
                                " is not a species of the file (1 to " + std::to_string(ns) +
                                ", or -1 for the temperature)");
            file.SpeciesFlags[At(k)] = "v";
        }
    }
}

void ComparisonFiles::ConvertToMoleFractions() {
    RunTagged("Comp#006. ", [&] {
        Convert(files_[0], readings_[0], 1);
        Convert(files_[1], readings_[1], 2);
        // Both files are shown as far as they go; a chemist comparing them
        // learns which one ends early, and where.
        for (int number = 1; number <= 2; ++number) {
            const CmpFileData& file = files_[At(number - 1)];
            if (file.ResultsClosed || file.PointCount == 0) continue;
            ShowMessage(messages_,
                        IncompleteResultsNote(file.Path, file.Values(0, file.PointCount), file.FinalTime, number),
                        MessageIcon::Exclamation);
        }
    });
}

void ComparisonFiles::Convert(CmpFileData& file, FileReading& reading, int number) {
    const int ns = file.SpeciesCount;
    if (static_cast<int>(file.MolarMasses.size()) != ns + 1)
        throw Error(ErrorKind::SubscriptOutOfRange, "the species of " + file.Path + " are not read");
    ResultsRecords results;
    ResultsValues values;
    InTheFile(number, file.Path, [&] {
        const int title = file.TitleLine;
        if (reading.Records) {
            results = std::move(*reading.Records);
            reading.Records.reset();
        } else if (title != 0) {
            const std::vector<std::string_view> lines(file.Lines.begin() + 1, file.Lines.end());
            results = JoinResultsRecords(lines, title, ns);
        }
        if (title == 0 || !results.Found())
            throw Error(ErrorKind::InvalidArgument, "results are not found");
        values = ReadRecordValues(results, ns, {file.TemperatureMode, file.InitialTemperature});
        // As the results window: fewer than three records leave no run to compare.
        const std::size_t count = results.Records.size();
        if (count >= kLeastResultsRecords) return;
        if (results.Closed) throw Error(ErrorKind::InvalidArgument, FewRecordsText(count));
        throw Error(ErrorKind::InvalidArgument, "results are incomplete: " + std::to_string(count) +
                                                    (count == 1 ? " complete record" : " complete records") +
                                                    " can be read, at least " + std::to_string(kLeastResultsRecords) +
                                                    " are needed");
    });
    const int points = static_cast<int>(results.Records.size());
    file.Values.Resize(ns + 3, points + 1);
    file.PointCount = 0;
    for (int j = 1; j <= points; ++j) {
        const std::size_t r = static_cast<std::size_t>(j) - 1;
        file.PointCount = j;
        file.Values(0, j) = values.Value(r, 0);
        const double T = values.Value(r, 1);
        file.Values(1, j) = T;
        // Mole fractions among the species present: a mass fraction that
        // counts as zero, as in the results window, adds nothing. A record
        // in which every species counts as zero leaves each value 0, which
        // the curves take as absent.
        double sum = 0;
        for (int k = 1; k <= ns; ++k) {
            const double y = values.Value(r, k + 1);
            double moles = 0;
            if (!CountsAsZero(y, file.ZeroThreshold)) {
                if (file.MolarMasses[At(k)] == 0) throw Error(ErrorKind::DivisionByZero, "molar mass of species " + std::to_string(k));
                moles = y / file.MolarMasses[At(k)];
            }
            file.Values(k + 1, j) = moles;
            sum += moles;
        }
        if (sum != 0)
            for (int k = 1; k <= ns; ++k) file.Values(k + 1, j) = file.Pressure / T * file.Values(k + 1, j) / sum;
    }
    // A block cut short (within a record, or after blank lines) keeps the
    // records before the cut, like any other incomplete results.
    file.ResultsClosed = results.Closed;
    file.Lines.assign(1, std::string());
    reading = FileReading{};
}

CmpCurve ComparisonFiles::Curve(int number, int row) const {
    const CmpFileData& file = File(number);
    if (row < 1 || row >= file.Values.Rows()) throw Error(ErrorKind::SubscriptOutOfRange, "values row " + std::to_string(row));
    CmpCurve curve;
    for (int j = 1; j <= file.PointCount; ++j) curve.Add(file.Values(0, j), file.Values(row, j));
    return curve;
}

}  // namespace kx
