// The file a chart export writes: the picture kinds with their extensions,
// and the rule that turns the name typed in the export dialog into the file
// written and the kind it is written as.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kx::chart {

// Export kinds as the shared ExportPictureKind keeps them.
inline constexpr int kExportPng = 0;
inline constexpr int kExportBmp = 1;
inline constexpr int kExportSvg = 2;

// The file extension of an export kind ("png", "bmp", "svg").
const char* ExportExtension(int kind);

// Why a typed name names no file to export to.
enum class ExportNameFault { None, NoName, Folder };

struct ExportTarget {
    ExportNameFault fault = ExportNameFault::None;
    int kind = kExportPng;  // the kind the file is written as
    // The file written; with Folder the folder that the name leads to (as
    // typed or completed); empty with NoName.
    std::string path;
};

// The file an export to the typed name writes, with the kind chosen in the
// dialog:
// - blanks around the name are dropped; a relative name counts from folder;
// - dots that end the name are dropped;
// - an extension of one of the export kinds, in any letter case, chooses
//   that kind and the name stays as typed;
// - any other name gets the chosen kind's extension added (so "run.2" and
//   "chart.txt" become "run.2.png" and "chart.txt.png");
// - no name, or a name of dots only, is NoName; a name ending in "/", "."
//   or "..", or a path (as typed or completed) that isFolder says is a
//   folder, is Folder.
ExportTarget ExportTargetFor(std::string_view typed, int chosenKind, const std::string& folder,
                             const std::function<bool(const std::string&)>& isFolder);

}  // namespace kx::chart
