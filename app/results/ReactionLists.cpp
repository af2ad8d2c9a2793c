#include "ReactionLists.h"

#include <cmath>

#include "ChartLoading.h"
#include "Errors.h"
#include "Format.h"
#include "Index.h"
#include "SharedState.h"
#include "TextHelpers.h"

namespace kx {
namespace {

constexpr const char* kShareMessage = "Parameter, please enter a decimal number on the interval [0, 1].";
constexpr int kReactionWidth = 50;

// A row of the copied table: number right-aligned in 4, two blanks, the
// text left-aligned in 50, the value right-aligned in 10.
std::string CopiedLine(std::string_view number, std::string_view text, std::string_view value) {
    return Format(number, "@@@@") + "  " + Format(text, "!" + FormStr(kReactionWidth)) + Format(value, "@@@@@@@@@@");
}

}  // namespace

void ReacUpdate(ReactionList& list, const ContributionTable& run) {
    const int n = run.Count();
    list.Rows.assign(At(n) + 1, std::array<Variant, 3>{});
    for (int i = 1; i <= n; ++i) {
        auto& row = list.Rows[At(i)];
        row[0] = static_cast<double>(run.Numbers[At(i - 1)]);
        row[1] = run.Texts[At(i - 1)];
        if (run.DerFlag) row[2] = run.Contributions[At(i - 1)];
    }
    if (run.DerFlag) {
        SortRowsByAbsColumn(n, list.Rows, 2);
        list.SpeciesDerivativeText = Format(run.ActualChange, "0.00E+00");
    }
    list.Count = n;
}

ReactionSelection ShowReacMen(const ReactionList& list, bool important, std::string_view shareText) {
    ReactionSelection s;
    double share = 0.0;
    if (important) {
        const std::optional<double> value = ParseNumber(shareText);
        // The share of the total that may be left out: 0 leaves out nothing
        // (every reaction is listed), 1 all of it (only a reaction that alone
        // carries more than 0.3 of the total stays).
        if (!value || *value < 0.0 || *value > 1.0) {
            s.Refused = true;
            s.Message = kShareMessage;
            return s;
        }
        share = *value;
        if (share == 0.0) important = false;
    }
    if (!important) {
        s.Count = list.Count;
        s.CaptionText = "All reactions " + std::to_string(s.Count);
        return s;
    }
    std::int32_t count = 0;
    SelectByContribution(list.Count, list.Rows, 2, share, count);
    s.Important = true;
    s.Count = count;
    s.CaptionText = "Important reactions " + std::to_string(count);
    return s;
}

SumBox TemperSum(const ReactionList& list, int count, bool important) {
    SumBox box;
    if (important) {
        double sum = 0.0;
        for (int i = 1; i <= count; ++i) sum += NumberOf(list.Rows.at(At(i))[2]);
        const double denominator =
            std::fabs(NumberOf(list.Rows.at(1)[2])) + std::fabs(NumberOf(list.Rows.at(At(count))[2]));
        if (denominator == 0.0) throw Error(ErrorKind::DivisionByZero, "sum of reactions");
        if (std::fabs(sum) / denominator < 0.001) {
            box.Caption = "A small difference between large numbers";
            box.Text = "***";
            box.Centred = true;
            box.Highlighted = true;
        } else {
            box.Caption = "Sum of Reactions";
            box.Text = Format(sum, "0.00E+00");
        }
        return box;
    }
    const double value = Val(list.SpeciesDerivativeText);
    box.Caption = "Derivative";
    if (value == 0.0 && count > 0) {
        box.Highlighted = true;
        box.ToolTip = "The value cannot be defined exactly; it is a small difference between large numbers.";
    }
    box.Text = Format(value, "0.00E+00");
    return box;
}

std::string FormStr(int n) { return n < 1 ? std::string() : std::string(At(n), '@'); }

std::string CopyReac(const CopiedTable& t) {
    std::string out;
    auto line = [&](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line("Kinovex Postprocessor, " + t.Date);
    line("Solver File: " + t.SolverFilePath);
    line(t.Heading);
    line("Time interval " + t.IntervalStart + " - " + t.IntervalEnd + " sec");
    line("");
    line(CopiedLine("No", "Reaction", t.ValueHeading));
    for (const ShownReaction& r : t.Rows) line(CopiedLine(r.Number, r.Text, Format(r.Value, "0.00E+00")));
    line("  " + std::string(66, '-'));
    const bool smallDifference = Trim(t.SumText) == "***";
    if (t.SumCaption != "Derivative")
        line(CopiedLine(" ", "Sum", smallDifference ? "***   " : Format(std::string_view(t.SumText), "0.00E+00")));
    line("");
    line(CopiedLine(" ", "Derivative", Format(std::string_view(t.SpeciesDerivativeText), "0.00E+00")));
    if (smallDifference) {
        line("");
        line(" Small difference between large numbers, the correct value cannot be calculated.");
    }
    return out;
}

std::string ReportDate(int year, int month, int day) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) throw Error(ErrorKind::InvalidArgument, "month");
    return std::string(months[month - 1]) + " " + std::to_string(day) + " " + std::to_string(year);
}

Histogram BuildHistogram(const std::vector<ShownReaction>& rows, std::string_view speciesDerivativeText, double scale,
                         std::string_view speciesName) {
    const int n = static_cast<int>(rows.size());
    if (n >= 32766) throw Error(ErrorKind::Overflow, "too many reactions for a histogram");
    if (scale == 0.0) throw Error(ErrorKind::InvalidArgument, "scaling 0");
    Histogram h;
    h.SubsetCount = n + 2;
    h.PointCount = 2;

    // Bar s: value(s), number(s); bar 1 is the species' change.
    std::vector<double> values(At(n) + 2, 0.0);
    std::vector<std::string> numbers(At(n) + 2);
    values[1] = Val(speciesDerivativeText);
    for (int s = 2; s <= n + 1; ++s) {
        values[At(s)] = rows[At(s - 2)].Value;
        numbers[At(s)] = rows[At(s - 2)].Number;
    }

    h.PlotData.assign(At(2 * (n + 2)), std::vector<double>(2, kMissingValue));
    h.PlotData[0] = {0.0, 0.0};
    h.PlotData[1] = {0.0, static_cast<double>(n + 2)};
    for (int s = 1; s <= n + 1; ++s) {
        h.PlotData[At(2 * s)] = {values[At(s)] * scale, 0.0};
        h.PlotData[At(2 * s + 1)] = {static_cast<double>(s), static_cast<double>(s)};
    }

    const std::string scaleText = scale != 1.0 ? " x " + FormatFaithfully(scale, "0.0E+00") : std::string();
    h.Titles = {"", std::string(speciesName) + " Production", "Production" + scaleText + " (mol/g)", ""};

    h.SubsetLabels.assign(At(n) + 3, std::string());
    h.ItemLabels.assign(At(n) + 2, std::string());
    h.SubsetLabels[1] = "Derivative, " + Format(speciesDerivativeText, "0.00E+00") + " (mol/g)";
    h.ItemLabels[1] = "Derivative";
    h.LongLabels.assign(At(n) + 2, {});
    for (int s = 2; s <= n + 1; ++s) {
        h.SubsetLabels[At(s)] = "R" + numbers[At(s)] + ", " + Format(values[At(s)], "0.00E+00") + " (mol/g)";
        h.ItemLabels[At(s)] = "R" + numbers[At(s)];
        h.LongLabels[At(s)] = chart::SplitLongLabel(rows[At(s - 2)].Text);
    }
    return h;
}

}  // namespace kx
