#include "SharedState.h"

#include "Errors.h"
#include "Format.h"

#include <cmath>

namespace kx {

double NumberOf(const Variant& v) {
    if (const double* d = std::get_if<double>(&v)) return *d;
    if (const std::string* t = std::get_if<std::string>(&v)) {
        auto n = ParseNumber(*t);
        if (!n) throw Error(ErrorKind::TypeMismatch);
        return *n;
    }
    return 0.0;
}

std::string TextOf(const Variant& v) {
    if (const double* d = std::get_if<double>(&v)) return NumberToText(*d);
    if (const std::string* t = std::get_if<std::string>(&v)) return *t;
    return {};
}

SharedState& Shared() {
    static SharedState state;
    return state;
}

void SetFolders(SharedState& s, const std::string& programFolder) {
    std::string folder = programFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    s.AppFolder = folder;
    s.AssistFolder = folder + "/AssistFiles/";
}

void LoadConstants(SharedState& s, int defaultPrinterPaper) {
    s.LN10 = std::log(10.0);
    s.ThermoMinTemperature = 100;
    s.LineChunk = 1000;
    s.TextFontSize = 11;
    const int paper = (defaultPrinterPaper == kPaperLetter || defaultPrinterPaper == kPaperA4) ? defaultPrinterPaper
                                                                                                : kPaperLetter;
    s.PageSetupValues = {0.5F, 0.5F, 1.0F, 1.0F, static_cast<float>(paper), 1.0F};
    s.PageNumberAlign = 1;
    s.TickDigitsX = 3;
    s.TickDigitsY = 3;
    s.ExportPictureKind = 0;
    s.ExportDestination = 0;
    s.ExportFilePath.clear();
    s.CloseRefused = false;
    s.ConcUnit = 0;
    s.UnitsJoule = true;
    s.LogTimeAxis = true;
    s.LogYDerivatives = s.LogYReactions = s.LogYSpecies = s.LogYAverages = false;
    s.ConcKindIndex = 0;
    s.MenuFormTextValues = {};
    const double boxValues[11] = {1, 1, 1, 1, 0.1, 1, 1, 0.1, 1, 1, 0.1};
    for (int i = 0; i < 11; ++i) s.MenuFormTextValues[static_cast<size_t>(i) + 1] = boxValues[i];
    s.AverageScaling = 1.0;
    s.SpeciesNames12 = true;
    s.KeepConsoleOpen = 0;
    s.ReductionDefaults = {0.1, 0.3, 0.1};
    s.ReductionTargetDefault = 1;
    s.ReducedFilePath.clear();
    s.CompareCurveKind = 0;
    s.CompareLogX = 1;
    s.CompareLogY = 0;
    s.CompareScaleX = 1.0;
    s.CompareScaleY = 1.0;
    s.CompareFile2Path.clear();
    s.CompareWeightB = 0.5;
}

}  // namespace kx
