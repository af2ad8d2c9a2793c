#include "RevReactions.h"

#include "Files.h"
#include "SolverFileLayout.h"
#include "input_rules.h"
#include "solver_file.h"
#include "TextHelpers.h"

#include <array>
#include <exception>

namespace kx {
namespace {

constexpr int kListedAtMost = 3;

}  // namespace

void ListRevReactions(const std::string& path, bool& found, std::string& list, Notifier& notifier) {
    found = false;
    list.clear();
    int count = 0;
    try {
        // The lines as the solver numbers them; the REACTIONS line among the
        // separator lines after the thermodynamic records, which follow the
        // THERMO line where the solver finds it (free text of the header
        // may begin with either word).
        files::TextReader reader(path, SplitSolverLines);
        while (reader.NextLineNumber() < static_cast<std::size_t>(solverfile::kThermoSearchStart)) reader.ReadLine();
        while (!IsThermoKeyLine(reader.ReadLine())) {
        }
        while (!TrimmedStartsUpper(reader.ReadLine(), "REACTIONS")) {
        }
        // The last three lines read; the oldest is the equation line when a
        // REV line follows a record's flags and rate-parameter lines.
        std::array<std::string, 3> window{reader.ReadLine(), reader.ReadLine(), reader.ReadLine()};
        while (!reader.AtEnd()) {
            std::string line = reader.ReadLine();
            if (IsMechanismEndLine(line)) break;
            if (TrimmedStartsUpper(line, "REV")) {
                if (++count > kListedAtMost) break;
                list += window[0] + "\r\n";
            }
            window = {window[1], window[2], line};
        }
        found = count > 0;
        if (found && list.size() > 2) {
            list.resize(list.size() - 2);
            if (count > kListedAtMost) list += "...";
        }
    } catch (const std::exception& e) {
        found = false;
        notifier.ReportError("Mod1#016.1 ", e.what());
    }
}

}  // namespace kx
