// What the tests of damaged solver files share: a file's lines and bytes,
// where a run's results stand among them, whether a message names a line,
// and the reduction that keeps everything.
#pragma once

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "ReductionSetup.h"
#include "ReductionTestSupport.h"
#include "ResultsHolder.h"
#include "SolverFileFixture.h"
#include "solver_file.h"

namespace kxfuzz {

using Lines = std::vector<std::string>;

// Lines without their line ends as the solver splits them, and back with CR LF.
inline Lines SplitLines(const std::string& bytes) {
    const std::vector<std::string_view> lines = kx::SplitSolverLines(bytes);
    return Lines(lines.begin(), lines.end());
}

inline std::string JoinLines(const Lines& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// Where the records of a run's results stand among its lines (indices from
// 0), found in a file the solver wrote.
struct ResultsBlock {
    Lines lines;
    int perRecord = 1;
    std::size_t title = 0;             // the "!$Results" line
    std::vector<std::size_t> records;  // each record's first line
    std::size_t end = 0;               // the "!$End" line
};

inline ResultsBlock LocateResults(const std::string& bytes) {
    ResultsBlock b;
    b.lines = SplitLines(bytes);
    const int species = std::stoi(b.lines.at(9));
    b.perRecord = std::max(1, (species + 49) / 50);
    while (b.lines.at(b.title).find("!$Results") == std::string::npos) ++b.title;
    std::size_t n = b.title + 1 + static_cast<std::size_t>(b.perRecord);
    while (b.lines.at(n).find("!$End") == std::string::npos) {
        b.records.push_back(n);
        n += static_cast<std::size_t>(b.perRecord);
    }
    b.end = n;
    return b;
}

// Whether a message names line n (not a line whose number begins with n),
// "line n" or, starting a sentence, "Line n".
inline bool NamesLine(const std::string& text, int n) {
    for (const std::string& named : {"line " + std::to_string(n), "Line " + std::to_string(n)})
        for (std::size_t at = text.find(named); at != std::string::npos; at = text.find(named, at + 1))
            if (at + named.size() == text.size() || !std::isdigit(static_cast<unsigned char>(text[at + named.size()])))
                return true;
    return false;
}

// The reduction that keeps everything (every species a target at 0,
// "Others" 0, one interval): true when it wrote the reduced file; what it
// showed goes to `sink`.
inline bool ReduceKeepingEverything(const std::string& path, const std::string& reduced, kxtest::RecordingSink& sink) {
    kxtest::RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    if (kx::RedOpenSourceFile(path, holder, sink, view, kxtest::kAvogadroNumber, kxtest::kUnitFactorE7, kxtest::kUnitFactorE4))
        return false;
    const kx::MainParameters p = holder->FromMain_Param();
    const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
    const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, all.Count - 2);
    kx::RedSettings settings;
    settings.OthersParameter = 0;
    for (int k = 1; k <= static_cast<int>(p.SpecArrD.size()) - 1 && k <= p.RowCntD - 3; ++k)
        settings.Targets.push_back({k, 0.0});
    sink.shown.clear();
    return kx::GenerateReducedMechanism(kx::RedKinState(), *holder, reduced, intervals, settings, view, sink).Written;
}

}  // namespace kxfuzz
