// The results blocks of two runs of the console solver (hydrogen and air,
// one line a record; GRI-Mech, two lines a record), damaged line by line
// in a handful of ways at seeded places (a line left out, repeated or cut
// short, a field made text, a time made equal to or earlier than the one
// before it, an error report put in, the file cut within a line, the
// closing line left out with or without what follows it, a temperature
// mode that the records contradict), go through every reader of results:
// the results window's reader, the reduction's Prepare, the comparison's
// Prepare and the check that precedes them. Each either reads the records
// that stand intact, says that the results are incomplete exactly when
// they lack their closing line, and where they end, or refuses the file
// naming the line at fault; and the readers agree with each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ComparisonFiles.h"
#include "Errors.h"
#include "FuzzFiles.h"
#include "Files.h"
#include "Format.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "ResultsReader.h"
#include "SolverFileChecks.h"
#include "SolverFileFixture.h"
#include "SolverRunFixture.h"
#include "TempDir.h"
#include "TextHelpers.h"

namespace {

constexpr std::uint64_t kSeed = 20261211;
constexpr int kPlacesPerDamage = 12;
// The fewest records the readers show.
constexpr std::size_t kFewestRecords = 3;

using kxfuzz::JoinLines;
using kxfuzz::Lines;

// A run's results: where its records stand and their times.
struct SolverRun : kxfuzz::ResultsBlock {
    std::string name;
    std::vector<double> times;
};

SolverRun Locate(const std::string& name, const std::string& bytes) {
    SolverRun r{kxfuzz::LocateResults(bytes), name, {}};
    for (std::size_t n : r.records) r.times.push_back(*kx::ParseNumber(r.lines[n].substr(7, 16)));
    return r;
}

// What a reader should make of a damaged copy.
struct Expected {
    bool read = false;
    std::vector<double> times;  // the records read
    bool closed = false;
    std::set<int> lines;       // a refusal names one of these lines (from 1)
    bool incomplete = false;   // or says that the results are incomplete
    bool equalTimes = false;   // two records share a time: the reduction refuses, naming them
};

struct Case {
    std::string what;
    Lines lines;
    Expected expected;
};

// What one reader made of the file.
struct Verdict {
    bool read = false;
    std::vector<double> times;
    bool closed = false;
    std::string message;  // the refusal, or the note on incomplete results
};

std::set<int> NamedLines(const std::string& text) {
    // "line 12", "lines 12 and 14"
    static const std::regex named("lines? (\\d+)(?: and (\\d+))?");
    std::set<int> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), named); it != std::sregex_iterator(); ++it)
        for (int g : {1, 2})
            if ((*it)[g].matched) out.insert(std::stoi((*it)[g]));
    return out;
}

std::string Field(const std::string& text) { return std::string(16 - text.size(), ' ') + text; }

class ResultsDamage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<kx::test::TempDir>();
        for (const char* name : {"h2_air_1000K.txt", "gri30_ch4_1400K.txt"}) {
            const std::filesystem::path path = kxtest::RunSample(*folder_, name);
            ASSERT_FALSE(path.empty()) << name;
            runs_.push_back(Locate(name, kx::test::ReadBytes(path.string())));
            goods_.push_back(path.string());
            // No two records of the runs share a time.
            const std::vector<double>& t = runs_.back().times;
            ASSERT_TRUE(std::adjacent_find(t.begin(), t.end(), std::greater_equal<double>()) == t.end()) << name;
        }
    }
    static void TearDownTestSuite() { folder_.reset(); }

    // The damaged copies of a run, at seeded places.
    static std::vector<Case> Damages(const SolverRun& run, std::mt19937_64& rng) {
        std::vector<Case> out;
        const int P = run.perRecord;
        const std::size_t N = run.records.size();
        auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        auto number = [](std::size_t index) { return static_cast<int>(index) + 1; };
        auto all = [&] { return run.times; };
        // The records before record k (from 0), read from results without their closing line.
        auto before = [&](std::size_t k) {
            Expected e;
            e.times.assign(run.times.begin(), run.times.begin() + static_cast<std::ptrdiff_t>(k));
            e.read = k >= kFewestRecords;
            e.incomplete = true;
            return e;
        };
        auto refusedAt = [&](std::size_t from, std::size_t to) {  // line numbers from..to
            Expected e;
            for (std::size_t n = from; n <= to; ++n) e.lines.insert(static_cast<int>(n));
            return e;
        };
        for (int place = 0; place < kPlacesPerDamage; ++place) {
            const std::size_t k = 1 + below(N - 1), j = below(static_cast<std::size_t>(P));
            const std::size_t L = run.records[k] + j;  // a line of record k (from 0), not the first
            const std::string at = " at line " + std::to_string(number(L));
            {
                Case c{"line left out" + at, run.lines, {}};
                c.lines.erase(c.lines.begin() + static_cast<std::ptrdiff_t>(L));
                if (P == 1) {
                    // A whole record: the others are what the file holds.
                    c.expected.read = true;
                    c.expected.closed = true;
                    c.expected.times = all();
                    c.expected.times.erase(c.expected.times.begin() + static_cast<std::ptrdiff_t>(k));
                } else {
                    c.expected = refusedAt(number(run.records[k]), number(L) + 1);
                }
                out.push_back(c);
            }
            {
                Case c{"line repeated" + at, run.lines, {}};
                c.lines.insert(c.lines.begin() + static_cast<std::ptrdiff_t>(L), run.lines[L]);
                c.expected = refusedAt(number(L) + 1, number(L) + 1);
                out.push_back(c);
            }
            {
                const std::size_t keep = 1 + below(run.lines[L].size() - 1);
                Case c{"line cut after column " + std::to_string(keep) + at, run.lines, {}};
                c.lines[L].resize(keep);
                c.expected = refusedAt(number(L), number(L));
                out.push_back(c);
            }
            {
                const std::size_t fields = (run.lines[L].size() - (j == 0 ? 7 : 41)) / 17 + 1;
                const std::size_t f = below(fields);
                const std::size_t column = (j == 0 ? 7 : 41) + 17 * f;
                Case c{"field at column " + std::to_string(column + 1) + " made text" + at, run.lines, {}};
                c.lines[L].replace(column, 16, Field("1.0x-3"));
                c.expected = refusedAt(number(L), number(L));
                out.push_back(c);
            }
            {
                const std::size_t first = run.records[k];
                Case c{"time equal to the one before" + std::string(" at line ") + std::to_string(number(first)),
                       run.lines, {}};
                c.lines[first].replace(7, 16, run.lines[run.records[k - 1]].substr(7, 16));
                c.expected.read = true;
                c.expected.closed = true;
                c.expected.times = all();
                c.expected.times[k] = run.times[k - 1];
                c.expected.equalTimes = true;
                c.expected.lines = {number(run.records[k - 1]), number(first)};
                out.push_back(c);
            }
            {
                const std::size_t first = run.records[k];
                Case c{"time earlier than the one before at line " + std::to_string(number(first)), run.lines, {}};
                const double earlier = run.times[k - 1] > 0 ? run.times[k - 1] / 2 : -1e-6;
                c.lines[first].replace(7, 16, Field(kx::Format(earlier, "0.00000000E+000")));
                c.expected = refusedAt(number(first), number(first));
                out.push_back(c);
            }
            {
                const std::size_t r = below(N);  // any record, the first ones among them
                const std::size_t line = run.records[r] + below(static_cast<std::size_t>(P));
                Case c{"error report before line " + std::to_string(number(line)), run.lines, {}};
                c.lines.insert(c.lines.begin() + static_cast<std::ptrdiff_t>(line),
                               {"", " Error", " Kinovex error 11", " Step size too small, h=  0.1000E-19"});
                c.expected = before(r);
                out.push_back(c);
            }
            {
                const std::size_t r = below(N);
                const std::size_t line = run.records[r] + below(static_cast<std::size_t>(P));
                const std::size_t keep = below(run.lines[line].size());
                Case c{"file cut after column " + std::to_string(keep) + " of line " + std::to_string(number(line)),
                       run.lines, {}};
                c.lines.resize(line + 1);
                c.lines.back().resize(keep);
                if (keep == 0) c.lines.pop_back();
                c.expected = before(r);
                out.push_back(c);
            }
        }
        {
            // The blank line and the statistics after it then stand where
            // a record would.
            Case c{"closing line left out", run.lines, {}};
            c.lines.erase(c.lines.begin() + static_cast<std::ptrdiff_t>(run.end));
            c.expected = refusedAt(number(run.end), number(run.end) + 2);
            out.push_back(c);
        }
        {
            Case c{"closing line and what follows left out", run.lines, {}};
            c.lines.resize(run.end);
            c.expected = before(N);
            out.push_back(c);
        }
        {
            Case c{"temperature mode 0", run.lines, {}};
            c.lines[14] = " 0 !Constant Temperature";
            c.expected.lines = {15};
            out.push_back(c);
        }
        return out;
    }

    static Verdict Window(const std::string& path) {
        kxtest::RecordingSink sink;
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        Verdict v;
        v.read = reader.OPEN_Rich(path);
        if (!sink.shown.empty()) v.message = sink.shown[0].text;
        if (!v.read) return v;
        const kx::ResultsTables& t = reader.Tables();
        for (int i = 1; i < t.ResultRowCount; ++i) v.times.push_back(reader.Value(i, 0));
        v.closed = t.ResultsClosed;
        return v;
    }

    static Verdict Reduction(const std::string& path) {
        kxtest::RecordingSink sink;
        kxtest::RecordingView view;
        std::unique_ptr<kx::SOL_RESX> holder;
        Verdict v;
        v.read = !kx::RedOpenSourceFile(path, holder, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7,
                                        kxtest::kUnitFactorE4);
        if (!sink.shown.empty()) v.message = sink.shown[0].text;
        if (!v.read) return v;
        const kx::ResultsTables& t = holder->Tables();
        for (int i = 1; i < t.ResultRowCount; ++i) v.times.push_back(t.ResultValues(i, 0));
        v.closed = t.ResultsClosed;
        return v;
    }

    static Verdict Comparison(const std::string& path, const std::string& good) {
        kxtest::RecordingSink sink;
        kx::ComparisonFiles files(sink);
        Verdict v;
        try {
            if (!files.OpenFiles(path, good).Failed) {
                files.SpeciesAARR();
                files.ConvertToMoleFractions();
                v.read = true;
            }
        } catch (const kx::TaggedError& e) {
            v.message = e.what();
        } catch (const kx::FileRefusal& e) {
            v.message = e.what();
        }
        if (v.message.empty() && !sink.shown.empty()) v.message = sink.shown[0].text;
        if (!v.read) return v;
        const kx::CmpFileData& d = files.File(1);
        for (int j = 1; j <= d.PointCount; ++j) v.times.push_back(d.Values(0, j));
        v.closed = d.ResultsClosed;
        return v;
    }

    static std::unique_ptr<kx::test::TempDir> folder_;
    static std::vector<SolverRun> runs_;
    static std::vector<std::string> goods_;
};

std::unique_ptr<kx::test::TempDir> ResultsDamage::folder_;
std::vector<SolverRun> ResultsDamage::runs_;
std::vector<std::string> ResultsDamage::goods_;

// What is wrong with a reader's verdict: "" when it is what the damage
// calls for.
std::string Wrong(const Verdict& v, const Expected& e, bool holder) {
    const bool refuse = holder && e.equalTimes;
    if (e.read && !refuse) {
        if (!v.read) return "refused: " + v.message;
        if (v.times != e.times)
            return "read " + std::to_string(v.times.size()) + " records, not the " + std::to_string(e.times.size()) +
                   " intact ones";
        if (v.closed != e.closed) return v.closed ? "read as closed" : "read as incomplete: " + v.message;
        if (!e.closed) {
            const std::string note =
                "results are incomplete: they end at " + kx::Format(e.times.back(), "0.000000E+00") + " s";
            if (v.message.find(note) == std::string::npos) return "no note that says where they end: " + v.message;
        }
        return {};
    }
    if (v.read) return "read " + std::to_string(v.times.size()) + " records";
    if (e.incomplete) {
        if (v.message.find("results are incomplete") == std::string::npos) return "refused as " + v.message;
        return {};
    }
    const std::set<int> named = NamedLines(v.message);
    for (int n : e.lines)
        if (named.count(n)) return {};
    return "refused without naming the line at fault: " + v.message;
}

TEST_F(ResultsDamage, EveryReaderReadsTheIntactRecordsOrNamesTheLineAtFault) {
    const auto start = std::chrono::steady_clock::now();
    std::mt19937_64 rng(kSeed);
    int cases = 0, wrong = 0, disagreements = 0;
    std::vector<std::string> findings;
    for (std::size_t b = 0; b < runs_.size(); ++b) {
        for (const Case& c : Damages(runs_[b], rng)) {
            ++cases;
            const std::string label = runs_[b].name + ", " + c.what;
            const std::string path = folder_->write("damaged.txt", JoinLines(c.lines));
            const Verdict verdicts[] = {Window(path), Reduction(path), Comparison(path, goods_[b])};
            const char* who[] = {"the results window", "the reduction", "the comparison"};
            bool caseWrong = false;
            for (int r = 0; r < 3; ++r) {
                const std::string why = Wrong(verdicts[r], c.expected, r == 1);
                if (why.empty()) continue;
                caseWrong = true;
                findings.push_back(label + ": " + who[r] + " " + why);
            }
            wrong += caseWrong;
            // The readers agree: each reads the same records, or each
            // refuses naming the same lines (the reduction refuses records
            // that share a time on its own).
            bool agree = true;
            for (int r = 1; r < 3; ++r) {
                const Verdict& a = verdicts[0];
                const Verdict& o = verdicts[r];
                if (r == 1 && c.expected.equalTimes) continue;
                agree = agree && a.read == o.read && a.times == o.times &&
                        (a.read || NamedLines(a.message) == NamedLines(o.message) ||
                         (c.expected.incomplete && NamedLines(a.message).empty()));
            }
            // The check before them never refuses what they read.
            bool failed = false;
            std::string message;
            kx::runs::CheckResultsComplete(path, failed, message);
            if (failed && verdicts[0].read) {
                agree = false;
                findings.push_back(label + ": the check refused what the readers read: " + message);
            }
            if (!agree) {
                ++disagreements;
                findings.push_back(label + ": the readers disagree: " + verdicts[0].message + " | " +
                                   verdicts[1].message + " | " + verdicts[2].message);
            }
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ results  ] " << cases << " damaged results in " << seconds << " s: " << wrong
              << " read or refused untruthfully, " << disagreements << " where the readers disagree\n";
    for (std::size_t f = 0; f < findings.size() && f < 30; ++f) ADD_FAILURE() << findings[f];
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(disagreements, 0);
}

// A run at constant temperature writes its initial temperature, as it
// prints it (eight digits), into every record: such a run is read by every
// reader. An adiabatic run whose line 15 is set to 0, or an isothermal run
// whose line 16 no longer prints as its records' temperature, contradicts
// its records: every reader refuses it when it opens it, naming the file,
// line 15 and the first record whose temperature is another.
TEST_F(ResultsDamage, AConstantTemperatureModeIsHeldToTheRecordsAsPrinted) {
    std::string isothermal = kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_o2_ar_isothermal.txt");
    const std::string initial = " 1.200000E+03 !Initial Temperature";
    ASSERT_NE(isothermal.find(initial), std::string::npos);
    isothermal.replace(isothermal.find(initial), initial.size(), " 1.23456789E+03 !Initial Temperature");
    const std::string odd = folder_->write("odd.txt", isothermal);
    ASSERT_TRUE(kxtest::RunSolver(odd));
    const Lines run = kx::files::SplitLines(kx::test::ReadBytes(odd));
    const std::size_t first = Locate("odd", JoinLines(run)).records[0];
    ASSERT_EQ(run[first].substr(24, 16), " 0.12345679E+004");
    EXPECT_TRUE(Window(odd).read) << Window(odd).message;
    EXPECT_TRUE(Reduction(odd).read) << Reduction(odd).message;
    EXPECT_TRUE(Comparison(odd, odd).read) << Comparison(odd, odd).message;

    // The first record of the hydrogen run above 1000 K as printed.
    const SolverRun& adiabatic = runs_[0];
    std::size_t hotter = 0;
    while (adiabatic.lines[adiabatic.records[hotter]].substr(24, 16) == " 0.10000000E+004") ++hotter;
    const std::size_t line = adiabatic.records[hotter];
    Lines mode0 = adiabatic.lines;
    mode0[14] = " 0 !Constant Temperature";
    Lines printedOtherwise = run;
    printedOtherwise[15] = " 1.2345680E+03 !Initial Temperature";
    const struct {
        const char* what;
        Lines lines;
        std::string description;
    } cases[] = {
        {"an adiabatic run with mode 0", mode0,
         "Invalid procedure call or argument: the temperature mode on line 15 is 0 (constant temperature), but the "
         "temperature of record " + std::to_string(hotter + 1) + " on line " + std::to_string(line + 1) + ", " +
             std::string(kx::TrimBlanks(adiabatic.lines[line].substr(24, 16))) +
             " K, is not the initial temperature on line 16, 0.10000000E+004 K"},
        {"an initial temperature printed otherwise", printedOtherwise,
         "Invalid procedure call or argument: the temperature mode on line 15 is 0 (constant temperature), but the "
         "temperature of record 1 on line " + std::to_string(first + 1) +
             ", 0.12345679E+004 K, is not the initial temperature on line 16, 0.12345680E+004 K"},
    };
    for (const auto& c : cases) {
        const std::string path = folder_->write("contradicted.txt", JoinLines(c.lines));
        // Each reader refuses the file in the one form, naming it.
        const std::string refusal = "', unexpected error.\r\n" + c.description + ".";
        EXPECT_EQ(Window(path).message, "In the file '" + path + refusal) << c.what;
        EXPECT_FALSE(Window(path).read) << c.what;
        EXPECT_EQ(Reduction(path).message, "In the file '" + path + refusal) << c.what;
        EXPECT_FALSE(Reduction(path).read) << c.what;
        const Verdict compared = Comparison(path, goods_[0]);
        EXPECT_FALSE(compared.read) << c.what;
        EXPECT_EQ(compared.message, "In the file 1 '" + path + refusal) << c.what;
    }
}

}  // namespace
