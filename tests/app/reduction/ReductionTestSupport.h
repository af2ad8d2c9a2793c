// What the reduction tests share: a set-up window that records what the
// engine shows, and the options the holder is made with.
#pragma once

#include <string>
#include <vector>

#include "ReductionEngine.h"

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

}  // namespace kxtest
