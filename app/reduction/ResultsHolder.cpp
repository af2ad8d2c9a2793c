#include "ResultsHolder.h"

#include <cmath>
#include <numeric>

#include "Errors.h"
#include "FileHelpers.h"
#include "Format.h"
#include "Index.h"
#include "ResultsBlock.h"
#include "TextHelpers.h"

namespace kx {
namespace {

double DensityGasConstant(double avogadroNumber, double unitFactorE7, double unitFactorE4) {
    return RunTagged("Sol#104. ", [&] {
        if (unitFactorE4 == 0.0) throw Error(ErrorKind::DivisionByZero, "gas constant");
        const double r = avogadroNumber * unitFactorE7 / unitFactorE4;
        if (!std::isfinite(r)) throw Error(ErrorKind::Overflow, "gas constant");
        return r;
    });
}

}  // namespace

SOL_RESX::SOL_RESX(Notifier& messages, double avogadroNumber, double unitFactorE7, double unitFactorE4)
    : reader_(messages, DensityGasConstant(avogadroNumber, unitFactorE7, unitFactorE4), ReaderOwner::ReductionHolder) {}

bool SOL_RESX::OPEN_Rich(const std::string& path) { return reader_.OPEN_Rich(path); }

int SOL_RESX::EqualTimesRow() const {
    const int rows = reader_.Loaded() ? reader_.Tables().ResultRowCount : 0;
    for (int i = 1; i + 1 < rows; ++i)
        if (reader_.Value(i, 0) == reader_.Value(i + 1, 0)) return i;
    return 0;
}

MainParameters SOL_RESX::FromMain_Param() { return reader_.FromMain_Param(); }

InitialCondition SOL_RESX::red_InitialCond() const { return reader_.red_InitialCond(); }

IntervalPoints SOL_RESX::RED_ToMainParam(double usMin, double usMax) { return reader_.RED_ToMainParam(usMin, usMax); }

IntervalPoints SOL_RESX::ToMainParam(double usMin, double usMax) { return reader_.ToMainParam(usMin, usMax); }

void SOL_RESX::ReacToRed(RedHandOffTables& tables) {
    const ResultsTables& t = reader_.Tables();
    if (!reader_.Loaded()) throw Error(ErrorKind::SubscriptOutOfRange, "no results are loaded");
    std::vector<std::string> names(At(t.NumSpecies) + 1);
    for (int j = 1; j <= t.NumSpecies; ++j) names[At(j)] = t.ColumnNames[At(j) + 2];
    tables.RedSetMechanism(t.NumSpecies, names, t.NumReactions, t.ReactionInts, t.ReactionReals);
}

void SOL_RESX::MoleFractRed(int specNum, RedKinModule& module) {
    RunTagged("Sol#123. ", [&] {
        const ResultsTables& t = reader_.Tables();
        const UsedRowsState& u = reader_.Used();
        const int s = specNum - 2;
        if (!reader_.Loaded() || s < 1 || s > t.NumSpecies)
            throw Error(ErrorKind::SubscriptOutOfRange, "species column " + std::to_string(specNum));
        const int n = u.UsedCount - 1;
        const double molarMass = t.ThermoTable(s, 15);
        std::vector<double> profile(At(n) + 1, 0.0);
        for (int j = 1; j <= n; ++j) {
            const double y = reader_.Value(u.UsedRows[At(j)], specNum);
            if (std::isnan(y))
                throw Error(ErrorKind::TypeMismatch, "mass fraction of " + Latin1ToUtf8(t.ColumnNames[At(specNum)]) + " in row " +
                                                         std::to_string(u.UsedRows[At(j)]));
            profile[At(j)] = y * u.UsedDensity[At(j)] / molarMass;
        }
        module.RedAverageSpeciesProfile(profile);
    });
}

void SOL_RESX::ShowReac(int num, RedHandOffTables& tables) {
    RunTagged("Sol#131. ", [&] {
        if (num != -2 && num != -3) throw Error(ErrorKind::InvalidArgument, "reaction values " + std::to_string(num));
        const bool heat = num == -3;
        const int nr = reader_.Tables().NumReactions;
        std::vector<int> reactions(At(nr));
        std::iota(reactions.begin(), reactions.end(), 1);
        const std::vector<double> integrals = reader_.IntervalIntegrals(reactions, heat);

        std::vector<double> values(At(nr) + 1, 0.0);
        for (int r = 1; r <= nr; ++r) {
            values[At(r)] = integrals[At(r - 1)];
            if (!std::isfinite(values[At(r)])) throw Error(ErrorKind::Overflow, "reaction " + std::to_string(r));
        }
        if (heat)
            tables.RedSetTemperatureRates(values);
        else
            tables.RedSetReactionRates(values);
    });
}

int SOL_RESX::ElemContents(std::string_view formula, std::string_view element) const {
    return RunTagged("Sol#132. ", [&] {
        const std::size_t p = formula.find(element);
        if (element.empty() || p == std::string_view::npos) return 0;
        const std::size_t b = formula.find(' ', p);
        const std::size_t c = b == std::string_view::npos ? b : formula.find(' ', b + 1);
        if (c == std::string_view::npos)
            throw Error(ErrorKind::InvalidArgument, "no blank after the count of " + std::string(element));
        const auto count = ParseNumber(formula.substr(b, c - b));
        if (!count) throw Error(ErrorKind::TypeMismatch, "count of " + std::string(element));
        return static_cast<int>(RoundHalfEven(*count));
    });
}

bool RedTestPathAccess(const std::string& path, int fileNumber, Notifier& messages) {
    const std::string reason = WhyUnreadable(path);
    if (reason.empty()) return false;
    ShowMessage(messages,
                (fileNumber == 0 ? "The specified Path/File name '" + path + "' cannot be accessed or is invalid."
                                 : "File " + std::to_string(fileNumber) +
                                       ", the specified Path/File name cannot be accessed or is invalid.") +
                    "\r\n" + reason,
                MessageIcon::Exclamation);
    return true;
}

bool RedOpenSourceFile(const std::string& path, std::unique_ptr<SOL_RESX>& holder, Notifier& messages,
                       RedGenView& view, double avogadroNumber, double unitFactorE7, double unitFactorE4) {
    holder = std::make_unique<SOL_RESX>(messages, avogadroNumber, unitFactorE7, unitFactorE4);
    if (!holder->OPEN_Rich(path)) {
        holder.reset();
        return true;
    }
    // The reduction integrates the rates over every step of the run: a
    // step shorter than the printed digits of the time has no width.
    if (const int row = holder->EqualTimesRow(); row != 0) {
        const ResultsTables& t = holder->Tables();
        const auto line = [&](int r) { return std::to_string(t.RecordLines[At(r)]); };
        ShowMessage(messages,
                    InTheFileText(path) + "records " + std::to_string(row) + " and " + std::to_string(row + 1) +
                        " (lines " + line(row) + " and " + line(row + 1) + ") have the same time, " +
                        std::string(Trim(holder->Reader().FieldText(row, 0))) +
                        " s: the reduction cannot integrate the reaction rates over the run. We recommend to restart "
                        "the problem with a greater number of step of data output.",
                    MessageIcon::Exclamation);
        holder.reset();
        return true;
    }
    view.ShowWindow();
    // A run cut off or stopped early is reduced over the time its results
    // cover, and the window says so once.
    const ResultsTables& t = holder->Tables();
    if (!t.ResultsClosed)
        ShowMessage(messages,
                    IncompleteResultsNote(path, t.LastTime, t.FinalTime) +
                        " The reduction works only over the time they cover, " + Format(t.FirstTime, "0.000000E+00") +
                        " to " + Format(t.LastTime, "0.000000E+00") + " s.",
                    MessageIcon::Exclamation);
    return false;
}

}  // namespace kx
