#include "TextTables.h"

#include <cmath>

#include "Errors.h"
#include "Format.h"
#include "Index.h"
#include "ReactionLists.h"
#include "TextHelpers.h"

namespace kx {
namespace {

std::string RightAligned(std::string_view text, int width) { return Format(text, FormStr(width)); }

// The three lines above every table's column heads.
std::vector<std::string> TableHead(const ResultsReader& reader, const std::string& stamp) {
    return {stamp, "  Solver file:  " + reader.Tables().ResultFilePath, " "};
}

std::string LineStart(int number, double time) {
    return RightAligned(std::to_string(number), 6) + RightAligned(Format(time, "0.00000000E+00"), 18);
}

struct MeanColumn {
    const char* Heading;
    const char* Pattern;
};

MeanColumn MeanColumnOf(int code, const QuantityUnits& units) {
    switch (code) {
        case 1: return {"T (K)", "0.00"};
        case 2: return {units.ConcUnit != 0 ? "C (1/cm^3)" : "C (mol/cm^3)", "0.00E+00"};
        case 3: return {"Ro (g/cm^3)", "0.00E+00"};
        case 4: return {"M (g/mol)", "0.00"};
        case 5: return {units.Joule ? "H (kJ/mol)" : "H (kcal/mol)", "0.000"};
        case 6: return {units.Joule ? "Cp (J/K mol)" : "Cp (cal/K mol)", "0.000"};
        default: throw Error(ErrorKind::InvalidArgument, "mean parameter " + std::to_string(code));
    }
}

}  // namespace

std::string TableStamp(const std::string& date, const std::string& timeOfDay) {
    return "  Kinovex,  " + date + ",  " + timeOfDay;
}

std::vector<std::string> MeanParameterTable(const ResultsReader& reader, std::span<const int> properties,
                                            const QuantityUnits& units, const std::string& stamp) {
    std::vector<MeanColumn> columns;
    for (int code : properties) columns.push_back(MeanColumnOf(code, units));
    std::vector<std::string> lines = TableHead(reader, stamp);
    std::string head = RightAligned("No", 6) + RightAligned("Time (sec)", 18);
    for (const MeanColumn& c : columns) head += RightAligned(c.Heading, 15);
    lines.push_back(head);

    const UsedRowsState& u = reader.Used();
    int written = 0;
    std::vector<double> values(properties.size());
    for (int p = 1; p < u.UsedCount; ++p) {
        bool skipped = false;
        for (std::size_t c = 0; c < properties.size(); ++c) {
            values[c] = MeanValueAt(reader, p, static_cast<MeanParameter>(properties[c]), units);
            skipped = skipped || std::isnan(values[c]);
        }
        if (skipped) continue;
        std::string line = LineStart(++written, u.UsedTimes[At(p)]);
        for (std::size_t c = 0; c < properties.size(); ++c)
            line += RightAligned(Format(values[c], columns[c].Pattern), 15);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SpeciesTable(const ResultsReader& reader, SpeciesQuantity quantity,
                                      std::span<const int> species, int nameLength, const QuantityUnits& units,
                                      const std::string& stamp) {
    if (static_cast<int>(species.size()) > kMaxTableSpecies)
        throw Error(ErrorKind::InvalidArgument, "more than " + std::to_string(kMaxTableSpecies) + " species");
    if (quantity == SpeciesQuantity::Temperature) throw Error(ErrorKind::InvalidArgument, "quantity");
    const ResultsTables& t = reader.Tables();
    const int width = nameLength + 4;
    std::vector<std::vector<double>> columns;
    std::string head = RightAligned("No", 6) + RightAligned("Time (sec)", 18);
    for (int k : species) {
        if (k < 1 || k > t.NumSpecies) throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(k));
        SpeciesValueOptions options;
        options.AbsentAsZero = true;
        columns.push_back(SpeciesValues(reader, quantity, k + 2, units, options));
        head += RightAligned(t.ColumnNames[At(k) + 2].substr(0, At(nameLength)), width);
    }
    std::vector<std::string> lines = TableHead(reader, stamp);
    lines.push_back("  " + QuantityListItems(units.ConcUnit)[At(static_cast<int>(quantity))]);
    // The names are the file's Latin-1 bytes, aligned byte for character;
    // the path above is UTF-8, so the whole table is.
    lines.push_back(Latin1ToUtf8(head));
    const UsedRowsState& u = reader.Used();
    for (int p = 1; p < u.UsedCount; ++p) {
        std::string line = LineStart(p, u.UsedTimes[At(p)]);
        for (const std::vector<double>& column : columns)
            line += RightAligned(Format(column[At(p)], "0.00000000E+00"), width);
        lines.push_back(line);
    }
    return lines;
}

}  // namespace kx
