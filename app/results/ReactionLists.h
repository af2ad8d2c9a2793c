// The reaction lists of the results window's "Derivatives" and "Reactions"
// pages: the table behind each list, which of its rows are shown (all, or
// the important ones), the sum box under the list, the table as the user
// copies it, and the histogram of the listed contributions.
//
// Each page keeps its own ReactionList, so a run on one page never changes
// what the other page shows or copies.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ResultsReader.h"
#include "TableHelpers.h"

namespace kx {

struct ReactionList {
    // Rows 1..Count (row 0 stays empty): column 0 the reaction number
    // (double), 1 its equation, 2 its contribution (double; empty on the
    // "Reactions" page, which lists without integrating).
    RowTable Rows;
    int Count = 0;
    // The species' change over the interval, as shown ("0.00E+00").
    std::string SpeciesDerivativeText;
    // The interval the run covered ("0.000000E+00"): what the list's numbers
    // are for, whatever the interval boxes hold later.
    std::string IntervalStart, IntervalEnd;
};

// Takes the rows of a run into the list: with contributions (the
// "Derivatives" page) the rows are sorted by decreasing magnitude of the
// contribution and the change is kept; without, the rows stay in reaction
// order with an empty value column.
void ReacUpdate(ReactionList& list, const ContributionTable& run);

// Which rows the list shows: all of them, or, for "Important", the leading
// rows that carry all but the given share of the total magnitude.
struct ReactionSelection {
    bool Refused = false;   // the share is no decimal number in [0, 1]
    std::string Message;    // the refusal's text
    bool Important = false; // false also for a share of 0, which shows all
    int Count = 0;          // rows shown; 0 for a share that keeps none
    std::string CaptionText;  // "All reactions 12" / "Important reactions 5" (or 0); "" when refused
};
ReactionSelection ShowReacMen(const ReactionList& list, bool important, std::string_view shareText);

// The box under the list: the sum of the important rows (or "***" when it is
// a small difference of large numbers), or the species' derivative.
struct SumBox {
    std::string Caption;     // "Sum of Reactions", "A small difference between large numbers" or "Derivative"
    std::string Text;        // "1.23E-05" or "***"
    bool Centred = false;    // "***" is centred, numbers right-aligned
    bool Highlighted = false;  // shown in the highlight colour
    std::string ToolTip;
};
// count: the rows shown. A sum over rows whose first and last values are
// both 0 has no ratio: a division-by-zero kx::Error.
SumBox TemperSum(const ReactionList& list, int count, bool important);

// "@" repeated n times ("" for n < 1).
std::string FormStr(int n);

// A row of a list as shown in the grid's present order.
struct ShownReaction {
    std::string Number;
    std::string Text;
    double Value = 0;
};

// What the "Copy Table" text is built from.
struct CopiedTable {
    std::string Date;            // "mmm d yyyy"
    std::string SolverFilePath;
    std::string Heading;         // species name, a blank, the list's caption
    std::string IntervalStart;   // the interval of the run
    std::string IntervalEnd;
    std::string ValueHeading;    // " Production"
    std::vector<ShownReaction> Rows;
    std::string SumCaption;
    std::string SumText;
    std::string SpeciesDerivativeText;
};
// The clipboard text (UTF-8), every line ending in CR LF.
std::string CopyReac(const CopiedTable& table);

// "Jan 5 2024": the date as reports show it.
std::string ReportDate(int year, int month, int day);

// A horizontal bar chart of the listed contributions: bar 1 the species'
// change ("Derivative"), bars 2..n+1 the reactions in the list's shown
// order, and subset 0 the zero line.
struct Histogram {
    int SubsetCount = 0;                     // n + 2
    int PointCount = 2;
    std::vector<std::vector<double>> PlotData;  // 2 (n + 2) rows of 2 values: X then Y of each subset
    std::vector<std::string> SubsetLabels;   // 0..n+2
    std::vector<std::string> ItemLabels;     // 1..n+1 (entry 0 empty)
    std::array<std::string, 4> Titles;       // main title, subtitle, X label, Y label
    // The reaction texts of bars 2..n+1 for the chart's long labels (first
    // 48 characters, then the rest or "Empty"), entry s for bar s.
    std::vector<std::pair<std::string, std::string>> LongLabels;
};
// scale must not be 0; n must be below 32766 (else an overflow kx::Error).
Histogram BuildHistogram(const std::vector<ShownReaction>& rows, std::string_view speciesDerivativeText, double scale,
                         std::string_view speciesName);

}  // namespace kx
