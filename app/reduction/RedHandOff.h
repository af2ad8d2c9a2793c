// The tables through which the reduction receives the mechanism of the source
// run and, interval by interval, one value per reaction.
//
// The results holder fills them (RedSetMechanism once per reduction run, the
// value setters once per interval); the reduction engine reads them directly
// and owns the kept flags. Every setter rebuilds the tables it fills, so only
// the current run's mechanism and the current interval's values exist.
//
// Indices follow the solver file: species j is entry j (1..NS), reaction i is
// row i (1..NR), and columns carry the field numbers of a reaction record.
// Entry and row 0 are never filled.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Table2.h"

namespace kx {

// One row of a per-interval value table or of a ranking table: the number of
// the reaction (or species) and its signed value. Sorting moves whole rows,
// so the number stays with its value.
struct RedValueRow {
    int Number = 0;
    double Value = 0;
};

struct RedHandOffTables {
    int RedSpeciesCount = 0;                      // NS
    std::vector<std::string> RedSpeciesNames;     // 0..NS
    std::vector<bool> RedSpeciesKept;             // 0..NS, set by the engine
    int RedReactionCount = 0;                     // NR
    // (0..NR, 0..26): 1-3 reactants, 4-9 products (0 = empty), 10 and 11 their
    // counts, 12 third-body kind, 13 number of listed colliders, 14 low-pressure
    // flag, 15 fall-off kind, 16 reverse flag, 17-26 the listed colliders.
    Table2<int> RedReactionInts;
    // (0..NR, 0..25): 1-3 A, n, E; 4-6 low-pressure A, n, E; 7-11 fall-off
    // parameters; 11 + c the efficiency of listed collider c; 22-25 rate
    // constants as they stood in the source table.
    Table2<double> RedReactionReals;
    std::vector<bool> RedReactionKept;            // 0..NR, set by the engine
    Table2<std::int16_t> RedStoich;               // (0..NR, 0..NS) net coefficient of species j in reaction i
    std::vector<int> RedSpeciesReactionCount;     // 0..NS: reactions with RedStoich(i, j) != 0

    // Rows 0..NR; row i holds reaction i and its value for the interval
    // (row 0 stays empty). The engine may reorder RedReactionHeat in place.
    std::vector<RedValueRow> RedReactionRates;    // for species targets and the closure
    std::vector<RedValueRow> RedReactionHeat;     // for the temperature target

    // names[j], j = 1..ns; ints and reals indexed (reaction 1..nr, column
    // 1..26 / 1..25). Clears both kept arrays. Throws kx::Error when a table
    // is too small or a reaction names a species outside 1..ns.
    void RedSetMechanism(int ns, std::span<const std::string> names, int nr, const Table2<int>& ints,
                         const Table2<double>& reals);
    // values[i], i = 1..RedReactionCount.
    void RedSetReactionRates(std::span<const double> values);
    void RedSetTemperatureRates(std::span<const double> values);
};

}  // namespace kx
