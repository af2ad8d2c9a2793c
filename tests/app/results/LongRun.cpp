#include "LongRun.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ResultsReader.h"
#include "SolverRunFixture.h"
#include "solver_file.h"

namespace kxtest {

std::filesystem::path GriRun(const kx::test::TempDir& folder) {
    const std::filesystem::path run = RunSample(folder, "gri30_ch4_1400K.txt");
    if (run.empty()) throw std::runtime_error("the GRI sample did not run");
    return run;
}

std::filesystem::path LongGriRun(const kx::test::TempDir& folder, int records) {
    if (records < 2) throw std::runtime_error("a run needs two records");
    const std::filesystem::path run = GriRun(folder);
    RecordingSink sink;
    kx::ResultsReader reader(sink, kGasConstantCm3Atm);
    if (!reader.OPEN_Rich(run.string())) throw std::runtime_error("the GRI results cannot be read");
    const kx::ResultsTables& t = reader.Tables();
    const int ns = t.NumSpecies;
    const int stored = t.ResultRowCount - 1;

    // The text up to the heading record, then the records, then the end.
    std::ifstream in(run, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();
    std::size_t title = 0;
    while (title < lines.size() && lines[title].find("!$Results") == std::string::npos) ++title;
    std::size_t end = title;
    while (end < lines.size() && lines[end].find("!$End") == std::string::npos) ++end;
    const std::size_t perRecord = static_cast<std::size_t>((ns + 49) / 50);
    if (end >= lines.size()) throw std::runtime_error("the GRI results have no end line");

    std::FILE* out = std::fopen(run.string().c_str(), "wb");
    if (!out) throw std::runtime_error("cannot rewrite " + run.string());
    for (std::size_t i = 0; i <= title + perRecord; ++i) std::fprintf(out, "%s\n", lines[i].c_str());
    const double t0 = t.ResultValues(1, 0), t1 = t.ResultValues(stored, 0);
    std::vector<double> y(static_cast<std::size_t>(ns));
    int row = 1;
    for (int i = 0; i < records; ++i) {
        const double time = t0 + (t1 - t0) * i / (records - 1);
        while (row < stored - 1 && t.ResultValues(row + 1, 0) < time) ++row;
        const double a = t.ResultValues(row, 0), b = t.ResultValues(row + 1, 0);
        const double w = b > a ? std::clamp((time - a) / (b - a), 0.0, 1.0) : 0.0;
        auto at = [&](int field) { return (1 - w) * t.ResultValues(row, field) + w * t.ResultValues(row + 1, field); };
        for (int k = 1; k <= ns; ++k) y[static_cast<std::size_t>(k) - 1] = at(k + 2);
        kx::SolverWriteRecord(out, i + 1, time, at(1), y.data(), ns);
    }
    for (std::size_t i = end; i < lines.size(); ++i) std::fprintf(out, "%s\n", lines[i].c_str());
    if (std::fclose(out) != 0) throw std::runtime_error("cannot write " + run.string());
    return run;
}

}  // namespace kxtest
