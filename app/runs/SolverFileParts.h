// The value of a solver file's header line as the run-settings loader and
// the checks of solver files read it.
#pragma once

#include <string>
#include <string_view>

namespace kx::runs {

// The value of header line `number`, trimmed. Throws kx::Error
// (InvalidArgument) naming the line when it holds no "!".
std::string HeaderText(std::string_view line, int number);

}  // namespace kx::runs
