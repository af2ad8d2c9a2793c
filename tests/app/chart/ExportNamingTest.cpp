#include "ExportNaming.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

namespace kx::chart {
namespace {

struct NamingCase {
    const char* what;
    const char* typed;
    int chosenKind;
    ExportNameFault fault;
    const char* path;  // the file written, or the folder the name leads to
    int kind;          // the kind written
};

void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.what << " (\"" << c.typed << "\")"; }

class ExportNamingTest : public ::testing::TestWithParam<NamingCase> {};

// Folders that exist in the cases below.
const std::set<std::string> folders = {"/data", "/data/pics", "/data/shots.png", "/data/v1.2"};

TEST_P(ExportNamingTest, TheTypedNameGivesTheFileWrittenAndItsKind) {
    const NamingCase& c = GetParam();
    const ExportTarget t =
        ExportTargetFor(c.typed, c.chosenKind, "/data", [](const std::string& p) { return folders.count(p) > 0; });
    EXPECT_EQ(t.fault, c.fault);
    EXPECT_EQ(t.path, c.path);
    if (c.fault == ExportNameFault::None) {
        EXPECT_EQ(t.kind, c.kind);
    }
}

const NamingCase cases[] = {
    {"no extension: the chosen kind's is added", "chart1", kExportBmp, ExportNameFault::None, "/data/chart1.bmp",
     kExportBmp},
    {"a typed export extension chooses its kind", "chart1.png", kExportBmp, ExportNameFault::None,
     "/data/chart1.png", kExportPng},
    {"upper-case extension", "CHART1.BMP", kExportPng, ExportNameFault::None, "/data/CHART1.BMP", kExportBmp},
    {"mixed-case extension", "Chart1.Svg", kExportBmp, ExportNameFault::None, "/data/Chart1.Svg", kExportSvg},
    {"the last extension counts", "chart1.png.bmp", kExportSvg, ExportNameFault::None, "/data/chart1.png.bmp",
     kExportBmp},
    {"a name with dots", "run.2024.final", kExportSvg, ExportNameFault::None, "/data/run.2024.final.svg",
     kExportSvg},
    {"an unknown extension stays part of the name", "chart1.txt", kExportPng, ExportNameFault::None,
     "/data/chart1.txt.png", kExportPng},
    {"a folder with a dot", "/data/v1.2/chart", kExportPng, ExportNameFault::None, "/data/v1.2/chart.png",
     kExportPng},
    {"a folder named like a picture", "/data/shots.png/chart", kExportBmp, ExportNameFault::None,
     "/data/shots.png/chart.bmp", kExportBmp},
    {"a trailing dot", "chart1.", kExportPng, ExportNameFault::None, "/data/chart1.png", kExportPng},
    {"a trailing dot after an extension", "chart1.svg.", kExportPng, ExportNameFault::None, "/data/chart1.svg",
     kExportSvg},
    {"blanks around the name", "  /tmp/chart1  ", kExportPng, ExportNameFault::None, "/tmp/chart1.png",
     kExportPng},
    {"a relative folder", "pics/chart1", kExportPng, ExportNameFault::None, "/data/pics/chart1.png", kExportPng},
    {"the empty name", "", kExportPng, ExportNameFault::NoName, "", kExportPng},
    {"blanks only", "   ", kExportPng, ExportNameFault::NoName, "", kExportPng},
    {"dots only", "...", kExportPng, ExportNameFault::NoName, "", kExportPng},
    {"a path to a folder", "/data/pics", kExportPng, ExportNameFault::Folder, "/data/pics", kExportPng},
    {"a relative path to a folder", "pics", kExportPng, ExportNameFault::Folder, "/data/pics", kExportPng},
    {"a path ending in a slash", "/tmp/new/", kExportPng, ExportNameFault::Folder, "/tmp/new/", kExportPng},
    {"the folder itself", "/tmp/..", kExportPng, ExportNameFault::Folder, "/tmp/..", kExportPng},
    {"a name that becomes a folder", "shots", kExportPng, ExportNameFault::Folder, "/data/shots.png", kExportPng},
    {"a name with a dot at its end that becomes a folder", " shots. ", kExportPng, ExportNameFault::Folder,
     "/data/shots.png", kExportPng},
};

INSTANTIATE_TEST_SUITE_P(Names, ExportNamingTest, ::testing::ValuesIn(cases));

}  // namespace
}  // namespace kx::chart
