// The bytes a plain text file is saved as after an edit, for files of many
// lines with mixed line ends: a line edited in every `step` (1: every
// line), one split, one pair joined and one line typed; and the whole text
// replaced by another of the same number of lines.
#include "PlainText.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct Edit {
    std::string before, after;
};

Edit edited(std::size_t lines, std::size_t step) {
    Edit e;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::string line = "line " + std::to_string(i) + " of a text with words";
        e.before += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        const std::string now = i % step == 0 ? line + "X" : line;
        if (i == lines / 4)
            e.after += now.substr(0, 3) + "\n" + now.substr(3) + "\n";
        else if (i == lines / 2)
            e.after += now;
        else if (i == 3 * lines / 4)
            e.after += now + "\ntyped\n";
        else
            e.after += now + "\n";
    }
    return e;
}

void BM_EditedLines(benchmark::State& state) {
    const Edit e = edited(static_cast<std::size_t>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    const kx::text::PlainTextFile file(e.before);
    for (auto _ : state) benchmark::DoNotOptimize(file.Bytes(e.after));
}

void BM_AllReplaced(benchmark::State& state) {
    Edit e;
    for (long i = 0; i < state.range(0); ++i) {
        e.before += "old " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
        e.after += "new text " + std::to_string(i * 7) + "\n";
    }
    e.after += "one more\n";
    const kx::text::PlainTextFile file(e.before);
    for (auto _ : state) benchmark::DoNotOptimize(file.Bytes(e.after));
}

}  // namespace

BENCHMARK(BM_EditedLines)
    ->Args({2'000, 1})
    ->Args({20'000, 1})
    ->Args({20'000, 7})
    ->Args({200'000, 1})
    ->Args({200'000, 50})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllReplaced)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond);
