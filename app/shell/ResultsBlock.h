// The results block of a solver file, as every reader of the desktop
// program takes it: the heading and the records the solver writes after
// the results title, joined from the lines over which it spreads them, and
// their numbers. A record that the solver would not have written so is
// refused naming its line; results that stop without their closing line (a
// run stopped by an error, a file cut short) are read as far as they go.
//
// The results window, the reduction's holder, the comparison, the check of
// a file's results before any of them opens it and the run-settings
// window's Last Step read the block here.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// The fewest results records a run's results are read with: fewer leave no
// interval to analyse or compare.
inline constexpr std::size_t kLeastResultsRecords = 3;

// The records of a results block, each joined into one line in which field
// k (0 time, 1 temperature, k + 1 species k) takes the 16 characters from
// RecordFieldStart(k).
struct ResultsRecords {
    std::string Header;                // the joined heading record
    bool HeadingRead = false;          // the heading is whole (else there are no records)
    std::vector<std::string> Records;  // the complete records in file order
    std::vector<int> RecordLines;      // the file line of each record's first line
    // The records end at the closing "!$END" line: the run wrote all its
    // results.
    bool Closed = false;
    // The file ends before the closing line or an error report: within the
    // heading or a record (whose lines so far are left out), within a line,
    // or after a complete record.
    bool CutShort = false;
    // Neither: an error report ends the records (the run stopped early).

    // The block holds results, as every reader takes it: its heading is
    // whole, or the file ends within it; not when an error report or a
    // closing line comes within the heading.
    bool Found() const { return HeadingRead || CutShort; }
};

// The results title after the end line of the mechanism (line endLine,
// from 1): the first line after it that is one, unless an error report
// comes first; 0 when there is none.
int ResultsTitleLine(std::span<const std::string_view> lines, int endLine);

// Whether a file's lines hold results, the one rule of every reader: a
// results title after the mechanism's end line (ResultsTitleLine) whose
// heading is whole or cut short by the end of the file, as the records
// that JoinResultsRecords joins are Found().
bool HoldsResults(std::span<const std::string_view> lines, int endLine, int speciesCount);

// Joins the heading and records of the results block whose title is line
// titleLine (from 1) of a file's lines. Each line of a record is as long as
// the solver writes it for speciesCount species, its continuation lines
// appended without their indent of blanks, which rebuilds the 17-character
// field grid. Blank lines between records, and before an error report, are
// passed over; a line beginning with "ERROR" (an error report) or "!$END"
// (blanks around it and letter case aside) ends the records; an error
// report within a record leaves that record out, and so does the end of
// the file. A heading that names other than speciesCount species, a closing
// line or a blank line within a record, a continuation line whose indent is
// not blank, a record line of another length that is not the last line of
// the file (one cut short), and the run statistics where a record or the
// closing line would begin (the line after the last record named: the
// closing line is missing there) throw Error naming the line.
ResultsRecords JoinResultsRecords(std::span<const std::string_view> lines, int titleLine, int speciesCount);

constexpr int RecordFieldStart(int field) { return 8 + 17 * field; }

// Field k of a joined record, untrimmed.
std::string_view RecordField(std::string_view record, int field);

// Refuses the heading of the results block whose title is line titleLine
// (from 1) when it names other than speciesCount species, as
// JoinResultsRecords does before it joins any record: Error naming the
// species count of line 10. Results without a whole heading pass.
void CheckHeadingSpecies(std::span<const std::string_view> lines, int titleLine, int speciesCount);

// The numbers of the records: Value(i, f) is field f (0 time, 1
// temperature, k + 1 species k) of record i (from 0).
struct ResultsValues {
    int Fields = 0;  // species + 2
    std::vector<double> Data;
    double Value(std::size_t record, int field) const {
        return Data[record * static_cast<std::size_t>(Fields) + static_cast<std::size_t>(field)];
    }
};

// What the header says of the records: the temperature mode of line 15 and
// the initial temperature of line 16.
struct RecordsHeader {
    int TemperatureMode = 1;
    double InitialTemperature = 0;
};

// Reads every field of the records as a number and holds them to what the
// solver writes: a finite number in each field, a temperature above 0, no
// time earlier than the one before it (equal times are steps shorter than
// the printed digits), a step number that is a whole number above the one
// before it, or the solver's mark of a step above 99999 (IsStepOverflowMark;
// every step after one so marked bears it too), and in a run at constant
// temperature the initial
// temperature, as printed, in every record (the mode of line 15 named).
// Throws Error naming the record's line otherwise.
ResultsValues ReadRecordValues(const ResultsRecords& records, int speciesCount, const RecordsHeader& header);

// The start of what a reader says of a file: "In the file '<path>', ", or,
// with number 1 or 2, "In the file 2 '<path>', " as the comparison names
// its files.
std::string InTheFileText(const std::string& path, int number = 0);

// What every reader says of a file it refuses, in one form: the file, then
// what is wrong (an error's description, which names the line) on a line of
// its own ("In the file '<path>', unexpected error.\r\nType mismatch: the
// time of record 3 on line 55, \"x\", is no number."); number 1 or 2 as
// for InTheFileText.
std::string FileRefusalText(const std::string& path, std::string_view reason, int number = 0);

// What a reader says of results with their closing line that hold fewer
// than kLeastResultsRecords records: "the results hold only 2 records; at
// least 3 are needed" (or "the results hold no records").
std::string FewRecordsText(std::size_t records);

}  // namespace kx
