// The rules of the reduction set-up window without the window: the targets
// table behind its grid with its defaults, the checks of its entries in the
// order Start makes them, the settings handed to the engine, and the checks
// of the reduced file's path.
//
// Texts are the entries as typed; the checks trim the blanks around them
// themselves. A refusal carries the message the window shows and which entry
// it concerns; nothing here shows anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ReductionEngine.h"

namespace kx {

// One species of the source run as the targets grid shows it.
struct RedTargetRow {
    std::string Name;
    bool InitialNonzero = false;  // its initial mole fraction is above 0
    std::string Parameter;        // as typed, blanks included; blank: not a target
};

// The parameter a species with a nonzero initial fraction starts with.
inline constexpr double kRedDefaultParameter = 0.1;

// The table for the species names[1..NS]: the default parameter where
// nonzero[k] is set, none elsewhere. Entry 0 stays empty.
std::vector<RedTargetRow> RedDefaultTargets(const std::vector<std::string>& names, const std::vector<bool>& nonzero);

// The entry a refusal concerns.
enum class RedEntry { None, Species, Others, Temperature, Targets, Steps };

struct RedRefusal {
    RedEntry Entry = RedEntry::None;
    int Row = 0;  // the species row, for RedEntry::Species
    std::string Message;
    bool Refused() const { return Entry != RedEntry::None; }
};

// The species parameters: each one that is not blank must be a number from
// 0 to 1. The first row that is not refuses.
RedRefusal RedCheckSpeciesParameters(const std::vector<RedTargetRow>& targets);

// The parameter boxes: "Others" must not be blank; the temperature box
// (blank when the temperature is not a target) and "Others" must hold a
// number from 0 to 1.
RedRefusal RedCheckParameterBoxes(std::string_view temperature, std::string_view others);

// At least one target: the temperature or a species with a parameter.
RedRefusal RedCheckTargetCount(std::string_view temperature, const std::vector<RedTargetRow>& targets);

// The number of averaged steps: a number from 1 to pointCount - 1. When it
// passes, steps is that number rounded to the nearest whole one (halves to
// the even one).
RedRefusal RedCheckAveragedSteps(std::string_view text, int pointCount, int& steps);

// The settings of a run from entries that passed the checks: the
// temperature parameter (-1 when its box is blank), the species with a
// parameter in row order, and the "Others" parameter.
RedSettings RedSettingsFrom(std::string_view temperature, std::string_view others,
                            const std::vector<RedTargetRow>& targets);

// The reduced file that a typed path names, as the window shows it before
// anything is written: the blanks around it dropped, and a path without a
// folder, or relative to one, taken from the folder of the source solver
// file (so "red2.txt" goes beside the source, whatever the program's
// working folder). An absolute path and an empty one stay as they are.
std::string RedTargetPath(std::string_view typed, std::string_view source);

// The reduced file and the source are the same file: the same file on disk
// (a link, another spelling of the folder), or paths that differ only in
// letter case once made absolute and normal. Blank paths are never the same.
bool RedSameFile(std::string_view source, std::string_view reduced);

// Why the reduced file's extension is refused: one the program keeps other
// files under (exe, pdb, dll, pdf, pg in any letter case), named as typed;
// "" when it is allowed.
std::string RedExtensionRefusal(std::string_view path);
inline bool RedExtensionAllowed(std::string_view path) { return RedExtensionRefusal(path).empty(); }

// Why the reduced file cannot be written at the path (its blanks removed),
// in the words of the file layer ("Path not found: /no/such/r.txt."), or ""
// when it can: the folder takes a new file, and a file already there is a
// writable regular file. Nothing is changed: an existing file stays as it
// was and the probe file made beside it is removed again. A symbolic link is
// judged by the file it names (or would make) and that file's folder, as
// the writer follows it.
std::string RedWriteRefusal(std::string_view path);
inline bool RedCanWriteFile(std::string_view path) { return RedWriteRefusal(path).empty(); }

// Whether writing the reduced file at the path replaces a file that is not a
// solver file: a file (or a link to one) is there and its first line does
// not begin with the solver-file signature. The window asks before it
// replaces any file it did not write itself, and says so when the file is
// no solver file. Reads the first line only.
bool RedReplacesOtherFile(std::string_view path);

}  // namespace kx
