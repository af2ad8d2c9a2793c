#include "RevReactions.h"

#include "Files.h"
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
        files::TextReader reader(path, SplitSolverLines);
        while (!reader.AtEnd())
            if (TrimmedStartsUpper(reader.ReadLine(), "REACTIONS")) break;
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
