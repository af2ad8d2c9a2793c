#include "ResultsBlock.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "Errors.h"
#include "Format.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "fixed_format.h"
#include "input_rules.h"

namespace kx {

using namespace solverfile;

namespace {

constexpr int kFieldWidth = kRecordValueWidth + 1;
// The heading's names stand in the fields of the values.
static_assert(kNameLength == kRecordValueWidth);

// The length of line j (from 0) of a record, or of the heading, as the
// solver writes it for the number of species: the step number and two
// values before the species of the first line, the indent before those of
// a continuation line.
std::size_t RecordLineLength(int speciesCount, int j) {
    const int before = j == 0 ? 1 + kRecordStepWidth + 2 * kFieldWidth : kRecordIndent;
    const int species = std::clamp(speciesCount - kRecordValuesPerLine * j, 0, kRecordValuesPerLine);
    return static_cast<std::size_t>(before + kFieldWidth * species);
}

std::string Ordinal(int j, int of) { return "line " + std::to_string(j + 1) + " of " + std::to_string(of); }

// The heading from line index n on into out.Header, its lines as they stand
// (a name may have lost its trailing blanks), joined like a record's; n
// becomes the index after it. False when the lines end first (out.CutShort)
// or a line ends the results.
bool JoinHeading(std::span<const std::string_view> lines, int perRecord, ResultsRecords& out, std::size_t& n) {
    for (int j = 0; j < perRecord; ++j, ++n) {
        if (n >= lines.size()) {
            out.CutShort = true;
            return false;
        }
        const std::string_view line = lines[n];
        if (EndsResults(line)) return false;
        out.Header += j > 0 ? Mid(line, kRecordIndent + 1) : line;
    }
    out.HeadingRead = true;
    return true;
}

// Refuses a joined heading that names other than speciesCount species.
void CheckHeadingNames(std::string_view heading, int speciesCount) {
    int names = 0;
    for (int k = 2; static_cast<std::size_t>(RecordFieldStart(k)) <= heading.size(); ++k)
        names += !Trim(RecordField(heading, k)).empty();
    if (names != speciesCount)
        throw Error(ErrorKind::SubscriptOutOfRange,
                    "the species count on " + LineLabel(kSpeciesCountLine) + ", " + std::to_string(speciesCount) +
                        ", does not match the " + std::to_string(names) + " species of the results heading");
}

}  // namespace

std::string_view RecordField(std::string_view record, int field) {
    return Mid(record, RecordFieldStart(field), kRecordValueWidth);
}

int ResultsTitleLine(std::span<const std::string_view> lines, int endLine) {
    for (std::size_t n = static_cast<std::size_t>(std::max(endLine, 0)); n < lines.size(); ++n) {
        if (TrimmedStartsUpper(lines[n], "ERROR")) return 0;
        if (IsResultsTitle(lines[n])) return static_cast<int>(n) + 1;
    }
    return 0;
}

void CheckHeadingSpecies(std::span<const std::string_view> lines, int titleLine, int speciesCount) {
    ResultsRecords heading;
    std::size_t n = static_cast<std::size_t>(std::max(titleLine, 0));
    if (JoinHeading(lines, ResultsRecordLines(speciesCount), heading, n)) CheckHeadingNames(heading.Header, speciesCount);
}

bool HoldsResults(std::span<const std::string_view> lines, int endLine, int speciesCount) {
    const int title = ResultsTitleLine(lines, endLine);
    if (title == 0) return false;
    ResultsRecords heading;
    std::size_t n = static_cast<std::size_t>(title);
    JoinHeading(lines, ResultsRecordLines(speciesCount), heading, n);
    return heading.Found();
}

ResultsRecords JoinResultsRecords(std::span<const std::string_view> lines, int titleLine, int speciesCount) {
    ResultsRecords out;
    const int perRecord = ResultsRecordLines(speciesCount);
    const std::size_t count = lines.size();
    std::size_t n = static_cast<std::size_t>(std::max(titleLine, 0));  // the next line's index; its number is n + 1

    if (!JoinHeading(lines, perRecord, out, n)) return out;
    CheckHeadingNames(out.Header, speciesCount);

    std::size_t recordSize = 0;
    for (int j = 0; j < perRecord; ++j) recordSize += RecordLineLength(speciesCount, j) + 2;
    out.Records.reserve((count - n) / static_cast<std::size_t>(perRecord) + 1);
    out.RecordLines.reserve(out.Records.capacity());

    for (;;) {
        const int number = static_cast<int>(out.Records.size()) + 1;
        int first = 0;
        std::string record;
        for (int j = 0; j < perRecord; ++j, ++n) {
            const std::size_t blank = n;
            while (n < count && Trim(lines[n]).empty()) ++n;
            if (n == count) {
                out.CutShort = true;  // a record begun is left out
                return out;
            }
            const std::string_view line = lines[n];
            if (TrimmedStartsUpper(line, "ERROR")) return out;
            // Blank lines stand between records, or before an error report.
            if (j > 0 && n != blank)
                throw Error(ErrorKind::InvalidArgument, LineLabel(static_cast<int>(blank) + 1) + ", " +
                                                            Ordinal(j, perRecord) + " of record " +
                                                            std::to_string(number) + " of the results, is blank");
            // The statistics the solver writes after the closing line.
            if (j == 0 && IsStatisticsTitle(line))
                throw Error(ErrorKind::InvalidArgument,
                            LineLabel(static_cast<int>(blank) + 1) +
                                ": the closing line \" !$End\" of the results is missing here, after " +
                                (number > 1 ? "record " + std::to_string(number - 1) : std::string("the heading")) +
                                " and before the run statistics on " +
                                LineLabel(static_cast<int>(n) + 1));
            if (TrimmedStartsUpper(line, "!$END")) {
                if (j == 0) {
                    out.Closed = true;
                    return out;
                }
                throw Error(ErrorKind::InvalidArgument,
                            "the closing " + LineLabel(static_cast<int>(n) + 1) + " stands within record " +
                                std::to_string(number) + " of the results, which begins on " + LineLabel(first) +
                                " and has " + std::to_string(perRecord) + " lines");
            }
            const std::size_t length = RecordLineLength(speciesCount, j);
            if (line.size() != length) {
                // The last line of a file cut within it.
                if (n + 1 == count && line.size() < length) {
                    out.CutShort = true;
                    return out;
                }
                throw Error(ErrorKind::InvalidArgument,
                            LineLabel(static_cast<int>(n) + 1) + ", " + Ordinal(j, perRecord) + " of record " +
                                std::to_string(number) + " of the results, is " + std::to_string(line.size()) +
                                " characters long where the solver writes " + std::to_string(length));
            }
            if (j == 0) {
                first = static_cast<int>(n) + 1;
                record.reserve(recordSize);
                record = line;
            } else {
                // After the indent each species keeps its 17 columns.
                if (line.find_first_not_of(' ') < static_cast<std::size_t>(kRecordIndent))
                    throw Error(ErrorKind::InvalidArgument,
                                LineLabel(static_cast<int>(n) + 1) + ", " + Ordinal(j, perRecord) + " of record " +
                                    std::to_string(number) + " of the results, does not begin with the " +
                                    std::to_string(kRecordIndent) + " blanks the solver writes");
                record += line.substr(static_cast<std::size_t>(kRecordIndent));
            }
        }
        out.Records.push_back(std::move(record));
        out.RecordLines.push_back(first);
    }
}

ResultsValues ReadRecordValues(const ResultsRecords& records, int speciesCount, const RecordsHeader& header) {
    ResultsValues out;
    out.Fields = speciesCount + 2;
    out.Data.resize(records.Records.size() * static_cast<std::size_t>(out.Fields));

    // The initial temperature as the solver prints it into every record of
    // a run at constant temperature, read back as the records are.
    char printed[kRecordValueWidth];
    fmt::PutE(printed, header.InitialTemperature, kRecordValueWidth, kRecordValueDigits, kRecordExponentDigits);
    const std::string_view constantText = Trim(std::string_view(printed, kRecordValueWidth));
    const std::optional<double> constant = ParseNumber(constantText);

    std::optional<int> previousStep;
    bool afterOverflow = false;  // a record before has a step above 99999
    for (std::size_t i = 0; i < records.Records.size(); ++i) {
        const std::string& record = records.Records[i];
        const int firstLine = records.RecordLines[i];
        const std::string number = std::to_string(i + 1);
        // Species k stands on the record's line (k - 1) / 50 + 1.
        auto where = [&](int field) {
            const int line = firstLine + (field < 2 ? 0 : (field - 2) / kRecordValuesPerLine);
            return " of record " + number + " on " + LineLabel(line);
        };
        auto what = [](int field) {
            return field == 0 ? std::string("the time") : field == 1 ? std::string("the temperature")
                                                                      : "the mass fraction of species " + std::to_string(field - 1);
        };
        double* values = out.Data.data() + i * static_cast<std::size_t>(out.Fields);
        for (int f = 0; f < out.Fields; ++f) {
            const std::string_view text = Trim(RecordField(record, f));
            const std::optional<double> v = ParseNumber(text);
            if (!v || !std::isfinite(*v))
                throw Error(ErrorKind::TypeMismatch, what(f) + where(f) + ", \"" + std::string(text) + "\", is no number");
            values[f] = *v;
        }
        const double time = values[0], temperature = values[1];
        auto fieldText = [&](int f) { return std::string(Trim(RecordField(record, f))); };

        // Steps and times go forward; two records may share a printed time.
        // A step above 99999 is printed as the overflow mark, and so is
        // every one after it.
        const std::string_view stepField = fmt::Field(record, 2, kRecordStepWidth);
        int step = 0;
        if (IsStepOverflowMark(stepField)) {
            afterOverflow = true;
        } else if (Trim(stepField).empty() || !fmt::ReadIntField(stepField, step)) {
            throw Error(ErrorKind::TypeMismatch, "the step number" + where(0) + ", \"" + std::string(stepField) +
                                                     "\", is neither a whole number nor the mark of a step above "
                                                     "99999, \"*****\"");
        } else if (afterOverflow) {
            throw Error(ErrorKind::InvalidArgument, "the step number" + where(0) + ", " + std::to_string(step) +
                                                        ", is not above that of a record before it, above 99999");
        } else if (previousStep && step <= *previousStep) {
            throw Error(ErrorKind::InvalidArgument, "the step number" + where(0) + ", " + std::to_string(step) +
                                                        ", is not above that of record " + std::to_string(i) +
                                                        " before it, " + std::to_string(*previousStep));
        }
        previousStep = afterOverflow ? std::nullopt : std::optional<int>(step);
        if (i > 0 && time < out.Value(i - 1, 0))
            throw Error(ErrorKind::InvalidArgument,
                        what(0) + where(0) + ", " + fieldText(0) + " s, is earlier than that of record " +
                            std::to_string(i) + " before it, " +
                            std::string(Trim(RecordField(records.Records[i - 1], 0))) + " s");

        if (header.TemperatureMode == 0 && temperature != constant)
            throw Error(ErrorKind::InvalidArgument,
                        "the temperature mode on " + LineLabel(kTemperatureModeLine) +
                            " is 0 (constant temperature), but " + what(1) + where(1) + ", " + fieldText(1) +
                            " K, is not the initial temperature on " + LineLabel(kInitialTemperatureLine) + ", " +
                            std::string(constantText) + " K");
        if (!(temperature > 0))
            throw Error(ErrorKind::InvalidArgument, what(1) + where(1) + ", " + fieldText(1) + " K, is not above 0");
    }
    return out;
}

std::string InTheFileText(const std::string& path, int number) {
    return "In the file " + (number == 0 ? std::string() : std::to_string(number) + " ") + "'" + path + "', ";
}

std::string FileRefusalText(const std::string& path, std::string_view reason, int number) {
    std::string text = InTheFileText(path, number) + "unexpected error.\r\n";
    text += reason;
    return text + ".";
}

std::string FewRecordsText(std::size_t records) {
    if (records == 0) return "the results hold no records";
    return "the results hold only " + std::to_string(records) + (records == 1 ? " record" : " records") +
           "; at least " + std::to_string(kLeastResultsRecords) + " are needed";
}

}  // namespace kx
