// The input part of a solver file as every reader takes it. Each line of
// the hydrogen sample, from the first to the mechanism's end line, and of a
// completed run of it, the lines of the isothermal sample where it differs,
// and of the large samples the lines about their key lines and a seeded
// choice of the others, is damaged in turn in a handful of ways (made
// blank, its first word made text, a sign turned, a number made zero, its
// letters made small, shifted by a column either way, left out, repeated);
// and its line end made otherwise (a lone CR within the line, CR CR LF);
// each sample is also taken whole with other line ends (LF alone, CR CR LF,
// CR alone, none after the last line, a CR at the very end).
// Each copy goes to the solver's reading and to every reader of the desktop
// program. A file that the solver runs is read by every reader; one that it
// refuses is refused by every reader of results naming the line that the
// solver names. The run-settings window and the mechanism text read a file
// whose run settings may still have to be set: they take the run settings
// and the initial mole fractions as they stand, and refuse what the solver
// refuses for any other reason, naming the same line. The check before a
// file opens, the run-settings window's rewrite and its last step, and the
// reading of a run's outcome take every file the solver runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ComparisonFiles.h"
#include "FuzzFiles.h"
#include "Quantities.h"
#include "MechanismText.h"
#include "ResultsReader.h"
#include "RunCommand.h"
#include "RunOutcome.h"
#include "RunSettings.h"
#include "SolverFileChecks.h"
#include "SolverSettingValues.h"
#include "TempDir.h"
#include "input_rules.h"
#include "solver.h"
#include "solver_file.h"

namespace {

using kxfuzz::JoinLines;
using kxfuzz::Lines;
using kxfuzz::NamesLine;
using kxfuzz::SplitLines;

// ---- The damages of one line ------------------------------------------------

// The first run of non-blank characters: where it starts and its length.
std::pair<std::size_t, std::size_t> FirstWord(const std::string& line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {std::string::npos, 0};
    const std::size_t end = line.find(' ', start);
    return {start, (end == std::string::npos ? line.size() : end) - start};
}

// The line with its first word replaced by `text`, padded with blanks to
// the word's width so that the columns after it stay.
std::optional<std::string> FirstWordAs(const std::string& line, const std::string& text) {
    const auto [start, length] = FirstWord(line);
    if (start == std::string::npos) return std::nullopt;
    std::string out = line;
    out.replace(start, length, text.size() >= length ? text : text + std::string(length - text.size(), ' '));
    return out;
}

// The line with the sign of its first number turned.
std::optional<std::string> SignTurned(const std::string& line) {
    const std::size_t digit = line.find_first_of("0123456789.");
    if (digit == std::string::npos) return std::nullopt;
    std::string out = line;
    if (digit > 0 && out[digit - 1] == '-') out[digit - 1] = ' ';
    else if (digit > 0 && out[digit - 1] == ' ') out[digit - 1] = '-';
    else out.insert(digit, "-");
    return out;
}

// The line with its first number, the word that holds the first digit, zero.
std::optional<std::string> NumberZero(const std::string& line) {
    const std::size_t digit = line.find_first_of("0123456789");
    if (digit == std::string::npos) return std::nullopt;
    std::size_t start = line.rfind(' ', digit);
    start = start == std::string::npos ? 0 : start + 1;
    std::size_t end = line.find(' ', digit);
    if (end == std::string::npos) end = line.size();
    std::string out = line;
    out.replace(start, end - start, std::string(end - start - 1, ' ') + "0");
    return out;
}

// A damage of line n (from 1): the lines that take its place (none when it
// is left out, two when it is repeated), each with CR LF, or the bytes that
// take the place of the line and its line end.
struct Damaged {
    std::string what;
    std::vector<std::string> lines;
    std::optional<std::string> bytes;
};

// Every damage of the line that changes the file.
std::vector<Damaged> DamagesOf(const std::string& line) {
    std::vector<Damaged> out;
    const auto replaced = [&](const char* what, const std::optional<std::string>& text) {
        if (text && *text != line) out.push_back({what, {*text}, std::nullopt});
    };
    replaced("blank", std::string());
    replaced("text", FirstWordAs(line, "x"));
    replaced("sign turned", SignTurned(line));
    replaced("zero", NumberZero(line));
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    replaced("small letters", lower);
    replaced("shifted right", " " + line);
    replaced("shifted left", line.empty() ? std::optional<std::string>() : line.substr(1));
    out.push_back({"removed", {}, std::nullopt});
    out.push_back({"repeated", {line, line}, std::nullopt});
    // Its line end: the solver ends a line at LF, and a CR right before it
    // is part of the line end; any other CR is part of the line. (Lines
    // ending in LF alone are taken whole files at a time.)
    if (line.size() >= 2)
        out.push_back({"a lone CR within", {}, line.substr(0, line.size() / 2) + "\r" + line.substr(line.size() / 2) + "\r\n"});
    out.push_back({"ending in CR CR LF", {}, line + "\r\r\n"});
    return out;
}

// The file with other line ends than CR LF after every line.
struct WholeFile {
    const char* what;
    std::string (*bytes)(const std::string& crlf);
};

std::string EveryLineEndAs(const std::string& crlf, const std::string& end) {
    std::string out;
    for (std::size_t at = 0, next; at < crlf.size(); at = next + 2) {
        next = crlf.find("\r\n", at);
        out.append(crlf, at, next - at).append(end);
    }
    return out;
}

const WholeFile kWholeFiles[] = {
    {"every line ending in LF alone", [](const std::string& b) { return EveryLineEndAs(b, "\n"); }},
    {"every line ending in CR CR LF", [](const std::string& b) { return EveryLineEndAs(b, "\r\r\n"); }},
    {"every line ending in CR alone", [](const std::string& b) { return EveryLineEndAs(b, "\r"); }},
    {"no line end after the last line", [](const std::string& b) { return b.substr(0, b.size() - 2); }},
    {"a CR at the very end", [](const std::string& b) { return b.substr(0, b.size() - 1); }},
};

// ---- What each reader makes of a file ------------------------------------------

// A reader's verdict: accepted, or refused with the text it showed.
struct Verdict {
    bool accepted = false;
    std::string text;
};

Verdict Refused(std::string text) { return {false, std::move(text)}; }

Verdict FromSink(bool accepted, const kxtest::RecordingSink& sink) {
    if (accepted) return {true, {}};
    return Refused(sink.shown.empty() ? "(no message)" : sink.shown.front().text);
}

// The check of a file's results before its window or the comparison
// reads it: its message when it refuses the file.
std::optional<Verdict> ResultsCheckOf(const std::string& path) {
    bool failed = false;
    std::string message;
    kx::runs::CheckResultsComplete(path, failed, message);
    if (failed) return Refused(message);
    return std::nullopt;
}

Verdict ResultsWindowOf(const std::string& path) {
    if (std::optional<Verdict> refused = ResultsCheckOf(path)) return *refused;
    kxtest::RecordingSink sink;
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
    return FromSink(reader.OPEN_Rich(path), sink);
}

Verdict HolderOf(const std::string& path) {
    kxtest::RecordingSink sink;
    kx::SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
    return FromSink(holder.OPEN_Rich(path), sink);
}

// The comparison's Prepare with the file as file 1: its first refusal.
Verdict ComparisonOf(const std::string& path, const std::string& good) {
    if (std::optional<Verdict> refused = ResultsCheckOf(path)) return *refused;
    kxtest::RecordingSink sink;
    kx::ComparisonFiles files(sink);
    try {
        if (files.OpenFiles(path, good).Failed) return FromSink(false, sink);
        files.SpeciesAARR();
        files.ConvertToMoleFractions();
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    return FromSink(sink.shown.empty(), sink);
}

Verdict MechanismTextOf(const std::string& path) {
    try {
        const kx::text::SolverMechanism m = kx::text::ReadSolverMechanismFile(path);
        kx::text::ChemkinText(m, "case.txt");
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    return {true, {}};
}

Verdict RunSettingsOf(const std::string& path) {
    try {
        kx::runs::RunSettings settings;
        kx::runs::SolverFileModel file;
        kx::runs::LoadSolverFile(path, settings, file);
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    return {true, {}};
}

// The reduction that keeps every species and reaction, written as a
// reduced file: refused (its message), or written so that the solver runs
// it.
Verdict ReducedFileOf(const std::string& path, const std::string& reduced) {
    kxtest::RecordingSink sink;
    try {
        if (!kxfuzz::ReduceKeepingEverything(path, reduced, sink)) return FromSink(false, sink);
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    kx::SolverInputError error;
    if (!kx::SolverWouldRun(kx::test::ReadBytes(reduced), error))
        return Refused("the solver refuses the reduced file, line " + std::to_string(error.line) + ": " + error.problem);
    return {true, {}};
}

// The check before a solver file opens: its signature, its temperature mode
// and the reverse-rate lines of its reactions.
Verdict OpeningCheckOf(const std::string& path) {
    kxtest::RecordingSink sink;
    bool accepted = false;
    if (!kx::runs::CheckSolverFileHeader(path, accepted, sink)) return Refused("no solver file");
    return FromSink(accepted, sink);
}

// The run-settings window's Run with the settings as read: the rewritten
// file keeps every line that it does not set byte for byte, and the solver
// runs it. Nothing where the Run command asks for other settings.
std::optional<Verdict> RewriteOf(const std::string& path) {
    try {
        kx::runs::RunSettings settings;
        kx::runs::SolverFileModel file;
        kx::runs::LoadSolverFile(path, settings, file);
        // Settings that the Run command refuses are asked for again.
        if (kx::runs::ValidateRun(settings, file.species)) return std::nullopt;
        const std::vector<std::string> lines = kx::runs::RewrittenSolverLines(file, settings);
        const std::string bytes = JoinLines(lines);
        const std::string before = kx::test::ReadBytes(path);
        const std::vector<std::string_view> read = kx::SplitSolverLines(before), written = kx::SplitSolverLines(bytes);
        if (written.size() != lines.size()) return Refused("the rewritten file has other lines than were written");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            const bool set = (n >= 14 && n <= 28) ||
                             (n >= file.thermoStart && (n - file.thermoStart) % 4 == 0 &&
                              n < file.ThermoLine(file.speciesCount));
            if (!set && written[i] != read[i]) return Refused("the rewrite changes line " + std::to_string(n));
        }
        kx::SolverInputError error;
        if (!kx::SolverWouldRun(bytes, error))
            return Refused("the solver refuses the rewritten file, line " + std::to_string(error.line) + ": " +
                           error.problem);
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    return Verdict{true, {}};
}

// The run-settings window's Last Step of a completed run.
Verdict LastStepOf(const std::string& path) {
    try {
        kx::runs::RunSettings settings;
        kx::runs::SolverFileModel file;
        kx::runs::LoadSolverFile(path, settings, file);
        kx::runs::LastStep last;
        kx::runs::ReadLastStep(path, file, settings[kx::runs::Setting::AbsoluteTolerance], last);
        if (!last.available) return Refused("Last Step is not offered");
    } catch (const std::exception& e) {
        return Refused(e.what());
    }
    return {true, {}};
}

// The reading of a run's outcome from the file the solver wrote.
Verdict RunOutcomeOf(const std::string& path) {
    const kx::runs::RunOutcome outcome = kx::runs::ScanRunOutcome(path);
    if (!outcome.completed || outcome.error || !outcome.results)
        return Refused(std::string("the run is read as ") + (outcome.error ? "failed" : "not completed") +
                       (outcome.results ? "" : ", without results"));
    return {true, {}};
}

// The lines whose values the run-settings window sets (the pressure to the
// absolute tolerance, the output step) and, in a thermodynamic record, the
// initial mole fraction.
bool IsRunSetting(const kx::SolverInputError& e) {
    return (e.line >= 14 && e.line <= 24) || e.line == 28 || e.problem.find("mole fraction") != std::string::npos;
}

// ---- The samples --------------------------------------------------------------

struct Sample {
    std::string name;
    Lines lines;
    std::string bytes;               // the lines with CR LF
    std::vector<std::size_t> starts;  // where each line starts in bytes, and the end
    int endLine = 0;                 // the mechanism's end line
    bool results = false;            // a completed run: the readers of results read it
    std::vector<int> damaged;        // the lines damaged in turn

    void Take(Lines l) {
        lines = std::move(l);
        bytes = JoinLines(lines);
        starts.clear();
        std::size_t at = 0;
        for (const std::string& line : lines) {
            starts.push_back(at);
            at += line.size() + 2;
        }
        starts.push_back(at);
    }
    // The bytes with line n (from 1) damaged.
    std::string With(int n, const Damaged& d) const {
        const std::size_t i = static_cast<std::size_t>(n) - 1;
        std::string out = bytes.substr(0, starts[i]);
        if (d.bytes) out.append(*d.bytes);
        for (const std::string& l : d.lines) out.append(l).append("\r\n");
        return out.append(bytes, starts[i + 1], std::string::npos);
    }
};

int EndLineOf(const Lines& lines) {
    int n = static_cast<int>(lines.size());
    for (int k = 1; k <= static_cast<int>(lines.size()); ++k)
        if (kx::IsMechanismEndLine(lines[static_cast<std::size_t>(k) - 1])) n = k;
        else if (lines[static_cast<std::size_t>(k) - 1].find("!$Results") != std::string::npos) break;
    return n;
}

// The first line of each thermo record.
std::vector<int> SpeciesLines(const Lines& lines) {
    std::vector<int> out;
    const int species = std::stoi(lines[9]);
    for (int k = 0; k < species; ++k) out.push_back(35 + 4 * k);
    return out;
}

// Of a large sample: the lines about the THERMO line, the last thermo record,
// the separator lines and the first reaction record, the last lines up to
// the end line, and a seeded choice of the others.
std::vector<int> LinesOfALargeSample(const Lines& lines, int endLine, std::mt19937_64& rng) {
    std::vector<int> out;
    const int separators = 35 + 4 * std::stoi(lines[9]);
    for (int n = 30; n <= 36; ++n) out.push_back(n);
    for (int n = separators - 4; n <= separators + 5; ++n) out.push_back(n);
    for (int n = endLine - 5; n <= endLine; ++n) out.push_back(n);
    for (int k = 0; k < 12; ++k) out.push_back(37 + static_cast<int>(rng() % static_cast<unsigned>(endLine - 42)));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

class InputAgreement : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<kx::test::TempDir>();
        std::mt19937_64 rng(20261211);
        auto sample = [&](const std::string& name) {
            Sample s;
            s.name = name;
            s.Take(SplitLines(kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/" + name)));
            s.endLine = EndLineOf(s.lines);
            return s;
        };
        // Every line of the hydrogen sample; of the isothermal one, the
        // lines where it differs: the header and the initial mole fractions.
        samples_.push_back(sample("h2_air_1000K.txt"));
        for (int n = 1; n <= samples_.back().endLine; ++n) samples_.back().damaged.push_back(n);
        samples_.push_back(sample("h2_o2_ar_isothermal.txt"));
        for (int n = 1; n <= 34; ++n) samples_.back().damaged.push_back(n);
        for (int n : SpeciesLines(samples_.back().lines)) samples_.back().damaged.push_back(n);
        for (const char* name : {"gri30_ch4_1400K.txt", "nc12_air_1100K_10atm.txt"}) {
            samples_.push_back(sample(name));
            samples_.back().damaged = LinesOfALargeSample(samples_.back().lines, samples_.back().endLine, rng);
        }
        // A completed run of the hydrogen sample, a record every 50th step.
        Lines h2 = samples_[0].lines;
        h2[27] = " 50 !Delta N";
        const std::string run = folder_->write("h2_run.txt", JoinLines(h2));
        std::FILE* console = std::tmpfile();
        std::FILE* const saved = kx::SolverCommon.console;
        kx::SolverCommon.console = console;
        const int status = kx::SolverRunFile(run);
        kx::SolverCommon.console = saved;
        std::fclose(console);
        ASSERT_EQ(status, kx::kExitCompleted);
        Sample completed;
        completed.name = "h2_air_1000K, completed run";
        completed.Take(SplitLines(kx::test::ReadBytes(run)));
        completed.endLine = EndLineOf(completed.lines);
        completed.results = true;
        for (int n = 1; n <= completed.endLine; ++n) completed.damaged.push_back(n);
        samples_.push_back(std::move(completed));
        good_ = run;
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::unique_ptr<kx::test::TempDir> folder_;
    static std::vector<Sample> samples_;
    static std::string good_;
};

std::unique_ptr<kx::test::TempDir> InputAgreement::folder_;
std::vector<Sample> InputAgreement::samples_;
std::string InputAgreement::good_;

TEST_F(InputAgreement, EveryReaderTakesTheInputPartAsTheSolverReadsIt) {
    // What a reader is held to where the solver refuses a file.
    enum class Holds {
        Everything,  // a reader of results: refused naming the solver's line
        InputPart,   // the run settings as they stand; anything else refused naming the solver's line
        Nothing,     // a check or a writer: it takes every file the solver runs
    };
    struct Reader {
        const char* name;
        Holds holds;
        bool ofResults;  // reads the results of a completed run
        // The path and the damaged line (0: the whole file); nothing where
        // the reader has no part in it.
        std::function<std::optional<Verdict>(const std::string&, int)> read;
    };
    const std::string reduced = folder_->file("reduced.txt");
    const std::vector<Reader> readers = {
        {"results window", Holds::Everything, true, [](const std::string& p, int) { return ResultsWindowOf(p); }},
        {"reduction's holder", Holds::Everything, true, [](const std::string& p, int) { return HolderOf(p); }},
        {"comparison", Holds::Everything, true, [](const std::string& p, int) { return ComparisonOf(p, good_); }},
        // The writer copies the header up to the THERMO line, the
        // separator lines and the end line: where they stand matters to it.
        {"reduced file", Holds::Everything, true,
         [&](const std::string& p, int n) {
             return n == 0 || (n >= 25 && n <= 40) || n >= samples_.back().endLine - 3
                        ? std::optional<Verdict>(ReducedFileOf(p, reduced))
                        : std::nullopt;
         }},
        {"mechanism text", Holds::InputPart, false, [](const std::string& p, int) { return MechanismTextOf(p); }},
        {"run settings", Holds::InputPart, false, [](const std::string& p, int) { return RunSettingsOf(p); }},
        // The signature of line 1 is the desktop's mark of a solver file.
        {"opening check", Holds::Nothing, false,
         [](const std::string& p, int n) { return n == 1 ? std::nullopt : std::optional<Verdict>(OpeningCheckOf(p)); }},
        {"run-settings rewrite", Holds::Nothing, false, [](const std::string& p, int) { return RewriteOf(p); }},
        {"last step", Holds::Nothing, true, [](const std::string& p, int) { return LastStepOf(p); }},
        {"run outcome", Holds::Nothing, true, [](const std::string& p, int) { return RunOutcomeOf(p); }},
    };
    int cases = 0, refused = 0;
    std::vector<std::string> disagreements;
    std::vector<int> perReader(readers.size(), 0);
    // Each reader against the solver on one damaged copy.
    const auto judge = [&](const Sample& sample, int n, const std::string& what, const std::string& bytes) {
        ++cases;
        const std::string path = folder_->write("case.txt", bytes);
        kx::SolverInputError solver;
        const bool runs = kx::SolverWouldRun(bytes, solver);
        refused += !runs;
        for (std::size_t k = 0; k < readers.size(); ++k) {
            const Reader& reader = readers[k];
            if (reader.ofResults && !sample.results) continue;
            // Where the solver refuses the file, a reader is held to a
            // refusal only as far as it reads what the solver refused.
            const bool heldToRefusal = reader.holds == Holds::Everything ||
                                       (reader.holds == Holds::InputPart && !IsRunSetting(solver));
            if (!runs && !heldToRefusal) continue;
            const std::optional<Verdict> read = reader.read(path, n);
            if (!read) continue;
            const Verdict& v = *read;
            // The records of a run tell its temperature mode: a mode changed
            // under them may be refused, naming its line.
            const bool modeOfTheRecords = sample.results && reader.ofResults && n == 15 && NamesLine(v.text, 15);
            std::string why;
            if (runs && !v.accepted && !modeOfTheRecords) why = "refuses what the solver runs: " + v.text;
            else if (!runs) {
                if (v.accepted) why = "reads what the solver refuses";
                else if (!NamesLine(v.text, solver.line)) why = "names another line: " + v.text;
            }
            if (why.empty()) continue;
            ++perReader[k];
            disagreements.push_back(sample.name + ", " + (n > 0 ? "line " + std::to_string(n) + " " : "") + what +
                                    ": the " + reader.name + " " + why + "\n    the solver: " +
                                    (runs ? std::string("runs it")
                                          : "line " + std::to_string(solver.line) + ", " + solver.problem));
        }
    };
    for (const Sample& sample : samples_) {
        for (const int n : sample.damaged)
            for (const Damaged& d : DamagesOf(sample.lines[static_cast<std::size_t>(n) - 1]))
                judge(sample, n, d.what, sample.With(n, d));
        for (const WholeFile& w : kWholeFiles) judge(sample, 0, w.what, w.bytes(sample.bytes));
    }
    std::cout << "[ agree    ] " << cases << " damaged copies, " << refused << " refused by the solver, "
              << disagreements.size() << " disagreements";
    for (std::size_t k = 0; k < readers.size(); ++k) std::cout << (k ? ", " : " (") << readers[k].name << " " << perReader[k];
    std::cout << ")\n";
    for (std::size_t k = 0; k < disagreements.size() && k < 40; ++k) ADD_FAILURE() << disagreements[k];
    EXPECT_TRUE(disagreements.empty());
}

// ---- The run-settings window's values ---------------------------------------
//
// On the same damaged copies: every setting and initial mole fraction that
// the run-settings window shows of a file the solver runs is the number the
// solver reads (the step limit and the output step as the window raises
// them: at least 3 and 1), and Run without an edit gives the solver a file
// from which it reads what the window showed. Where the solver refuses only
// the settings, the window loads the file and has the solver's line and
// words for it.

// Other spellings of a settings line that the solver reads as the line
// stands: words after the value without the "!" before them, another item
// after a comma, a slash after the value.
std::vector<Damaged> SettingSpellingsOf(const std::string& line) {
    std::vector<Damaged> out;
    const std::size_t mark = line.find('!');
    if (mark != std::string::npos) out.push_back({"without its \"!\"", {line.substr(0, mark) + line.substr(mark + 1)}, {}});
    const auto [start, length] = FirstWord(line);
    if (start == std::string::npos) return out;
    const std::size_t end = start + length;
    out.push_back({"another item after a comma", {line.substr(0, end) + ",0" + line.substr(end)}, {}});
    out.push_back({"a slash after the value", {line.substr(0, end) + "/" + line.substr(end)}, {}});
    return out;
}

// A thermo record's first line with the initial mole fraction written
// without its decimal point, in the same columns: it has three implied
// decimals ("2.959E-01" becomes "2959E-01", the same number).
std::optional<Damaged> FractionWithoutPoint(const std::string& line) {
    if (line.size() < 75) return std::nullopt;
    std::string field = line.substr(74, 10);
    const std::size_t point = field.find('.');
    if (point == std::string::npos) return std::nullopt;
    field.erase(point, 1);
    return Damaged{"its fraction without the decimal point", {line.substr(0, 74) + field + " "}, {}};
}

// The solver's reading of a file's input part (its run settings checked).
const kx::SolverModel& SolverReadingOf(const std::string& bytes, kx::solverfile::SolverInput& input) {
    const std::vector<std::string_view> lines = kx::SplitSolverLines(bytes);
    input = kx::solverfile::ReadSolverInput(lines, kx::SolverSettings::Run);
    return input.Model();
}

// Where the window's values are not what the solver reads: "" when they are.
std::string ValuesDisagreement(const kx::runs::RunSettings& s, const kx::runs::SolverFileModel& file,
                               const kx::SolverModel& m, bool clamped) {
    using kx::runs::Setting;
    for (std::size_t i = 0; i < kx::runs::kSettingCount; ++i) {
        const Setting box = static_cast<Setting>(i);
        double solver = kx::test::SolverValueOf(m, box);
        if (clamped && box == Setting::MaxSteps) solver = std::max(solver, 3.0);
        if (clamped && box == Setting::OutputStep) solver = std::max(solver, 1.0);
        if (kx::test::ShownNumber(s[box]) != solver)
            return "line " + std::to_string(kx::runs::SettingLine(box)) + " shows \"" + s[box] + "\", the solver reads " +
                   kx::NumberToText(solver);
    }
    if (s.adiabatic != (m.MODE == 1))
        return "line 15 shows " + std::string(s.adiabatic ? "adiabatic" : "constant") + ", the solver reads mode " +
               std::to_string(m.MODE);
    for (std::size_t k = 0; k < file.species.size(); ++k)
        if (kx::test::ShownNumber(file.species[k].fraction) != m.Y[k])
            return "species " + std::to_string(k + 1) + " shows the fraction \"" + file.species[k].fraction +
                   "\", the solver reads " + kx::NumberToText(m.Y[k]);
    return "";
}

// The window on one damaged copy against the solver: what disagrees ("" for
// nothing), and whether the values were compared, and those of Run.
struct WindowValues {
    std::string disagreement;
    bool compared = false;
    bool rewritten = false;
};

WindowValues RunSettingsValuesOf(const std::string& path, const std::string& bytes) {
    WindowValues out;
    kx::runs::RunSettings settings;
    kx::runs::SolverFileModel file;
    try {
        kx::runs::LoadSolverFile(path, settings, file);
    } catch (const std::exception&) {
        return out;  // the verdicts are compared above
    }
    kx::SolverInputError solver;
    if (!kx::SolverWouldRun(bytes, solver)) {
        if (file.settingsProblem != kx::solverfile::InputProblemText(solver))
            out.disagreement = "says \"" + file.settingsProblem + "\" where the solver refuses the file, line " +
                               std::to_string(solver.line) + ": " + solver.problem;
        return out;
    }
    if (!file.settingsProblem.empty()) {
        out.disagreement = "says \"" + file.settingsProblem + "\" of a file the solver runs";
        return out;
    }
    out.compared = true;
    kx::solverfile::SolverInput input;
    out.disagreement = ValuesDisagreement(settings, file, SolverReadingOf(bytes, input), true);
    if (!out.disagreement.empty()) return out;

    // Run without an edit, where the Run command neither refuses the
    // settings (its own limits) nor normalises a box.
    kx::runs::RunSettings run = settings;
    try {
        if (kx::runs::ValidateFileRun(run, file) || run.text != settings.text) return out;
        const std::string rewritten = JoinLines(kx::runs::RewrittenSolverLines(file, run));
        kx::SolverInputError error;
        if (!kx::SolverWouldRun(rewritten, error)) {
            out.disagreement = "Run gives the solver a file it refuses, line " + std::to_string(error.line) + ": " +
                               error.problem;
            return out;
        }
        kx::solverfile::SolverInput again;
        const std::string changed = ValuesDisagreement(settings, file, SolverReadingOf(rewritten, again), false);
        if (!changed.empty()) out.disagreement = "after Run without an edit, " + changed;
        out.rewritten = true;
    } catch (const std::exception& e) {
        out.disagreement = std::string("Run fails: ") + e.what();
    }
    return out;
}

TEST_F(InputAgreement, TheRunSettingsWindowShowsAndRunsTheValuesTheSolverReads) {
    int cases = 0, compared = 0, rewritten = 0;
    std::vector<std::string> disagreements;
    const auto judge = [&](const Sample& sample, int n, const std::string& what, const std::string& bytes) {
        ++cases;
        const WindowValues v = RunSettingsValuesOf(folder_->write("values.txt", bytes), bytes);
        compared += v.compared;
        rewritten += v.rewritten;
        if (!v.disagreement.empty())
            disagreements.push_back(sample.name + ", " + (n > 0 ? "line " + std::to_string(n) + " " : "") + what +
                                    ": the run-settings window " + v.disagreement);
    };
    for (const Sample& sample : samples_) {
        for (const int n : sample.damaged)
            for (const Damaged& d : DamagesOf(sample.lines[static_cast<std::size_t>(n) - 1]))
                judge(sample, n, d.what, sample.With(n, d));
        for (const WholeFile& w : kWholeFiles) judge(sample, 0, w.what, w.bytes(sample.bytes));
        for (int n = kx::kPressureLine; n <= kx::kOutputStepLine; ++n) {
            if (n > kx::kAbsoluteToleranceLine && n < kx::kOutputStepLine) continue;
            for (const Damaged& d : SettingSpellingsOf(sample.lines[static_cast<std::size_t>(n) - 1]))
                judge(sample, n, d.what, sample.With(n, d));
        }
        for (const int n : SpeciesLines(sample.lines))
            if (const std::optional<Damaged> d = FractionWithoutPoint(sample.lines[static_cast<std::size_t>(n) - 1]))
                judge(sample, n, d->what, sample.With(n, *d));
    }
    std::cout << "[ values   ] " << cases << " damaged copies, the values of " << compared
              << " compared with the solver's, " << rewritten << " of them after Run, " << disagreements.size()
              << " disagreements\n";
    for (std::size_t k = 0; k < disagreements.size() && k < 40; ++k) ADD_FAILURE() << disagreements[k];
    EXPECT_TRUE(disagreements.empty());
    EXPECT_GT(rewritten, 0);
}

// ---- The zero threshold: the comparison's values against the results window's --

// The file with line 24, the absolute tolerance, set to `tolerance`.
std::string WithAbsoluteTolerance(const Lines& lines, const std::string& tolerance) {
    Lines out = lines;
    out[static_cast<std::size_t>(kx::kAbsoluteToleranceLine) - 1] = " " + tolerance + " !Absolute Tolerance";
    return JoinLines(out);
}

// Runs the solver on the file at `path`, as SolverRunFile runs a file; true
// when the run completed.
bool CompletedRun(const std::string& path) {
    std::FILE* console = std::tmpfile();
    std::FILE* const saved = kx::SolverCommon.console;
    kx::SolverCommon.console = console;
    const int status = kx::SolverRunFile(path);
    kx::SolverCommon.console = saved;
    std::fclose(console);
    return status == kx::kExitCompleted;
}

// The results window and the comparison read a run's results alike, by
// value: the same times and temperatures, and a species counts as zero in
// the comparison (its value 0) exactly where the results window takes its
// mass fraction as absent (0 in its text tables). Runs of the isothermal
// sample with coarse absolute tolerances, which the solver completes, and
// the completed hydrogen run with its tolerance raised after the run.
TEST_F(InputAgreement, TheComparisonTakesAFractionAsZeroWhereTheResultsWindowDoes) {
    struct Case {
        std::string what;
        std::string path;
    };
    std::vector<Case> cases;
    for (const char* tolerance : {"1.000000E-02"}) {
        const std::string path = folder_->write(std::string("iso ") + tolerance + ".txt",
                                                WithAbsoluteTolerance(samples_[1].lines, tolerance));
        ASSERT_TRUE(CompletedRun(path)) << tolerance;
        cases.push_back({std::string("the isothermal sample run with tolerance ") + tolerance, path});
    }
    const Lines run = SplitLines(kx::test::ReadBytes(good_));
    for (const char* tolerance : {"1.000000E-06", "1.000000E-02", "1.000000E+00"})
        cases.push_back({std::string("the hydrogen run read with tolerance ") + tolerance,
                         folder_->write(std::string("h2 ") + tolerance + ".txt", WithAbsoluteTolerance(run, tolerance))});

    for (const Case& c : cases) {
        kxtest::RecordingSink windowSink;
        kx::ResultsReader window(windowSink, kxtest::kGasConstantCm3Atm);
        ASSERT_TRUE(window.OPEN_Rich(c.path)) << c.what << ": " << windowSink.shown.at(0).text;
        kxtest::RecordingSink comparisonSink;
        kx::ComparisonFiles comparison(comparisonSink);
        ASSERT_FALSE(comparison.OpenFiles(c.path, c.path).Failed) << c.what;
        try {
            comparison.SpeciesAARR();
            comparison.ConvertToMoleFractions();
        } catch (const std::exception& e) {
            FAIL() << c.what << ": the comparison refused what the results window reads: " << e.what();
        }
        EXPECT_TRUE(comparisonSink.shown.empty()) << c.what << ": " << comparisonSink.shown[0].text;

        const kx::ResultsTables& t = window.Tables();
        const kx::CmpFileData& d = comparison.File(1);
        ASSERT_EQ(d.PointCount, t.ResultRowCount - 1) << c.what;
        ASSERT_EQ(window.Used().UsedCount, t.ResultRowCount) << c.what;  // every record is a used point
        int zeros = 0, present = 0;
        for (int k = 1; k <= t.NumSpecies; ++k) {
            const std::vector<double> table = kx::SpeciesValues(
                window, kx::SpeciesQuantity::MassFraction, k + 2, kxtest::TestUnits(), {.AbsentAsZero = true});
            for (int p = 1; p < window.Used().UsedCount; ++p) {
                const int row = window.Used().UsedRows[static_cast<std::size_t>(p)];
                ASSERT_EQ(d.Values(0, row), window.Value(row, 0)) << c.what << ", record " << row;
                ASSERT_EQ(d.Values(1, row), window.Value(row, 1)) << c.what << ", record " << row;
                const bool absent = table[static_cast<std::size_t>(p)] == 0.0;
                EXPECT_EQ(d.Values(k + 1, row) == 0.0, absent)
                    << c.what << ", record " << row << ", species " << k << ": mass fraction "
                    << window.Value(row, k + 2) << ", zero threshold " << t.ZeroThreshold;
                ++(absent ? zeros : present);
            }
        }
        // Both kinds of value are there to compare.
        EXPECT_GT(zeros, 0) << c.what;
        EXPECT_GT(present, 0) << c.what;
    }
}

// ---- The check before a file opens, and the quick look for results ------------
//
// The check before a solver file opens reads it as the solver does, but for
// the run settings, which the run-settings window sets. It takes every
// file the solver runs; refuses, naming the file and the solver's line,
// every file the solver refuses for anything but the run settings; and of
// a file whose run settings alone the solver refuses it refuses only what
// the solver's reading refuses with those settings open (its counts and
// the mode of line 15 first, a constant-volume mode among them), naming
// that line. The quick look for results (the results menu, the results
// window's first step) follows the one rule of every reader: it finds
// results lacking only in a file whose results the full check refuses, and
// in every file of which the full check says that none are found.

// What the check before opening made of a file: whether it found the
// signature, and its verdict.
struct OpeningCheck {
    bool signature = false;
    Verdict verdict;
};

OpeningCheck OpeningCheckFor(const std::string& path) {
    kxtest::RecordingSink sink;
    bool accepted = false;
    OpeningCheck out;
    out.signature = kx::runs::CheckSolverFileHeader(path, accepted, sink);
    out.verdict = FromSink(accepted, sink);
    if (!accepted && sink.shown.size() != 1) out.verdict.text = std::to_string(sink.shown.size()) + " messages";
    return out;
}

// Where the solver's reading of a file with its run settings open refuses
// it: the counts and the mode of line 15 (a constant-volume mode, 2 or 3,
// refused there) as its run reads them first, then the input part.
std::optional<kx::SolverInputError> RefusalWithTheSettingsOpen(const std::string& bytes) {
    kx::SolverFileText text;
    text.Take(bytes);
    kx::SolverInputError error;
    int species = 0, reactions = 0, mode = 0;
    if (!kx::SolverReadCounts(text, species, reactions, mode, error)) return error;
    if (mode == 2 || mode == 3) return kx::SolverInputError{15, "a constant-volume mode", kx::InputProblem::NotAllowed};
    const kx::SolverModelStorage storage;
    kx::SolverInputPlaces places;
    if (!kx::SolverReadInput(text, kx::SolverSettings::Open, storage.Model(), places, error)) return error;
    return std::nullopt;
}

TEST_F(InputAgreement, TheCheckBeforeOpeningRefusesWhereTheSolverDoesNamingItsLine) {
    int cases = 0, refused = 0, quickLooks = 0;
    std::vector<std::string> findings;
    const auto judge = [&](const Sample& sample, int n, const std::string& what, const std::string& bytes) {
        ++cases;
        const std::string path = folder_->write("opening.txt", bytes);
        const std::string label = sample.name + ", " + (n > 0 ? "line " + std::to_string(n) + " " : "") + what;
        kx::SolverInputError solver;
        const bool runs = kx::SolverWouldRun(bytes, solver);
        const std::string solverSays =
            runs ? std::string("runs it") : "line " + std::to_string(solver.line) + ", " + solver.problem;

        const OpeningCheck check = OpeningCheckFor(path);
        // The signature of line 1 is the desktop's mark of a solver file.
        if (!check.signature && n == 1) return;
        const Verdict& v = check.verdict;
        refused += !v.accepted;
        // The line the check must name where it refuses: the solver's, or
        // with the settings open, where that reading refuses.
        std::optional<int> held;
        if (!runs && !IsRunSetting(solver)) {
            held = solver.line;
        } else if (!runs) {
            if (const std::optional<kx::SolverInputError> open = RefusalWithTheSettingsOpen(bytes)) held = open->line;
        }
        std::string why;
        if (!check.signature)
            why = "finds no solver file";
        else if (!held && !v.accepted)
            why = std::string("refuses what ") + (runs ? "the solver runs" : "only its run settings keep from running") +
                  ": " + v.text;
        else if (held && v.accepted)
            why = "takes what the solver refuses";
        else if (held && *held > 0 && !NamesLine(v.text, *held))
            why = "names another line than " + std::to_string(*held) + ": " + v.text;
        else if (held && v.text.find(path) == std::string::npos)
            why = "does not name the file: " + v.text;
        if (!why.empty())
            findings.push_back(label + ": the check before opening " + why + "\n    the solver: " + solverSays);

        // The quick look for results against the full check.
        if (!check.verdict.accepted) return;
        ++quickLooks;
        kxtest::RecordingSink sink;
        const bool lacks = kx::runs::SolverFileLacksResults(path, false, sink);
        bool failed = false;
        std::string message;
        kx::runs::CheckResultsComplete(path, failed, message);
        const bool notFound = message.ends_with("results are not found.");
        if (lacks && !failed)
            findings.push_back(label + ": the quick look finds no results where the full check reads them");
        if (notFound && !lacks)
            findings.push_back(label + ": the quick look finds results where the full check says: " + message);
    };
    for (const Sample& sample : samples_) {
        for (const int n : sample.damaged)
            for (const Damaged& d : DamagesOf(sample.lines[static_cast<std::size_t>(n) - 1]))
                judge(sample, n, d.what, sample.With(n, d));
        for (const WholeFile& w : kWholeFiles) judge(sample, 0, w.what, w.bytes(sample.bytes));
    }
    std::cout << "[ opening  ] " << cases << " damaged copies, " << refused << " refused before opening, "
              << quickLooks << " quick looks for results, " << findings.size() << " findings\n";
    for (std::size_t k = 0; k < findings.size() && k < 40; ++k) ADD_FAILURE() << findings[k];
    EXPECT_TRUE(findings.empty());
    EXPECT_GT(refused, 0);
}

}  // namespace
