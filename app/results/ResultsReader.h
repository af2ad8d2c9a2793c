// One solver file with results, read into tables, with the time interval in
// use and the analyses that work on it.
//
// The results window and the reduction's hidden results holder each own one
// ResultsReader and call the same code; the few differences between the two
// (caption, failure tags, the layout of one time list) follow the owner given
// at construction. Values that the windows show (the caption, the interval
// texts, the number of points) are kept here and read by the window.
//
// Reporting: messages that a procedure shows itself go to the Notifier;
// procedures with a location tag throw TaggedError (tag + description) and
// change nothing that the failure would leave half-built.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Kinetics.h"
#include "Messages.h"
#include "Table2.h"

namespace kx {

enum class ReaderOwner {
    ResultsWindow,    // the results window
    ReductionHolder,  // the reduction's hidden results holder
};

// The tables read from the file. Arrays are 0-based; index 0 of the species
// and reaction dimensions is not used, so species k is row k and reaction r
// is row r, and columns carry the field numbers of the solver file.
struct ResultsTables {
    // Header values.
    int NumSpecies = 0;              // NS, line 10
    int NumReactions = 0;            // NR, line 11
    double Pressure = 0;             // atm, line 14
    int TemperatureMode = 0;         // line 15: 0 constant temperature, 1 energy equation
    double InitialTemperature = 0;   // K, line 16
    double AbsTolerance = 0;         // line 24
    double ZeroThreshold = 0;        // ZeroThresholdOf(AbsTolerance): fractions not above it are absent
    double GasConstantE = 0;         // line 31
    double GasConstantConc = 0;      // line 32
    int NumColumns = 0;              // NS + 3

    // (0..NS, 0..18): 1-14 polynomial coefficients (1-7 upper range, 8-14
    // lower), 15 molar mass, 16-18 low, high and switch temperature.
    Table2<double> ThermoTable;
    // (0..NumColumns): entry k + 2 is the initial mole fraction of species k.
    std::vector<double> InitialMoleFractions;

    std::vector<std::string> ReactionEquations;  // (0..NR)
    // (0..NR, 0..26): 1-16 the integer fields, 17-26 listed collision partners.
    Table2<int> ReactionInts;
    // (0..NR, 0..25): 1-3 A, n, E; 4-6 low-pressure A, n, E; 7-11 fall-off
    // parameters; 12-21 partner efficiencies; 22-25 written by the kinetics.
    Table2<double> ReactionReals;

    // (0..NumColumns - 1): "Time(s)", "T(K)", "Ro", then the species names.
    std::vector<std::string> ColumnNames;
    // (0..NumColumns - 1): 8 + 17k, where field k starts in a joined record.
    std::vector<int> RawFieldStart;
    // Row 0 the column header, rows 1.. the records: 17-character fields,
    // field c in characters 17c + 1 to 17c + 16 (0 time, 1 temperature,
    // 2 density, k + 2 mass fraction of species k).
    std::vector<std::string> ResultRows;
    int ResultRowCount = 0;          // records + 1
    // (0..ResultRowCount - 1, 0..NumColumns - 1): the fields of ResultRows
    // parsed once (every field of a record reads as a finite number; row 0,
    // the heading, is NaN). Column 2 is RowDensity.
    Table2<double> ResultValues;
    // Time of each row rounded to seven significant digits (entry 0 unused).
    std::vector<double> RoundedTimes;
    std::vector<double> RowDensity;  // g/cm^3, entry 0 unused
    std::vector<int> RecordLines;    // the file line of each row's record, entry 0 unused
    double FirstTime = 0;            // rounded to seven significant digits
    double LastTime = 0;
    // The results end at their closing "!$End" line; false for a run cut
    // off or stopped by an error, or a file cut short.
    bool ResultsClosed = false;
    double FinalTime = 0;            // the run's final time, line 20 as the solver reads it

    std::string ResultFilePath;
    std::string ResultFileName;
};

// The rows of the current time interval.
struct UsedRowsState {
    double IntervalStart = 0;  // the interval in use
    double IntervalEnd = 0;
    int FirstUsedRow = 0;
    int LastUsedRow = 0;
    int PointCount = 0;        // rows in the interval, shown beside "The number of points"
    int UsedCount = 0;         // used points + 1; entry 0 of the lists is not used
    std::vector<int> UsedRows;          // row number in ResultRows of each used point
    std::vector<double> UsedTimes;      // time of each used point
    std::vector<double> UsedDensity;    // density of each used point
    int PointStep = 1;         // every PointStep-th row of the interval is used
    double TimeScale = 1;      // factor for times on curves
    double YScale = 1;         // factor for curve values
    bool AddToChart = false;   // the next curve goes onto the open chart
    bool LogTimeAxis = false;  // curves use log10 of time
};

// What FromMain_Param hands over; arrays are 0..NumColumns - 1, entries 1..NS used.
struct MainParameters {
    double SMin = 0, Smax = 0;
    int RowCntD = 0;
    std::vector<std::string> SpecArrD;
    std::string SolverFile;
    double Pressur = 0;
    std::vector<double> InitFract;
    int NTemper = 0;
};

struct InitialCondition {
    std::string SolPass;
    std::vector<bool> InitFractBB;  // 0..NumColumns - 1; entry k true when species k starts present
};

// The interval as UsedData left it and the times of its used points.
struct IntervalPoints {
    double UsMin = 0, UsMax = 0;
    int Count = 0;              // NtimeP or NPoints, as the method says
    std::vector<double> Times;
    // False when the interval held fewer than 2 x PointStep rows: the used
    // points (and Times) are still those of the previous selection.
    bool Rebuilt = false;
};

// The reaction list of a species with each reaction's contribution.
struct ContributionTable {
    std::vector<int> Numbers;          // reaction numbers, in reaction order
    std::vector<std::string> Texts;    // their equations
    std::vector<double> Contributions; // mol/g of the species over the interval (0 without DerFlag)
    double ActualChange = 0;           // the species' change over the interval, mol/g
    bool DerFlag = false;
    int Count() const { return static_cast<int>(Numbers.size()); }
};
using ReacUpdateCallback = std::function<void(const ContributionTable&)>;

class ResultsReader {
public:
    // gasConstantCm3Atm: the gas constant R' in cm^3 atm/(mol K) of the
    // density P/(R' T): AvogadroNumber x UnitFactorE7 / UnitFactorE4 of the
    // options.
    ResultsReader(Notifier& messages, double gasConstantCm3Atm, ReaderOwner owner = ReaderOwner::ResultsWindow);

    // Reads the file and selects the whole run. On failure the message has
    // been shown (results not found, incomplete, too few records, or the
    // error's description with the critical icon: a line that does not read,
    // named) and false is returned. Results that do not end at their closing
    // line are read as far as they go; the results window is told so.
    bool OPEN_Rich(const std::string& path);
    bool Loaded() const { return loaded_; }

    const ResultsTables& Tables() const { return tables_; }
    const UsedRowsState& Used() const { return used_; }
    // "Solver File  " or, for the reduction's holder, "Solver " and the file name.
    std::string Caption() const;
    // Field c of result row i, parsed (NaN in row 0, the heading).
    double Value(int row, int field) const;
    std::string_view FieldText(int row, int field) const;
    std::string IntervalStartText() const;  // "0.000000E+00"
    std::string IntervalEndText() const;

    // Failure tags of the methods below (TaggedError): UsedData "Sol#117. "
    // ("Sol#117-1 " in the holder), FromMain_Param "MenForm#121. " ("Sol#121. "),
    // RED_ToMainParam "Sol#112-2 ", ToMainParam "Sol#112. ", ToMain_Param
    // "Sol#122. ", ShowReacDeRe "Sol#131. ". A failure of UsedData inside
    // another method keeps its own tag.

    // Rebuilds the used rows from the interval and PointStep. Returns false
    // when the interval holds fewer than 2 x PointStep rows: the selection
    // in use stays whole (its rows, their count and its interval). An
    // interval whose first or stop row would be row 1 fails and leaves the
    // selection alike.
    bool UsedData();

    MainParameters FromMain_Param();
    InitialCondition red_InitialCond() const;
    // Sets the interval, runs UsedData; Count = used points, Times 1-based.
    // An interval with too few points fails: the reduction never works on
    // the rows of another interval.
    IntervalPoints RED_ToMainParam(double usMin, double usMax);
    // As RED_ToMainParam; for the results window Count = used points + 1 with
    // the times in entries 1..Count - 1, for the reduction's holder Count =
    // used points + 1 with the times in entries 0..Count - 2. Rebuilt tells
    // whether the interval was taken. Both fail rather than hand over fewer
    // than two points.
    IntervalPoints ToMainParam(double usMin, double usMax);
    // As ToMainParam with the point step of the General page taken together
    // with the interval: when the interval holds too few points for the
    // step (Rebuilt false) neither is taken, and the step in use stays too.
    IntervalPoints ToMainParam(double usMin, double usMax, int pointStep);
    // The plot settings of the General page, then UsedData. pointStepText and
    // timeScaleText are the texts of the point-presentation and X-axis scaling
    // boxes; a text that is not a number fails (values set before stay set).
    // A step that leaves too few points, or fails, is not taken: the step
    // of the rows in use stays, and false is returned.
    bool ToMain_Param(bool addToChart, double factorT, std::string_view pointStepText,
                      std::string_view timeScaleText, bool logTimeAxis);
    // The add-to-chart request, cleared once a curve is handed to the chart
    // and when the window is activated.
    void SetAddToChart(bool add) { used_.AddToChart = add; }

    // True when two consecutive times of rows kin..kend are equal; then the
    // message is shown. times[i] is the time of row i.
    bool Resolution(int kin, int kend, std::span<const double> times);

    // The reactions that change species num (1..NS) and, with derFlag, what
    // each contributed over the current interval; handed to reacUpdate. When
    // stored times cannot be told apart the message is shown and nothing is
    // handed over.
    void ShowReacDeRe(int num, bool derFlag, const ReacUpdateCallback& reacUpdate);

    // The integral over the current interval of each listed reaction's value
    // (reactions[m], 1..NR): its net rate per gram (mol/g) or, with heat, its
    // part of the rate of temperature change (K). Throws when the interval's
    // rows are not set or two stored times of its working range (the
    // interval and one stored row beyond each end) are equal.
    std::vector<double> IntervalIntegrals(std::span<const int> reactions, bool heat);

    // The model as the kinetics formulas read it (columns 22-25 of
    // ReactionReals are written by every evaluation).
    KineticModel Model();
    // The kinetics at the stored state of result row `row`: temperature from
    // the row in mode 1, concentrations y rho / W with mass fractions not
    // above ZeroThreshold taken as 0 (CountsAsZero).
    void RatesAtRow(int row, const std::vector<bool>& selected, bool heatTerm, bool temperatureDerivative,
                    ReactionRates& out);

private:
    enum class ReadOutcome { Read, ResultsNotFound, Incomplete, FewRecords };
    ReadOutcome ReadFile(const std::string& path);
    bool UsedDataBody();
    void KeepUsedInterval();
    // The rows of the current interval and of its working range.
    struct WorkingRange {
        int First = 0, Last = 0, Start = 0, End = 0;
    };
    // Checks the interval's rows and puts the times of the working range
    // into timesWork_.
    WorkingRange GatherWorkingTimes();
    std::vector<double> Integrate(const WorkingRange& w, std::span<const int> reactions, bool heat);
    IntervalPoints SelectInterval(double usMin, double usMax);
    double RawTime(int row) const;
    double RoundedTime(int row) const;
    void RequireLoaded() const;
    std::string_view Tag(std::string_view resultsWindowTag, std::string_view holderTag) const;

    Notifier& messages_;
    ReaderOwner owner_;
    double gasConstantCm3Atm_;
    bool loaded_ = false;
    ResultsTables tables_;
    UsedRowsState used_;
    std::vector<double> stateWork_;
    std::vector<double> timesWork_;
};

// A time rounded to seven significant digits: formatted "0.000000E+00" and
// read back.
double RoundToSevenDigits(double value);

// What a window says of results that do not end at their closing line (a
// run cut off or stopped, a file cut short): "In the file '<path>', results
// are incomplete: they end at <lastTime> s of the run's final time
// <finalTime> s." The final time is left out when it is no number; number
// 1 or 2 names the file as the comparison does ("In the file 1 '...").
std::string IncompleteResultsNote(const std::string& path, double lastTime, double finalTime, int number = 0);

}  // namespace kx
