// The reactions of a solver file whose reverse-rate parameters are given
// explicitly, on a line of their own that begins "REV" (any letter case),
// which the desktop program does not support.
//
// Such a line has no place in a reaction record as the solver reads it
// (input_rules.h): the solver's reading takes it for the next record's
// equation line, for a parameter line of the record or for the end line,
// and stops there. Where a record's own lines begin "rev" (an equation or
// third-body label line, which the solver reads past) nothing is amiss.
#pragma once

#include "SolverFileLayout.h"
#include "solver_file.h"

#include <span>
#include <string>
#include <string_view>

namespace kx {

// The reverse-rate lines that stopped the solver's reading of a file's
// input part.
struct RevReactions {
    int FirstLine = 0;  // the first reverse-rate line (from 1); 0 when none stopped the reading
    int Count = 0;      // the reactions with such a line, as far as the records read
    // The equation lines of the first three of them, joined by CR LF, with
    // "..." right after the third when there are more.
    std::string List;
};

// Whether the reading of the input part of the file whose lines are given
// (as the solver splits them) stopped with `error` because of reverse-rate
// lines, `input` being what that reading found (ReadSolverInput): the reaction records are walked as the solver reads them, and a
// line that begins "rev" (blanks before it allowed) where a record cannot
// be read, or where the next record or the end line would begin, is taken
// as the reverse-rate line of the record it follows and passed over. The
// walk ends at the end line, or at the first record that does not read for
// another reason. FirstLine is 0 when the reading stopped before the
// reaction records or at no such line.
RevReactions FindRevReactions(std::span<const std::string_view> lines, const solverfile::SolverInput& input,
                              const SolverInputError& error);

}  // namespace kx
