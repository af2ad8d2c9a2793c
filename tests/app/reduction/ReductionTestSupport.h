// What the reduction tests share: a set-up window that records what the
// engine shows, and the options the holder is made with.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ReductionEngine.h"
#include "ResultsHolder.h"

namespace kxtest {

// Options giving the gas constant 82.0573661 cm^3 atm/(mol K).
inline constexpr double kAvogadroNumber = 6.02214076e23;
inline constexpr double kUnitFactorE7 = 1.380649e-16;
inline constexpr double kUnitFactorE4 = 1.01325e6;

class RecordingView : public kx::RedGenView {
public:
    void ShowWindow() override { ++shown; }
    void ProgressBarVisible(bool visible) override { barVisible = visible, barEverVisible |= visible; }
    void ProgressValue(float value) override { progress.push_back(value); }
    void CommandEn(bool enabled) override { buttonsEnabled = enabled; }
    void BusyPointer(bool busy) override { this->busy = busy; }

    int shown = 0;
    bool barVisible = false;
    bool barEverVisible = false;
    bool buttonsEnabled = false;
    bool busy = false;
    std::vector<float> progress;
};

// Reduces a run of the GRI sample for methane, oxygen, carbon dioxide and the
// temperature at 0.1, "Others" at 0.3, one stored step per interval: what the
// set-up window does at Prepare and Start with these entries.
inline kx::RedOutcome ReduceForMethane(const std::string& full, const std::string& reduced, kx::Notifier& messages,
                                       kx::RedKinModule& module) {
    RecordingView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    if (kx::RedOpenSourceFile(full, holder, messages, view, kAvogadroNumber, kUnitFactorE7, kUnitFactorE4)) return {};
    const kx::MainParameters p = holder->FromMain_Param();
    const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
    const int pointCount = all.Count - 1;
    const std::vector<kx::RedInterval> intervals = kx::RedSplitIntervals(all.Times, pointCount - 1, 1);
    kx::RedSettings settings;
    settings.TemperatureParameter = 0.1;
    settings.OthersParameter = 0.3;
    for (const char* name : {"CH4", "O2", "CO2"})
        for (std::size_t k = 1; k < p.SpecArrD.size(); ++k)
            if (p.SpecArrD[k] == name) settings.Targets.push_back({static_cast<int>(k), 0.1});
    return kx::GenerateReducedMechanism(module, *holder, reduced, intervals, settings, view, messages);
}

}  // namespace kxtest
