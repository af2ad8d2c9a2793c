#include "RevReactions.h"

#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "input_rules.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kx {
namespace {

using namespace solverfile;

constexpr int kListedAtMost = 3;

bool IsRevLine(std::string_view line) { return TrimmedStartsUpper(line, "REV"); }

// The reactions noted as having a reverse-rate line, in file order.
class Noted {
public:
    explicit Noted(std::span<const std::string_view> lines) : lines_(lines) {}

    // Reaction r, whose equation line is `equation`, has the reverse-rate line `rev`.
    void Note(int r, int equation, int rev) {
        if (first_ == 0) first_ = rev;
        if (r == last_) return;
        last_ = r;
        if (++count_ <= kListedAtMost)
            list_ += (count_ > 1 ? "\r\n" : "") + std::string(lines_[static_cast<std::size_t>(equation - 1)]);
    }

    RevReactions Result(const SolverInputError& error) const {
        // Only lines that stopped the solver's reading count: up to its stop.
        if (first_ == 0 || first_ > error.line) return {};
        return {first_, count_, count_ > kListedAtMost ? list_ + "..." : list_};
    }

private:
    std::span<const std::string_view> lines_;
    int first_ = 0;
    int last_ = 0;
    int count_ = 0;
    std::string list_;
};

}  // namespace

RevReactions FindRevReactions(std::span<const std::string_view> lines, const SolverInput& input,
                              const SolverInputError& error) {
    const int count = static_cast<int>(lines.size());
    const auto at = [&](int n) { return lines[static_cast<std::size_t>(n - 1)]; };
    const auto isRev = [&](int n) { return n >= 1 && n <= count && IsRevLine(at(n)); };
    // The counts and the THERMO line as the solver's reading found them; the
    // records follow the thermo records and the separator lines.
    if (input.ThermoLine() == 0) return {};
    const int species = input.SpeciesCount(), reactions = input.ReactionCount();
    if (species < 1 || species > kMaxSpecies || reactions < 1 || reactions > kMaxReactions) return {};
    int n = input.SpeciesLine(species + 1) + kSeparatorLines;
    if (error.line < n) return {};  // the reading stopped before the records

    Noted noted(lines);
    std::array<int, kRecordInts> ints{};
    std::array<double, kRecordReals> reals{};
    int previous = 0;  // the equation line of the record before
    for (int r = 1; r <= reactions; ++r) {
        std::vector<int> passed;  // reverse-rate lines within this record
        std::vector<int> map;     // the file line of each line of the record
        for (;;) {
            map.clear();
            int next = n;
            const auto lineAt = [&](int i, std::string_view& line) {
                while (static_cast<int>(map.size()) <= i) {
                    while (std::find(passed.begin(), passed.end(), next) != passed.end()) ++next;
                    map.push_back(next++);
                }
                const int f = map[static_cast<std::size_t>(i)];
                if (f > count) return false;
                line = at(f);
                return true;
            };
            RecordProblem problem;
            const int length = ReadReactionRecord(lineAt, species, ints.data(), reals.data(), problem);
            if (length > 0) {
                previous = n;
                n = map[static_cast<std::size_t>(length - 1)] + 1;
                break;
            }
            if (problem.kind == RecordProblem::Kind::MissingLine) return noted.Result(error);
            // Taken for this record's equation line, the reverse-rate line of
            // the record before leaves the record's own equation line where
            // its flags should be.
            if (problem.line == 1 && passed.empty() && r > 1 && isRev(n)) {
                noted.Note(r - 1, previous, n);
                ++n;
                continue;
            }
            // Where a parameter line of the record should be.
            const int f = map[static_cast<std::size_t>(problem.line)];
            if (problem.line > 0 && isRev(f)) {
                noted.Note(r, n, f);
                passed.push_back(f);
                continue;
            }
            return noted.Result(error);  // a record that does not read for another reason
        }
    }
    // Where the end line should be, after the last record.
    for (; isRev(n); ++n) noted.Note(reactions, previous, n);
    return noted.Result(error);
}

}  // namespace kx
