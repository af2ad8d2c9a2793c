// The reduction's results holder: one solver file with results, read by the
// results reader, and what the reduction asks of it: the species list, the
// initial fractions, the stored time points of a time window, the species
// concentration averages and the reaction values of the current interval.
//
// It shows nothing. Messages of the reader go to the Notifier; a method
// with a failure tag throws TaggedError (its tag and the description), which
// ends a reduction run before anything is written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Messages.h"
#include "ReductionEngine.h"
#include "ResultsReader.h"

namespace kx {

class SOL_RESX : public RedResultsSource {
public:
    // The gas constant of the densities is avogadroNumber x unitFactorE7 /
    // unitFactorE4 of the options; a value that cannot be formed throws
    // TaggedError "Sol#104. ".
    SOL_RESX(Notifier& messages, double avogadroNumber, double unitFactorE7, double unitFactorE4);

    // Reads the file; false after the reader's own message on failure.
    bool OPEN_Rich(const std::string& path);
    bool Loaded() const { return reader_.Loaded(); }
    // "Solver " and the file name.
    std::string Caption() const { return reader_.Caption(); }
    const ResultsTables& Tables() const { return reader_.Tables(); }
    const ResultsReader& Reader() const { return reader_; }
    // The first row whose time equals that of the row after it; 0 when the
    // times of all rows differ.
    int EqualTimesRow() const;

    // For the set-up window: the run's time range, species, initial
    // fractions, path, pressure and temperature mode. "Sol#121. "
    MainParameters FromMain_Param();
    // The path and, for each species, whether it starts present.
    InitialCondition red_InitialCond() const override;
    // Selects usMin..usMax: Count = n, Times[1..n]. "Sol#112-2 "
    IntervalPoints RED_ToMainParam(double usMin, double usMax) override;
    // As RED_ToMainParam for the set-up window: Count = n + 1 and the times
    // in entries 0..n-1 (entry n is 0). "Sol#112. "
    IntervalPoints ToMainParam(double usMin, double usMax);
    // Concentrations y rho / W (mol/cm^3) of species specNum - 2 at the
    // selected points, averaged over the interval into the module. "Sol#123. "
    void MoleFractRed(int specNum, RedKinModule& module) override;
    // Integrals over the current interval, for every reaction: num -2 the net
    // rate per gram (mol/g) into RedReactionRates, num -3 the reaction's part
    // of the rate of temperature change (K) into RedReactionHeat. "Sol#131. "
    void ShowReac(int num, RedHandOffTables& tables) override;
    // The mechanism into the hand-off tables.
    void ReacToRed(RedHandOffTables& tables) override;

    // The count written after an element's name in a composition text made
    // of name, blank, count, blank ("C 1 H 4 "): 0 when the element is not
    // in it. "Sol#132. "
    int ElemContents(std::string_view formula, std::string_view element) const;

private:
    ResultsReader reader_;
};

// Can the path be opened for reading? When not, the message names the path
// (fileNumber 0) or the number, with why on a line of its own, and true
// (failed) is returned.
bool RedTestPathAccess(const std::string& path, int fileNumber, Notifier& messages);

// Reads the source into a new holder. On success the holder takes `holder`'s
// place and the set-up window is shown, with a note when the results do not
// end at their closing line (where they end, and that the reduction works
// over the time they cover). Results that the reader refuses (after its own
// message), or in which two records have the same time (the records and
// their lines named), empty `holder` and return true.
bool RedOpenSourceFile(const std::string& path, std::unique_ptr<SOL_RESX>& holder, Notifier& messages,
                       RedGenView& view, double avogadroNumber, double unitFactorE7, double unitFactorE4);

}  // namespace kx
