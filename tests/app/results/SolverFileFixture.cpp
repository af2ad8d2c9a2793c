#include "SolverFileFixture.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <utility>

#include "Format.h"
#include "input_rules.h"

namespace kxtest {
namespace {

std::string Right(std::string s, std::size_t width) {
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

std::string Left(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string E15(double v) { return Right(kx::Format(v, "0.00000000E+00"), 15); }
std::string E16(double v) { return Right(kx::Format(v, "0.00000000E+000"), 16); }

constexpr std::size_t kPerLine = 50;

// An efficiency as solver files hold it: with its decimal point (a field
// without one reads with two implied decimals), unless the number fills
// the field's eight columns.
std::string EfficiencyText(double v) {
    std::string s = kx::NumberToText(v);
    if (s.find_first_of(".Ee") == std::string::npos && s.size() < 8) s += '.';
    return s;
}

}  // namespace

FixtureReaction FixtureReaction::Of(std::string equation, std::vector<int> reactants, std::vector<int> products) {
    FixtureReaction r;
    r.equation = std::move(equation);
    r.reactants = std::move(reactants);
    r.products = std::move(products);
    return r;
}

SolverFileFixture SolverFileFixture::WithSpecies(int n) {
    SolverFileFixture f;
    for (int k = 1; k <= n; ++k) {
        FixtureSpecies s;
        s.name = "S" + std::to_string(k);
        s.molarMass = 9.0 + k;
        s.coefficients = {3.5, 0, 0, 0, 0, -1000, 4, 3.5, 0, 0, 0, 0, -1000, 4};
        f.species.push_back(s);
    }
    return f;
}

void SolverFileFixture::AddRecords(const std::vector<double>& times) {
    for (double t : times) {
        FixtureRecord r;
        r.time = t;
        r.temperature = initialTemperature;
        const double i = static_cast<double>(records.size() + 1);
        for (std::size_t k = 1; k <= species.size(); ++k) r.y.push_back(1e-3 * static_cast<double>(k) + 1e-6 * i);
        records.push_back(r);
    }
}

std::string RecordFirstLine(int step, double time, double temperature, const std::vector<double>& y) {
    std::string line = " " + Right(std::to_string(step), 5) + " " + E16(time) + " " + E16(temperature);
    for (std::size_t k = 0; k < y.size() && k < kPerLine; ++k) line += " " + E16(y[k]);
    return line;
}

std::vector<std::string> SolverFileFixture::Lines() const {
    std::vector<std::string> out;
    const int ns = static_cast<int>(species.size());
    out.push_back("!$KINOVEX SOLVER");
    out.push_back(" Test mechanism");
    for (int i = 3; i <= 9; ++i) out.push_back(" ");
    out.push_back(" " + std::to_string(ns) + " !Species");
    out.push_back(" " + std::to_string(reactions.size()) + " !Reactions");
    out.push_back(" !");
    out.push_back(" !Run parameters");
    out.push_back(" " + kx::Format(pressure, "0.000000E+00") + " !Pressure, atm");
    out.push_back(mode == 1 ? " 1 !Temperature Equation" : " 0 !Constant Temperature");
    out.push_back(" " + kx::Format(initialTemperature, "0.000000E+00") + " !Initial Temperature");
    out.push_back(" 2.500000E+02 !Minimal Allowable Temperature");
    out.push_back(" 5.000000E+03 !Maximum Allowable Temperature");
    out.push_back(" 0.000000E+00 !Initial Time");
    out.push_back(" 1.000000E-03 !Final Time");
    out.push_back(" 1.000000E-08 !Initial Step Size");
    out.push_back(" 100000 !Maximum Number of Steps");
    out.push_back(" 1.000000E-06 !Relative Tolerance");
    out.push_back(" " + kx::Format(absTolerance, "0.000000E+00") + " !Absolute Tolerance");
    out.push_back(" ");
    out.push_back(" !Output Parameters");
    out.push_back(" 100000 !R!Maximum Number of lines in output");
    out.push_back(" 1 !Delta N");
    out.push_back(" ");
    out.push_back(" !Gas constants");
    out.push_back(" " + kx::NumberToText(gasConstantE) + " !R in units of the activation energies");
    out.push_back(" " + kx::NumberToText(gasConstantConc) + " !R in units of pressure and concentration");
    out.push_back(" ");
    out.push_back(" THERMO");
    // A run starts from a gas: without any initial mole fraction given, the
    // first species is the whole of it.
    const bool anyFraction =
        std::any_of(species.begin(), species.end(), [](const FixtureSpecies& s) { return s.initialFraction != 0; });
    for (int k = 1; k <= ns; ++k) {
        FixtureSpecies s = species[static_cast<std::size_t>(k) - 1];
        if (!anyFraction && k == 1) s.initialFraction = 1;
        std::string first = " " + Left(std::to_string(k), 4) + " " + Left(s.name, 16);
        first = Left(first, 45) + "0 " + Right(kx::Format(s.tLow, "0.0"), 8) + " " + Right(kx::Format(s.tHigh, "0.0"), 8) +
                " " + Right(kx::Format(s.tMid, "0.0"), 8) + " ";
        first += Left(s.initialFraction == 0 ? "0" : kx::Format(s.initialFraction, "0.000E+00"), 10);
        out.push_back(first);
        for (int j = 0; j < 3; ++j) {
            std::string line;
            for (int f = 0; f < 5; ++f) {
                const int c = 5 * j + f;
                line += c < 14 ? E15(s.coefficients[static_cast<std::size_t>(c)]) : Right(kx::Format(s.molarMass, "0.000"), 15);
            }
            out.push_back(line);
        }
    }
    out.push_back(" END");
    out.push_back(" ");
    out.push_back(" REACTIONS   MOLES   CAL/MOLE");
    for (std::size_t r = 0; r < reactions.size(); ++r) {
        const FixtureReaction& x = reactions[r];
        out.push_back(" " + Left(std::to_string(r + 1), 4) + " " + x.equation);
        std::array<int, 16> ints{};
        for (std::size_t j = 0; j < x.reactants.size(); ++j) ints[j] = x.reactants[j];
        for (std::size_t j = 0; j < x.products.size(); ++j) ints[3 + j] = x.products[j];
        ints[9] = static_cast<int>(x.reactants.size());
        ints[10] = static_cast<int>(x.products.size());
        ints[11] = x.thirdBody;
        ints[12] = static_cast<int>(x.partners.size());
        ints[13] = x.lowPressure;
        ints[14] = x.falloffKind;
        ints[15] = x.reverse;
        std::string line = "      ";
        for (int v : ints) line += Left(std::to_string(v), 4);
        out.push_back(line);
        auto reals = [&](const auto& values) {
            std::string l = "      ";
            for (double v : values) l += E15(v);
            out.push_back(l);
        };
        reals(x.rate);
        if (x.lowPressure == 1) reals(x.low);
        if (kx::BroadeningParameters(x.falloffKind) > 0) reals(x.falloff);
        if (!x.partners.empty()) {
            std::string labels = "      ", numbers = "      ", efficiencies = "      ";
            for (std::size_t j = 0; j < 10; ++j) {
                const bool listed = j < x.partners.size();
                labels += Left(listed ? species[static_cast<std::size_t>(x.partners[j]) - 1].name : "", 8);
                numbers += Left(std::to_string(listed ? x.partners[j] : 0), 8);
                efficiencies += Left(listed ? EfficiencyText(x.efficiencies[j]) : "0.", 8);
            }
            out.push_back(labels);
            out.push_back(numbers);
            out.push_back(efficiencies);
        }
    }
    out.push_back(" END");

    out.push_back(" ");
    out.push_back(resultsTitle);
    const std::size_t perRecord = species.empty() ? 1 : (species.size() + kPerLine - 1) / kPerLine;
    std::string heading = " StepN " + Left("Time", 16) + " " + Left("T", 16);
    for (std::size_t k = 0; k < species.size() && k < kPerLine; ++k) heading += " " + Left(species[k].name, 16);
    out.push_back(heading);
    for (std::size_t line = 1; line < perRecord; ++line) {
        std::string l(40, ' ');
        for (std::size_t k = line * kPerLine; k < species.size() && k < (line + 1) * kPerLine; ++k)
            l += " " + Left(species[k].name, 16);
        out.push_back(l);
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const FixtureRecord& r = records[i];
        out.push_back(RecordFirstLine(static_cast<int>(i + 1), r.time, r.temperature, r.y));
        for (std::size_t line = 1; line < perRecord; ++line) {
            std::string l(40, ' ');
            for (std::size_t k = line * kPerLine; k < r.y.size() && k < (line + 1) * kPerLine; ++k) l += " " + E16(r.y[k]);
            out.push_back(l);
        }
    }
    for (const std::string& l : tail) out.push_back(l);
    return out;
}

std::vector<DisagreeingHeader> HeadersThatDisagreeWithTheirRecords() {
    // Three species, a reaction of two of them and one with a list of
    // colliders, four records: lines 35-46 the thermodynamic records, 49
    // the REACTIONS line, 50-52 and 53-58 the reactions, 59 the end line,
    // 62 the results heading and 63-66 the records.
    SolverFileFixture f = SolverFileFixture::WithSpecies(3);
    f.reactions.push_back(FixtureReaction::Of("S1+S2=>S3", {1, 2}, {3}));
    FixtureReaction collided = FixtureReaction::Of("S3+M=>S1+M", {3}, {1});
    collided.thirdBody = 2;
    collided.partners = {1, 3};
    collided.efficiencies = {2.0, 0.5};
    f.reactions.push_back(collided);
    f.AddRecords({0, 1e-5, 2e-5, 3e-5});
    const std::vector<std::string> base = f.Lines();
    auto with = [&](int line, const std::string& text) {
        std::vector<std::string> lines = base;
        lines.at(static_cast<std::size_t>(line) - 1) = text;
        return lines;
    };
    auto field = [](std::string line, int column, const std::string& text) {
        return line.replace(static_cast<std::size_t>(column) - 1, text.size(), text);
    };
    // A fourth species in the results only: its name and a value in every record.
    std::vector<std::string> wider = base;
    wider.at(61) += " " + std::string("S4").append(14, ' ');
    for (std::size_t n = 62; n <= 65; ++n) wider.at(n) += "  0.10000000E-002";
    const std::string range = "Subscript out of range: ";
    return {
        {"species count one below the records", with(10, " 2 !Species"),
         range + "line 10: the species count 2 does not match the 3 thermo records between the THERMO line 34 and "
                 "the REACTIONS line 49"},
        {"species count one above the records", with(10, " 4 !Species"),
         range + "line 10: the species count 4 does not match the 3 thermo records between the THERMO line 34 and "
                 "the REACTIONS line 49"},
        {"a species more in the results", wider,
         range + "the species count on line 10, 3, does not match the 4 species of the results heading"},
        {"temperature mode 2", with(15, " 2 !Constant Volume"),
         "Invalid procedure call or argument: line 15: the temperature mode must be 0 or 1, not 2"},
        {"reactant beyond the species", with(51, field(base.at(50), 7, "4   ")),
         range + "line 51: species number 4 in the reactant fields is outside 1..3"},
        {"collider beyond the species", with(57, field(base.at(56), 15, "5       ")),
         range + "line 57: species number 5 in the third-body fields is outside 1..3"},
        {"reaction count one below the records", with(11, " 1 !Reactions"),
         "Invalid procedure call or argument: line 53: the end line \"END\" must follow the 1 reaction record of the "
         "count on line 11 here"},
        {"reaction count one above the records", with(11, " 3 !Reactions"),
         range + "line 11: the reaction count 3 is above the 2 reaction records before the end line 59"},
    };
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    return text;
}

std::string SolverFileFixture::Text() const { return JoinLines(Lines(), lineEnd); }

void SolverFileFixture::Write(const std::filesystem::path& path) const {
    std::ofstream out(path, std::ios::binary);
    out << Text();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

double CubicRunY1(double t) { return 0.1 - 0.02 * t + 0.003 * t * t - 0.0004 * t * t * t; }

double CubicRunY1Integral(double a, double b) {
    auto F = [](double t) { return 0.1 * t - 0.01 * t * t + 0.001 * t * t * t - 0.0001 * t * t * t * t; };
    return F(b) - F(a);
}

const std::vector<double> kCubicRunTimes{0, 0.5, 1.25, 2, 3, 3.5, 4.5, 5.5, 6};

SolverFileFixture CubicTwoReactionRun(double y2Slope) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(4);
    for (auto& s : f.species) s.molarMass = 10;
    FixtureReaction r1 = FixtureReaction::Of("S1=>S2", {1}, {2});
    r1.reverse = 0;
    r1.rate = {2, 0, 0};
    FixtureReaction r2 = FixtureReaction::Of("S1+S4=>S3+S4", {1, 4}, {3, 4});
    r2.reverse = 0;
    f.reactions = {r1, r2};
    for (double t : kCubicRunTimes) {
        const double y1 = CubicRunY1(t);
        f.records.push_back({t, 1000, {y1, 0.3 + y2Slope * t, 0.65 - y1 - y2Slope * t, 0.05}});
    }
    return f;
}

CutRun CutResults(const std::string& text, int linesPerRecord, ResultsCut cut) {
    // Where each line starts; a last line without its line end counts too.
    std::vector<std::size_t> starts{0};
    for (std::size_t at = text.find('\n'); at != std::string::npos && at + 1 < text.size(); at = text.find('\n', at + 1))
        starts.push_back(at + 1);
    const std::size_t lineCount = starts.size();
    auto line = [&](std::size_t i) {
        const std::size_t end = i + 1 < lineCount ? starts[i + 1] : text.size();
        return text.substr(starts[i], end - starts[i]);
    };
    auto trimmed = [](std::string l) {
        const std::size_t a = l.find_first_not_of(" \r\n");
        return a == std::string::npos ? std::string() : l.substr(a);
    };
    std::size_t title = 0;
    while (title < lineCount && !trimmed(line(title)).starts_with("!$Results")) ++title;
    const std::size_t first = title + 1 + static_cast<std::size_t>(linesPerRecord);  // after the heading
    std::size_t end = first;
    while (end < lineCount && !trimmed(line(end)).starts_with("!$End")) ++end;
    if (end >= lineCount) throw std::runtime_error("no closed results block");
    const std::size_t per = static_cast<std::size_t>(linesPerRecord);
    const std::size_t all = (end - first) / per;

    CutRun out;
    std::size_t kept = 0;  // whole lines kept
    std::size_t extra = 0;  // characters of the line after them
    switch (cut) {
        case ResultsCut::InHalf: {
            const std::size_t half = text.size() / 2;
            while (kept + 1 < lineCount && starts[kept + 1] <= half) ++kept;
            extra = half - starts[kept];
            break;
        }
        case ResultsCut::BetweenRecords:
            kept = first + per * (all / 2);
            break;
        case ResultsCut::WithinARecord:
            kept = first + per * (all / 2) + (per > 1 ? 1 : 0);
            if (per == 1) extra = line(kept).size() / 2;
            break;
        case ResultsCut::NoClosingLine:
            kept = end;
            break;
    }
    if (kept <= first) throw std::runtime_error("the cut leaves no record");
    out.records = static_cast<int>(std::min(all, (kept - first) / per));
    out.text = text.substr(0, starts[kept] + extra);
    const std::string last = line(first + per * static_cast<std::size_t>(out.records - 1));
    const std::optional<double> time = kx::ParseNumber(last.substr(7, 16));
    if (!time) throw std::runtime_error("no time on the last record kept");
    out.lastTime = *time;
    return out;
}

}  // namespace kxtest
