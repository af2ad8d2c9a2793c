// Damaged files against every reader of the program: a seeded, bounded set
// of mutated copies of the sample solver files (bytes flipped, lines cut,
// repeated or shortened, counts changed, huge and non-numeric fields) goes
// through the solver (its model reader, and a whole run on a copy), the
// results reader, the comparison, the mechanism text and the
// run-settings loader, and mutated RTF documents (deep nesting among them)
// through the RTF reader. Damaged results of real runs (times out of order,
// fields that are no numbers, a temperature or fractions out of all reason,
// columns missing or added, records repeated or cut) go through the results
// window's analyses, the reduction's Prepare and Start and the comparison's
// every curve. Each must end in a result or in one of the
// program's own errors, never in a crash or a foreign exception, and the
// solver must leave a file that it refuses (exit status 1) byte for byte as
// it was. Built with the sanitizers, any memory fault or undefined
// behaviour fails it as well.
//
// The files that once broke a reader are kept as named cases, made from
// the samples here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ComparisonFiles.h"
#include "FuzzFiles.h"
#include "ComparisonPlot.h"
#include "CurvePoints.h"
#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "MechanismText.h"
#include "Quantities.h"
#include "RateCurves.h"
#include "ReactionLists.h"
#include "ReductionSetup.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "ResultsReader.h"
#include "Rtf.h"
#include "RunSettings.h"
#include "SolverFileChecks.h"
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

using kxfuzz::JoinLines;
using kxfuzz::Lines;
using kxfuzz::LocateResults;
using kxfuzz::ResultsBlock;
using kxfuzz::NamesLine;
using kxfuzz::SplitLines;

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

// A reader's refusal of a file: "In the file '<path>', " (or "In the file
// 2 '<path>', "), "unexpected error.", then on a line of its own an error
// text of the program's own, with a full stop.
bool IsOwnRefusal(std::string_view text) {
    static constexpr std::string_view middle = "', unexpected error.\r\n";
    const std::size_t at = text.find(middle);
    return text.starts_with("In the file ") && at != std::string_view::npos && text.ends_with(".") &&
           IsOwnErrorText(text.substr(at + middle.size()));
}

// An error report's text after its location tag.
std::string_view AfterTag(std::string_view text) {
    for (std::size_t n = 1; n <= text.size() && n <= 24; ++n)
        if (kx::IsErrorTag(text.substr(0, n))) return text.substr(n);
    return text;
}

// Runs one reader: a result, or an error of the program's own (a tagged
// one with an error's description, unless anyDescription); anything else is
// a failure of the case.
void Clearly(const std::string& label, const char* reader, const std::function<void()>& read,
             std::string* errorText = nullptr, bool anyDescription = false) {
    try {
        read();
    } catch (const kx::TaggedError& e) {
        EXPECT_TRUE(anyDescription || IsOwnErrorText(e.Description()))
            << label << ": " << reader << " failed with " << e.what();
        if (errorText) *errorText = e.what();
    } catch (const kx::Error& e) {
        if (errorText) *errorText = e.what();
    } catch (const kx::FileRefusal& e) {
        EXPECT_TRUE(IsOwnRefusal(e.what())) << label << ": " << reader << " refused the file with " << e.what();
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
        isothermal_ = {"h2_o2_ar_isothermal with results",
                       withResults("iso_results.txt", sample("h2_o2_ar_isothermal.txt"))};
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
                // A critical message is the file's refusal with an error's
                // text; a report has its tag in front of an error's text.
                if (shown.errorRoutine) {
                    EXPECT_TRUE(IsOwnErrorText(AfterTag(shown.text)))
                        << label << ": the results reader showed " << shown.text;
                } else if (shown.icon == kx::MessageIcon::Critical) {
                    EXPECT_TRUE(IsOwnRefusal(shown.text)) << label << ": the results reader showed " << shown.text;
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
            const kx::text::SolverMechanism m = kx::text::ReadSolverMechanismFile(path);
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
    static Base isothermal_;
};

std::unique_ptr<kxtest::TempDir> ReaderFuzz::folder_;
std::vector<ReaderFuzz::Base> ReaderFuzz::bases_;
std::string ReaderFuzz::goodResults_;
ReaderFuzz::Base ReaderFuzz::isothermal_;

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
        const std::string refusal =
            std::string("Subscript out of range: line 10: the species count ") + count + " is above the limit of 300 species";
        // No end line can follow so many records: the solver leaves the file as it was.
        EXPECT_EQ(saw.load, kx::SolverLoad::InputError) << label;
        EXPECT_EQ(saw.solverStatus, 1) << label;
        // The readers of results name the file (the comparison which of its two).
        EXPECT_EQ(saw.results, "In the file '" + folder_->file("case.txt") + "', unexpected error.\r\n" + refusal + ".")
            << label;
        EXPECT_EQ(saw.comparison,
                  "In the file 2 '" + folder_->file("case.txt") + "', unexpected error.\r\n" + refusal + ".")
            << label;
        EXPECT_EQ(saw.mechanism, refusal) << label;
        EXPECT_EQ(saw.runSettings, refusal) << label;
    }
    const ReadersSaw saw = ReadAll("one species more", WithLine(bases_[0].bytes, 10, " 12 !Species"), 0);
    EXPECT_EQ(saw.load, kx::SolverLoad::InputError);
    EXPECT_EQ(saw.solverStatus, 1);
    EXPECT_NE(saw.mechanism, "");
    EXPECT_NE(saw.runSettings, "");
}

// ---- Damaged results through every analysis -------------------------------

// Field f (0 time, 1 temperature, k + 1 species k of the first line) of a
// record's first line, right-aligned in its 16 characters (a longer text
// widens the line).
void SetField(std::string& line, int field, const std::string& text) {
    const std::size_t at = 7 + 17 * static_cast<std::size_t>(field);
    const std::string value = text.size() >= 16 ? text : std::string(16 - text.size(), ' ') + text;
    line.replace(at, 16, value);
}

std::string FieldOfLine(const std::string& line, int field) {
    return line.substr(7 + 17 * static_cast<std::size_t>(field), 16);
}

const std::vector<std::string> kHostileTimes = {"NaN", "Infinity", "-Infinity", "1.0E+400", "1.0E-400", "", "1.0D-03",
                                                "-1.00000000E-004", "1.00000000E+300"};
const std::vector<std::string> kHostileTemperatures = {"0.00000000E+000", "-1.00000000E+003", "NaN", "1.0E+400",
                                                       "1.00000000E-300", "1.00000000E+300", "-0.0"};
const std::vector<std::string> kHostileFractions = {"-1.00000000E-001", "NaN", "1.00000000E+300", "-1.00000000E+300",
                                                    "Infinity", "1.0E+400", "0.00000000E+000"};

// One damage of the results block; `what` tells which.
std::string DamageResults(const std::string& bytes, Damage& d, std::string& what) {
    ResultsBlock b = LocateResults(bytes);
    Lines& l = b.lines;
    const std::size_t count = b.records.size();
    const std::size_t r = d.Below(count);                  // a record
    const std::size_t r1 = 1 + d.Below(count - 1);         // a record after the first
    const std::string at = " of record " + std::to_string(r + 1);
    const std::string at1 = " of record " + std::to_string(r1 + 1);
    std::string lineEnd = "\r\n";
    switch (d.Below(17)) {
        case 0:
            what += " times of records " + std::to_string(r1) + " and " + std::to_string(r1 + 1) + " swapped";
            {
                const std::string a = FieldOfLine(l[b.records[r1 - 1]], 0), c = FieldOfLine(l[b.records[r1]], 0);
                SetField(l[b.records[r1 - 1]], 0, c);
                SetField(l[b.records[r1]], 0, a);
            }
            break;
        case 1:
            what += " time" + at1 + " equal to the one before";
            SetField(l[b.records[r1]], 0, FieldOfLine(l[b.records[r1 - 1]], 0));
            break;
        case 2: {
            const std::string& t = d.Pick(kHostileTimes);
            what += " time" + at + " \"" + t + "\"";
            SetField(l[b.records[r]], 0, t);
            break;
        }
        case 3: {
            const std::string& t = d.Pick(kHostileTemperatures);
            what += " temperature" + at + " \"" + t + "\"";
            SetField(l[b.records[r]], 1, t);
            break;
        }
        case 4: {
            const std::string& y = d.Pick(kHostileFractions);
            const int k = 1 + static_cast<int>(d.Below(std::min<std::size_t>(50, static_cast<std::size_t>(std::stoi(l[9])))));
            what += " species " + std::to_string(k) + at + " \"" + y + "\"";
            SetField(l[b.records[r]], k + 1, y);
            break;
        }
        case 5: {
            const std::size_t line = b.records[r] + d.Below(static_cast<std::size_t>(b.perRecord));
            what += " last column of line " + std::to_string(line + 1) + " missing";
            l[line].resize(l[line].size() - 17);
            break;
        }
        case 6: {
            const std::size_t line = b.records[r] + d.Below(static_cast<std::size_t>(b.perRecord));
            what += " a column added to line " + std::to_string(line + 1);
            l[line] += " 1.00000000E-001";
            break;
        }
        case 7: {
            const std::string step = std::to_string(d.Below(100000));
            what += " step" + at + " " + step;
            l[b.records[r]].replace(0, 6, std::string(6 - std::min<std::size_t>(6, step.size()), ' ') + step);
            break;
        }
        case 8: {
            what += " record " + std::to_string(r + 1) + " repeated";
            const Lines copy(l.begin() + static_cast<std::ptrdiff_t>(b.records[r]),
                             l.begin() + static_cast<std::ptrdiff_t>(b.records[r]) + b.perRecord);
            l.insert(l.begin() + static_cast<std::ptrdiff_t>(b.records[r]), copy.begin(), copy.end());
            break;
        }
        case 9: {
            const int species = std::stoi(l[9]);
            const int changed = species + (d.Below(2) == 0 ? -1 : 1);
            what += " species count " + std::to_string(changed);
            l[9] = " " + std::to_string(changed) + " !Species";
            break;
        }
        case 10:
            what += " nothing after the results line";
            l.resize(b.title + 1);
            break;
        case 11: {
            const std::size_t keep = 1 + d.Below(3);
            const bool closed = d.Below(2) == 0;
            what += " " + std::to_string(keep) + " records" + (closed ? " and the end line" : "");
            Lines out(l.begin(), l.begin() + static_cast<std::ptrdiff_t>(b.records[keep - 1]) + b.perRecord);
            if (closed) out.insert(out.end(), l.begin() + static_cast<std::ptrdiff_t>(b.end), l.end());
            l = out;
            break;
        }
        case 12:
            // Lines that end in LF alone, as the solver reads them (a CR
            // alone ends no line: every reader and the solver refuse such a
            // file alike).
            what += " LF line ends";
            lineEnd = "\n";
            break;
        case 13: {
            const std::size_t line = b.records[r] + d.Below(static_cast<std::size_t>(b.perRecord));
            const std::size_t keep = d.Below(l[line].size());
            what += " file cut in line " + std::to_string(line + 1) + " after column " + std::to_string(keep);
            l[line].resize(keep);
            l.resize(line + 1);
            break;
        }
        case 14:
            what += " end line and after left out, " + std::to_string(r + 1) + " records kept";
            l.resize(b.records[r] + static_cast<std::size_t>(b.perRecord));
            break;
        case 15:
            what += " time of record 1 after the last";
            SetField(l[b.records[0]], 0, "9.99999999E+002");
            break;
        default: {
            const std::size_t line = b.records[r] + d.Below(static_cast<std::size_t>(b.perRecord));
            what += " error report in place of line " + std::to_string(line + 1);
            l.resize(line);
            l.push_back(" Error");
            l.push_back(" Kinovex error 3");
            break;
        }
    }
    std::string out;
    for (const std::string& line : l) out += line + lineEnd;
    return out;
}

// Runs one analysis of a window: a result, or a message of the program's
// own, whatever its text (a thermodynamic function's overflow among them);
// a foreign exception fails the case.
void Analysis(const std::string& label, const char* what, const std::function<void()>& run,
              std::string* errorText = nullptr) {
    Clearly(label, what, run, errorText, true);
}

bool Finite(double v) { return std::isfinite(v); }

// The results window's reader and what its pages compute from it.
bool ResultsWindowAnalyses(const std::string& label, const std::string& path, bool closed) {
    kxtest::RecordingSink sink;
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
    if (!reader.OPEN_Rich(path)) {
        EXPECT_EQ(sink.shown.size(), 1u) << label;
        EXPECT_FALSE(reader.Loaded()) << label;
        return false;
    }
    const kx::ResultsTables& t = reader.Tables();
    // Results cut short say so once; complete ones say nothing.
    EXPECT_EQ(sink.shown.size(), t.ResultsClosed ? 0u : 1u) << label;
    if (!t.ResultsClosed && !sink.shown.empty()) {
        EXPECT_NE(sink.shown[0].text.find("results are incomplete: they end at " +
                                          kx::Format(t.LastTime, "0.000000E+00") + " s"),
                  std::string::npos)
            << label << ": " << sink.shown[0].text;
    }
    if (!closed) {
        EXPECT_FALSE(t.ResultsClosed) << label;
    }
    for (int i = 1; i < t.ResultRowCount; ++i) {
        EXPECT_TRUE(Finite(reader.Value(i, 0))) << label << ": time of row " << i;
        // Two records may share a printed time; none goes back.
        if (i >= 2) {
            EXPECT_GE(reader.Value(i, 0), reader.Value(i - 1, 0)) << label << ": row " << i;
        }
        EXPECT_TRUE(Finite(reader.Value(i, 1)) && reader.Value(i, 1) > 0)
            << label << ": temperature of row " << i << " " << reader.Value(i, 1);
        EXPECT_TRUE(Finite(t.RowDensity[static_cast<std::size_t>(i)]) && t.RowDensity[static_cast<std::size_t>(i)] > 0)
            << label << ": density of row " << i << " " << t.RowDensity[static_cast<std::size_t>(i)];
    }
    const kx::UsedRowsState& used = reader.Used();
    EXPECT_GE(used.UsedCount, 3) << label;
    if (used.UsedCount < 3) return true;
    const kx::QuantityUnits units = kxtest::TestUnits();
    auto curveIsSound = [&](const std::string& what, const kx::CurvePoints& c) {
        for (int p = 0; p < c.Count(); ++p)
            EXPECT_TRUE((Finite(c.X[static_cast<std::size_t>(p)]) && Finite(c.Y[static_cast<std::size_t>(p)])))
                << label << ": " << what << " point " << p << " " << c.X[static_cast<std::size_t>(p)] << ", "
                << c.Y[static_cast<std::size_t>(p)];
    };
    auto curve = [&](const std::string& what, const std::vector<double>& values, int num) {
        for (bool log : {false, true}) curveIsSound(what, kx::PrepareResultsCurve(reader, values, num, 1.0, log));
    };
    const int ns = t.NumSpecies, nr = t.NumReactions;
    const int speciesShown = std::min(ns, 8), reactionsShown = std::min(nr, 12);
    Analysis(label, "the temperature curve", [&] {
        curve("temperature", kx::SpeciesValues(reader, kx::SpeciesQuantity::Temperature, 0, units), 0);
    });
    for (int k = 1; k <= speciesShown; ++k) {
        for (int q = 0; q <= 3; ++q)
            Analysis(label, "a species curve", [&] {
                curve("species " + std::to_string(k),
                      kx::SpeciesValues(reader, static_cast<kx::SpeciesQuantity>(q), k + 2, units), k + 2);
            });
        Analysis(label, "a species derivative", [&] {
            curve("derivative of species " + std::to_string(k), kx::SpeciesDerivativeValues(reader, k), 0);
        });
        Analysis(label, "the reaction list", [&] {
            reader.ShowReacDeRe(k, true, [&](const kx::ContributionTable& run) {
                kx::ReactionList list;
                kx::ReacUpdate(list, run);
                for (const char* share : {"1", "0.5", "0"}) {
                    const kx::ReactionSelection s = kx::ShowReacMen(list, true, share);
                    EXPECT_FALSE(s.Refused) << label << ": share " << share;
                    if (s.Count > 0) kx::TemperSum(list, s.Count, s.Important);
                }
            });
        });
    }
    for (int m = 1; m <= 6; ++m)
        Analysis(label, "a mean parameter", [&] {
            curve("mean parameter " + std::to_string(m),
                  kx::MeanValues(reader, static_cast<kx::MeanParameter>(m), units), 0);
        });
    for (int r = 1; r <= reactionsShown; ++r)
        for (kx::ReactionQuantity q : {kx::ReactionQuantity::Forward, kx::ReactionQuantity::Reverse,
                                        kx::ReactionQuantity::Net, kx::ReactionQuantity::SpeciesDerivative,
                                        kx::ReactionQuantity::HeatJoules})
            Analysis(label, "a rate curve", [&] {
                curve("rate of reaction " + std::to_string(r), kx::ReactionValues(reader, q, r, 1, units), 0);
            });
    std::vector<int> all;
    for (int r = 1; r <= nr; ++r) all.push_back(r);
    Analysis(label, "the integrals", [&] {
        for (double v : reader.IntervalIntegrals(all, false)) EXPECT_TRUE(Finite(v)) << label << ": an integral";
    });
    // A narrower interval and a step: taken or refused, never fewer than two points.
    const int rows = t.ResultRowCount - 1;
    Analysis(label, "an interval", [&] {
        reader.ToMainParam(reader.Value(std::min(2, rows), 0), reader.Value(std::max(1, rows - 1), 0));
    });
    Analysis(label, "an interval of one step", [&] { reader.ToMainParam(reader.Value(1, 0), reader.Value(2, 0)); });
    Analysis(label, "a point step", [&] { reader.ToMain_Param(false, 1.0, "3", "1", false); });
    EXPECT_GE(reader.Used().UsedCount, 3) << label;
    for (int p = 1; p < reader.Used().UsedCount; ++p)
        EXPECT_TRUE(Finite(reader.Used().UsedTimes[static_cast<std::size_t>(p)])) << label;
    return true;
}

// The reduction's Prepare with the window's default targets, then Start.
bool ReductionOf(const std::string& label, const std::string& path, const std::string& reduced) {
    kxtest::RecordingSink sink;
    kxtest::RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    std::filesystem::remove(reduced);
    bool failed = true;
    Analysis(label, "the reduction's opening", [&] {
        failed = kx::RedOpenSourceFile(path, holder, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7,
                                       kxtest::kUnitFactorE4);
    });
    if (failed) return false;
    bool written = false;
    Analysis(label, "the reduction", [&] {
        const kx::MainParameters p = holder->FromMain_Param();
        const kx::InitialCondition initial = holder->red_InitialCond();
        std::vector<std::string> names = p.SpecArrD;
        names.resize(static_cast<std::size_t>(std::max(0, p.RowCntD - 3)) + 1);
        const std::vector<kx::RedTargetRow> targets = kx::RedDefaultTargets(names, initial.InitFractBB);
        const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
        ASSERT_GE(all.Count - 1, 2) << label;
        const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, 1);
        const kx::RedSettings settings = kx::RedSettingsFrom(p.NTemper != 0 ? "0.1" : "", "0.3", targets);
        sink.shown.clear();
        const kx::RedOutcome out =
            kx::GenerateReducedMechanism(kx::RedKinState(), *holder, reduced, intervals, settings, view, sink);
        EXPECT_EQ(out.Written, std::filesystem::exists(reduced)) << label;
        written = out.Written;
        if (out.Written) {
            static kx::SolverModel model;
            kx::SolverInputError error;
            EXPECT_EQ(kx::SolverLoadModel(reduced, model, error), kx::SolverLoad::Loaded)
                << label << ": the reduced file is refused: " << error.problem;
        }
    });
    return written;
}

// The comparison's Prepare with a sound run beside the damaged one, then
// every row in every mode.
int ComparisonOf(const std::string& label, const std::string& damaged, const std::string& good) {
    int drawn = 0;
    for (bool first : {true, false}) {
        // Prepare refuses a file with fewer than three records before reading it.
        bool incomplete = true;
        std::string why;
        kx::runs::CheckResultsComplete(damaged, incomplete, why);
        if (incomplete) continue;
        kxtest::RecordingSink sink;
        kx::ComparisonFiles files(sink);
        bool opened = false;
        Analysis(label, "the comparison's reading", [&] {
            opened = !files.OpenFiles(first ? damaged : good, first ? good : damaged).Failed;
        });
        if (!opened) continue;
        std::string error;
        Analysis(label, "the comparison's species", [&] { files.SpeciesAARR(); }, &error);
        if (!error.empty()) continue;
        Analysis(label, "the comparison's conversion", [&] { files.ConvertToMoleFractions(); }, &error);
        if (!error.empty()) continue;
        const int number = first ? 1 : 2;
        EXPECT_GE(files.File(number).PointCount, 2) << label << ": fewer than two points compared";
        for (int row = 0; row <= files.MergedSpeciesLast(); ++row) {
            const kx::CmpMergedRow& m = files.MergedSpecies()[static_cast<std::size_t>(row)];
            for (int f = 0; f <= 2; ++f)
                for (bool logY : {false, true}) {
                    kx::CmpPlotSettings s;
                    s.LogY = logY;
                    Analysis(label, "a comparison curve", [&] {
                        const kx::CmpPlotCurve c = kx::CmpBuildCurve(files, static_cast<kx::CmpFunction>(f), row,
                                                                    kx::CmpValueRow(m.Index1),
                                                                    kx::CmpValueRow(m.Index2), s);
                        drawn += c.Result == kx::CmpPlotCurve::Outcome::Drawable;
                        for (std::size_t p = 0; p < c.Y.size(); ++p)
                            EXPECT_TRUE(Finite(c.X[p]) && Finite(c.Y[p])) << label << ": row " << row << " mode " << f;
                    });
                }
        }
    }
    return drawn;
}

TEST_F(ReaderFuzz, DamagedResultsGoThroughEveryAnalysisOrAreRefused) {
    constexpr int kCases = 240;
    const Clock::time_point start = Clock::now();
    Damage damage(kSeed + 2);
    // The runs with results: hydrogen and air, the isothermal run, GRI (two lines a record).
    const std::vector<const Base*> runs = {&bases_[3], &isothermal_, &bases_[4]};
    int shown = 0, reduced = 0, compared = 0;
    for (int n = 0; n < kCases; ++n) {
        const Base& base = *runs[static_cast<std::size_t>(n) % runs.size()];
        std::string what;
        std::string bytes = DamageResults(base.bytes, damage, what);
        const std::string label = "results case " + std::to_string(n) + ", " + base.name + ":" + what;
        const std::string path = folder_->write("damaged.txt", bytes);
        const bool closed = bytes.find("!$End") != std::string::npos;
        shown += ResultsWindowAnalyses(label, path, closed);
        reduced += ReductionOf(label, path, folder_->file("reduced.txt"));
        compared += ComparisonOf(label, path, goodResults_) > 0;
        if (HasFailure()) break;
    }
    // Some damages leave the results usable, others are refused.
    EXPECT_GT(shown, kCases / 4);
    EXPECT_LT(shown, kCases);
    EXPECT_GT(reduced, kCases / 4);
    EXPECT_GT(compared, kCases / 4);
    std::cout << "[ fuzz     ] " << kCases << " damaged results in " << SecondsSince(start) << " s: " << shown
              << " shown, " << reduced << " reduced, " << compared << " compared\n";
}

}  // namespace

namespace {

// ---- Damaged header lines of real runs -------------------------------------

// What one reader made of a file: refused it at once, or accepted it and
// then failed in the work it is there for (the text of that failure).
struct HeaderVerdict {
    bool accepted = false;
    std::string laterFailure;
};

// The results window's reading, then curves, contributions and integrals
// that every user of the window asks for: an error is a later failure.
HeaderVerdict ResultsWindowOf(const std::string& path) {
    HeaderVerdict v;
    kxtest::RecordingSink sink;
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
    if (!reader.OPEN_Rich(path)) return v;
    v.accepted = true;
    const kx::QuantityUnits units = kxtest::TestUnits();
    const kx::ResultsTables& t = reader.Tables();
    auto run = [&](const char* what, const std::function<void()>& body) {
        if (!v.laterFailure.empty()) return;
        try {
            body();
        } catch (const std::exception& e) {
            v.laterFailure = std::string(what) + ": " + e.what();
        }
    };
    run("the temperature curve", [&] { kx::SpeciesValues(reader, kx::SpeciesQuantity::Temperature, 0, units); });
    for (int m = 1; m <= 6; ++m)
        run("a mean parameter", [&] { kx::MeanValues(reader, static_cast<kx::MeanParameter>(m), units); });
    for (int k = 1; k <= t.NumSpecies; ++k) {
        run("a species curve", [&] { kx::SpeciesValues(reader, kx::SpeciesQuantity::MoleFraction, k + 2, units); });
        run("a species derivative", [&] { kx::SpeciesDerivativeValues(reader, k); });
        run("the contributions", [&] { reader.ShowReacDeRe(k, true, [](const kx::ContributionTable&) {}); });
    }
    for (int r = 1; r <= t.NumReactions; ++r)
        run("a rate curve", [&] { kx::ReactionValues(reader, kx::ReactionQuantity::Net, r, 1, units); });
    std::vector<int> all;
    for (int r = 1; r <= t.NumReactions; ++r) all.push_back(r);
    // The temperature's share of each reaction is asked for runs of the
    // energy equation only.
    if (t.TemperatureMode == 1) run("the heat integrals", [&] { reader.IntervalIntegrals(all, true); });
    if (v.laterFailure.empty() && !sink.shown.empty() && t.ResultsClosed)
        v.laterFailure = "a message after the reading: " + sink.shown.front().text;
    return v;
}

// The reduction with the window's default targets; a reduced file it
// writes must then run in the solver, or the reduction failed later.
HeaderVerdict ReductionRunOf(const std::string& path, const std::string& reduced) {
    HeaderVerdict v;
    kxtest::RecordingSink sink;
    kxtest::RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    std::filesystem::remove(reduced);
    try {
        if (kx::RedOpenSourceFile(path, holder, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7,
                                  kxtest::kUnitFactorE4))
            return v;
        v.accepted = true;
        const kx::MainParameters p = holder->FromMain_Param();
        const kx::InitialCondition initial = holder->red_InitialCond();
        std::vector<std::string> names = p.SpecArrD;
        names.resize(static_cast<std::size_t>(std::max(0, p.RowCntD - 3)) + 1);
        const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
        const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, 1);
        const kx::RedSettings settings = kx::RedSettingsFrom(p.NTemper != 0 ? "0.1" : "", "0.3",
                                                             kx::RedDefaultTargets(names, initial.InitFractBB));
        sink.shown.clear();
        const kx::RedOutcome out =
            kx::GenerateReducedMechanism(kx::RedKinState(), *holder, reduced, intervals, settings, view, sink);
        if (!out.Written) {
            // Refused before anything was written: as good as refused at once.
            v.accepted = false;
            return v;
        }
    } catch (const std::exception& e) {
        v.laterFailure = std::string("the reduction: ") + e.what();
        return v;
    }
    // A run that the solver refuses, or stops at its start, is a failure;
    // how far an accepted run gets (its step limit) is its own outcome.
    const SolverRun run = RunSolver(reduced);
    const std::string after = kx::test::ReadBytes(reduced);
    const std::size_t error = after.rfind("\r\n Error\r\n");
    const std::string report = error == std::string::npos ? std::string() : after.substr(error + 10);
    if (run.status == 1 || report.starts_with(" Kinovex error 15") ||
        report.starts_with(" Kinovex error  1. Time=0.0000000E+00"))
        v.laterFailure = "the solver on the reduced file: exit status " + std::to_string(run.status) + " " + run.errors +
                         report;
    return v;
}

// The comparison of the file with a sound run: opened, converted, and every
// curve of it drawn.
HeaderVerdict ComparisonRunOf(const std::string& path, const std::string& good) {
    HeaderVerdict v;
    kxtest::RecordingSink sink;
    kx::ComparisonFiles files(sink);
    try {
        if (files.OpenFiles(path, good).Failed) return v;
        files.SpeciesAARR();
        files.ConvertToMoleFractions();
    } catch (const std::exception&) {
        return v;  // refused while it was prepared
    }
    v.accepted = true;
    for (int row = 0; row <= files.MergedSpeciesLast() && v.laterFailure.empty(); ++row) {
        const kx::CmpMergedRow& m = files.MergedSpecies()[static_cast<std::size_t>(row)];
        for (int f = 0; f <= 2 && v.laterFailure.empty(); ++f) {
            try {
                kx::CmpBuildCurve(files, static_cast<kx::CmpFunction>(f), row, kx::CmpValueRow(m.Index1),
                                  kx::CmpValueRow(m.Index2), kx::CmpPlotSettings{});
            } catch (const std::exception& e) {
                v.laterFailure = "a comparison curve: " + std::string(e.what());
            }
        }
    }
    return v;
}

// The value of a header line replaced, its label kept.
std::string WithValue(const std::string& line, const std::string& value) {
    const std::size_t mark = line.find('!');
    return " " + value + (mark == std::string::npos ? std::string() : " " + line.substr(mark));
}

}  // namespace

// Every header line of a real run, damaged in turn (no number, zero,
// negative, out of all range, a count off by one), goes through the results
// window, the reduction (whose reduced file the solver must then run) and
// the comparison: each refuses the file when it opens it, or does its work
// on it without failing.
TEST_F(ReaderFuzz, EveryDamagedHeaderLineIsRefusedOrWorks) {
    const std::vector<const Base*> runs = {&bases_[3], &isothermal_};
    std::vector<std::string> findings;
    int refused = 0, worked = 0;
    for (const Base* base : runs) {
        const Lines lines = SplitLines(base->bytes);
        for (int n = 1; n <= 34; ++n) {
            const std::string& line = lines[static_cast<std::size_t>(n) - 1];
            std::vector<std::string> values = {"x", "0", "-1", "1.0E+05", "1.0E-20", "-1.0E-01", "2"};
            const std::optional<double> v = kx::ParseNumber(line.substr(0, line.find('!')));
            if (v && *v == std::floor(*v) && std::fabs(*v) < 1e6) {
                values.push_back(std::to_string(static_cast<long long>(*v) + 1));
                values.push_back(std::to_string(static_cast<long long>(*v) - 1));
            }
            std::vector<std::string> texts;
            for (const std::string& value : values) texts.push_back(WithValue(line, value));
            // The key line in the forms other readers than the solver take.
            if (n == 34) texts.insert(texts.end(), {"THERMO", " thermo", "  THERMO"});
            for (const std::string& text : texts) {
                const std::string label = base->name + ", line " + std::to_string(n) + " \"" + text + "\"";
                const std::string path = folder_->write("header.txt", WithLine(base->bytes, n, text));
                const HeaderVerdict verdicts[] = {ResultsWindowOf(path),
                                                  ReductionRunOf(path, folder_->file("header-reduced.txt")),
                                                  ComparisonRunOf(path, goodResults_)};
                const char* who[] = {"results window", "reduction", "comparison"};
                // A value with which the solver's own kinetics overflow
                // fails the analyses alike.
                std::optional<bool> solverStops;
                for (int k = 0; k < 3; ++k) {
                    if (!verdicts[k].laterFailure.empty()) {
                        if (!solverStops) {
                            const std::string copy = folder_->write("header-run.txt", kx::test::ReadBytes(path));
                            RunSolver(copy);
                            const std::string after = kx::test::ReadBytes(copy);
                            const std::string mark = "\r\n Error\r\n Kinovex error  ";
                            const std::size_t at = after.rfind(mark);
                            solverStops = at != std::string::npos && at + mark.size() < after.size() &&
                                          std::string("234568").find(after[at + mark.size()]) != std::string::npos;
                        }
                        if (!*solverStops)
                            findings.push_back(label + ": the " + who[k] + " accepted it, then " +
                                               verdicts[k].laterFailure);
                    }
                    verdicts[k].accepted ? ++worked : ++refused;
                }
            }
        }
    }
    for (const std::string& f : findings) ADD_FAILURE() << f;
    std::cout << "[ header   ] " << refused << " refusals, " << worked << " accepted and worked\n";
}

namespace {

// ---- Unusual records of a real run -------------------------------------------

// The first line of species k's thermodynamic record (from 1) among a solver
// file's lines.
std::size_t ThermoStart(const Lines& lines, int k) {
    std::size_t n = 32;
    while (lines.at(n).find("THERMO") == std::string::npos) ++n;
    return n + 1 + 4 * static_cast<std::size_t>(k - 1);
}

// The equation line of reaction r (from 1) among a solver file's lines.
std::size_t ReactionStart(const Lines& lines, int r) {
    std::size_t n = 0;
    while (lines.at(n).find("REACTIONS") == std::string::npos) ++n;
    const std::string number = std::to_string(r);
    for (++n;; ++n) {
        const std::string head = lines.at(n).substr(0, 5);
        if (head.find_first_not_of(' ') != std::string::npos &&
            head.substr(head.find_first_not_of(' '), number.size() + 1) == number + ' ')
            return n;
    }
}

// The end line after the reaction records.
std::size_t EndLine(const Lines& lines) {
    std::size_t n = ReactionStart(lines, 1);
    while (lines.at(n) != " END") ++n;
    return n;
}

// One change of a record, given the lines and the record's first line.
using RecordChange = std::function<void(Lines&, std::size_t)>;

// The line `offset` lines after the record's first (before it when negative).
std::size_t At(std::size_t start, int offset) {
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(start) + offset);
}

// Flag k (from 1) of the record set to `text`, left-aligned in its four columns.
RecordChange Flag(int k, std::string text) {
    return [=](Lines& l, std::size_t s) {
        l.at(s + 1).replace(6 + 4 * static_cast<std::size_t>(k - 1), 4, (text + "    ").substr(0, 4));
    };
}
// Lines of the record from `offset` (0 its first line) left out.
RecordChange Drop(int offset, int count = 1) {
    return [=](Lines& l, std::size_t s) {
        l.erase(l.begin() + static_cast<std::ptrdiff_t>(At(s, offset)),
                l.begin() + static_cast<std::ptrdiff_t>(At(s, offset + count)));
    };
}
RecordChange Insert(int offset, std::string line) {
    return [=](Lines& l, std::size_t s) { l.insert(l.begin() + static_cast<std::ptrdiff_t>(At(s, offset)), line); };
}
RecordChange Swap(int a, int b) {
    return [=](Lines& l, std::size_t s) { std::swap(l.at(At(s, a)), l.at(At(s, b))); };
}
// The columns from `column` (from 1) of the record's line `offset` replaced.
RecordChange Columns(int offset, std::size_t column, std::string text) {
    return [=](Lines& l, std::size_t s) { l.at(At(s, offset)).replace(column - 1, text.size(), text); };
}

// The model the solver reads from a file, or nothing with its input error.
std::unique_ptr<kx::SolverModel> SolverModelOf(const std::string& path, kx::SolverInputError& error) {
    auto model = std::make_unique<kx::SolverModel>();
    if (kx::SolverLoadModel(path, *model, error) != kx::SolverLoad::Loaded) return nullptr;
    return model;
}

// Whether two models hold the same reactions: every flag, third body,
// parameter and efficiency.
std::string ReactionsDiffer(kx::SolverModel& a, kx::SolverModel& b) {
    if (a.NSPEC != b.NSPEC || a.NREAC != b.NREAC) return "other counts";
    for (int r = 1; r <= a.NREAC; ++r) {
        for (int k = 1; k <= kx::kRecordInts; ++k)
            if (kx::IreacAt(a.IREAC, k, r) != kx::IreacAt(b.IREAC, k, r))
                return "reaction " + std::to_string(r) + ", integer " + std::to_string(k);
        for (int k = 1; k <= kx::kRecordReals; ++k)
            if (kx::RreacAt(a.RREAC, k, r) != kx::RreacAt(b.RREAC, k, r))
                return "reaction " + std::to_string(r) + ", value " + std::to_string(k);
    }
    return {};
}

// The desktop's species production and the solver's right-hand side at a
// stored state of the run where no reaction is near its equilibrium (there
// the results window cuts the net rate to 0): the empty text when they agree
// to rounding of the gross fluxes through each species.
std::string ProductionDiffers(kx::ResultsReader& reader, kx::SolverModel& model) {
    kx::SolverUseModel(model);
    if (model.MODE == 0) kx::SolverRateConstants(model.T0, model.RREAC, model.IREAC, model.NSPEC, model.NREAC, model.TH);
    const kx::ResultsTables& t = reader.Tables();
    const int ns = t.NumSpecies, nr = t.NumReactions;
    const std::vector<bool> all(static_cast<std::size_t>(nr) + 1, true);
    const kx::KineticModel km = reader.Model();
    for (int row = t.ResultRowCount / 2; row < t.ResultRowCount; ++row) {
        std::vector<double> y(static_cast<std::size_t>(ns) + 1), f(static_cast<std::size_t>(ns) + 1);
        for (int k = 1; k <= ns; ++k) y[static_cast<std::size_t>(k) - 1] = reader.Value(row, k + 2);
        if (t.TemperatureMode == 1) y[static_cast<std::size_t>(ns)] = reader.Value(row, 1);
        int n = ns + t.TemperatureMode;
        double x = reader.Value(row, 0);
        kx::SolverRhs(n, x, y.data(), f.data(), model.RREAC, model.IREAC, model.NSPEC, model.NREAC, model.TH);
        std::vector<double> state(static_cast<std::size_t>(ns) + 2, 0.0), mass(static_cast<std::size_t>(ns) + 1, 0.0);
        double rho = 0;
        for (int k = 1; k <= ns; ++k) {
            state[static_cast<std::size_t>(k)] = kx::SolverCommon.concentration[k - 1];
            mass[static_cast<std::size_t>(k)] = kx::ThAt(model.TH, 15, k);
            rho += state[static_cast<std::size_t>(k)] * mass[static_cast<std::size_t>(k)];
        }
        if (t.TemperatureMode == 1) state[static_cast<std::size_t>(ns) + 1] = y[static_cast<std::size_t>(ns)];
        kx::ReactionRates rates;
        kx::ComputeReactionRates(state, km, all, false, false, rates);
        bool cut = false;
        for (int i = 1; i <= nr; ++i) cut |= rates.ReactionRateTable(i, 0) == 0.0 && rates.ReactionRateTable(i, 1) != 0.0;
        if (cut) continue;
        std::vector<double> flux(static_cast<std::size_t>(ns) + 1, 0.0);
        for (int i = 1; i <= nr; ++i) {
            const double gross = std::fabs(rates.ReactionRateTable(i, 1)) +
                                 std::fabs(rates.ReactionRateTable(i, 1) - rates.ReactionRateTable(i, 0));
            for (int j = 1; j <= 9; ++j)
                if ((*km.ReactionInts)(i, j) > 0) flux[static_cast<std::size_t>((*km.ReactionInts)(i, j))] += gross;
        }
        for (int k = 1; k <= ns; ++k) {
            const std::size_t kk = static_cast<std::size_t>(k);
            const double mine = rates.SpeciesProduction(k, 0) * mass[kk] / rho;
            if (std::fabs(mine - f[kk - 1]) > 1e-10 * flux[kk] * mass[kk] / rho)
                return "row " + std::to_string(row) + ", species " + std::to_string(k) + ": " + std::to_string(mine) +
                       " against the solver's " + std::to_string(f[kk - 1]);
        }
        return {};
    }
    return "no stored state without a reaction near its equilibrium";
}

}  // namespace

// Records of a real run whose fields or flags take unusual values, or
// whose lines do not match their flags: each reader of the desktop program
// either refuses the file when it opens it, naming the line at which the
// solver refuses it, or reads every record as the solver does (the same
// thermodynamic data, flags, species, parameters and efficiencies, the same
// species production from them), works on it, and reduces it to a file
// that the solver reads back with the same reactions.
TEST_F(ReaderFuzz, EveryUnusualRecordIsReadAsTheSolverReadsIt) {
    // Reactions of the hydrogen run: 1 H+O2<=>O+OH, 2 H2+O<=>H+OH, 5
    // H2+M<=>2H+M (third bodies of all species, four listed), 6
    // H2+AR<=>2H+AR (AR its single partner), 13 H+O2(+M)<=>HO2(+M)
    // (fall-off: a low-pressure line, a Troe line of three parameters,
    // three listed third bodies).
    // Species 1 H2 (an initial mole fraction of 2.959E-01), 10 N2.
    struct Case {
        const char* what;
        int reaction;  // the record changed: a reaction, species -reaction, or 0 the end line
        std::vector<RecordChange> changes;
        bool solverReads;
    };
    const std::vector<Case> cases = {
        {"a molar mass without its decimal point", -10, {Columns(3, 61, "          28014")}, true},
        {"a common temperature without its decimal point", -1, {Columns(0, 66, "   10000")}, true},
        {"an initial mole fraction without its decimal point", -1, {Columns(0, 75, "2959E-1  ")}, true},
        {"a coefficient with the exponent letter D", -1, {Columns(1, 1, " 0.29914234D+01")}, true},
        {"a negative initial mole fraction", -1, {Columns(0, 75, "-2.959E-01")}, false},
        {"a negative molar mass", -10, {Columns(3, 61, "        -28.014")}, false},
        {"the REACTIONS line second of the three separator lines", 1, {Swap(-2, -1)}, true},
        {"an end line with more than END", 0, {Columns(0, 5, " !x")}, false},
        {"broadening form 4 without a broadening line", 13, {Flag(15, "4"), Drop(4)}, true},
        {"broadening form 4 with its old line", 13, {Flag(15, "4")}, false},
        {"broadening form -1 without a broadening line", 13, {Flag(15, "-1"), Drop(4)}, true},
        {"broadening form 2 on a line of three values", 13, {Flag(15, "2")}, true},
        {"low-pressure flag 2 without a low-pressure line", 13, {Flag(14, "2"), Drop(3)}, true},
        {"low-pressure flag 0 with the low-pressure line left", 13, {Flag(14, "0")}, false},
        {"a low-pressure line on a reaction without third body", 1, {Flag(14, "1"), Insert(3, "       0.10000000E+01")},
         false},
        {"third-body count -1 without third-body lines", 13, {Flag(13, "-1"), Drop(5, 3)}, true},
        {"third-body count 0 with the third-body lines left", 13, {Flag(13, "0")}, false},
        {"third-body count 11", 5, {Flag(13, "11")}, false},
        {"third-body flag -1 with a single partner", 6, {Flag(12, "-1")}, true},
        {"third-body flag 3", 5, {Flag(12, "3")}, true},
        {"third-body count 1 of a list of four", 5, {Flag(13, "1")}, true},
        {"one reactant counted, a second named", 1, {Flag(10, "1")}, true},
        {"one product counted, a second named", 1, {Flag(11, "1")}, true},
        {"no reactant", 1, {Flag(10, "0")}, false},
        {"four reactants", 1, {Flag(10, "4")}, false},
        {"seven products", 1, {Flag(11, "7")}, false},
        {"a count with a decimal point", 1, {Flag(10, "2.0")}, false},
        {"reverse flag 2", 1, {Flag(16, "2")}, true},
        {"reverse flag -1", 1, {Flag(16, "-1")}, true},
        {"an efficiency without its decimal point", 5, {Columns(5, 7, "25 ")}, true},
        {"a rate with the exponent letter D", 13, {Columns(2, 7, " 0.14750000D+13")}, true},
        {"an equation line numbered as another reaction", 2, {Columns(0, 2, "9")}, true},
    };
    const Base& base = bases_[3];
    const Lines lines = SplitLines(base.bytes);
    // Each case on its own: a failed assertion ends only its case.
    const auto check = [&](const Case& c) {
        const std::string record = c.reaction > 0   ? " (reaction " + std::to_string(c.reaction) + ")"
                                   : c.reaction < 0 ? " (species " + std::to_string(-c.reaction) + ")"
                                                    : std::string();
        const std::string label = c.what + record;
        Lines changed = lines;
        const std::size_t start = c.reaction > 0   ? ReactionStart(changed, c.reaction)
                                  : c.reaction < 0 ? ThermoStart(changed, -c.reaction)
                                                   : EndLine(changed);
        for (const RecordChange& change : c.changes) change(changed, start);
        const std::string path = folder_->write("record.txt", JoinLines(changed));

        kx::SolverInputError error;
        std::unique_ptr<kx::SolverModel> model = SolverModelOf(path, error);
        ASSERT_EQ(model != nullptr, c.solverReads) << label << ": " << error.problem;

        kxtest::RecordingSink sink;
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        const bool opened = reader.OPEN_Rich(path);
        const HeaderVerdict window = ResultsWindowOf(path);
        const HeaderVerdict reduction = ReductionRunOf(path, folder_->file("record-reduced.txt"));
        const HeaderVerdict comparison = ComparisonRunOf(path, goodResults_);
        std::unique_ptr<kx::text::SolverMechanism> mechanism;
        std::string mechanismError;
        try {
            mechanism = std::make_unique<kx::text::SolverMechanism>(
                kx::text::ReadSolverMechanismFile(path));
        } catch (const kx::Error& e) {
            mechanismError = e.what();
        }

        if (!c.solverReads) {
            // Refused when opened, the solver's line named.
            EXPECT_FALSE(opened) << label;
            ASSERT_EQ(sink.shown.size(), 1u) << label;
            EXPECT_TRUE(NamesLine(sink.shown[0].text, error.line))
                << label << ": " << sink.shown[0].text << "\nthe solver: line " << error.line << ", " << error.problem;
            EXPECT_FALSE(reduction.accepted) << label;
            EXPECT_EQ(reduction.laterFailure, "") << label;
            EXPECT_FALSE(comparison.accepted) << label;
            // The mechanism text takes the initial mole fractions as they
            // stand; anything else the solver refuses it refuses alike.
            if (error.problem.find("mole fraction") != std::string::npos) {
                EXPECT_NE(mechanism, nullptr) << label << ": " << mechanismError;
                return;
            }
            EXPECT_EQ(mechanism, nullptr) << label;
            EXPECT_TRUE(NamesLine(mechanismError, error.line))
                << label << ": " << mechanismError;
            return;
        }

        ASSERT_TRUE(opened) << label << ": " << (sink.shown.empty() ? "" : sink.shown[0].text);
        const kx::ResultsTables& t = reader.Tables();
        // The thermodynamic data: the temperatures and molar masses the
        // solver keeps in single precision.
        kx::ComparisonFiles files(sink);
        ASSERT_FALSE(files.OpenFiles(path, goodResults_).Failed) << label;
        files.SpeciesAARR();
        for (int k = 1; k <= model->NSPEC; ++k) {
            for (int c = 1; c <= 18; ++c) {
                const double mine = t.ThermoTable(k, c);
                EXPECT_EQ(c < 15 ? mine : static_cast<float>(mine), kx::ThAt(model->TH, c, k))
                    << label << ": species " << k << ", value " << c;
            }
            EXPECT_EQ(t.InitialMoleFractions[static_cast<std::size_t>(k) + 2], model->Y[k - 1]) << label;
            EXPECT_EQ(files.File(1).MolarMasses.at(static_cast<std::size_t>(k)), t.ThermoTable(k, 15)) << label;
        }
        for (int r = 1; r <= model->NREAC; ++r) {
            for (int k = 1; k <= kx::kRecordInts; ++k)
                EXPECT_EQ(t.ReactionInts(r, k), kx::IreacAt(model->IREAC, k, r))
                    << label << ": reaction " << r << ", integer " << k;
            for (int k = 1; k <= kx::kRecordReals; ++k)
                EXPECT_EQ(t.ReactionReals(r, k), kx::RreacAt(model->RREAC, k, r))
                    << label << ": reaction " << r << ", value " << k;
        }
        EXPECT_EQ(ProductionDiffers(reader, *model), "") << label;

        // The reduction's net coefficients: the species the solver takes,
        // the first reactants and products of their counts.
        kx::RedHandOffTables handOff;
        kx::SOL_RESX holder(sink, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4);
        ASSERT_TRUE(holder.OPEN_Rich(path)) << label;
        holder.ReacToRed(handOff);
        for (int r = 1; r <= model->NREAC; ++r) {
            std::vector<int> net(static_cast<std::size_t>(model->NSPEC) + 1, 0);
            auto species = [&](int field) { return static_cast<std::size_t>(kx::IreacAt(model->IREAC, field, r)); };
            for (int j = 1; j <= kx::IreacAt(model->IREAC, 10, r); ++j) --net.at(species(j));
            for (int j = 1; j <= kx::IreacAt(model->IREAC, 11, r); ++j) ++net.at(species(3 + j));
            for (int s = 1; s <= model->NSPEC; ++s)
                EXPECT_EQ(handOff.RedStoich(r, s), net[static_cast<std::size_t>(s)])
                    << label << ": reaction " << r << ", species " << s;
        }

        EXPECT_TRUE(window.accepted && window.laterFailure.empty()) << label << ": " << window.laterFailure;
        EXPECT_TRUE(reduction.accepted && reduction.laterFailure.empty()) << label << ": " << reduction.laterFailure;
        EXPECT_TRUE(comparison.accepted && comparison.laterFailure.empty()) << label << ": " << comparison.laterFailure;
        ASSERT_NE(mechanism, nullptr) << label << ": " << mechanismError;
        for (int r = 1; r <= model->NREAC; ++r) {
            const kx::text::MechanismReaction& read = mechanism->reactions.at(static_cast<std::size_t>(r) - 1);
            for (int k = 1; k <= kx::kRecordInts; ++k)
                EXPECT_EQ(read.ints.at(static_cast<std::size_t>(k)), kx::IreacAt(model->IREAC, k, r))
                    << label << ": mechanism text, reaction " << r << ", integer " << k;
            for (int k = 1; k <= kx::kRecordReals; ++k)
                EXPECT_EQ(read.reals.at(static_cast<std::size_t>(k)), kx::RreacAt(model->RREAC, k, r))
                    << label << ": mechanism text, reaction " << r << ", value " << k;
        }

        // Kept whole, the reduced mechanism reads back as the source.
        const std::string reduced = folder_->file("record-whole.txt");
        kxtest::RecordingSink reductionSink;
        ASSERT_TRUE(kxfuzz::ReduceKeepingEverything(path, reduced, reductionSink)) << label;
        std::unique_ptr<kx::SolverModel> back = SolverModelOf(reduced, error);
        ASSERT_NE(back, nullptr) << label << ": " << error.problem;
        EXPECT_EQ(ReactionsDiffer(*model, *back), "") << label;
    };
    for (const Case& c : cases) {
        try {
            check(c);
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}
