// Text tables of quantities over the used points of the current interval:
// the chosen mean parameters, or one quantity of the chosen species. The
// results window writes them to "TmpPlot.txt", shows them in a text window
// and deletes the file.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "Quantities.h"
#include "ResultsReader.h"

namespace kx {

// "  Kinovex,  Jan 5 2024,  14:03:09": the first line of a table.
std::string TableStamp(const std::string& date, const std::string& timeOfDay);

// The mean-parameter table (codes 1..6 in column order; any other code is
// an invalid-argument kx::Error). A point whose mass fractions are all 0 is
// left out when the molar mass, enthalpy or heat capacity is chosen; lines
// are numbered as written.
std::vector<std::string> MeanParameterTable(const ResultsReader& reader, std::span<const int> properties,
                                            const QuantityUnits& units, const std::string& stamp);

// At most this many species go into one species table.
inline constexpr int kMaxTableSpecies = 10;

// The species table: one column of the quantity per species (species
// numbers), names cut to nameLength characters in their column heads,
// values below the zero threshold written as 0. More than kMaxTableSpecies
// species is an invalid-argument kx::Error.
std::vector<std::string> SpeciesTable(const ResultsReader& reader, SpeciesQuantity quantity,
                                      std::span<const int> species, int nameLength, const QuantityUnits& units,
                                      const std::string& stamp);

}  // namespace kx
