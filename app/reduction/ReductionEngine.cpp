#include "ReductionEngine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Errors.h"
#include "Index.h"
#include "ReducedFileWriter.h"
#include "input_rules.h"

namespace kx {
namespace {

// Restores the set-up window when the engine ends, however it ends.
class ViewRestore {
public:
    explicit ViewRestore(RedGenView& view) : view_(view) {}
    ~ViewRestore() {
        view_.ProgressBarVisible(false);
        view_.CommandEn(true);
        view_.BusyPointer(false);
    }
    ViewRestore(const ViewRestore&) = delete;
    ViewRestore& operator=(const ViewRestore&) = delete;

private:
    RedGenView& view_;
};

// For each species, the reactions that change its amount, ascending, with
// its net coefficient in each.
using SpeciesReactionIndex = std::vector<std::vector<std::pair<int, int>>>;

SpeciesReactionIndex IndexSpeciesReactions(const RedHandOffTables& m) {
    SpeciesReactionIndex index(At(m.RedSpeciesCount) + 1);
    for (int r = 1; r <= m.RedReactionCount; ++r)
        for (int c = 1; c <= 9; ++c) {
            const int s = m.RedReactionInts(r, c);
            if (s <= 0 || m.RedStoich(r, s) == 0) continue;
            std::vector<std::pair<int, int>>& reactions = index[At(s)];
            if (reactions.empty() || reactions.back().first != r) reactions.emplace_back(r, m.RedStoich(r, s));
        }
    return index;
}

// The reactions that change a species, each with its value weighted by the
// species' net coefficient.
void RankingOfSpecies(const RedKinModule& m, const std::vector<std::pair<int, int>>& reactions,
                      std::vector<RedValueRow>& rows) {
    rows.clear();
    for (const auto& [r, nu] : reactions) {
        const RedValueRow& rate = m.RedReactionRates[At(r)];
        rows.push_back({rate.Number, nu * rate.Value});
    }
}

// Sorts and cuts a ranking; the number of leading rows kept.
int SortAndCut(std::vector<RedValueRow>& rows, double share) {
    RedSortByMagnitude(rows);
    return RedSelectByContribution(rows, share);
}

}  // namespace

RedKinModule& RedKinState() {
    static RedKinModule state;
    return state;
}

void RedKinModule::RedSetIntervalTimes(int n, std::span<const double> times) {
    if (n < 2 || times.size() <= At(n))
        throw Error(ErrorKind::SubscriptOutOfRange, "the interval holds " + std::to_string(n) + " stored points");
    RedTimeCount = n;
    RedTimes.assign(times.begin(), times.begin() + n + 1);
    RedTimes[0] = 0;
    RedSpanAll = RedTimes[At(n)] - RedTimes[1];
    RedSpanFirst = RedTimes[2] - RedTimes[1];
    RedSpanLast = RedTimes[At(n)] - RedTimes[At(n - 1)];
    RedSpanInner.assign(At(n) + 1, 0.0);
    for (int i = 2; i <= n - 1; ++i) RedSpanInner[At(i)] = RedTimes[At(i + 1)] - RedTimes[At(i - 1)];
}

void RedKinModule::RedAverageSpeciesProfile(std::span<const double> y) {
    const int n = RedTimeCount;
    if (n < 2 || y.size() <= At(n)) throw Error(ErrorKind::SubscriptOutOfRange, "species profile");
    if (RedSpeciesIndex < 1 || At(RedSpeciesIndex) >= RedSpeciesAverages.size())
        throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(RedSpeciesIndex));
    if (RedSpanAll == 0.0) throw Error(ErrorKind::DivisionByZero, "the interval has no length");
    double sum = y[1] * RedSpanFirst + y[At(n)] * RedSpanLast;
    for (int i = 2; i <= n - 1; ++i) sum += y[At(i)] * RedSpanInner[At(i)];
    RedSpeciesAverages[At(RedSpeciesIndex)] = sum / (2 * RedSpanAll);
}

void RedFlags::Reset(int count) {
    Kept.assign(At(count) + 1, false);
    Pending.assign(At(count) + 1, false);
}

int RedSelectByContribution(std::span<const RedValueRow> rows, double share) {
    const int n = static_cast<int>(rows.size());
    if (share >= 1) return 0;
    if (share <= 0) return n;
    double total = 0;
    for (const RedValueRow& row : rows) total += std::fabs(row.Value);
    const double limit = total * share;
    if (limit == 0) return 0;
    int count = 0;
    double sum = 0;
    for (int i = n; i >= 1; --i) {
        sum += std::fabs(rows[At(i - 1)].Value);
        if (sum > limit) {
            count = i;
            break;
        }
    }
    // The first dropped row, when it alone carries much of the allowance.
    if (count < n && std::fabs(rows[At(count)].Value) / limit > 0.3) ++count;
    return count;
}

void RedSortByMagnitude(std::span<RedValueRow> rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const RedValueRow& a, const RedValueRow& b) { return std::fabs(a.Value) > std::fabs(b.Value); });
}

void RedCloseOverReactions(const RedKinModule& m, RedFlags& reactions, RedFlags& species, double othersParameter) {
    const int ns = m.RedSpeciesCount;
    std::vector<RedValueRow> colliders;
    auto addSpecies = [&](int s) {
        if (s < 1 || s > ns) throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(s));
        if (!species.Kept[At(s)]) species.Keep(s);
    };
    for (int r = 1; r <= m.RedReactionCount; ++r) {
        if (!reactions.Pending[At(r)]) continue;
        for (int c = 1; c <= 9; ++c)
            if (m.RedReactionInts(r, c) > 0) addSpecies(m.RedReactionInts(r, c));

        // The third body as the solver takes it: a kind of 0 or less has no
        // third body of all species, only its listed partners.
        const int kind = m.RedReactionInts(r, 12);
        const int listed = ListedThirdBodies(m.RedReactionInts(r, 13));
        if (kind == 2) {
            // Every species collides; a listed one with its efficiency, the
            // others with efficiency 1.
            colliders.assign(At(ns), RedValueRow{});
            for (int s = 1; s <= ns; ++s) colliders[At(s - 1)] = {s, m.RedSpeciesAverages[At(s)]};
            for (int c = 1; c <= listed; ++c) {
                const int e = m.RedReactionInts(r, 16 + c);
                if (e < 1 || e > ns) throw Error(ErrorKind::SubscriptOutOfRange, "collider " + std::to_string(e));
                colliders[At(e - 1)].Value = m.RedReactionReals(r, 11 + c) * m.RedSpeciesAverages[At(e)];
            }
            const int keep = SortAndCut(colliders, othersParameter);
            for (int i = 0; i < keep; ++i) addSpecies(colliders[At(i)].Number);
        } else if (kind <= 0 && listed > 0) {
            addSpecies(m.RedReactionInts(r, 17));
        }
        reactions.Pending[At(r)] = false;
    }
}

std::vector<RedInterval> RedSplitIntervals(std::span<const double> timePoints, int steps, int perInterval) {
    if (perInterval == 0) throw Error(ErrorKind::DivisionByZero, "steps per interval");
    if (steps < 0 || timePoints.size() <= At(steps)) throw Error(ErrorKind::SubscriptOutOfRange, "time points");
    const int full = steps / perInterval;
    const int rest = steps - full * perInterval;
    const int count = rest > 0 ? full + 1 : full;
    if (count < 0) throw Error(ErrorKind::InvalidArgument, "steps per interval");
    std::vector<int> bounds(At(count) + 1, 0);
    for (int k = 0; k <= full && k <= count; ++k) bounds[At(k)] = k * perInterval;
    bounds[At(count)] = steps;
    std::vector<RedInterval> intervals(At(count));
    for (int k = 1; k <= count; ++k)
        intervals[At(k - 1)] = {timePoints[At(bounds[At(k - 1)])], timePoints[At(bounds[At(k)])]};
    return intervals;
}

std::vector<std::string> RedUnrunnableReasons(const RedKinModule& m, const std::vector<bool>& initiallyPresent) {
    std::vector<std::string> faults;
    if (m.RedKeptReactionCount == 0)
        faults.emplace_back("it has no reactions: none of the target species' reactions is kept at the parameters given");
    bool present = false;
    for (int s = 1; s <= m.RedSpeciesCount && !present; ++s)
        present = At(s) < m.RedSpeciesKept.size() && m.RedSpeciesKept[At(s)] && At(s) < initiallyPresent.size() &&
                  initiallyPresent[At(s)];
    if (!present)
        faults.emplace_back(
            "none of its species has a nonzero initial concentration (none is highlighted in the list of targets)");
    return faults;
}

RedOutcome GenerateReducedMechanism(RedKinModule& m, RedResultsSource& holder, const std::string& targetPath,
                                    std::span<const RedInterval> intervals, const RedSettings& settings,
                                    RedGenView& view, Notifier& messages) {
    ViewRestore restore(view);
    view.BusyPointer(true);
    m.RedTargetFile = targetPath;

    holder.ReacToRed(m);
    const InitialCondition initial = holder.red_InitialCond();
    m.RedSourceFile = initial.SolPass;
    const int ns = m.RedSpeciesCount, nr = m.RedReactionCount;
    const SpeciesReactionIndex reactionsOf = IndexSpeciesReactions(m);
    for (const RedTarget& t : settings.Targets)
        if (t.Species < 1 || t.Species > ns)
            throw Error(ErrorKind::SubscriptOutOfRange, "target species " + std::to_string(t.Species));

    m.RedTempTarget = settings.TemperatureParameter >= 0;
    m.RedTargetCount = static_cast<int>(settings.Targets.size());
    m.RedTargetSpecies.assign(At(m.RedTargetCount) + 1, 0);
    for (int t = 1; t <= m.RedTargetCount; ++t) m.RedTargetSpecies[At(t)] = settings.Targets[At(t - 1)].Species;

    view.ProgressBarVisible(true);
    const int intervalCount = static_cast<int>(intervals.size());
    RedFlags speciesFlags, reactionFlags;
    std::vector<RedValueRow> ranking;
    for (int k = 1; k <= intervalCount; ++k) {
        speciesFlags.Reset(ns);
        reactionFlags.Reset(nr);

        const RedInterval& interval = intervals[At(k - 1)];
        const IntervalPoints points = holder.RED_ToMainParam(interval.Start, interval.End);
        m.RedSetIntervalTimes(points.Count, points.Times);

        holder.ShowReac(-2, m);
        if (m.RedTempTarget) holder.ShowReac(-3, m);

        m.RedSpeciesAverages.assign(At(ns) + 1, 0.0);
        for (int s = 1; s <= ns; ++s) {
            m.RedSpeciesIndex = s;
            holder.MoleFractRed(s + 2, m);
        }

        // The temperature: the reactions that carry its rate of change.
        if (m.RedTempTarget && settings.TemperatureParameter < 1) {
            std::span<RedValueRow> heat(m.RedReactionHeat.data() + 1, At(nr));
            RedSortByMagnitude(heat);
            const int keep = RedSelectByContribution(heat, settings.TemperatureParameter);
            for (int i = 0; i < keep; ++i) reactionFlags.Keep(heat[At(i)].Number);
        }

        // Species targets: each keeps the reactions its own parameter
        // chooses; the species itself is kept but not followed further.
        for (const RedTarget& target : settings.Targets) {
            const int s = target.Species;
            const double p = target.Parameter;
            if (p < 1 && m.RedSpeciesReactionCount[At(s)] > 0 && p >= 0) {
                RankingOfSpecies(m, reactionsOf[At(s)], ranking);
                const int keep = SortAndCut(ranking, p);
                for (int i = 0; i < keep; ++i) reactionFlags.Keep(ranking[At(i)].Number);
            }
            speciesFlags.Kept[At(s)] = true;
            speciesFlags.Pending[At(s)] = false;
        }

        // Closure: follow kept reactions to their species, and pending
        // species to the reactions that carry their change.
        const double others = settings.OthersParameter;
        for (;;) {
            RedCloseOverReactions(m, reactionFlags, speciesFlags, others);
            bool anyPending = false;
            bool found = false;
            for (int s = 1; s <= ns; ++s) {
                if (!speciesFlags.Pending[At(s)]) continue;
                anyPending = true;
                if (others < 1 && others >= 0 && m.RedSpeciesReactionCount[At(s)] > 0) {
                    RankingOfSpecies(m, reactionsOf[At(s)], ranking);
                    const int keep = SortAndCut(ranking, others);
                    if (keep > 0) found = true;
                    for (int i = 0; i < keep; ++i) {
                        const int r = ranking[At(i)].Number;
                        if (!reactionFlags.Kept[At(r)]) reactionFlags.Keep(r);
                    }
                }
                speciesFlags.Pending[At(s)] = false;
            }
            if (!anyPending || !found) break;
        }

        for (int s = 1; s <= ns; ++s)
            if (speciesFlags.Kept[At(s)]) m.RedSpeciesKept[At(s)] = true;
        for (int r = 1; r <= nr; ++r)
            if (reactionFlags.Kept[At(r)]) m.RedReactionKept[At(r)] = true;

        view.ProgressValue(static_cast<float>(k) * 10.0f / static_cast<float>(intervalCount));
    }

    m.RedKeptSpeciesCount = static_cast<int>(std::count(m.RedSpeciesKept.begin() + 1, m.RedSpeciesKept.end(), true));
    m.RedKeptReactionCount = static_cast<int>(std::count(m.RedReactionKept.begin() + 1, m.RedReactionKept.end(), true));

    RedOutcome outcome;
    outcome.SpeciesCount = m.RedKeptSpeciesCount;
    outcome.ReactionCount = m.RedKeptReactionCount;
    const std::string lineBreak = "\r\n";
    const std::string counts = std::to_string(m.RedKeptSpeciesCount) + " species, " + lineBreak +
                               std::to_string(m.RedKeptReactionCount) + " reactions.";
    if (m.RedKeptSpeciesCount == 0 && m.RedKeptReactionCount == 0) {
        ShowMessage(messages,
                    "The reaction mechanism consists of " + lineBreak + "0" + " species, " + lineBreak + "0" +
                        " reactions. " + lineBreak + "The file has not been created.",
                    MessageIcon::Exclamation);
    } else if (const std::vector<std::string> faults = RedUnrunnableReasons(m, initial.InitFractBB); !faults.empty()) {
        std::string text = "The reduced reaction mechanism consists of " + lineBreak + counts + " " + lineBreak +
                           "The solver cannot run it:";
        for (std::size_t i = 0; i < faults.size(); ++i)
            text += lineBreak + "- " + faults[i] + (i + 1 < faults.size() ? ";" : ".");
        ShowMessage(messages, text + lineBreak + "The file has not been created.", MessageIcon::Exclamation);
    } else {
        outcome.Written = WriteReducedSolverFile(m, settings, messages);
        if (outcome.Written)
            ShowMessage(messages,
                        "Reduced reaction mechanism has been created  successfully. " + lineBreak +
                            "The mechanism consists of" + lineBreak + counts + lineBreak +
                            "Reduced solver file: " + m.RedTargetFile,
                        MessageIcon::Information);
    }
    return outcome;
}

}  // namespace kx
