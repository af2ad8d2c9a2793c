// The reduction engine: which species and reactions of a mechanism are kept
// for the chosen targets over the chosen time intervals.
//
// In each interval the reactions that carry most of the change of each target
// (and, for the temperature, most of its rate of change) are kept; then
// everything those reactions need is added until nothing new is found: their
// species, the collision partners that matter, and the reactions that carry
// most of the change of those species. The union over all intervals is the
// reduced mechanism, written by WriteReducedSolverFile.
//
// The engine reads the source run only through a RedResultsSource (the
// results holder SOL_RESX) and shows its progress and outcome through the
// set-up window's RedGenView and a Notifier.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "Messages.h"
#include "RedHandOff.h"
#include "ResultsReader.h"

namespace kx {

// A parameter is the share of a target's total that the dropped reactions may
// carry: 1 or more keeps no reaction for the target, 0 keeps every reaction in
// which it takes part, and a negative species parameter keeps the species
// without any reaction. A negative temperature parameter means the
// temperature is not a target.
struct RedTarget {
    int Species = 0;         // species number in the source run
    double Parameter = 0.1;
};

struct RedSettings {
    double TemperatureParameter = -1;
    std::vector<RedTarget> Targets;  // in grid order
    double OthersParameter = 0.3;
};

struct RedInterval {
    double Start = 0;
    double End = 0;
};

// The module state of the reduction: the hand-off tables, the current
// interval's time weights and species averages, and the outcome of the last
// run. Arrays are 1-based (entry 0 stays empty). One instance per process
// serves the windows (RedKinState()); tests make their own.
struct RedKinModule : RedHandOffTables {
    int RedTimeCount = 0;                    // n, the stored points of the current interval
    std::vector<double> RedTimes;            // 1..n
    double RedSpanFirst = 0;                 // t(2) - t(1)
    double RedSpanLast = 0;                  // t(n) - t(n-1)
    double RedSpanAll = 0;                   // t(n) - t(1)
    std::vector<double> RedSpanInner;        // 0..n: entry i = t(i+1) - t(i-1) for 2 <= i <= n-1
    std::vector<double> RedSpeciesAverages;  // 0..NS: time average of each concentration, mol/cm^3
    int RedSpeciesIndex = 0;                 // the species whose average is stored next

    int RedKeptSpeciesCount = 0;
    int RedKeptReactionCount = 0;
    bool RedTempTarget = false;
    int RedTargetCount = 0;
    std::vector<int> RedTargetSpecies;       // 1..RedTargetCount
    std::string RedTargetFile;               // the reduced file to write
    std::string RedSourceFile;               // the source solver file

    // Sets the time weights of the current interval from its n >= 2 times
    // (times[1..n]); throws kx::Error for fewer than two points.
    void RedSetIntervalTimes(int n, std::span<const double> times);
    // Stores the trapezoidal time average of profile[1..n] over the current
    // interval as the average of species RedSpeciesIndex. Throws kx::Error when
    // the interval has no length.
    void RedAverageSpeciesProfile(std::span<const double> profile);
};

// The process's reduction state, used by the set-up window.
RedKinModule& RedKinState();

// What the engine asks of the results holder, in the order it asks.
class RedResultsSource {
public:
    virtual ~RedResultsSource() = default;
    // Hands the mechanism to tables.RedSetMechanism.
    virtual void ReacToRed(RedHandOffTables& tables) = 0;
    virtual InitialCondition red_InitialCond() const = 0;
    // Selects the stored rows of usMin..usMax; Count = n and Times[1..n].
    virtual IntervalPoints RED_ToMainParam(double usMin, double usMax) = 0;
    // -2: each reaction's net rate per gram over the interval into
    // RedReactionRates; -3: each reaction's share of the rate of temperature
    // change into RedReactionHeat.
    virtual void ShowReac(int num, RedHandOffTables& tables) = 0;
    // The concentration profile of species specNum - 2 over the selected
    // points, averaged by module.RedAverageSpeciesProfile.
    virtual void MoleFractRed(int specNum, RedKinModule& module) = 0;
};

// What the engine uses of the reduction set-up window.
class RedGenView {
public:
    virtual ~RedGenView() = default;
    virtual void ShowWindow() = 0;                       // the window is shown (modeless)
    virtual void ProgressBarVisible(bool visible) = 0;
    virtual void ProgressValue(float value) = 0;         // 0 to 10, after every interval
    virtual void CommandEn(bool enabled) = 0;            // the window's buttons
    virtual void BusyPointer(bool busy) = 0;             // hourglass while the engine runs
};

// Number of leading rows of a ranking table, sorted by decreasing magnitude,
// to keep for the share: the dropped tail carries at most share x the total;
// a dropped row that alone carries more than 0.3 of that allowance is kept
// after all. share >= 1 keeps none, share <= 0 keeps all.
int RedSelectByContribution(std::span<const RedValueRow> rows, double share);

// Orders rows by decreasing magnitude of their value; equal magnitudes keep
// their order.
void RedSortByMagnitude(std::span<RedValueRow> rows);

// Per-interval flags of species or reactions: kept in this interval, and
// pending (kept, its consequences not yet followed).
struct RedFlags {
    std::vector<bool> Kept;
    std::vector<bool> Pending;
    void Reset(int count);  // entries 0..count, all false
    void Keep(int i) { Kept[static_cast<std::size_t>(i)] = Pending[static_cast<std::size_t>(i)] = true; }
};

// One closure pass over the pending reactions, in ascending order: their
// species, their ranked collision partners and their single named partner
// become kept and pending; each reaction stops being pending.
void RedCloseOverReactions(const RedKinModule& module, RedFlags& reactions, RedFlags& species, double othersParameter);

struct RedOutcome {
    bool Written = false;   // the reduced file was written
    int SpeciesCount = 0;
    int ReactionCount = 0;
};

// Why the solver would refuse the kept mechanism, one sentence each: it keeps
// no reaction, or none of its species is present at the start (the solver
// needs initial mole fractions that sum to more than zero).
// initiallyPresent[s] is true for species s with a nonzero initial mole
// fraction. Empty when the solver can run it.
std::vector<std::string> RedUnrunnableReasons(const RedKinModule& module, const std::vector<bool>& initiallyPresent);

// Runs the reduction over the intervals and writes the reduced file when the
// kept mechanism can be run (RedUnrunnableReasons); when it cannot, the
// message says why and nothing is written. The outcome message goes to
// `messages`. A failure of the
// holder or of the file access is thrown (the holder's TaggedError keeps its
// tag) before anything is written; the window's progress bar, buttons and
// pointer are restored in every case.
RedOutcome GenerateReducedMechanism(RedKinModule& module, RedResultsSource& holder, const std::string& targetPath,
                                    std::span<const RedInterval> intervals, const RedSettings& settings,
                                    RedGenView& view, Notifier& messages);

// The averaging intervals of the set-up window: the time points
// timePoints[0..steps] cut into consecutive runs of `perInterval` steps, the
// last interval taking what remains.
std::vector<RedInterval> RedSplitIntervals(std::span<const double> timePoints, int steps, int perInterval);

}  // namespace kx
