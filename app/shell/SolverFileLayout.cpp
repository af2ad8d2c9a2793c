#include "SolverFileLayout.h"

#include "Errors.h"
#include "TextHelpers.h"

#include <algorithm>

namespace kx::solverfile {

std::string LineLabel(int number) { return "line " + std::to_string(number); }

std::string_view FieldOf(std::string_view line, Field field) { return Mid(line, field.column, field.width); }

std::string_view SpeciesComposition(std::string_view line) {
    const std::string_view text = TrimBlanks(Mid(line, 23, 23));
    return text.substr(0, text.find_first_of(" \t"));
}

std::optional<std::string_view> ValueText(std::string_view line) {
    const std::size_t mark = line.find('!');
    if (mark == std::string_view::npos) return std::nullopt;
    return line.substr(0, mark);
}

ThermoRecordValues SolverInput::Species(int k) const {
    ThermoRecordValues record;
    for (int slot = 1; slot <= kThermoRecordValues; ++slot)
        record.Values[static_cast<std::size_t>(slot - 1)] = ThAt(model_->TH, slot, k);
    record.Fraction = model_->Y[k - 1];
    return record;
}

ReactionRecordValues SolverInput::Reaction(int r) const {
    ReactionRecordValues record;
    record.FirstLine = reactionLines_[static_cast<std::size_t>(r - 1)];
    record.Lines = reactionLines_[static_cast<std::size_t>(r)] - record.FirstLine;
    for (int k = 1; k <= kRecordInts; ++k)
        record.Ints[static_cast<std::size_t>(k - 1)] = IreacAt(model_->IREAC, k, r);
    for (int k = 1; k <= kRecordReals; ++k)
        record.Reals[static_cast<std::size_t>(k - 1)] = RreacAt(model_->RREAC, k, r);
    return record;
}

bool ReadSolverInput(std::span<const std::string_view> lines, SolverSettings settings, SolverInput& input,
                     SolverInputError& error) {
    input.storage_ = std::make_unique<SolverModelStorage>();
    input.model_ = &input.storage_->Model();
    SolverInputPlaces places;
    const bool read = SolverReadInput(SolverLineViews(lines), settings, *input.model_, places, error);
    // As far as the reading went: the THERMO line once found (the counts
    // were read before it).
    input.thermoLine_ = places.thermoLine;
    if (!read) return false;
    input.endLine_ = places.endLine;
    // Each reaction record after the one before, as long as its flags make it.
    const SolverModel& m = *input.model_;
    input.reactionLines_.clear();
    input.reactionLines_.reserve(static_cast<std::size_t>(m.NREAC) + 1);
    int n = ThermoRecordLine(places.thermoLine, m.NSPEC + 1) + kSeparatorLines;
    for (int r = 1; r <= m.NREAC; ++r) {
        input.reactionLines_.push_back(n);
        n += ReactionRecordLines(&m.IREAC[(r - 1) * kIreacSlots]);
    }
    input.reactionLines_.push_back(n);
    return true;
}

Error InputErrorOf(const SolverInputError& error) {
    static constexpr ErrorKind kinds[] = {ErrorKind::InputPastEndOfFile, ErrorKind::TypeMismatch,
                                          ErrorKind::SubscriptOutOfRange, ErrorKind::InvalidArgument};
    return Error(kinds[static_cast<std::size_t>(error.kind)], InputProblemText(error));
}

std::string InputProblemText(const SolverInputError& error) {
    return error.line > 0 ? LineLabel(error.line) + ": " + error.problem : error.problem;
}

SolverInput ReadSolverInput(std::span<const std::string_view> lines, SolverSettings settings) {
    SolverInput input;
    if (SolverInputError error; !ReadSolverInput(lines, settings, input, error)) throw InputErrorOf(error);
    return input;
}

bool IsResultsTitle(std::string_view line) { return TrimmedStartsUpper(line, "!$RESULTS"); }

bool EndsResults(std::string_view line) { return TrimmedStartsUpper(line, "ERROR") || TrimmedStartsUpper(line, "!$END"); }

bool IsStatisticsTitle(std::string_view line) { return UpperAscii(TrimBlanks(line)) == "STATISTICS"; }

int ResultsRecordLines(int speciesCount) {
    return std::max(1, (speciesCount + kRecordValuesPerLine - 1) / kRecordValuesPerLine);
}

}  // namespace kx::solverfile
