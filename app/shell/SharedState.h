// The state that all windows of the desktop program share: one instance per
// process, alive from start to end, never saved. Members keep the names the
// windows know them by. Flags are bool (true where the windows test for -1).
#pragma once

#include "PaperSizes.h"
#include "Variant.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kx {

using Colour = std::int32_t;  // red in the low byte, then green, then blue

constexpr Colour kYellow = 0x0000FFFF;      // colour 14 of the 16 basic colours
constexpr Colour kGreyBackground = 9408399;  // 0x8F8F8F, the fall-back main background
constexpr double kMissingValue = -99999;     // an absent point in plot data and tables

struct SharedState {
    // Folders: AppFolder without a trailing "/", AssistFolder = AppFolder + "/AssistFiles/".
    std::string AppFolder;
    std::string AssistFolder;

    // Read from "OPTIONS.txt".
    Colour HighlightColor = 0;
    Colour SelectionColor = 0;
    double GasConstantJ = 0;
    double GasConstantCal = 0;
    double AvogadroNumber = 0;
    double UnitFactorE7 = 0;
    double UnitFactorE4 = 0;
    Colour MainBackColor = 0;

    // Constants and remembered choices (LoadConstants).
    double LN10 = 0;
    double ThermoMinTemperature = 0;
    std::int32_t LineChunk = 0;
    std::int32_t TextFontSize = 0;
    std::array<float, 6> PageSetupValues{};  // margins L, R, T, B (inches), paper, orientation
    std::int32_t PageNumberAlign = 0;
    std::int32_t TickDigitsX = 0;
    std::int32_t TickDigitsY = 0;
    std::int32_t ExportPictureKind = 0;
    std::int32_t ExportDestination = 0;
    std::string ExportFilePath;
    bool CloseRefused = false;
    std::int32_t ConcUnit = 0;
    bool UnitsJoule = false;
    bool LogTimeAxis = false;
    bool LogYDerivatives = false;
    bool LogYReactions = false;
    bool LogYSpecies = false;
    bool LogYAverages = false;
    std::int32_t ConcKindIndex = 0;
    std::array<Variant, 16> MenuFormTextValues{};
    double AverageScaling = 0;
    bool SpeciesNames12 = false;
    std::int32_t KeepConsoleOpen = 0;
    std::array<double, 3> ReductionDefaults{};
    std::int32_t ReductionTargetDefault = 0;
    std::string ReducedFilePath;
    std::int32_t CompareCurveKind = 0;
    std::int32_t CompareLogX = 0;
    std::int32_t CompareLogY = 0;
    double CompareScaleX = 0;
    double CompareScaleY = 0;
    std::string CompareFile2Path;
    double CompareWeightB = 0;

    // Set elsewhere.
    std::string ErrorText;
    std::string PlotSubtitle;
    std::string SolverFileToOpen;
    bool MenuFormLoadFailed = false;
    bool MainWasMaximized = false;
    std::string LastActiveChart;   // caption of the chart window activated last
    bool ChartRebuilding = false;

    // Chart hand-off. PlotData[2s] holds the X values and PlotData[2s + 1]
    // the Y values of subset s, each PlotPointCount long; kMissingValue marks
    // an absent point. The chart window resizes these as it appends.
    std::int16_t PlotPointCount = 0;
    std::int16_t PlotSubsetCount = 0;
    std::vector<std::vector<double>> PlotData;
    std::vector<std::string> PlotSubsetLabels;
    std::array<std::string, 6> PlotTitles{};  // main title, subtitle, X label, Y label, 2 spare
    bool NewChartPending = false;
    std::int32_t AddSubsetCount = 0;
    std::int32_t AddSubsetPointCount = 0;
    std::vector<std::vector<double>> AddSubsetData;
    std::vector<std::string> AddSubsetLabels;
};

// The one instance of the process.
SharedState& Shared();

// Sets the constants and the remembered choices to their start values. The
// paper starts as the default printer's (defaultPrinterPaper) when that is
// Letter or A4, else Letter.
void LoadConstants(SharedState& s, int defaultPrinterPaper);

// AppFolder and AssistFolder for a program folder (a trailing "/" dropped).
void SetFolders(SharedState& s, const std::string& programFolder);

}  // namespace kx
