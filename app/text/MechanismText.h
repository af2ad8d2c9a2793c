// The reaction mechanism of a solver file, read from its fixed columns, and
// written back as mechanism text in CHEMKIN form: ELEMENTS, SPECIES, THERMO
// (NASA 7-coefficient records in their fixed columns) and REACTIONS, with
// every equation rebuilt from the integer fields of its record.
//
// What the solver's kinetics mean by the fields, and how each becomes
// CHEMKIN text:
// - third-body flag above 0: "+M" (or "(+M)" for a fall-off reaction), every
//   species counting 1 unless the listed efficiencies say otherwise;
// - flag 0 with one listed collider S: S is the only collider. Outside
//   fall-off S stands on both sides ("H2+AR<=>2H+AR"); in fall-off the
//   reaction is written "(+S)". An efficiency other than 1 is folded into A
//   (into the low-pressure A for fall-off), which gives the same rates;
// - flag 0 with several listed colliders: "+M" with their efficiencies and
//   every other species at 0;
// - reverse flag 1: "<=>", any other value: "=>";
// - fall-off broadening 1 and 3: TROE with four and three values, 2: SRI.
//   SRI's d is applied by the solver only when above 0, so d <= 0 is
//   written as 1.
// A is written in cm-mol-s and E in the energy unit of the file's gas
// constant (line 31) when it is a usual one (else in kelvins); a file whose
// concentration gas constant (line 32) is not in cm3 atm/(mol K) has its A
// values converted to cm-mol-s.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kx::text {

struct MechanismSpecies {
    std::string name;                                  // columns 7-22, blanks removed
    std::vector<std::pair<std::string, int>> elements;  // symbol and count, as in columns 24-45
    double lowT = 0, highT = 0, commonT = 0;
    std::array<double, 14> coefficients{};             // 1-7 upper range, 8-14 lower range
};

struct MechanismReaction {
    int lineNumber = 0;         // the equation line in the file
    std::string equationLine;   // the equation line without its number
    std::array<int, 27> ints{};     // fields 1-26 (0 unused)
    std::array<double, 22> reals{};  // fields 1-21 (0 unused)
};

struct SolverMechanism {
    std::string description;    // header line 2, trimmed
    double gasConstantE = 0;    // line 31
    double gasConstantConc = 0; // line 32
    std::vector<MechanismSpecies> species;
    std::vector<MechanismReaction> reactions;
};

// Reads the mechanism from the lines of a solver file. A field that does
// not read under its layout, a missing line or a species number outside
// the species list throws kx::Error naming the line.
SolverMechanism ReadSolverMechanism(const std::vector<std::string>& lines);
// The same of the solver file at the path, its lines as the solver splits
// them. Reading failures throw kx::Error too.
SolverMechanism ReadSolverMechanismFile(const std::string& path);

// The rebuilt equation of reaction r (0-based), as it is written in the
// REACTIONS section ("H+O2(+M)<=>HO2(+M)").
std::string ReactionEquation(const SolverMechanism& m, std::size_t r);

// Which reactions must be declared DUPLICATE: those with the same species on
// each side (or on swapped sides when one of them is reversible), the same
// kind of third body, and third bodies that share a species.
std::vector<bool> DuplicateReactions(const SolverMechanism& m);

// A value that has no form within its columns of the thermo section: the
// message names the species and the value, for the user.
class ChemkinFieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The mechanism text, one line per entry, without line ends. sourceName
// names the solver file in the opening comment. Every value of the thermo
// section is written within its columns (with fewer digits or in exponent
// form when its field asks for it); a species with a value that fits in no
// form (a name of more than 18 characters, an element symbol of more than
// two letters or a count of more than three columns, more than five
// elements, a number that would keep fewer than four digits or is no finite
// number) throws ChemkinFieldError.
std::vector<std::string> ChemkinText(const SolverMechanism& m, const std::string& sourceName);

// A number as E15.8 ("-8.35034000E+02", 15 columns).
std::string FixedExponent15(double value);

}  // namespace kx::text
