#include "MechanismText.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "fixed_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <system_error>

namespace kx::text {

using namespace solverfile;

namespace {

constexpr double kCalorieGasConstant = 1.98720425864083;  // cal/(mol K)
constexpr double kJouleGasConstant = 8.31446261815324;    // J/(mol K)
constexpr double kCgsGasConstant = 82.0573661;            // cm3 atm/(mol K)
constexpr std::size_t kLineWidth = 78;                    // longest SPECIES and efficiency lines
// CHEMKIN's lines are 80 columns long; a reaction line holds the equation
// in its first columns and A, n and E right-aligned in the columns after it.
constexpr std::size_t kChemkinColumns = 80;
constexpr std::size_t kEquationWidth = 40;
constexpr std::size_t kRateWidths[] = {13, 9, 13};

std::string withoutBlanks(std::string_view field) {
    std::string t;
    for (char c : field)
        if (c != ' ' && c != '\t') t += c;
    return t;
}

// A whole number in a fixed field, as the solver reads it.
int fieldInt(std::string_view field, int line) {
    int value = 0;
    if (!fmt::ReadIntField(field, value)) throw Error(ErrorKind::TypeMismatch, LineLabel(line));
    return value;
}

// Element symbols, each followed by its count ("C1H4", "AR1"); a symbol
// without a count counts 1 (the word SpeciesComposition gives).
std::vector<std::pair<std::string, int>> readFormula(std::string_view text, int line) {
    std::vector<std::pair<std::string, int>> elements;
    std::size_t i = 0;
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && isLetter(text[i])) ++i;
        if (i == start) throw Error(ErrorKind::TypeMismatch, "element composition, " + LineLabel(line));
        std::string symbol = UpperAscii(text.substr(start, i - start));
        const std::size_t digits = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        const int count = i == digits ? 1 : fieldInt(text.substr(digits, i - digits), line);
        auto same = std::find_if(elements.begin(), elements.end(), [&](const auto& e) { return e.first == symbol; });
        if (same != elements.end())
            same->second += count;
        else
            elements.emplace_back(std::move(symbol), count);
    }
    return elements;
}

class LineSource {
public:
    explicit LineSource(const std::vector<std::string>& lines) : lines_(lines) {}
    // Line n (from 1); a missing line is an error.
    std::string_view line(int n) const {
        if (n < 1 || static_cast<std::size_t>(n) > lines_.size())
            throw Error(ErrorKind::InputPastEndOfFile, LineLabel(n));
        return lines_[static_cast<std::size_t>(n - 1)];
    }

private:
    const std::vector<std::string>& lines_;
};

// ---- Writing -------------------------------------------------------------

// The shortest text that reads back as the value: "3.547E+15", "-0.406",
// "16599.0", "1E-30".
std::string number(double value, bool scientific = false) {
    char buf[64];
    const auto format = scientific ? std::chars_format::scientific : std::chars_format::general;
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, format);
    std::string s(buf, p);
    for (char& c : s)
        if (c == 'e') c = 'E';
    if (s.find_first_of(".E") == std::string::npos && s.find("inf") == std::string::npos &&
        s.find("nan") == std::string::npos)
        s += ".0";
    return s;
}

// The text left-aligned (padRight) or right-aligned (padLeft) in width
// columns; a longer text is kept whole.
std::string padRight(std::string_view s, std::size_t width) {
    std::string pattern(width + 1, '@');
    pattern[0] = '!';
    return Format(s, pattern);
}

std::string padLeft(std::string_view s, std::size_t width) { return Format(s, std::string(width, '@')); }

// One side of an equation: species in the order listed, a species listed n
// times written once as "nX".
std::string side(const SolverMechanism& m, const std::vector<int>& listed) {
    std::vector<std::pair<int, int>> counted;
    for (int s : listed) {
        auto it = std::find_if(counted.begin(), counted.end(), [s](const auto& c) { return c.first == s; });
        if (it != counted.end())
            ++it->second;
        else
            counted.emplace_back(s, 1);
    }
    std::string text;
    for (const auto& [s, n] : counted) {
        if (!text.empty()) text += '+';
        if (n > 1) text += std::to_string(n);
        text += m.species[static_cast<std::size_t>(s - 1)].name;
    }
    return text;
}

enum class Collider {
    None,      // no third body
    Mixture,   // "+M" / "(+M)" with efficiencies
    Single,    // one species: beside the reactants, or "(+S)" in fall-off
};

// What the fields of one reaction say, in the terms the text needs.
struct ReactionForm {
    std::vector<int> reactants, products;  // species numbers, colliders not included
    bool reversible = false;
    bool falloff = false;
    Collider collider = Collider::None;
    int single = 0;              // the species of a Single collider
    double singleFactor = 1;     // its efficiency, folded into A
    // Mixture efficiencies as written, in listing order; for a list of
    // colliders without a third body of all species, every other species
    // follows at 0.
    std::vector<std::pair<int, double>> efficiencies;
    std::vector<double> weight;  // the collider weight of each species (from 1), for duplicates
};

ReactionForm formOf(const SolverMechanism& m, const MechanismReaction& r) {
    const int ns = static_cast<int>(m.species.size());
    const std::string where = LineLabel(r.lineNumber);
    auto species = [&](int s) {
        if (s < 1 || s > ns) throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(s) + ", " + where);
        return s;
    };
    ReactionForm f;
    const int nR = r.ints[10], nP = r.ints[11];
    if (nR < 1 || nR > 3 || nP < 1 || nP > 6)
        throw Error(ErrorKind::SubscriptOutOfRange, "reactant or product count, " + where);
    for (int k = 1; k <= nR; ++k) f.reactants.push_back(species(r.ints[static_cast<std::size_t>(k)]));
    for (int k = 4; k < 4 + nP; ++k) f.products.push_back(species(r.ints[static_cast<std::size_t>(k)]));
    f.reversible = r.ints[16] == 1;
    f.falloff = r.ints[14] == 1;
    f.weight.assign(static_cast<std::size_t>(ns) + 1, 0.0);

    const bool allSpecies = r.ints[12] > 0;
    const int listed = std::clamp(r.ints[13], 0, 10);
    // Each listed species adds its efficiency less the default to the
    // collider concentration, so a species listed twice adds both.
    std::vector<std::pair<int, double>> merged;
    const double base = allSpecies ? 1.0 : 0.0;
    for (int j = 1; j <= listed; ++j) {
        const int s = r.ints[static_cast<std::size_t>(16 + j)];
        if (s == 0) continue;  // a blank place
        species(s);
        const double e = r.reals[static_cast<std::size_t>(11 + j)];
        auto it = std::find_if(merged.begin(), merged.end(), [s](const auto& p) { return p.first == s; });
        if (it != merged.end())
            it->second += e - base;
        else
            merged.emplace_back(s, e);
    }
    if (allSpecies) {
        f.collider = Collider::Mixture;
        f.efficiencies = merged;
        std::fill(f.weight.begin() + 1, f.weight.end(), 1.0);
        for (const auto& [s, e] : merged) f.weight[static_cast<std::size_t>(s)] = e;
    } else if (merged.size() == 1) {
        f.collider = Collider::Single;
        f.single = merged[0].first;
        f.singleFactor = merged[0].second;
        f.weight[static_cast<std::size_t>(f.single)] = 1.0;
    } else if (!merged.empty() || f.falloff) {
        // Only the listed species collide: every other one at 0. A fall-off
        // reaction without any collider field is written with plain (+M).
        f.collider = Collider::Mixture;
        if (!merged.empty()) {
            f.efficiencies = merged;
            for (int s = 1; s <= ns; ++s)
                if (std::none_of(merged.begin(), merged.end(), [s](const auto& p) { return p.first == s; }))
                    f.efficiencies.emplace_back(s, 0.0);
            for (const auto& [s, e] : merged) f.weight[static_cast<std::size_t>(s)] = e;
        } else {
            std::fill(f.weight.begin() + 1, f.weight.end(), 1.0);
        }
    }
    return f;
}

std::string equationOf(const SolverMechanism& m, const ReactionForm& f) {
    std::string left = side(m, f.reactants), right = side(m, f.products);
    std::string suffix;
    if (f.collider == Collider::Mixture)
        suffix = f.falloff ? "(+M)" : "+M";
    else if (f.collider == Collider::Single)
        suffix = (f.falloff ? "(+" : "+") + m.species[static_cast<std::size_t>(f.single - 1)].name +
                 (f.falloff ? ")" : "");
    return left + suffix + (f.reversible ? "<=>" : "=>") + right + suffix;
}

// The species of each side as counts per species, the explicit collider
// included; the counts divided by their common divisor, so "2A=>2B" and
// "A=>B" compare equal, as CHEMKIN readers compare them.
using Stoichiometry = std::map<std::pair<int, int>, int>;  // (side, species) -> count

Stoichiometry stoichiometry(const ReactionForm& f, bool swapped) {
    Stoichiometry st;
    auto add = [&](const std::vector<int>& list, int sideNo) {
        for (int s : list) ++st[{sideNo, s}];
        if (f.collider == Collider::Single && !f.falloff) ++st[{sideNo, f.single}];
    };
    add(f.reactants, swapped ? 1 : 0);
    add(f.products, swapped ? 0 : 1);
    int g = 0;
    for (const auto& [key, n] : st) g = std::gcd(g, n);
    for (auto& [key, n] : st) n /= g;
    return st;
}

bool shareCollider(const ReactionForm& a, const ReactionForm& b) {
    for (std::size_t s = 1; s < a.weight.size(); ++s)
        if (a.weight[s] * b.weight[s] != 0.0) return true;
    return false;
}

// The kind of third body as CHEMKIN readers tell reactions apart: none (an
// explicit collider is a species like any other), "+M", fall-off.
int colliderKind(const ReactionForm& f) {
    if (f.falloff) return 2;
    return f.collider == Collider::Mixture ? 1 : 0;
}

// "    KEYWORD / v1 v2 ... /"; the first value in exponent form when asked
// (the A of a rate constant).
// An auxiliary line such as "    LOW / 1.0E+16 0.0 0.0 /"; written without
// its spacing when that is too long for the line.
std::string slashes(const std::string& keyword, const std::vector<double>& values, bool firstScientific = false) {
    std::string spaced = "    " + keyword + " /", tight = keyword + "/";
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string v = number(values[k], firstScientific && k == 0);
        spaced += " " + v;
        tight += (k == 0 ? "" : " ") + v;
    }
    spaced += " /";
    tight += "/";
    return spaced.size() <= kChemkinColumns ? spaced : tight;
}

// The reaction line: the equation in its column and the rate parameters
// right-aligned after it; a long equation or long numbers are written one
// blank apart instead, so that the line keeps to 80 columns. (Only an
// equation that alone nearly fills a line could still make it longer.)
std::string reactionLine(const std::string& equation, const std::array<std::string, 3>& rates) {
    std::string line = padRight(equation, kEquationWidth);
    for (std::size_t k = 0; k < rates.size(); ++k) line += " " + padLeft(rates[k], kRateWidths[k]);
    if (line.size() <= kChemkinColumns) return line;
    line = equation;
    for (const std::string& rate : rates) line += " " + rate;
    return line;
}

// A comment of the text's opening: "! " and the text, in lines of at most
// 80 columns broken between words (a word too long for a line is broken
// where the line ends).
void appendComment(std::vector<std::string>& out, const std::string& text) {
    const std::size_t room = kChemkinColumns - 2;
    std::string line;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        std::string word = text.substr(pos, end - pos);
        pos = end + 1;
        while (!word.empty()) {
            const std::size_t joined = line.empty() ? word.size() : line.size() + 1 + word.size();
            if (joined <= room) {
                line += (line.empty() ? "" : " ") + word;
                word.clear();
            } else if (!line.empty()) {
                out.push_back("! " + line);
                line.clear();
            } else {
                out.push_back("! " + word.substr(0, room));
                word.erase(0, room);
            }
        }
    }
    out.push_back("! " + line);
}

// Lines of "NAME/value/" pairs, each no longer than the line width.
void appendWrapped(std::vector<std::string>& out, const std::vector<std::string>& items, const std::string& indent,
                   const std::string& separator) {
    std::string line;
    for (const std::string& item : items) {
        if (!line.empty() && line.size() + separator.size() + item.size() > kLineWidth) {
            out.push_back(line);
            line.clear();
        }
        line += line.empty() ? indent + item : separator + item;
    }
    if (!line.empty()) out.push_back(line);
}

// ---- The fixed fields of the thermo records ---------------------------------
//
// Readers of this section take every value from its own columns, so every
// value must fit its field; what does not fit is refused, never written into
// the columns of the next field.

constexpr std::size_t kNameColumns = 18;         // columns 1-18
constexpr std::size_t kTemperatureColumns = 10;  // low and high: 46-55, 56-65
constexpr std::size_t kCommonColumns = 8;        // 66-73
constexpr std::size_t kSymbolColumns = 2;        // each element: symbol, then
constexpr std::size_t kCountColumns = 3;         // its count
constexpr std::size_t kElementFields = 5;        // four in 25-44, one in 74-78
// A number is written with fewer digits when its field asks for it, but no
// fewer than these: a value that would keep less of itself is refused.
constexpr int kLeastDigits = 4;

[[noreturn]] void refuse(const MechanismSpecies& sp, const std::string& what, const std::string& why) {
    throw ChemkinFieldError("The reactions cannot be written in CHEMKIN format: " + what + " of the species " +
                            sp.name + " " + why + ".");
}

std::string columnsOfField(std::size_t columns) {
    return "the " + std::to_string(columns) + " columns of its field in the thermodynamic data";
}

// The forms of a number of the given significant digits (sign, digits,
// decimal exponent of the first digit) that fixed-column readers take, the
// usual ones first: "1234.5", ".00012345", "1.2345E+03", "1.2345E3",
// "12345E-1".
std::vector<std::string> formsOf(bool negative, const std::string& digits, int exponent) {
    const std::string sign = negative ? "-" : "";
    const int n = static_cast<int>(digits.size());
    std::vector<std::string> forms;
    if (exponent >= n - 1) {
        forms.push_back(sign + digits + std::string(static_cast<std::size_t>(exponent - n + 1), '0') + ".");
    } else if (exponent >= 0) {
        const auto point = static_cast<std::size_t>(exponent + 1);
        forms.push_back(sign + digits.substr(0, point) + "." + digits.substr(point));
    } else {
        const std::string fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        forms.push_back(sign + "0." + fraction);
        forms.push_back(sign + "." + fraction);
    }
    const std::string mantissa = sign + digits.substr(0, 1) + (n > 1 ? "." + digits.substr(1) : "");
    const std::string e = std::to_string(std::abs(exponent));
    forms.push_back(mantissa + "E" + (exponent < 0 ? "-" : "+") + (e.size() < 2 ? "0" : "") + e);
    forms.push_back(mantissa + "E" + (exponent < 0 ? "-" : "") + e);
    forms.push_back(sign + digits + "E" + std::to_string(exponent - (n - 1)));
    return forms;
}

// The value in at most `width` columns: in its usual form (the pattern)
// when that fits and gives the value back, else with all the digits it needs
// in the shortest form, else with fewer digits, down to kLeastDigits. None
// when the value is no finite number or keeps too few digits.
std::optional<std::string> fitted(double value, std::size_t width, std::string_view usual) {
    if (!std::isfinite(value)) return std::nullopt;
    const std::string plain = Format(value, usual);
    if (plain.size() <= width && ParseNumber(plain) == value) return plain;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string_view shortest(buf, static_cast<std::size_t>(end - buf));
    const int needed = static_cast<int>(shortest.find('e')) - (shortest[0] == '-') - (shortest.find('.') != std::string_view::npos);
    for (int digits = needed; digits >= std::min(needed, kLeastDigits); --digits) {
        auto [last, ec2] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        const std::string_view text(buf, static_cast<std::size_t>(last - buf));
        const std::size_t e = text.find('e');
        std::string mantissa;
        for (char c : text.substr(0, e))
            if (c >= '0' && c <= '9') mantissa += c;
        int exponent = 0;
        const std::string_view ex = text.substr(e + 1 + (text[e + 1] == '+'));
        std::from_chars(ex.data(), ex.data() + ex.size(), exponent);
        for (const std::string& form : formsOf(value < 0, mantissa, exponent))
            if (form.size() <= width) return form;
    }
    return std::nullopt;
}

std::string temperatureField(const MechanismSpecies& sp, double value, std::size_t width, std::string_view usual,
                             const char* what) {
    const std::optional<std::string> text = fitted(value, width, usual);
    if (!text) refuse(sp, std::string("the ") + what + " " + number(value), "does not fit " + columnsOfField(width));
    return padLeft(*text, width);
}

// An element of the composition: its symbol in two columns, its count
// right-aligned in three.
std::string elementField(const MechanismSpecies& sp, const std::pair<std::string, int>& element) {
    const std::string count = std::to_string(element.second);
    if (element.first.size() > kSymbolColumns)
        refuse(sp, "the element symbol " + element.first, "is longer than " + columnsOfField(kSymbolColumns));
    if (count.size() > kCountColumns)
        refuse(sp, "the count " + count + " of the element " + element.first, "does not fit " + columnsOfField(kCountColumns));
    return padRight(element.first, kSymbolColumns) + padLeft(count, kCountColumns);
}

// The thermo record's first line: name, element columns 25-44 (and 74-78
// for a fifth element), phase, temperatures, and the line number 1.
std::string thermoFirstLine(const MechanismSpecies& sp) {
    if (sp.name.size() > kNameColumns) refuse(sp, "the name", "is longer than " + columnsOfField(kNameColumns));
    if (sp.elements.size() > kElementFields)
        refuse(sp, "the composition",
               "has " + std::to_string(sp.elements.size()) + " elements, and the thermodynamic data hold at most " +
                   std::to_string(kElementFields));
    std::string line = padRight(sp.name, 24);
    std::string elements;
    for (std::size_t e = 0; e < sp.elements.size() && e < 4; ++e) elements += elementField(sp, sp.elements[e]);
    line += padRight(elements, 20);
    line += "G";
    line += temperatureField(sp, sp.lowT, kTemperatureColumns, "0.000", "low temperature");
    line += temperatureField(sp, sp.highT, kTemperatureColumns, "0.000", "high temperature");
    line += temperatureField(sp, sp.commonT, kCommonColumns, "0.00", "common temperature");
    line += padRight(sp.elements.size() > 4 ? elementField(sp, sp.elements[4]) : std::string(), 6);
    return line + "1";
}

std::string coefficientLine(const MechanismSpecies& sp, std::size_t from, std::size_t count, char lineNumber) {
    std::string line;
    for (std::size_t k = from; k < from + count; ++k) {
        // E15.8 holds every finite number; infinities have no form.
        if (!std::isfinite(sp.coefficients[k]))
            refuse(sp, "the coefficient " + std::to_string(k + 1) + " (" + number(sp.coefficients[k]) + ")",
                   "is no finite number");
        line += FixedExponent15(sp.coefficients[k]);
    }
    return padRight(line, 79) + lineNumber;
}

struct Units {
    std::string energyKeyword;
    double energyFactor = 1;  // E in the file times this gives E in the unit of the keyword
    double concentration = 1; // cm-mol concentration per file concentration unit
};

Units unitsOf(const SolverMechanism& m) {
    Units u;
    const double re = m.gasConstantE;
    struct Known {
        double r;
        const char* keyword;
    };
    const Known known[] = {{kCalorieGasConstant, "CAL/MOLE"},
                           {kJouleGasConstant, "JOULES/MOLE"},
                           {kCalorieGasConstant / 1000, "KCAL/MOLE"},
                           {kJouleGasConstant / 1000, "KJOULES/MOLE"},
                           {1.0, "KELVINS"}};
    u.energyKeyword.clear();
    for (const Known& k : known)
        if (std::abs(re / k.r - 1) < 1e-3) u.energyKeyword = k.keyword;
    if (u.energyKeyword.empty()) {
        // An unusual gas constant: E / R is the activation temperature.
        u.energyKeyword = "KELVINS";
        u.energyFactor = re != 0 ? 1 / re : 1;
    }
    const double rc = m.gasConstantConc;
    if (rc != 0 && std::abs(rc / kCgsGasConstant - 1) >= 1e-4) u.concentration = kCgsGasConstant / rc;
    return u;
}

}  // namespace

std::string FixedExponent15(double value) {
    char buf[64];
    for (int digits = 8; digits >= 0; --digits) {
        auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits);
        std::string s(buf, p);
        for (char& c : s)
            if (c == 'e') c = 'E';
        if (s.size() <= 15) return padLeft(s, 15);
    }
    return std::string(buf, 15);
}

SolverMechanism ReadSolverMechanismFile(const std::string& path) {
    return ReadSolverMechanism(files::ReadLines(path, SplitSolverLines));
}

SolverMechanism ReadSolverMechanism(const std::vector<std::string>& lines) {
    const LineSource src(lines);
    // The mechanism as the solver reads it; the run settings as they stand.
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const SolverInput input = ReadSolverInput(views, SolverSettings::Open);
    SolverMechanism m;
    m.description = std::string(TrimBlanks(src.line(2)));
    m.gasConstantE = input.Model().RE;
    m.gasConstantConc = input.Model().RC;

    for (int k = 1; k <= input.SpeciesCount(); ++k) {
        const int n = input.SpeciesLine(k);
        MechanismSpecies sp;
        const std::string_view first = src.line(n);
        sp.name = withoutBlanks(SpeciesNameField(first));
        sp.elements = readFormula(SpeciesComposition(first), n);
        const ThermoRecordValues record = input.Species(k);
        sp.lowT = record.Values[15];
        sp.highT = record.Values[16];
        sp.commonT = record.Values[17];
        std::copy_n(record.Values.begin(), sp.coefficients.size(), sp.coefficients.begin());
        m.species.push_back(std::move(sp));
    }

    for (int r = 1; r <= input.ReactionCount(); ++r) {
        const ReactionRecordValues record = input.Reaction(r);
        MechanismReaction re;
        re.lineNumber = record.FirstLine;
        std::string_view eq = TrimBlanks(src.line(record.FirstLine));
        const std::size_t afterNumber = eq.find_first_not_of("0123456789");
        if (afterNumber != std::string_view::npos && afterNumber > 0 && eq[afterNumber] == ' ')
            eq = TrimBlanks(eq.substr(afterNumber));
        re.equationLine = std::string(eq);
        std::copy(record.Ints.begin(), record.Ints.end(), re.ints.begin() + 1);
        std::copy(record.Reals.begin(), record.Reals.end(), re.reals.begin() + 1);
        m.reactions.push_back(std::move(re));
    }
    for (const MechanismReaction& r : m.reactions) formOf(m, r);  // species numbers within the list
    return m;
}

std::string ReactionEquation(const SolverMechanism& m, std::size_t r) {
    return equationOf(m, formOf(m, m.reactions.at(r)));
}

std::vector<bool> DuplicateReactions(const SolverMechanism& m) {
    std::vector<ReactionForm> forms;
    for (const MechanismReaction& r : m.reactions) forms.push_back(formOf(m, r));
    std::vector<bool> duplicate(forms.size(), false);
    std::map<Stoichiometry, std::vector<std::size_t>> byStoichiometry;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const Stoichiometry forward = stoichiometry(forms[i], false);
        const Stoichiometry backward = stoichiometry(forms[i], true);
        auto compare = [&](const Stoichiometry& key, bool swapped) {
            auto it = byStoichiometry.find(key);
            if (it == byStoichiometry.end()) return;
            for (std::size_t j : it->second) {
                if (swapped && !forms[i].reversible && !forms[j].reversible) continue;
                if (colliderKind(forms[i]) != colliderKind(forms[j])) continue;
                if (forms[i].collider != Collider::None && forms[j].collider != Collider::None &&
                    !shareCollider(forms[i], forms[j]))
                    continue;
                duplicate[i] = duplicate[j] = true;
            }
        };
        compare(forward, false);
        if (backward != forward) compare(backward, true);
        byStoichiometry[forward].push_back(i);
    }
    return duplicate;
}

std::vector<std::string> ChemkinText(const SolverMechanism& m, const std::string& sourceName) {
    const Units units = unitsOf(m);
    std::vector<std::string> out;
    appendComment(out, "Reaction mechanism of the solver file " + sourceName);
    if (!m.description.empty()) appendComment(out, m.description);
    out.push_back("");

    std::vector<std::string> elements;
    for (const MechanismSpecies& sp : m.species)
        for (const auto& [symbol, count] : sp.elements)
            if (std::find(elements.begin(), elements.end(), symbol) == elements.end()) elements.push_back(symbol);
    out.push_back("ELEMENTS");
    appendWrapped(out, elements, "", " ");
    out.push_back("END");

    std::vector<std::string> names;
    for (const MechanismSpecies& sp : m.species) names.push_back(sp.name);
    out.push_back("SPECIES");
    appendWrapped(out, names, "", " ");
    out.push_back("END");

    double low = 300, high = 5000, common = 1000;
    if (!m.species.empty()) {
        low = m.species[0].lowT, high = m.species[0].highT, common = m.species[0].commonT;
        for (const MechanismSpecies& sp : m.species) low = std::min(low, sp.lowT), high = std::max(high, sp.highT);
    }
    // The records first: a species whose values do not fit is refused before
    // anything else. The default ranges are values of the species, so they fit
    // their fields of 10 columns then.
    std::vector<std::string> records;
    for (const MechanismSpecies& sp : m.species) {
        records.push_back(thermoFirstLine(sp));
        records.push_back(coefficientLine(sp, 0, 5, '2'));
        records.push_back(coefficientLine(sp, 5, 5, '3'));
        records.push_back(coefficientLine(sp, 10, 4, '4'));
    }
    out.push_back("THERMO ALL");
    std::string ranges;
    for (const double t : {low, common, high})
        ranges += padLeft(fitted(t, kTemperatureColumns, "0.000").value(), kTemperatureColumns);
    out.push_back(ranges);
    out.insert(out.end(), records.begin(), records.end());
    out.push_back("END");

    const std::vector<bool> duplicate = DuplicateReactions(m);
    out.push_back("REACTIONS   " + units.energyKeyword + "   MOLES");
    for (std::size_t i = 0; i < m.reactions.size(); ++i) {
        const MechanismReaction& r = m.reactions[i];
        const ReactionForm f = formOf(m, r);
        // Rate constants in cm-mol-s: a constant of reaction order n takes
        // the concentration factor to the power n - 1.
        const int order = static_cast<int>(f.reactants.size()) +
                          (f.collider == Collider::None || f.falloff ? 0 : 1);
        auto toCgs = [&](double a, int n) { return a * std::pow(units.concentration, n - 1); };
        double a = toCgs(r.reals[1], order);
        double a0 = toCgs(r.reals[4], order + 1);
        if (f.collider == Collider::Single) (f.falloff ? a0 : a) *= f.singleFactor;
        if (r.ints[16] == -1)
            out.push_back("! the solver leaves the next reaction out of the heat release");
        out.push_back(reactionLine(equationOf(m, f),
                                   {number(a, true), number(r.reals[2]), number(r.reals[3] * units.energyFactor)}));
        if (f.falloff) {
            out.push_back(slashes("LOW", {a0, r.reals[5], r.reals[6] * units.energyFactor}, true));
            if (r.ints[15] == 1) out.push_back(slashes("TROE", {r.reals[7], r.reals[8], r.reals[9], r.reals[10]}));
            if (r.ints[15] == 3) out.push_back(slashes("TROE", {r.reals[7], r.reals[8], r.reals[9]}));
            if (r.ints[15] == 2) {
                const double d = r.reals[10] > 0 ? r.reals[10] : 1.0;
                if (d == 1.0 && r.reals[11] == 0)
                    out.push_back(slashes("SRI", {r.reals[7], r.reals[8], r.reals[9]}));
                else
                    out.push_back(slashes("SRI", {r.reals[7], r.reals[8], r.reals[9], d, r.reals[11]}));
            }
        }
        std::vector<std::string> efficiencies;
        for (const auto& [s, e] : f.efficiencies)
            efficiencies.push_back(m.species[static_cast<std::size_t>(s - 1)].name + "/" + number(e) + "/");
        appendWrapped(out, efficiencies, "    ", " ");
        if (duplicate[i]) out.push_back("    DUPLICATE");
    }
    out.push_back("END");
    return out;
}

}  // namespace kx::text
