// Damaged files against every reader of the program: a seeded, bounded set
// of mutated copies of the sample solver files (bytes flipped, lines cut,
// repeated or shortened, counts changed, huge and non-numeric fields) goes
// through the solver (its model reader, and a whole run on a copy), the
// results reader, the comparison, the mechanism text and the
// run-settings loader, and mutated RTF documents (deep nesting among them)
// through the RTF reader. Each must end in a result or in one of the
// program's own errors, never in a crash or a foreign exception, and the
// solver must leave a file that it refuses (exit status 1) byte for byte as
// it was. Built with the sanitizers, any memory fault or undefined
// behaviour fails it as well.
//
// The files that once broke a reader are kept as named cases, made from
// the samples here.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ComparisonFiles.h"
#include "Errors.h"
#include "Files.h"
#include "MechanismText.h"
#include "ResultsReader.h"
#include "Rtf.h"
#include "RunSettings.h"
#include "SolverFileFixture.h"
#include "solver.h"
#include "solver_test_support.h"

namespace {

constexpr std::uint64_t kSeed = 20261210;
constexpr int kSolverFileCases = 360;
constexpr int kRtfCases = 240;
// The step limit of every damaged copy, so that a run the solver accepts
// stays short; a damage that moves it outside [2, kMostSteps] skips the run.
constexpr int kStepLimit = 20;
constexpr int kMostSteps = 500;

using Lines = std::vector<std::string>;

// Lines without their line ends, and back with CR LF.
Lines SplitLines(const std::string& bytes) { return kx::files::SplitLines(bytes); }

std::string JoinLines(const Lines& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

std::string WithLine(const std::string& bytes, int number, const std::string& text) {
    Lines lines = SplitLines(bytes);
    lines.at(static_cast<std::size_t>(number) - 1) = text;
    return JoinLines(lines);
}

// ---- Damage -------------------------------------------------------------

const std::vector<std::string> kHostileCounts = {
    "0", "-1", "1", "12", "299", "300", "301", "3000", "3001", "65536", "1073741824", "2147483647",
    "-2147483648", "4294967296", "99999999999999999999", "1E+308", "nan", "12.5", "",
};
const std::vector<std::string> kHostileFields = {
    "9.99999999E+307", "1.0E+999", "-1.0E-999", "99999999999999999999", std::string(400, '9'),
    "abc", "1.2.3", "--1", "+", "E5", "nan", "inf", "-inf", "0x10", "1,5", "\t", "1e", "-", ".", "1D+5000",
    "2147483648", "-2147483649", "1.0E-320",
};

class Damage {
public:
    explicit Damage(std::uint64_t seed) : rng_(seed) {}

    std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng_() % n); }
    template <class T>
    const T& Pick(const std::vector<T>& from) { return from[Below(from.size())]; }

    // One to three damages of a solver file; `what` tells which, so that a
    // failure can be found again.
    std::string SolverFile(std::string bytes, std::string& what) {
        const std::size_t count = 1 + Below(3);
        for (std::size_t k = 0; k < count; ++k) bytes = Once(bytes, what);
        return bytes;
    }

    std::string Rtf(std::string bytes, std::string& what) {
        switch (Below(6)) {
            case 0: return Flip(bytes, what);
            case 1: {
                const std::size_t at = Below(bytes.size());
                what += " cut at byte " + std::to_string(at);
                return bytes.substr(0, at);
            }
            case 2: {  // deep nesting, closed or not
                const std::size_t depth = 1000 + Below(200000);
                const bool closed = Below(2) == 0;
                const std::size_t at = Below(bytes.size());
                what += " " + std::to_string(depth) + (closed ? " nested groups" : " open groups") + " at " +
                        std::to_string(at);
                return bytes.substr(0, at) + std::string(depth, '{') + "\\b x" +
                       (closed ? std::string(depth, '}') : std::string()) + bytes.substr(at);
            }
            case 3: {  // a control word with a hostile parameter
                static const std::vector<std::string> words = {
                    "\\fs", "\\u", "\\uc", "\\bin", "\\f", "\\cf", "\\red", "\\deff", "\\par", "\\'"};
                static const std::vector<std::string> params = {
                    "99999999999999999999", "-2147483649", "2147483647", "-99999", "-", "0", "65535", "zz"};
                const std::string insert = Pick(words) + Pick(params) + " ";
                const std::size_t at = Below(bytes.size());
                what += " \"" + insert + "\" at " + std::to_string(at);
                return bytes.substr(0, at) + insert + bytes.substr(at);
            }
            case 4: {  // closing braces without openers
                const std::size_t at = Below(bytes.size());
                what += " closing braces at " + std::to_string(at);
                return bytes.substr(0, at) + std::string(1 + Below(20), '}') + bytes.substr(at);
            }
            default: {  // a run of bytes repeated
                const std::size_t at = Below(bytes.size());
                const std::string run = bytes.substr(at, 1 + Below(64));
                what += " bytes from " + std::to_string(at) + " repeated";
                std::string out = bytes.substr(0, at);
                for (std::size_t k = 0, n = 1 + Below(50); k < n; ++k) out += run;
                return out + bytes.substr(at);
            }
        }
    }

private:
    std::string Flip(std::string bytes, std::string& what) {
        const std::size_t flips = 1 + Below(8);
        what += " bytes flipped at";
        for (std::size_t k = 0; k < flips && !bytes.empty(); ++k) {
            const std::size_t at = Below(bytes.size());
            bytes[at] = static_cast<char>(Below(256));
            what += " " + std::to_string(at);
        }
        return bytes;
    }

    std::string Once(const std::string& bytes, std::string& what) {
        Lines lines = SplitLines(bytes);
        if (lines.empty()) return bytes;
        const std::size_t line = Below(lines.size());
        const std::string at = " " + std::to_string(line + 1);
        switch (Below(7)) {
            case 0: return Flip(bytes, what);
            case 1: {
                const std::size_t n = std::min(lines.size() - line, 1 + Below(20));
                what += " lines" + at + " and " + std::to_string(n - 1) + " more cut";
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line),
                            lines.begin() + static_cast<std::ptrdiff_t>(line + n));
                break;
            }
            case 2: {
                const std::size_t cut = Below(bytes.size());
                what += " file cut at byte " + std::to_string(cut);
                return bytes.substr(0, cut);
            }
            case 3: {
                what += " line" + at + " repeated";
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line), 1 + Below(4), lines[line]);
                break;
            }
            case 4: {
                if (lines.size() < 11) return Flip(bytes, what);
                const bool species = Below(2) == 0;
                const std::string& count = Pick(kHostileCounts);
                what += std::string(species ? " species" : " reaction") + " count " + count;
                lines[species ? 9 : 10] = " " + count + (species ? " !Species" : " !Reactions");
                break;
            }
            case 5: {
                std::string& l = lines[line];
                const std::size_t column = Below(l.size() + 1);
                const std::size_t width = std::min(l.size() - column, 1 + Below(16));
                const std::string& field = Pick(kHostileFields);
                what += " columns from " + std::to_string(column + 1) + " of line" + at + " = \"" + field + "\"";
                l.replace(column, width, field);
                break;
            }
            default: {
                std::string& l = lines[line];
                const std::size_t keep = Below(l.size() + 1);
                what += " line" + at + " cut after column " + std::to_string(keep);
                l.resize(keep);
                break;
            }
        }
        return JoinLines(lines);
    }

    std::mt19937_64 rng_;
};

// ---- What the readers make of a file ---------------------------------------

// The start of every error text of the program's own.
bool IsOwnErrorText(std::string_view text) {
    for (int k = 0; k <= static_cast<int>(kx::ErrorKind::ComponentMissing); ++k)
        if (text.starts_with(kx::ErrorDescription(static_cast<kx::ErrorKind>(k)))) return true;
    return false;
}

// An error report's text after its location tag.
std::string_view AfterTag(std::string_view text) {
    for (std::size_t n = 1; n <= text.size() && n <= 24; ++n)
        if (kx::IsErrorTag(text.substr(0, n))) return text.substr(n);
    return text;
}

// Runs one reader: a result, or an error of the program's own; anything
// else is a failure of the case.
void Clearly(const std::string& label, const char* reader, const std::function<void()>& read,
             std::string* errorText = nullptr) {
    try {
        read();
    } catch (const kx::TaggedError& e) {
        EXPECT_TRUE(IsOwnErrorText(e.Description())) << label << ": " << reader << " failed with " << e.what();
        if (errorText) *errorText = e.what();
    } catch (const kx::Error& e) {
        if (errorText) *errorText = e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << label << ": " << reader << " ended in a foreign exception: " << e.what();
    }
}

// The solver run on a file as the program runs it (SolverRunFile is the
// whole program behind the path file), in this process: its exit status and
// its input errors.
struct SolverRun {
    int status = -1;
    std::string errors;
};

SolverRun RunSolver(const std::string& path) {
    kx::SolverCommonBlock& c = kx::SolverCommon;
    std::FILE* console = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    std::FILE* const savedConsole = c.console;
    std::FILE* const savedErrors = c.errorConsole;
    c.console = console;
    c.errorConsole = errors;
    SolverRun run;
    run.status = kx::SolverRunFile(path);
    c.console = savedConsole;
    c.errorConsole = savedErrors;
    run.errors = kxtest::ReadAll(errors);
    std::fclose(console);
    std::fclose(errors);
    return run;
}

struct ReadersSaw {
    kx::SolverLoad load = kx::SolverLoad::InputError;
    std::optional<int> solverStatus;  // none: the run was skipped
    std::string results;              // the results reader's message, "" when it read the file
    std::string comparison;           // the comparison's error text
    std::string mechanism;            // the mechanism text's error text
    std::string runSettings;          // the run-settings loader's error text
};

class ReaderFuzz : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<kxtest::TempDir>();
        auto sample = [](const char* name) { return kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/" + name); };
        // A run of the solver gives the samples their results.
        auto withResults = [](const std::string& name, const std::string& input) {
            const std::string path = folder_->write(name, input);
            const SolverRun run = RunSolver(path);
            EXPECT_EQ(run.status, 0) << name << ": " << run.errors;
            return kx::test::ReadBytes(path);
        };
        const std::string h2 = sample("h2_air_1000K.txt");
        const std::string gri = sample("gri30_ch4_1400K.txt");
        const std::string griShort = WithLine(gri, 20, " 5.000000E-04 !Final Time");
        bases_ = {
            {"h2_air_1000K", h2},
            {"h2_o2_ar_isothermal", sample("h2_o2_ar_isothermal.txt")},
            {"gri30_ch4_1400K", gri},
            {"h2_air_1000K with results", withResults("h2_results.txt", h2)},
            {"gri30_ch4_1400K with results", withResults("gri_results.txt", griShort)},
        };
        for (Base& b : bases_) b.bytes = WithLine(b.bytes, 22, " " + std::to_string(kStepLimit) + " !Maximum Number of Steps");
        goodResults_ = folder_->write("good.txt", bases_[3].bytes);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    // Every reader on the bytes; what each made of them.
    ReadersSaw ReadAll(const std::string& label, const std::string& bytes, int caseNumber) {
        ReadersSaw saw;
        const std::string path = folder_->write("case.txt", bytes);

        // The solver's model reader, then the solver itself on a copy.
        static kx::SolverModel model;
        kx::SolverInputError error;
        saw.load = kx::SolverLoadModel(path, model, error);
        if (saw.load == kx::SolverLoad::InputError) {
            EXPECT_FALSE(error.problem.empty()) << label << ": an input error without its text";
        }
        const bool bounded = model.NMAX >= 2 && model.NMAX <= kMostSteps;
        if (saw.load != kx::SolverLoad::Loaded || bounded) {
            const std::string run = folder_->write("run.txt", bytes);
            const SolverRun result = RunSolver(run);
            const std::string after = kx::test::ReadBytes(run);
            saw.solverStatus = result.status;
            switch (saw.load) {
                case kx::SolverLoad::InputError:
                    EXPECT_EQ(result.status, 1) << label << "\n" << result.errors;
                    EXPECT_TRUE(after == bytes) << label << ": the refused file was changed";
                    EXPECT_NE(result.errors.find(" Input error"), std::string::npos) << label << "\n" << result.errors;
                    break;
                case kx::SolverLoad::Loaded:
                    EXPECT_TRUE(result.status == 0 || result.status == 2 || result.status == 3)
                        << label << ": exit status " << result.status << "\n" << result.errors;
                    EXPECT_EQ(after.compare(0, model.tailOffset, bytes, 0, model.tailOffset), 0)
                        << label << ": the mechanism was changed";
                    break;
                case kx::SolverLoad::TooManySpecies:
                case kx::SolverLoad::TooManyReactions:
                    EXPECT_EQ(result.status, 2) << label << "\n" << result.errors;
                    EXPECT_EQ(after.compare(0, model.tailOffset, bytes, 0, model.tailOffset), 0)
                        << label << ": the mechanism was changed";
                    EXPECT_EQ(after.find("\r\n Error\r\n Kinovex error 1", model.tailOffset),
                              model.tailOffset + (model.endLineTerminated ? 0 : 2))
                        << label << ": the report does not follow the end line";
                    break;
            }
        }

        // The results reader, as the results window and the reduction use it.
        kxtest::RecordingSink sink;
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        if (!reader.OPEN_Rich(path)) {
            EXPECT_EQ(sink.shown.size(), 1u) << label;
            if (!sink.shown.empty()) {
                const auto& shown = sink.shown.front();
                saw.results = shown.text;
                // A critical message is an error's text; a report has its tag in front.
                const std::string_view text = shown.errorRoutine ? AfterTag(shown.text) : shown.text;
                if (shown.icon == kx::MessageIcon::Critical || shown.errorRoutine) {
                    EXPECT_TRUE(IsOwnErrorText(text)) << label << ": the results reader showed " << shown.text;
                }
            }
        }

        // The comparison, the damaged file as file 1 or as file 2.
        sink.shown.clear();
        kx::ComparisonFiles comparison(sink);
        const bool first = caseNumber % 2 == 0;
        bool opened = false;
        Clearly(label, "the comparison's reading", [&] {
            opened = !comparison.OpenFiles(first ? path : goodResults_, first ? goodResults_ : path).Failed;
        }, &saw.comparison);
        if (opened) {
            std::string species, conversion;
            Clearly(label, "the comparison's species", [&] { comparison.SpeciesAARR(); }, &species);
            // The conversion runs after a failure of the species as well.
            Clearly(label, "the comparison's conversion", [&] { comparison.ConvertToMoleFractions(); }, &conversion);
            saw.comparison = species.empty() ? conversion : species;
        }

        // The mechanism as CHEMKIN text.
        Clearly(label, "the mechanism text", [&] {
            const kx::text::SolverMechanism m = kx::text::ReadSolverMechanism(kx::files::ReadLines(path));
            kx::text::ChemkinText(m, "case.txt");
            kx::text::DuplicateReactions(m);
        }, &saw.mechanism);

        // The run-settings window's loading, with the last step of a run.
        Clearly(label, "the run settings", [&] {
            kx::runs::RunSettings settings;
            kx::runs::SolverFileModel file;
            kx::runs::LoadSolverFile(path, settings, file);
            kx::runs::ThermoDataWarning(file);
            kx::runs::LastStep last;
            kx::runs::ReadLastStep(path, file, settings[kx::runs::Setting::AbsoluteTolerance], last);
        }, &saw.runSettings);
        return saw;
    }

    struct Base {
        std::string name;
        std::string bytes;
    };
    static std::unique_ptr<kxtest::TempDir> folder_;
    static std::vector<Base> bases_;
    static std::string goodResults_;
};

std::unique_ptr<kxtest::TempDir> ReaderFuzz::folder_;
std::vector<ReaderFuzz::Base> ReaderFuzz::bases_;
std::string ReaderFuzz::goodResults_;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST_F(ReaderFuzz, DamagedSolverFilesEndInAResultOrAClearError) {
    const Clock::time_point start = Clock::now();
    Damage damage(kSeed);
    int refusedBySolver = 0, readAsResults = 0;
    for (int n = 0; n < kSolverFileCases; ++n) {
        const Base& base = bases_[static_cast<std::size_t>(n) % bases_.size()];
        std::string what;
        const std::string bytes = damage.SolverFile(base.bytes, what);
        const ReadersSaw saw = ReadAll("case " + std::to_string(n) + ", " + base.name + ":" + what, bytes, n);
        refusedBySolver += saw.solverStatus == 1;
        readAsResults += saw.results.empty();
        if (HasFailure()) break;  // the first damaged file that breaks a reader is enough to look at
    }
    // The damage must leave some files readable and make others refused.
    EXPECT_GT(refusedBySolver, kSolverFileCases / 10);
    EXPECT_GT(readAsResults, 0);
    std::cout << "[ fuzz     ] " << kSolverFileCases << " damaged solver files in " << SecondsSince(start)
              << " s (seed " << kSeed << "): " << refusedBySolver << " refused by the solver, " << readAsResults
              << " read as results\n";
}

TEST_F(ReaderFuzz, DamagedRtfEndsInADocument) {
    const Clock::time_point start = Clock::now();
    kx::text::rtf::Document doc;
    for (const char* text : {"Mechanism of H2 + O2", "k = A T^b exp(-E/RT)", "Ä é — “quoted” €"}) {
        kx::text::rtf::Paragraph p;
        p.runs.push_back({text, {"Courier New", 10, true, false, false, 0xFF0000}});
        p.runs.push_back({" and more", {"", 12, false, true, true, std::nullopt}});
        p.align = kx::text::rtf::Align::Center;
        doc.paragraphs.push_back(p);
    }
    const std::vector<std::string> bases = {
        kx::text::rtf::Write(doc, "Arial", 10),
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fswiss Tahoma;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator x;}{\\info{\\title t}}\\uc1\\pard\\qj\\f1\\fs20 caf\\'e9 \\u8364? \\cf1 red\\cf0\\par"
        "{\\pict\\wmetafile8 0123456789abcdef}\\bin4 {}{}\\tab\\line\\emdash\\ul under\\ulnone\\par}",
    };
    Damage damage(kSeed + 1);
    for (int n = 0; n < kRtfCases; ++n) {
        std::string what;
        const std::string bytes = damage.Rtf(bases[static_cast<std::size_t>(n) % bases.size()], what);
        const std::string label = "RTF case " + std::to_string(n) + ":" + what;
        Clearly(label, "the RTF reader", [&] {
            const kx::text::rtf::Document read = kx::text::rtf::Read(bytes);
            EXPECT_FALSE(read.paragraphs.empty()) << label;
            kx::text::rtf::Read(kx::text::rtf::Write(read, "Arial", 10));
        });
        if (HasFailure()) break;
    }
    std::cout << "[ fuzz     ] " << kRtfCases << " damaged RTF documents in " << SecondsSince(start) << " s\n";
}

// The damaged files that were found: counts that once sized tables of tens
// of gigabytes, and a species more than the file has records for, whose
// last record starts at a line shorter than a name's columns.
TEST_F(ReaderFuzz, TheDamagedFilesFoundAreRefusedClearly) {
    const std::string& results = bases_[3].bytes;
    for (const char* count : {"2147483647", "1073741824"}) {
        const std::string label = std::string("species count ") + count;
        const ReadersSaw saw = ReadAll(label, WithLine(results, 10, std::string(" ") + count + " !Species"), 1);
        const std::string refusal = std::string("Subscript out of range: the species count on line 10, ") + count +
                                    ", is above 300";
        // No end line can follow so many records: the solver leaves the file as it was.
        EXPECT_EQ(saw.load, kx::SolverLoad::InputError) << label;
        EXPECT_EQ(saw.solverStatus, 1) << label;
        EXPECT_EQ(saw.results, refusal) << label;
        EXPECT_EQ(saw.comparison, "Comp#004. " + refusal) << label;
        EXPECT_EQ(saw.mechanism, refusal) << label;
        EXPECT_EQ(saw.runSettings, refusal) << label;
    }
    const ReadersSaw saw = ReadAll("one species more", WithLine(bases_[0].bytes, 10, " 12 !Species"), 0);
    EXPECT_EQ(saw.load, kx::SolverLoad::InputError);
    EXPECT_EQ(saw.solverStatus, 1);
    EXPECT_NE(saw.mechanism, "");
    EXPECT_NE(saw.runSettings, "");
}

}  // namespace
