// The saved run settings, "SolverData.txt" in the auxiliary folder: every
// settings box as typed and the species with a positive initial fraction,
// saved from one solver file and entered into whatever solver file is
// loaded later (species matched by name).
//
// Layout, lines ending in CR LF: line 1 the index N of the last item, with
// a blank before and after it; then items 0 to N, one a line: 0 the solver
// file's path, 1-11 the settings boxes (pressure, initial, lowest and
// highest temperature, initial and final time, initial step, relative and
// absolute tolerance, step limit, output step), 12 "True" when the
// temperature is integrated else "False", 13 empty, 14 to N "name fraction".
#pragma once

#include "RunSettings.h"

#include <string>
#include <vector>

namespace kx::runs {

inline constexpr const char* kSavedSettingsName = "SolverData.txt";
inline constexpr int kFirstSpeciesItem = 14;

// The items 0 to N for the settings of a solver file.
std::vector<std::string> SavedSettingsItems(const std::string& solverPath, const RunSettings& settings,
                                            const std::vector<SpeciesRow>& species);

// Writes the file anew (through a temporary file: a failed write leaves the
// old one). Throws kx::Error when it cannot be written.
void WriteSavedSettings(const std::string& file, const std::vector<std::string>& items);

// Reads items 0 to N, each trimmed. Throws kx::Error: InputPastEndOfFile
// when the file ends before item N, TypeMismatch when line 1 is no number.
std::vector<std::string> ReadSavedSettings(const std::string& file);

// Puts the items into the settings and fractions in order: the boxes, the
// temperature mode, then every fraction to "0" and each saved species'
// fraction (formatted "0.###E+00") into the first species of that name.
// Throws kx::Error (leaving what was set before) when an item is missing
// or item 12 is neither "True", "False" nor a number.
void ApplySavedSettings(const std::vector<std::string>& items, RunSettings& settings,
                        std::vector<SpeciesRow>& species);

}  // namespace kx::runs
