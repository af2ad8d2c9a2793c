// The mechanism text of a solver file: the three samples are written as
// CHEMKIN text, read back by a strict reader of the format written here
// for the test, and compared with the sample's own lines; then the special
// cases of the integer fields on a small mechanism of our own.
#include "MechanismText.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "TempDir.h"
#include "TextHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using kx::text::ChemkinText;
using kx::text::ReadSolverMechanism;

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string noBlanks(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

double num(const std::string& text) {
    const auto v = kx::ParseNumber(text);
    EXPECT_TRUE(v.has_value()) << "not a number: '" << text << "'";
    return v.value_or(NAN);
}

std::string cols(const std::string& line, std::size_t from, std::size_t width) {
    return from - 1 < line.size() ? line.substr(from - 1, width) : std::string();
}

// ---- A strict reader of CHEMKIN mechanism text ----------------------------

struct CkThermo {
    std::string name;
    std::map<std::string, int> elements;
    double low = 0, high = 0, common = 0;
    std::array<double, 14> a{};
};

struct CkReaction {
    std::string equation;
    double A = 0, n = 0, E = 0;
    std::vector<double> low, troe, sri;
    std::vector<std::pair<std::string, double>> efficiencies;
    bool duplicate = false;
};

struct CkMechanism {
    std::vector<std::string> elements, species;
    std::vector<CkThermo> thermo;
    std::vector<CkReaction> reactions;
    std::string reactionUnits;
};

std::vector<double> slashValues(const std::string& aux) {
    const std::size_t open = aux.find('/'), close = aux.rfind('/');
    if (open == std::string::npos || close <= open) {
        ADD_FAILURE() << "no /values/ in: " << aux;
        return {};
    }
    std::vector<double> values;
    for (const std::string& w : words(aux.substr(open + 1, close - open - 1))) values.push_back(num(w));
    return values;
}

CkMechanism readChemkin(const std::vector<std::string>& lines) {
    CkMechanism m;
    enum class Section { None, Elements, Species, Thermo, Reactions } section = Section::None;
    bool thermoRangesRead = false;
    std::vector<std::string> record;
    for (const std::string& raw : lines) {
        const std::string line = raw.substr(0, raw.find('!'));
        const std::vector<std::string> w = words(line);
        if (w.empty()) continue;
        std::string first = w[0];
        std::transform(first.begin(), first.end(), first.begin(), ::toupper);
        if (section == Section::None) {
            if (first == "ELEMENTS") section = Section::Elements;
            else if (first == "SPECIES") section = Section::Species;
            else if (first == "THERMO") section = Section::Thermo, thermoRangesRead = false;
            else if (first == "REACTIONS") {
                section = Section::Reactions;
                m.reactionUnits = line.substr(9);
            } else ADD_FAILURE() << "line outside a section: " << raw;
            continue;
        }
        if (first == "END") {
            EXPECT_TRUE(record.empty()) << "a thermo record is cut short";
            section = Section::None;
            continue;
        }
        switch (section) {
            case Section::Elements: m.elements.insert(m.elements.end(), w.begin(), w.end()); break;
            case Section::Species: m.species.insert(m.species.end(), w.begin(), w.end()); break;
            case Section::Thermo:
                if (!thermoRangesRead) {
                    EXPECT_EQ(w.size(), 3u) << raw;
                    thermoRangesRead = true;
                    break;
                }
                EXPECT_EQ(raw.size(), 80u) << raw;
                EXPECT_EQ(raw[79], static_cast<char>('1' + record.size())) << raw;
                record.push_back(raw);
                if (record.size() == 4) {
                    CkThermo t;
                    t.name = words(cols(record[0], 1, 18)).at(0);
                    for (std::size_t e = 0; e < 4; ++e) {
                        const std::string symbol = words(cols(record[0], 25 + 5 * e, 2) + " ").empty()
                                                       ? ""
                                                       : words(cols(record[0], 25 + 5 * e, 2)).at(0);
                        const std::string count = cols(record[0], 27 + 5 * e, 3);
                        if (symbol.empty()) continue;
                        t.elements[symbol] += static_cast<int>(num(count));
                    }
                    EXPECT_EQ(record[0][44], 'G');
                    t.low = num(cols(record[0], 46, 10));
                    t.high = num(cols(record[0], 56, 10));
                    t.common = num(cols(record[0], 66, 8));
                    for (std::size_t k = 0; k < 14; ++k)
                        t.a[k] = num(cols(record[1 + k / 5], 1 + 15 * (k % 5), 15));
                    m.thermo.push_back(t);
                    record.clear();
                }
                break;
            case Section::Reactions: {
                if (line.find('=') != std::string::npos) {
                    EXPECT_GE(w.size(), 4u) << raw;
                    CkReaction r;
                    r.E = num(w[w.size() - 1]);
                    r.n = num(w[w.size() - 2]);
                    r.A = num(w[w.size() - 3]);
                    for (std::size_t k = 0; k + 3 < w.size(); ++k) r.equation += w[k];
                    m.reactions.push_back(r);
                    break;
                }
                EXPECT_FALSE(m.reactions.empty()) << raw;
                CkReaction& r = m.reactions.back();
                if (first == "DUPLICATE" || first == "DUP") r.duplicate = true;
                else if (first.rfind("LOW", 0) == 0) r.low = slashValues(line);
                else if (first.rfind("TROE", 0) == 0) r.troe = slashValues(line);
                else if (first.rfind("SRI", 0) == 0) r.sri = slashValues(line);
                else {
                    // Efficiencies: NAME/value/ pairs.
                    std::string rest = noBlanks(line);
                    while (!rest.empty()) {
                        const std::size_t a = rest.find('/'), b = rest.find('/', a + 1);
                        EXPECT_TRUE(a != std::string::npos && b != std::string::npos) << raw;
                        if (a == std::string::npos || b == std::string::npos) break;
                        r.efficiencies.emplace_back(rest.substr(0, a), num(rest.substr(a + 1, b - a - 1)));
                        rest = rest.substr(b + 1);
                    }
                }
                break;
            }
            case Section::None: break;
        }
    }
    EXPECT_EQ(section, Section::None) << "a section without END";
    return m;
}

// The species of one side of a CHEMKIN equation, with the third body
// ("M" for +M and (+M), the species for (+X)) apart.
struct Side {
    std::multiset<std::string> species;
    std::string collider;
};

Side readSide(std::string text) {
    Side s;
    for (const char* mark : {"(+M)", "+M"}) {
        const std::string m = mark;
        if (text.size() > m.size() && text.compare(text.size() - m.size(), m.size(), m) == 0) {
            s.collider = "M";
            text.erase(text.size() - m.size());
            break;
        }
    }
    const std::size_t open = text.rfind("(+");
    if (s.collider.empty() && !text.empty() && text.back() == ')' && open != std::string::npos) {
        s.collider = text.substr(open + 2, text.size() - open - 3);
        text.erase(open);
    }
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t plus = text.find('+', from);
        // A "+" right after "(" belongs to a name such as "X(+)".
        while (plus != std::string::npos && plus > 0 && text[plus - 1] == '(') plus = text.find('+', plus + 1);
        std::string term = text.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
        std::size_t digits = 0;
        while (digits < term.size() && std::isdigit(static_cast<unsigned char>(term[digits]))) ++digits;
        const int count = digits ? std::stoi(term.substr(0, digits)) : 1;
        for (int k = 0; k < count; ++k) s.species.insert(term.substr(digits));
        if (plus == std::string::npos) break;
        from = plus + 1;
    }
    return s;
}

struct Equation {
    Side left, right;
    bool reversible;
};

Equation readEquation(const std::string& eq) {
    const std::size_t both = eq.find("<=>");
    const std::size_t arrow = both != std::string::npos ? both : eq.find("=>");
    const std::size_t width = both != std::string::npos ? 3 : 2;
    return {readSide(eq.substr(0, arrow)), readSide(eq.substr(arrow + width)), both != std::string::npos};
}

// ---- The sample's own lines --------------------------------------------------

struct SampleReaction {
    std::string equation;
    std::vector<int> ints;
    std::vector<double> rates, low, broadening;
    std::vector<std::string> colliderNames;
    std::vector<double> efficiencies;
};

struct SampleSpecies {
    std::string name, composition;
    double low, high, common, molarMass;
    std::array<double, 14> a{};
};

struct Sample {
    std::vector<SampleSpecies> species;
    std::vector<SampleReaction> reactions;
};

std::vector<double> fields15(const std::string& line, int count) {
    std::vector<double> v;
    for (int k = 0; k < count; ++k) v.push_back(num(cols(line, 7 + 15 * static_cast<std::size_t>(k), 15)));
    return v;
}

Sample readSample(const std::vector<std::string>& lines) {
    Sample s;
    const int ns = std::stoi(lines[9]), nr = std::stoi(lines[10]);
    std::size_t n = 34;  // the line after " THERMO"
    for (int k = 0; k < ns; ++k, n += 4) {
        SampleSpecies sp;
        const std::vector<std::string> w = words(lines[n]);
        sp.name = w[1];
        sp.composition = w[2];
        sp.low = num(cols(lines[n], 48, 8));
        sp.high = num(cols(lines[n], 57, 8));
        sp.common = num(cols(lines[n], 66, 8));
        for (std::size_t j = 0; j < 14; ++j) sp.a[j] = num(cols(lines[n + 1 + j / 5], 1 + 15 * (j % 5), 15));
        sp.molarMass = num(cols(lines[n + 3], 61, 15));
        s.species.push_back(sp);
    }
    while (noBlanks(lines[n]).rfind("REACTIONS", 0) != 0) ++n;
    ++n;
    for (int r = 0; r < nr; ++r) {
        SampleReaction re;
        const std::vector<std::string> head = words(lines[n++]);
        re.equation = head.at(1);
        for (const std::string& w : words(lines[n++])) re.ints.push_back(std::stoi(w));
        re.rates = fields15(lines[n++], 3);
        if (re.ints[13] == 1) re.low = fields15(lines[n++], 3);
        const int kind = re.ints[14];
        if (kind == 1 || kind == 2 || kind == 3) re.broadening = fields15(lines[n++], kind == 1 ? 4 : kind == 2 ? 5 : 3);
        if (re.ints[12] > 0) {
            re.colliderNames = words(lines[n++]);
            ++n;
            const std::vector<std::string> effs = words(lines[n++]);
            for (std::size_t k = 0; k < re.colliderNames.size(); ++k) re.efficiencies.push_back(num(effs[k]));
        }
        s.reactions.push_back(re);
    }
    return s;
}

double atomicMass(const std::string& element) {
    static const std::map<std::string, double> masses = {{"H", 1.008},  {"O", 15.999}, {"C", 12.011},
                                                         {"N", 14.007}, {"AR", 39.948}, {"HE", 4.0026}};
    auto it = masses.find(element);
    EXPECT_NE(it, masses.end()) << element;
    return it == masses.end() ? 0 : it->second;
}

class SampleMechanism : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleMechanism, EveryRecordComesBackInChemkinForm) {
    const std::vector<std::string> lines = kx::files::ReadLines(std::string(KX_SAMPLES_DIR) + "/" + GetParam());
    const Sample sample = readSample(lines);
    const CkMechanism ck = readChemkin(ChemkinText(ReadSolverMechanism(lines), GetParam()));

    EXPECT_EQ(ck.reactionUnits.find("CAL/MOLE") != std::string::npos, true) << ck.reactionUnits;
    ASSERT_EQ(ck.species.size(), sample.species.size());
    ASSERT_EQ(ck.thermo.size(), sample.species.size());
    for (std::size_t k = 0; k < sample.species.size(); ++k) {
        const SampleSpecies& sp = sample.species[k];
        const CkThermo& t = ck.thermo[k];
        SCOPED_TRACE(sp.name);
        EXPECT_EQ(ck.species[k], sp.name);
        EXPECT_EQ(t.name, sp.name);
        EXPECT_FALSE(t.elements.empty());
        // The elements give the molar mass that the record carries.
        double mass = 0;
        for (const auto& [element, count] : t.elements) {
            EXPECT_NE(std::find(ck.elements.begin(), ck.elements.end(), element), ck.elements.end()) << element;
            mass += count * atomicMass(element);
        }
        EXPECT_NEAR(mass, sp.molarMass, 0.01) << sp.composition;
        EXPECT_EQ(t.low, sp.low);
        EXPECT_EQ(t.high, sp.high);
        EXPECT_EQ(t.common, sp.common);
        for (std::size_t j = 0; j < 14; ++j) EXPECT_EQ(t.a[j], sp.a[j]) << "coefficient " << j + 1;
    }

    ASSERT_EQ(ck.reactions.size(), sample.reactions.size());
    for (std::size_t r = 0; r < ck.reactions.size(); ++r) {
        const SampleReaction& s = sample.reactions[r];
        const CkReaction& c = ck.reactions[r];
        SCOPED_TRACE("reaction " + std::to_string(r + 1) + " " + s.equation);
        const Equation mine = readEquation(c.equation), theirs = readEquation(s.equation);
        EXPECT_EQ(mine.left.species, theirs.left.species);
        EXPECT_EQ(mine.right.species, theirs.right.species);
        EXPECT_EQ(mine.left.collider, theirs.left.collider);
        EXPECT_EQ(mine.right.collider, mine.left.collider);
        EXPECT_EQ(mine.reversible, s.ints[15] == 1);
        EXPECT_EQ(mine.reversible, theirs.reversible);
        for (const std::string& name : mine.left.species)
            EXPECT_NE(std::find(ck.species.begin(), ck.species.end(), name), ck.species.end()) << name;

        EXPECT_EQ(c.A, s.rates[0]);
        EXPECT_EQ(c.n, s.rates[1]);
        EXPECT_EQ(c.E, s.rates[2]);
        EXPECT_EQ(c.low, s.low);
        if (s.ints[14] == 2)
            EXPECT_EQ(c.sri, s.broadening);
        else
            EXPECT_EQ(c.troe, s.broadening);
        // A third body of all species keeps its listed efficiencies; a
        // single listed collider stands in the equation instead.
        std::vector<std::pair<std::string, double>> expected;
        if (s.ints[11] > 0) {
            for (std::size_t k = 0; k < s.colliderNames.size(); ++k)
                expected.emplace_back(s.colliderNames[k], s.efficiencies[k]);
        } else if (s.ints[12] == 1) {
            EXPECT_EQ(mine.left.species.count(s.colliderNames.at(0)), theirs.left.species.count(s.colliderNames.at(0)));
        }
        EXPECT_EQ(c.efficiencies, expected);
    }

    // Reactions with the same species on each side are declared duplicate,
    // in pairs, and no other reaction is.
    for (std::size_t i = 0; i < ck.reactions.size(); ++i) {
        const Equation a = readEquation(ck.reactions[i].equation);
        bool partner = false;
        for (std::size_t j = 0; j < ck.reactions.size(); ++j) {
            if (j == i) continue;
            const Equation b = readEquation(ck.reactions[j].equation);
            const bool same = a.left.species == b.left.species && a.right.species == b.right.species &&
                              a.left.collider == b.left.collider;
            const bool swapped = a.left.species == b.right.species && a.right.species == b.left.species &&
                                 a.left.collider == b.left.collider && (a.reversible || b.reversible);
            partner = partner || same || swapped;
        }
        EXPECT_EQ(ck.reactions[i].duplicate, partner) << "reaction " << i + 1 << " " << ck.reactions[i].equation;
    }
}

TEST_P(SampleMechanism, EveryLineKeepsToEightyColumns) {
    const std::vector<std::string> lines = kx::files::ReadLines(std::string(KX_SAMPLES_DIR) + "/" + GetParam());
    const std::vector<std::string> text = ChemkinText(ReadSolverMechanism(lines), GetParam());
    std::size_t reactionsFrom = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        EXPECT_LE(text[i].size(), 80u) << "line " << i + 1 << ": " << text[i];
        if (text[i].rfind("REACTIONS", 0) == 0) reactionsFrom = i + 1;
    }
    // The rate parameters stand right-aligned in their columns, E ending in
    // column 78, wherever the equation leaves room for them.
    ASSERT_GT(reactionsFrom, 0u);
    int aligned = 0;
    for (std::size_t i = reactionsFrom; i < text.size(); ++i) {
        const std::string& line = text[i];
        if (line.empty() || line[0] == ' ' || line[0] == '!' || line == "END") continue;
        if (line.find(' ') >= 40) continue;  // an equation wider than its column
        EXPECT_EQ(line.size(), 78u) << line;
        EXPECT_NE(line[77], ' ') << line;
        ++aligned;
    }
    EXPECT_GT(aligned, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleMechanism,
                         ::testing::Values("h2_air_1000K.txt", "h2_o2_ar_isothermal.txt", "gri30_ch4_1400K.txt",
                                           "nc12_air_1100K_10atm.txt"));

TEST(MechanismText, TheHydrogenSampleDeclaresItsTwoPairsOfDuplicates) {
    const std::vector<std::string> lines = kx::files::ReadLines(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt");
    const std::vector<bool> dup = kx::text::DuplicateReactions(ReadSolverMechanism(lines));
    std::vector<std::size_t> marked;
    for (std::size_t r = 0; r < dup.size(); ++r)
        if (dup[r]) marked.push_back(r + 1);
    EXPECT_EQ(marked, (std::vector<std::size_t>{18, 19, 24, 25}));
}

// ---- A small mechanism of our own -------------------------------------------

struct Record {
    std::string equation;
    std::array<int, 16> ints;
    std::vector<std::vector<double>> reals;  // rate line, then low and broadening lines as flagged
    std::vector<int> colliders = {};
    std::vector<double> efficiencies = {};
};

std::string field(double v, int width) {
    std::string s = kx::Format(v, "0.00000000E+00");
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), ' ') + s;
}

std::string pad(std::string s, std::size_t w) {
    s.resize(std::max(s.size(), w), ' ');
    return s;
}

// A solver file of four species A, B, AB, AR with the given reactions.
std::vector<std::string> smallFile(const std::vector<Record>& records, const std::string& re = "1.9872042586408",
                                   const std::string& rc = "82.0573661") {
    std::vector<std::string> l = {"!$KINOVEX SOLVER", " A small mechanism"};
    while (l.size() < 9) l.push_back(" ");
    l.push_back(" 4 !Species");
    l.push_back(" " + std::to_string(records.size()) + " !Reactions");
    while (l.size() < 30) l.push_back(" 1 !value");
    l.push_back(" " + re + " !R");
    l.push_back(" " + rc + " !R");
    l.push_back(" ");
    l.push_back(" THERMO");
    const char* names[] = {"A", "B", "AB", "AR"};
    const char* formulas[] = {"H1", "O1", "H1O1", "AR1"};
    for (int k = 0; k < 4; ++k) {
        l.push_back(pad(" " + std::to_string(k + 1), 6) + pad(names[k], 17) + pad(formulas[k], 22) +
                    "0    300.0   5000.0   1000.0 0");
        for (int j = 0; j < 3; ++j) {
            std::string line;
            for (int f = 0; f < (j < 2 ? 5 : 4); ++f) line += field(0.1 * (k + 1) + j + 0.01 * f, 15);
            if (j == 2) line += "          1.000";
            l.push_back(line);
        }
    }
    l.insert(l.end(), {" END", " ", " REACTIONS   MOLES   CAL/MOLE"});
    int number = 1;
    for (const Record& r : records) {
        l.push_back(pad(" " + std::to_string(number++), 6) + r.equation);
        std::string ints = "      ";
        for (int v : r.ints) ints += pad(std::to_string(v), 4);
        l.push_back(ints);
        for (const std::vector<double>& values : r.reals) {
            std::string line = "      ";
            for (double v : values) line += field(v, 15);
            l.push_back(line);
        }
        if (!r.colliders.empty()) {
            l.push_back("      label");
            std::string species = "      ", effs = "      ";
            for (std::size_t k = 0; k < 10; ++k) {
                species += pad(std::to_string(k < r.colliders.size() ? r.colliders[k] : 0), 8);
                effs += pad(k < r.efficiencies.size() ? kx::Format(r.efficiencies[k], "0.0#") : "0.", 8);
            }
            l.push_back(species);
            l.push_back(effs);
        }
    }
    l.push_back(" END");
    return l;
}

struct Case {
    const char* what;
    Record record;
    std::vector<std::string> expected;  // the reaction's lines in the text
};

class SmallMechanism : public ::testing::TestWithParam<Case> {};

std::vector<std::string> reactionLines(const std::vector<std::string>& text) {
    auto start = std::find_if(text.begin(), text.end(), [](const std::string& l) { return l.rfind("REACTIONS", 0) == 0; });
    std::vector<std::string> out;
    for (auto it = start + 1; it != text.end() && *it != "END"; ++it) out.push_back(noBlanks(*it));
    return out;
}

TEST_P(SmallMechanism, FieldsBecomeTheirChemkinText) {
    const Case& c = GetParam();
    const auto text = ChemkinText(ReadSolverMechanism(smallFile({c.record})), "small.txt");
    EXPECT_EQ(reactionLines(text), c.expected) << c.what;
}

// Integer fields: reactants 1-3, products 4-9, counts, third body, listed
// colliders, fall-off, broadening, reverse.
INSTANTIATE_TEST_SUITE_P(
    Fields, SmallMechanism,
    ::testing::Values(
        Case{"irreversible, a species twice",
             {"2A=>B+2A", {1, 1, 0, 2, 1, 1, 0, 0, 0, 2, 3, 0, 0, 0, 0, 0}, {{2e13, 0.5, 1000}}},
             {"2A=>B+2A2E+130.51000.0"}},
        Case{"heat-excluded reaction is irreversible with a note",
             {"A+B=>AB", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, -1}, {{1e10, 0, 0}}},
             {"!thesolverleavesthenextreactionoutoftheheatrelease", "A+B=>AB1E+100.00.0"}},
        Case{"one listed collider with efficiency 2 is folded into A",
             {"A+B+AR<=>AB+AR", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 1, 0, 0, 1}, {{3e15, -1, 0}}, {4}, {2.0}},
             {"A+B+AR<=>AB+AR6E+15-1.00.0"}},
        Case{"fall-off with one listed collider, SRI with d 0",
             {"A+B(+AR)<=>AB(+AR)", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 1, 1, 2, 1},
              {{1e12, 0, 0}, {2e16, -1, 100}, {1.5, 200, 300, 0, 0}}, {4}, {0.5}},
             {"A+B(+AR)<=>AB(+AR)1E+120.00.0", "LOW/1E+16-1.0100.0/", "SRI/1.5200.0300.0/"}},
        Case{"several listed colliders without a third body of all species",
             {"A+B+M<=>AB+M", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 2, 0, 0, 1}, {{1e14, 0, 0}}, {1, 4}, {2.5, 0.5}},
             {"A+B+M<=>AB+M1E+140.00.0", "A/2.5/AR/0.5/B/0.0/AB/0.0/"}},
        Case{"Troe with four values, SRI with d and e",
             {"A+B(+M)<=>AB(+M)", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 2, 0, 1, 1, 1},
              {{1e12, 0, 0}, {2e16, 0, 0}, {0.6, 100, 2000, 3000}}},
             {"A+B(+M)<=>AB(+M)1E+120.00.0", "LOW/2E+160.00.0/", "TROE/0.6100.02000.03000.0/"}},
        Case{"SRI with d and e",
             {"AB(+M)<=>A+B(+M)", {3, 0, 0, 1, 2, 0, 0, 0, 0, 1, 2, 1, 0, 1, 2, 1},
              {{1e12, 0, 0}, {2e16, 0, 0}, {1.5, 200, 300, 2, 0.5}}},
             {"AB(+M)<=>A+B(+M)1E+120.00.0", "LOW/2E+160.00.0/", "SRI/1.5200.0300.02.00.5/"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST(MechanismText, LongNamesNumbersAndCommentsStillKeepToEightyColumns) {
    const Record falloff{"A+B(+M)<=>AB(+M)", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 1, 0, 1, 2, 1},
                         {{1e12, 0, 0}, {2e16, 0, 0}, {1.23456789e-7, 2.34567891e-8, 3.45678912e9, 4.56789123e-6, 5.67891234e-9}}};
    std::vector<std::string> lines = smallFile({falloff});
    // Species names of twelve letters, and a long description.
    const std::map<std::string, std::string> longNames = {
        {"A", "CH3CHCHCHCHO"}, {"B", "C2H5CHCHCHO2"}, {"AB", "C5H9CHCHCHO3"}};
    const auto thermo = std::find(lines.begin(), lines.end(), " THERMO");
    const auto thermoEnd = std::find(thermo, lines.end(), " END");
    for (auto line = thermo + 1; line != thermoEnd; line += 4) {
        const auto it = longNames.find(std::string(kx::TrimBlanks(line->substr(6, 16))));
        if (it != longNames.end()) line->replace(6, 16, pad(it->second, 16));
    }
    std::string description;
    for (int i = 0; i < 12; ++i) description += " Hydrogen-oxygen mechanism reduced for lean flames";
    lines[1] = description;

    const std::vector<std::string> text = ChemkinText(ReadSolverMechanism(lines), std::string(90, 'f') + ".txt");
    std::string comments;
    for (const std::string& line : text) {
        EXPECT_LE(line.size(), 80u) << line;
        if (line.rfind("! ", 0) == 0) comments += line.substr(2) + " ";
    }
    EXPECT_NE(comments.find(std::string(kx::TrimBlanks(description))), std::string::npos) << comments;

    const CkMechanism ck = readChemkin(text);
    ASSERT_EQ(ck.reactions.size(), 1u);
    EXPECT_EQ(ck.reactions[0].equation, "CH3CHCHCHCHO+C2H5CHCHCHO2(+M)<=>C5H9CHCHCHO3(+M)");
    EXPECT_EQ(ck.reactions[0].A, 1e12);
    // Five numbers of nine digits: the SRI line drops its spacing to fit.
    EXPECT_EQ(ck.reactions[0].sri,
              (std::vector<double>{1.23456789e-7, 2.34567891e-8, 3.45678912e9, 4.56789123e-6, 5.67891234e-9}));
}

TEST(MechanismText, ReversedReactionsAreDuplicatesOnlyWhenOneIsReversible) {
    const Record forward{"A+B<=>AB", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 1}, {{1, 0, 0}}};
    const Record backward{"AB<=>A+B", {3, 0, 0, 1, 2, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0, 1}, {{1, 0, 0}}};
    const Record oneWay{"A+B=>AB", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0}, {{1, 0, 0}}};
    const Record back{"AB=>A+B", {3, 0, 0, 1, 2, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0, 0}, {{1, 0, 0}}};
    const Record withM{"A+B+M<=>AB+M", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0, 1}, {{1, 0, 0}}};
    using kx::text::DuplicateReactions;
    EXPECT_EQ(DuplicateReactions(ReadSolverMechanism(smallFile({forward, backward}))), (std::vector<bool>{true, true}));
    EXPECT_EQ(DuplicateReactions(ReadSolverMechanism(smallFile({oneWay, back}))), (std::vector<bool>{false, false}));
    EXPECT_EQ(DuplicateReactions(ReadSolverMechanism(smallFile({oneWay, withM, forward}))),
              (std::vector<bool>{true, false, true}));
}

TEST(MechanismText, UnusualGasConstantsGiveKelvinsAndCgsRateConstants) {
    // R = 8.314 J/(mol K) names joules; R of concentration in L atm/(mol K)
    // makes a second-order A 1000 times larger in cm3, and its low-pressure
    // A (third order) a million times.
    const Record second{"A+B(+M)<=>AB(+M)", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 1, 0, 1, 0, 1}, {{2, 0, 4000}, {3, 0, 0}}};
    auto text = ChemkinText(ReadSolverMechanism(smallFile({second}, "8.314462618", "0.0820573661")), "s.txt");
    EXPECT_NE(std::find(text.begin(), text.end(), "REACTIONS   JOULES/MOLE   MOLES"), text.end());
    std::vector<std::string> lines = reactionLines(text);
    ASSERT_EQ(lines.size(), 2u);
    const CkMechanism ck = readChemkin(text);
    ASSERT_EQ(ck.reactions.size(), 1u);
    EXPECT_NEAR(ck.reactions[0].A, 2000, 1e-9);
    EXPECT_EQ(ck.reactions[0].E, 4000);
    ASSERT_EQ(ck.reactions[0].low.size(), 3u);
    EXPECT_NEAR(ck.reactions[0].low[0], 3e6, 1e-6);

    text = ChemkinText(ReadSolverMechanism(smallFile({second}, "2.0", "82.0573661")), "s.txt");
    EXPECT_NE(std::find(text.begin(), text.end(), "REACTIONS   KELVINS   MOLES"), text.end());
    EXPECT_EQ(reactionLines(text), (std::vector<std::string>{"A+B(+M)<=>AB(+M)2E+000.02000.0", "LOW/3E+000.00.0/"}));
}

TEST(MechanismText, BrokenFilesNameTheirLine) {
    Record bad{"A+B=>AB", {1, 7, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0}, {{1, 0, 0}}};
    std::vector<std::string> lines = smallFile({bad});
    try {
        ReadSolverMechanism(lines);
        FAIL() << "a species number beyond the list was accepted";
    } catch (const kx::Error& e) {
        EXPECT_EQ(e.kind(), kx::ErrorKind::SubscriptOutOfRange);
        // Refused as the solver refuses it: the flags line that holds the number named.
        EXPECT_EQ(std::string(e.what()),
                  "Subscript out of range: line 55: species number 7 in the reactant fields is outside 1..4");
    }
    bad.ints[1] = 2;
    lines = smallFile({bad});
    lines.resize(lines.size() - 2);  // the rate line and the end line are gone
    try {
        ReadSolverMechanism(lines);
        FAIL() << "a file cut short was accepted";
    } catch (const kx::Error& e) {
        EXPECT_EQ(e.kind(), kx::ErrorKind::InputPastEndOfFile);
    }
    lines = smallFile({bad});
    lines[34][59] = 'x';  // inside the first species' upper temperature
    EXPECT_THROW(ReadSolverMechanism(lines), kx::Error);
    for (const char* count : {" 2147483647 !Species", " 301 !Species"}) {
        lines = smallFile({bad});
        lines[9] = count;
        try {
            ReadSolverMechanism(lines);
            FAIL() << count << " was taken";
        } catch (const kx::Error& e) {
            EXPECT_EQ(e.kind(), kx::ErrorKind::SubscriptOutOfRange) << count;
        }
    }
}

// ---- The fixed columns of the thermo records --------------------------------

const Record kPlainReaction{"A+B=>AB", {1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0}, {{1, 0, 0}}};

// Line of species k's thermo record (0 its first line) in smallFile.
std::size_t recordLine(std::size_t species, std::size_t line) { return 34 + 4 * species + line; }

struct WideValue {
    std::size_t species, line, column;  // where in the solver file (column from 1)
    std::string text;                   // as many columns as the solver's field has
    double value;                       // what the solver reads
    double relative;                    // how far the written value may be from it
    double (*written)(const CkThermo&);
};

// Values as wide as the solver's own fields take them: every one is written
// within its columns of the thermo record (the strict reader takes each
// field from its columns and wants lines of exactly 80), with all its
// digits where the field has room.
TEST(MechanismText, WideThermoValuesKeepToTheirColumns) {
    const WideValue wide[] = {
        {0, 0, 48, "12345678", 1234567.8, 0, [](const CkThermo& t) { return t.low; }},  // a decimal implied
        {0, 0, 57, "1.0E+200", 1e200, 0, [](const CkThermo& t) { return t.high; }},
        {0, 0, 66, "12345678", 1234567.8, 1e-6, [](const CkThermo& t) { return t.common; }},  // 8 columns: 7 digits
        {1, 0, 48, ".0000001", 1e-7, 0, [](const CkThermo& t) { return t.low; }},  // "0.000" would be 0
        {1, 0, 57, "-1.2-100", -1.2e-100, 0, [](const CkThermo& t) { return t.high; }},
        {1, 0, 66, "-1234.56", -1234.56, 0, [](const CkThermo& t) { return t.common; }},
        {2, 0, 66, "1.2345-9", 1.2345e-9, 5e-4, [](const CkThermo& t) { return t.common; }},  // 4 digits
        {2, 1, 1, "-1.23456789-300", -1.23456789e-300, 1e-7, [](const CkThermo& t) { return t.a[0]; }},
        {3, 3, 46, "1.234567891E+99", 1.234567891e99, 1e-8, [](const CkThermo& t) { return t.a[13]; }},
    };
    std::vector<std::string> lines = smallFile({kPlainReaction});
    for (const WideValue& w : wide) lines[recordLine(w.species, w.line)].replace(w.column - 1, w.text.size(), w.text);
    const kx::text::SolverMechanism m = ReadSolverMechanism(lines);
    const std::vector<std::string> text = ChemkinText(m, "wide.txt");
    for (const std::string& line : text) EXPECT_LE(line.size(), 80u) << line;
    const CkMechanism ck = readChemkin(text);
    ASSERT_EQ(ck.thermo.size(), 4u);
    for (const WideValue& w : wide) {
        const double got = w.written(ck.thermo[w.species]);
        EXPECT_NEAR(got, w.value, std::abs(w.value) * w.relative) << w.text;
    }
    // The default ranges in three fields of 10 columns: lowest, first common,
    // highest.
    const auto header = std::find(text.begin(), text.end(), "THERMO ALL") + 1;
    ASSERT_EQ(header->size(), 30u) << *header;
    EXPECT_EQ(num(header->substr(0, 10)), 1e-7);
    EXPECT_EQ(num(header->substr(10, 10)), 1234567.8);  // all its digits in 10 columns
    EXPECT_EQ(num(header->substr(20, 10)), 1e200);
}

struct Refusal {
    const char* what;
    void (*change)(kx::text::MechanismSpecies&);
    const char* named;  // in the message, with the species name
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.what; }

class RefusedThermo : public ::testing::TestWithParam<Refusal> {};

// What no form puts into its columns is refused, naming the species and the
// value, rather than written where readers take it for the next field.
TEST_P(RefusedThermo, NamesTheSpeciesAndTheValue) {
    kx::text::SolverMechanism m = ReadSolverMechanism(smallFile({kPlainReaction}));
    GetParam().change(m.species[2]);
    try {
        ChemkinText(m, "refused.txt");
        FAIL() << GetParam().what << " was written";
    } catch (const kx::text::ChemkinFieldError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("CHEMKIN"), std::string::npos) << message;
        EXPECT_NE(message.find(" " + m.species[2].name + " "), std::string::npos) << message;
        EXPECT_NE(message.find(GetParam().named), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Thermo, RefusedThermo,
    ::testing::Values(
        Refusal{"a name of 19 characters", [](auto& sp) { sp.name = "C6H5CH2CH2CH2CH2OOH"; }, "name"},
        Refusal{"an element symbol of three letters", [](auto& sp) { sp.elements[0].first = "XYZ"; }, "XYZ"},
        Refusal{"an element count of four digits", [](auto& sp) { sp.elements[1].second = 1000; }, "1000"},
        Refusal{"a negative count of four columns", [](auto& sp) { sp.elements[0].second = -100; }, "-100"},
        Refusal{"six elements",
                [](auto& sp) { sp.elements = {{"C", 1}, {"H", 1}, {"O", 1}, {"N", 1}, {"S", 1}, {"F", 1}}; }, "has 6 elements"},
        Refusal{"a common temperature of four digits in no 8-column form",
                [](auto& sp) { sp.commonT = -1.234e-97; }, "common temperature -1.234E-97 of the species AB does not fit the 8 columns"},
        Refusal{"an infinite low temperature", [](auto& sp) { sp.lowT = HUGE_VAL; }, "low temperature"},
        Refusal{"a coefficient that is no number", [](auto& sp) { sp.coefficients[8] = NAN; }, "coefficient 9"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "case" + std::to_string(info.index); });

TEST(MechanismText, FixedExponentFieldsAreFifteenColumns) {
    EXPECT_EQ(kx::text::FixedExponent15(2.9914234), " 2.99142340E+00");
    EXPECT_EQ(kx::text::FixedExponent15(-835.034), "-8.35034000E+02");
    EXPECT_EQ(kx::text::FixedExponent15(0), " 0.00000000E+00");
    EXPECT_EQ(kx::text::FixedExponent15(-1.5e-300).size(), 15u);
}

}  // namespace
