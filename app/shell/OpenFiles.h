// Opening files in the window for their kind, new text documents, and the
// closing of tool windows and dialogs that must not outlive a change of
// document.
#pragma once

#include "Forms.h"

#include <QString>

#include <string>
#include <vector>

namespace kx::shell {

// Opens the file: a chart file (".pg") in a chart window, a solver file
// read-only through ShowFileInResultWindow, anything else in a text
// window. An empty path first asks for one in the Open dialog. Kinds
// refused by their extension, or by their content when they would open as
// text (FileContent.h), and failed openings are shown; errors are reported
// ("Mod1#011. ").
void OpenFileByType(const std::string& path);

// Extensions (lower case) of the kinds the program does not open: pictures,
// and with them programs, libraries, PDF and databases.
bool IsRefusedExtension(const std::string& extension);

// Creates a text window and loads the file into it; nullptr when the load
// failed (the window has shown why and is unloaded again).
platform::Form* LoadTextFile(const std::string& path);

// The file through which a made table passes: "TmpPlot.txt" among this
// copy's working files (WorkingFiles.h). Throws kx::Error when no working
// folder can be made.
std::string MadeTablePath();

// Shows lines that the program made (a table of results, a chart's data)
// in a new text window with the caption: a table, not a document (no file
// of its own, no solver menu, lines not wrapped). The lines pass through
// MadeTablePath(), which is removed again whatever happens; a
// failure to write it throws. Returns the window shown, nullptr when it
// could not load the lines (it has said why).
platform::Form* ShowMadeTable(const std::vector<std::string>& lines, const QString& caption);

// Creates an empty text window captioned "Text Doc" and the lowest free
// number (0 when 1 to 100 are all taken) and returns the caption.
void NewTextDocument(std::string& caption, bool visible);

// Unloads the chart set-up and chart export dialogs.
void UnloadPlotDialogs();

// Unloads the tool windows RES_FIND, RES_PAGESETUP, SOL_RUN, RED_Gen and
// Comparison, except the one whose name is keep (exact letter case).
void UnloadToolWindows(const std::string& keep);

// Unloads the six report designers of text and chart printing.
void UnloadReportDesigners();

}  // namespace kx::shell
