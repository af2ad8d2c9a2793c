// The common dialogs as the windows call them, all through the one shared
// dialog object CommonDialog1(), so the last file name, colour and font carry
// over from one use to the next. Out arguments are the caller's variables:
// after a cancelled dialog they keep their values and cancelled (or failed)
// is true.
#pragma once

#include "Dialogs.h"
#include "SharedState.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kx::shell {

inline constexpr const char* kOpenFilter =
    "All Files (*.*)|*.*|Windows Text (*.txt)|*.txt|DataBases (*.mdb)|*.mdb|Charts (*.pg)|*.pg";

platform::CommonDialog& CommonDialog1();

// Open dialog with the caller's filter ("description|pattern|..."), filter
// index (from 1) and initial file name.
void ShowOpenDialogFiltered(std::string& path, std::int32_t filterIndex, const std::string& initialName,
                            bool& cancelled, const std::string& filter);
// Open dialog with the fixed filter kOpenFilter.
void ShowOpenDialog(std::string& path, std::int32_t filterIndex, const std::string& initialName, bool& cancelled);
// Save dialog starting on the file name left by the last use; mode 1 asks
// before replacing an existing file, mode 0 does not. Blanks that end the
// chosen name are dropped (in mode 1 a file of the name without them is
// asked about; No shows the dialog again).
void ShowSaveDialog(std::int32_t mode, std::string& path, std::int32_t filterIndex, bool& cancelled,
                    const std::string& filter);
// Colour dialog, starting on initial when given (else on the last colour);
// colour is red in the low byte, then green, then blue.
void ShowColorDialog(Colour& colour, int& red, int& green, int& blue, bool& cancelled,
                     std::optional<Colour> initial = std::nullopt);
// Font dialog starting on the given name (when not empty), bold and italic.
// With allowSize 0 the size is always 10 points, else it is kept within 6
// to 72. failed is true when the dialog was cancelled.
void ShowFontDialog(std::int32_t allowSize, bool& bold, bool& italic, double& size, std::string& name, bool& failed,
                    bool startBold, bool startItalic, std::optional<double> startSize = std::nullopt,
                    std::optional<std::string> startName = std::nullopt);

}  // namespace kx::shell
