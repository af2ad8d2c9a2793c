#include "SolverFileParts.h"

#include "Errors.h"
#include "TextHelpers.h"

#include <algorithm>

namespace kx::runs {

std::string LineLabel(int number) { return "line " + std::to_string(number); }

std::string HeaderText(std::string_view line, int number) {
    const std::size_t bang = line.find('!');
    if (bang == std::string_view::npos)
        throw Error(ErrorKind::InvalidArgument, LineLabel(number) + " holds no \"!\"");
    return std::string(TrimBlanks(line.substr(0, bang)));
}

int ResultsRecordLines(int speciesCount) {
    return std::max(1, (speciesCount + kSpeciesPerResultsLine - 1) / kSpeciesPerResultsLine);
}

}  // namespace kx::runs
