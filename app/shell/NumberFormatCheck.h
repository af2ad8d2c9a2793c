// The start-up check of the number format: the program reads and writes
// numbers with "." as decimal symbol, no digit grouping and "-" as negative
// sign, and refuses to start when its number text shows anything else.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// The number whose default text the check looks at (-1058201048.571...).
inline constexpr double kNumberFormatProbeValue = 1234567890.0 / 7 - 1234567890.0;

// The complaint about the default text of kNumberFormatProbeValue, followed
// by the sentence announcing the help text; "" when the text suits.
std::string NumberFormatComplaint(std::string_view probeText);

}  // namespace kx
