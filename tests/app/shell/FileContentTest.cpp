// Files told by what they hold: the kinds that cannot open as text, and the
// texts that must still open whatever their first bytes look like.
#include "FileContent.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

std::string le(std::uint32_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return bytes;
}

// A ZIP entry as it stands in an archive: local header, name, stored data.
std::string zipEntry(const std::string& name, const std::string& data) {
    return "PK\x03\x04"s + le(20, 2) + le(0, 2) + le(0, 2) + le(0, 4) + le(0, 4) + le(data.size(), 4) +
           le(data.size(), 4) + le(name.size(), 2) + le(0, 2) + name + data;
}

std::string deflatedLooking(std::size_t n) {
    std::mt19937 random(7);
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i) bytes.push_back(static_cast<char>(random() & 0xFF));
    return bytes;
}

std::string utf16(const std::string& ascii, bool big) {
    std::string bytes;
    for (char c : ascii) bytes += big ? "\0"s + c : c + "\0"s;
    return bytes;
}

// A Windows program: the old header, then "PE" where it points.
std::string windowsProgram() {
    std::string bytes = "MZ" + std::string(0x3A, '\x90') + le(0x80, 4);
    bytes.resize(0x80, '\0');
    return bytes + "PE\0\0"s + deflatedLooking(200);
}

struct Case {
    const char* what;
    std::string head;
    const char* kind;  // "" opens as text
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class ContentKind : public ::testing::TestWithParam<Case> {};

TEST_P(ContentKind, IsToldByTheFirstBytes) { EXPECT_EQ(kx::BinaryKind(GetParam().head), GetParam().kind); }

const std::string kText = "Ignition delay of H2/air at 1000 K, 1 atm.\r\nSee the solver file beside it.\r\n";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ContentKind,
    ::testing::Values(
        // Refused.
        Case{"PNG renamed", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s + deflatedLooking(64), "png"},
        Case{"JPEG", "\xFF\xD8\xFF\xE0\0\x10JFIF\0"s + deflatedLooking(64), "jpg"},
        Case{"GIF", "GIF89a\x10\0\x10\0"s, "gif"},
        Case{"BMP", "BM"s + le(70, 4) + le(0, 4) + le(54, 4) + le(40, 4) + deflatedLooking(40), "bmp"},
        Case{"WebP", "RIFF"s + le(100, 4) + "WEBPVP8 " + deflatedLooking(40), "webp"},
        Case{"PDF", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"s, "pdf"},
        Case{"ZIP", zipEntry("data/run.txt", deflatedLooking(100)), "zip"},
        Case{"Word document",
             zipEntry("[Content_Types].xml", deflatedLooking(80)) + zipEntry("_rels/.rels", deflatedLooking(40)) +
                 zipEntry("word/document.xml", deflatedLooking(80)),
             "docx"},
        Case{"spreadsheet", zipEntry("[Content_Types].xml", deflatedLooking(80)) + zipEntry("xl/workbook.xml", "x"),
             "xlsx"},
        Case{"open text document",
             zipEntry("mimetype", "application/vnd.oasis.opendocument.text") + zipEntry("content.xml", "x"), "odt"},
        Case{"old Word document",
             "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s + std::string(504, '\0') + utf16("Root Entry", false) +
                 std::string(100, '\0') + utf16("WordDocument", false),
             "doc"},
        Case{"gzip", "\x1F\x8B\x08\0\0\0\0\0"s + deflatedLooking(50), "gz"},
        Case{"tar", std::string("run.txt") + std::string(250, '\0') + "ustar\0"s + "00" + std::string(255, '\0'),
             "tar"},
        Case{"Linux program", "\x7F" "ELF\x02\x01\x01\0"s + std::string(8, '\0') + deflatedLooking(100), "elf"},
        Case{"Windows program", windowsProgram(), "exe"},
        Case{"random bytes", deflatedLooking(4096), "binary"},
        Case{"zeros", std::string(4096, '\0'), "binary"},
        Case{"doubles", std::string("\0\0\0\0\0\0\xF0?\0\0\0\0\0\0\0@", 16), "binary"},
        // Opened.
        Case{"empty", "", ""},
        Case{"plain text", kText, ""},
        Case{"Windows-1252 text", "Temp\xE9rature \xB0K \x96 r\xE9sultats \x80\r\n"s, ""},
        Case{"UTF-8 with its mark", "\xEF\xBB\xBFM\xC3\xA9lange \xE2\x80\x94 H\xE2\x82\x82\n"s, ""},
        Case{"UTF-16 with its mark", "\xFF\xFE"s + utf16(kText, false), ""},
        Case{"UTF-16 big-endian with its mark", "\xFE\xFF"s + utf16(kText, true), ""},
        Case{"UTF-16 without a mark", utf16(kText, false), ""},
        Case{"RTF", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\\f0 text\\par}"s, ""},
        Case{"RTF with a picture as raw bytes",
             "{\\rtf1\\ansi{\\pict\\pngblip\\bin4096 "s + deflatedLooking(4096) + "}text\\par}", ""},
        Case{"a text that starts with PK", "PK fits of the ignition delays\r\n" + kText, ""},
        Case{"a text that starts with MZ", "MZ ratio, run 4\r\n" + std::string(80, '-') + "\r\n" + kText, ""},
        Case{"a text that starts with BM", "BM" + kText, ""},
        Case{"a text with a stray NUL", kText + "\0"s + kText, ""},
        Case{"a log in colours", "\x1B[32mok\x1B[0m step 1\n\x1B[31mfail\x1B[0m step 2\n\f\v\tend\x1A"s, ""}),
    [](const ::testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST(ContentKind, FilesAreJudgedByTheirHead) {
    kx::test::TempDir dir;
    EXPECT_EQ(kx::BinaryKindOfFile(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt"), "");
    EXPECT_EQ(kx::BinaryKindOfFile("/proc/self/exe"), "elf");
    // A text longer than the head, with binary bytes only far behind it.
    EXPECT_EQ(kx::BinaryKindOfFile(dir.write("long.txt", std::string(2 * kx::kContentHeadSize, 'a') +
                                                             std::string(kx::kContentHeadSize, '\0'))),
              "");
    // What cannot be read is left to the opening, which says why.
    EXPECT_EQ(kx::BinaryKindOfFile(dir.file("missing.txt")), "");
    EXPECT_EQ(kx::BinaryKindOfFile(dir.path()), "");
}

}  // namespace
