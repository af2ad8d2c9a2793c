#include "RedHandOff.h"

#include "Errors.h"

namespace kx {
namespace {

void FillValueRows(std::vector<RedValueRow>& rows, int nr, std::span<const double> values) {
    if (values.size() <= static_cast<std::size_t>(nr))
        throw Error(ErrorKind::SubscriptOutOfRange, "reaction values");
    rows.assign(static_cast<std::size_t>(nr) + 1, RedValueRow{});
    for (int i = 1; i <= nr; ++i) rows[static_cast<std::size_t>(i)] = {i, values[static_cast<std::size_t>(i)]};
}

}  // namespace

void RedHandOffTables::RedSetMechanism(int ns, std::span<const std::string> names, int nr, const Table2<int>& ints,
                                       const Table2<double>& reals) {
    if (ns < 0 || nr < 0 || names.size() <= static_cast<std::size_t>(ns) || ints.Rows() <= nr || ints.Cols() < 27 ||
        reals.Rows() <= nr || reals.Cols() < 26)
        throw Error(ErrorKind::SubscriptOutOfRange, "mechanism tables");

    RedSpeciesCount = ns;
    RedSpeciesNames.assign(names.begin(), names.begin() + ns + 1);
    RedSpeciesNames[0].clear();
    RedSpeciesKept.assign(static_cast<std::size_t>(ns) + 1, false);

    RedReactionCount = nr;
    RedReactionInts.Resize(nr + 1, 27);
    RedReactionReals.Resize(nr + 1, 26);
    for (int i = 1; i <= nr; ++i) {
        for (int c = 1; c <= 26; ++c) RedReactionInts(i, c) = ints(i, c);
        for (int c = 1; c <= 25; ++c) RedReactionReals(i, c) = reals(i, c);
    }

    RedReactionKept.assign(static_cast<std::size_t>(nr) + 1, false);
    RedStoich.Resize(nr + 1, ns + 1);
    RedSpeciesReactionCount.assign(static_cast<std::size_t>(ns) + 1, 0);
    for (int i = 1; i <= nr; ++i) {
        for (int c = 1; c <= 9; ++c) {
            const int s = RedReactionInts(i, c);
            if (s == 0) continue;
            if (s < 0 || s > ns)
                throw Error(ErrorKind::SubscriptOutOfRange,
                            "species " + std::to_string(s) + " in reaction " + std::to_string(i));
            RedStoich(i, s) = static_cast<std::int16_t>(RedStoich(i, s) + (c <= 3 ? -1 : 1));
        }
        for (int j = 1; j <= ns; ++j)
            if (RedStoich(i, j) != 0) ++RedSpeciesReactionCount[static_cast<std::size_t>(j)];
    }
}

void RedHandOffTables::RedSetReactionRates(std::span<const double> values) {
    FillValueRows(RedReactionRates, RedReactionCount, values);
}

void RedHandOffTables::RedSetTemperatureRates(std::span<const double> values) {
    FillValueRows(RedReactionHeat, RedReactionCount, values);
}

}  // namespace kx
