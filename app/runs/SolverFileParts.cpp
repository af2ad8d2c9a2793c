#include "SolverFileParts.h"

#include "Errors.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"

#include <optional>

namespace kx::runs {

std::string HeaderText(std::string_view line, int number) {
    const std::optional<std::string_view> value = solverfile::ValueText(line);
    if (!value) throw Error(ErrorKind::InvalidArgument, solverfile::LineLabel(number) + " holds no \"!\"");
    return std::string(TrimBlanks(*value));
}

}  // namespace kx::runs
