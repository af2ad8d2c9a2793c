#include "NumberFormatCheck.h"

#include "TextHelpers.h"

#include <algorithm>

namespace kx {

std::string NumberFormatComplaint(std::string_view probeText) {
    std::string_view text = TrimBlanks(probeText);
    std::string complaint;
    if (text.find(',') != std::string_view::npos)
        complaint =
            "Decimal symbol of the number format isn't recognized; Kinovex requires the point as the decimal "
            "symbol. ";
    else if (text.empty() || text.front() != '-')
        complaint = "Negative sign of the number format isn't recognized; set the ' - ' symbol as negative sign.";
    else if (std::count(text.begin(), text.end(), '.') >= 2)
        complaint = "In the number format, the digit grouping is used; delete this format feature.";
    if (complaint.empty()) return complaint;
    return complaint + " The next message contains an information about setting the number format.";
}

}  // namespace kx
