#include "SolverFileReading.h"

#include <optional>

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "input_rules.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"

namespace kx {

using namespace solverfile;

std::string ReadSolverFile(const std::string& path) {
    if (!files::Exists(path)) throw Error(ErrorKind::FileNotFound, path);
    return files::ReadAll(path);
}

double RequiredNumber(std::string_view text, const std::string& where) {
    const auto v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, where);
    return *v;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    for (line = LTrim(line); !line.empty(); line = LTrim(line)) {
        const std::size_t blank = line.find(' ');
        words.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank);
    }
    return words;
}

namespace {

// Lines are strings or views of a file's text.

// The heading record from the first lines into out.Header, and the length
// of each of its lines; n becomes the line after it. False when the lines
// end first (out.CutShort) or a line ends the results.
template <class Line>
bool JoinHeading(std::span<const Line> lines, std::size_t perRecord, ResultsRecords& out,
                 std::vector<std::size_t>& lengths, std::size_t& n) {
    for (n = 0; lengths.size() < perRecord; ++n) {
        if (n == lines.size()) {
            out.CutShort = true;
            return false;
        }
        const std::string_view line = lines[n];
        if (EndsResults(line)) return false;
        if (n > 0) out.Header += ' ';
        out.Header += n > 0 ? LTrim(line) : line;
        lengths.push_back(line.size());
    }
    return true;
}

template <class Line>
ResultsRecords JoinRecords(std::span<const Line> lines, int speciesCount) {
    ResultsRecords out;
    const std::size_t perRecord = static_cast<std::size_t>(ResultsRecordLines(speciesCount));
    std::size_t n = 0;
    std::vector<std::size_t> lengths;  // of the first line, then of each continuation line
    if (!JoinHeading(lines, perRecord, out, lengths, n)) return out;
    // Every record line has its known length: room for the joined record
    // (and a little more for those who insert into it) at once.
    std::size_t recordSize = 0;
    for (std::size_t length : lengths) recordSize += length;
    out.Records.reserve((lines.size() - n) / perRecord + 1);

    for (;;) {
        while (n < lines.size() && Trim(lines[n]).empty()) ++n;
        if (n == lines.size()) {
            out.CutShort = true;
            return out;
        }
        const std::string_view first = lines[n++];
        if (EndsResults(first) || first.size() != lengths[0]) {
            out.Closed = TrimmedStartsUpper(first, "!$END");
            return out;
        }
        std::string record;
        record.reserve(recordSize + 32);
        record = first;
        for (std::size_t j = 1; j < perRecord; ++j) {
            if (n == lines.size()) {
                out.CutShort = true;
                return out;
            }
            const std::string_view line = lines[n++];
            if (EndsResults(line) || line.size() != lengths[j]) return out;
            const std::string_view rest = LTrim(line);
            record += rest.starts_with('-') ? " " : "  ";
            record += rest;
        }
        out.Records.push_back(std::move(record));
        if (n == lines.size()) return out;
    }
}

}  // namespace

void CheckHeadingSpecies(std::span<const std::string_view> lines, int speciesCount) {
    ResultsRecords results;
    std::vector<std::size_t> lengths;
    std::size_t next = 0;
    if (!JoinHeading(lines, static_cast<std::size_t>(ResultsRecordLines(speciesCount)), results, lengths, next))
        return;
    const std::string& heading = results.Header;
    int names = 0;
    for (int k = 2; static_cast<std::size_t>(RecordFieldStart(k)) <= heading.size(); ++k)
        names += !Trim(RecordField(heading, k)).empty();
    if (names != speciesCount)
        throw Error(ErrorKind::SubscriptOutOfRange,
                    "the species count on " + LineLabel(kSpeciesCountLine) + ", " + std::to_string(speciesCount) +
                        ", does not match the " + std::to_string(names) + " species of the results heading");
}

ResultsRecords JoinResultsRecords(std::span<const std::string> lines, int speciesCount) {
    return JoinRecords(lines, speciesCount);
}

ResultsRecords JoinResultsRecords(std::span<const std::string_view> lines, int speciesCount) {
    return JoinRecords(lines, speciesCount);
}

std::string_view RecordField(std::string_view record, int field) { return Mid(record, RecordFieldStart(field), 16); }

}  // namespace kx
