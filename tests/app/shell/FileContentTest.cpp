// Files told by what they hold: the kinds that cannot open as text, and the
// texts that must still open whatever their first bytes look like.
#include "FileContent.h"

#include "TempDir.h"
#include "TextBytes.h"
#include "Utf16Bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

std::string le(std::uint32_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return bytes;
}

std::string be(std::uint32_t value, int size) {
    std::string bytes = le(value, size);
    return std::string(bytes.rbegin(), bytes.rend());
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

// A RIFF file of a form: its size field counts what follows it.
std::string riff(const std::string& form, const std::string& chunks) {
    return "RIFF"s + le(static_cast<std::uint32_t>(4 + chunks.size()), 4) + form + chunks;
}
std::string chunk(const std::string& id, const std::string& data) {
    return id + le(static_cast<std::uint32_t>(data.size()), 4) + data;
}

// Pictures as their writers lay them out.
std::string png() {
    return "\x89PNG\r\n\x1A\n"s + be(13, 4) + "IHDR" + be(16, 4) + be(16, 4) + "\x08\x06\0\0\0"s + "\x1F\xF3\xFF\x61"s +
           be(40, 4) + "IDAT" + deflatedLooking(44);
}
std::string jpeg() {
    return "\xFF\xD8\xFF\xE0"s + be(16, 2) + "JFIF\0\x01\x01\0"s + be(72, 2) + be(72, 2) + "\0\0"s + "\xFF\xDB"s +
           be(67, 2) + "\0"s + deflatedLooking(64);
}
// One pixel, with its colour table, a transparency extension, the image
// and the end.
const std::string kGif = "GIF89a\x01\0\x01\0\x80\0\0\xFF\xFF\xFF\0\0\0!\xF9\x04\x01\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02"
                         "D\x01\0;"s;
std::string tiff() {
    return "II*\0"s + le(8, 4) + le(1, 2) + le(256, 2) + le(3, 2) + le(1, 4) + le(16, 4) + le(0, 4) +
           std::string(256, '\x80');
}
std::string icon(int type) {
    return "\0\0"s + le(type, 2) + le(1, 2) + "\x10\x10\0\0"s + le(1, 2) + le(32, 2) + le(40, 4) + le(22, 4) +
           le(40, 4) + deflatedLooking(36);
}
std::string psd() {
    return "8BPS\0\x01"s + std::string(6, '\0') + be(3, 2) + be(16, 4) + be(16, 4) + be(8, 2) + be(3, 2) +
           be(0, 4) + deflatedLooking(40);
}

// An archive entry of tar: the checksum of its header written in octal.
std::string tar() {
    std::string header = "run.txt"s + std::string(93, '\0') + "0000644\0"s + "0001750\0"s + "0001750\0"s +
                         "00000000012\0"s + "14567123456\0"s + std::string(8, ' ') + "0";
    header.resize(257, '\0');
    header += "ustar\0" "00"s;
    header.resize(512, '\0');
    unsigned sum = 0;
    for (char c : header) sum += static_cast<unsigned char>(c);
    char field[8];
    std::snprintf(field, sizeof field, "%06o", sum);
    header.replace(148, 7, std::string(field, 6) + '\0');
    return header + "H2 + O2\n\n" + std::string(502, '\0');
}

std::string compoundFile(const std::string& stream) {
    std::string header = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s + std::string(16, '\0') + le(0x3E, 2) + le(3, 2) +
                         le(0xFFFE, 2) + le(9, 2) + le(6, 2);
    header.resize(512, '\0');
    return header + utf16("Root Entry", false) + std::string(100, '\0') + utf16(stream, false);
}

std::string machO() {
    return "\xCF\xFA\xED\xFE"s + le(0x01000007, 4) + le(3, 4) + le(2, 4) + le(15, 4) + le(1200, 4) + le(0, 4) +
           le(0, 4) + deflatedLooking(1300);
}

std::string sqlite() {
    return "SQLite format 3\0"s + be(4096, 2) + "\x01\x01\0\x40\x20\x20"s + be(0, 4) + be(2, 4) +
           std::string(72, '\0');
}

std::string ogg() {
    return "OggS\0\x02"s + std::string(8, '\0') + le(0x1234, 4) + le(0, 4) + le(0xBEEF, 4) + "\x01\x1E"s +
           "\x01vorbis" + std::string(23, '\0');
}

std::string wav() {
    return riff("WAVE", chunk("fmt ", le(1, 2) + le(1, 2) + le(44100, 4) + le(88200, 4) + le(2, 2) + le(16, 2)) +
                            chunk("data", deflatedLooking(64)));
}

std::string mp4() {
    return be(24, 4) + "ftypisom" + be(512, 4) + "isommp41" + be(72, 4) + "mdat" + deflatedLooking(64);
}

// Chinese with its line ends, Japanese without any ASCII: no NUL byte.
const std::u16string kChinese = u"\u53CD\u5E94\u901F\u7387\uFF1A\u6C22\u6C14\u4E0E\u6C27\u6C14\u3002\r\n"
                                u"\u6E29\u5EA6 1000 K\uFF0C\u538B\u529B 1 atm\u3002\r\n";
const std::u16string kJapanese = u"\u53CD\u5FDC\u901F\u5EA6\u306E\u8A08\u7B97\u3092\u3057\u307E\u3059\u3002";

// A quiet sound: signed 16-bit samples near zero.
std::string sixteenBitSamples() {
    std::string bytes;
    for (int i = 0; i < 400; ++i) bytes += le(static_cast<std::uint32_t>(static_cast<std::int16_t>((i * 37) % 200 - 100)), 2);
    return bytes;
}

std::string thirtyTwoBitCounters() {
    std::string bytes;
    for (std::uint32_t i = 0; i < 200; ++i) bytes += le(1000 + 7 * i, 4);
    return bytes;
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

// Lines of a trading log, the fields parted by SOH as its protocol has them.
std::string sohLog() {
    std::string log;
    for (int i = 1; i <= 20; ++i)
        log += "8=FIX.4.4\x01" "9=72\x01" "35=D\x01" "49=LAB\x01" "56=SUPPLIER\x01" "34=" + std::to_string(i) +
               "\x01" "55=H2\x01" "38=40\x01" "10=128\x01\n";
    return log;
}

// Text that switches its character set with SO and SI and rings the bell.
std::string shiftedText() {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "\x0E" "abc\x0F" " run\x07 " + std::to_string(i) + "\r\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ContentKind,
    ::testing::Values(
        // Refused: each kind with the structure its files have.
        Case{"PNG renamed", png(), "png"},
        Case{"JPEG", jpeg(), "jpg"},
        Case{"GIF", kGif, "gif"},
        Case{"GIF87a of one image", "GIF87a\x01\0\x01\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02" "D\x01\0;"s, "gif"},
        Case{"TIFF", tiff(), "tif"},
        Case{"icon", icon(1), "ico"},
        Case{"cursor", icon(2), "cur"},
        Case{"Photoshop picture", psd(), "psd"},
        Case{"BMP", "BM"s + le(70, 4) + le(0, 4) + le(54, 4) + le(40, 4) + deflatedLooking(40), "bmp"},
        Case{"WebP", riff("WEBP", chunk("VP8 ", deflatedLooking(40))), "webp"},
        Case{"PDF", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"s, "pdf"},
        Case{"PDF without its binary comment", "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n"s, "pdf"},
        Case{"small PDF, its objects further on", "%PDF-1.3\r\n%%  made by hand\r\n" + std::string(100, ' ') +
                                                      "\r\ntrailer\r\n<< >>\r\nstartxref\r\n9\r\n%%EOF\r\n",
             "pdf"},
        Case{"ZIP", zipEntry("data/run.txt", deflatedLooking(100)), "zip"},
        Case{"empty ZIP", "PK\x05\x06"s + std::string(18, '\0'), "zip"},
        Case{"ZIP in parts", "PK\x07\x08"s + zipEntry("run.txt", deflatedLooking(50)), "zip"},
        Case{"Word document",
             zipEntry("[Content_Types].xml", deflatedLooking(80)) + zipEntry("_rels/.rels", deflatedLooking(40)) +
                 zipEntry("word/document.xml", deflatedLooking(80)),
             "docx"},
        Case{"spreadsheet", zipEntry("[Content_Types].xml", deflatedLooking(80)) + zipEntry("xl/workbook.xml", "x"),
             "xlsx"},
        Case{"open text document",
             zipEntry("mimetype", "application/vnd.oasis.opendocument.text") + zipEntry("content.xml", "x"), "odt"},
        Case{"old Word document", compoundFile("WordDocument"), "doc"},
        Case{"gzip", "\x1F\x8B\x08\0\0\0\0\0\0\x03"s + deflatedLooking(50), "gz"},
        Case{"xz", "\xFD" "7zXZ\0\0\x04\xE6\xD6\xB4\x46"s + deflatedLooking(50), "xz"},
        Case{"7z", "7z\xBC\xAF\x27\x1C\0\x04"s + deflatedLooking(50), "7z"},
        Case{"rar", "Rar!\x1A\x07\x01\0"s + deflatedLooking(50), "rar"},
        Case{"zstd", "\x28\xB5\x2F\xFD\x24\x10"s + deflatedLooking(50), "zst"},
        Case{"bzip2", "BZh91AY&SY"s + deflatedLooking(50), "bz2"},
        Case{"tar", tar(), "tar"},
        Case{"SQLite", sqlite(), "sqlite"},
        Case{"Linux program", "\x7F" "ELF\x02\x01\x01\0"s + std::string(8, '\0') + deflatedLooking(100), "elf"},
        Case{"Windows program", windowsProgram(), "exe"},
        Case{"Mac program", machO(), "macho"},
        Case{"Java class", "\xCA\xFE\xBA\xBE\0\0\0\x34"s + deflatedLooking(60), "class"},
        Case{"WebAssembly", "\0asm\x01\0\0\0\x01\x05\x01\x60\0\x01\x7F"s, "wasm"},
        Case{"WAV", wav(), "wav"},
        Case{"AVI", riff("AVI ", chunk("LIST", "hdrlavih" + deflatedLooking(56))), "avi"},
        Case{"MP3 with its tag", "ID3\x03\0\0\0\0\x02\x01"s + deflatedLooking(100), "mp3"},
        Case{"MP4", mp4(), "mp4"},
        Case{"Ogg", ogg(), "ogg"},
        Case{"FLAC", "fLaC\x80\0\0\x22"s + deflatedLooking(34) + deflatedLooking(60), "flac"},
        Case{"random bytes", deflatedLooking(4096), "binary"},
        Case{"zeros", std::string(4096, '\0'), "binary"},
        Case{"doubles", std::string("\0\0\0\0\0\0\xF0?\0\0\0\0\0\0\0@", 16), "binary"},
        Case{"mostly control bytes, no NUL", "\x01\x02\x03\x04\x05\x06\x10\x11\x12\x13 ab\x14\x15\x16\x17"s, "binary"},
        // Numbers of 16 and 32 bits: pairs of bytes, but no characters.
        Case{"16-bit samples", sixteenBitSamples(), "binary"},
        Case{"32-bit counters", thirtyTwoBitCounters(), "binary"},
        // Opened.
        Case{"empty", "", ""},
        Case{"plain text", kText, ""},
        Case{"Windows-1252 text", "Temp\xE9rature \xB0K \x96 r\xE9sultats \x80\r\n"s, ""},
        Case{"UTF-8 with its mark", "\xEF\xBB\xBFM\xC3\xA9lange \xE2\x80\x94 H\xE2\x82\x82\n"s, ""},
        Case{"UTF-16 with its mark", "\xFF\xFE"s + utf16(kText, false), ""},
        Case{"UTF-16 big-endian with its mark", "\xFE\xFF"s + utf16(kText, true), ""},
        Case{"UTF-16 without a mark", utf16(kText, false), ""},
        Case{"UTF-16 big-endian without a mark", utf16(kText, true), ""},
        Case{"Chinese UTF-16 without a mark", kx::test::Utf16Bytes(kChinese, false), ""},
        Case{"Chinese UTF-16 big-endian without a mark", kx::test::Utf16Bytes(kChinese, true), ""},
        Case{"Japanese UTF-16 without a mark, in one line", kx::test::Utf16Bytes(kJapanese, false), ""},
        Case{"Japanese UTF-16 big-endian without a mark, in one line", kx::test::Utf16Bytes(kJapanese, true), ""},
        Case{"RTF", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\\f0 text\\par}"s, ""},
        Case{"RTF with a picture as raw bytes",
             "{\\rtf1\\ansi{\\pict\\pngblip\\bin4096 "s + deflatedLooking(4096) + "}text\\par}", ""},
        Case{"a text that starts with PK", "PK fits of the ignition delays\r\n" + kText, ""},
        Case{"a text that starts with MZ", "MZ ratio, run 4\r\n" + std::string(80, '-') + "\r\n" + kText, ""},
        Case{"a text that starts with BM", "BM" + kText, ""},
        Case{"a text with a stray NUL", kText + "\0"s + kText, ""},
        Case{"a log in colours", "\x1B[32mok\x1B[0m step 1\n\x1B[31mfail\x1B[0m step 2\n\f\v\tend\x1A"s, ""},
        Case{"a log with SOH between its fields", sohLog(), ""},
        Case{"text shifted with SO and SI, with bells", shiftedText(), ""},
        Case{"a note that begins GIF89a", "GIF89a, GIF87a: the flame pictures\r\n" + kText, ""},
        Case{"a note that begins %PDF-", "%PDF- files of the report are beside it.\r\n" + kText, ""},
        Case{"a note whose first line is %PDF-1.7", "%PDF-1.7\r\nwritten by the report, 2 pages\r\n" + kText, ""},
        Case{"a note that begins fLaC", "fLaC recordings of the burner, 44.1 kHz\r\n" + kText, ""},
        Case{"a note with RIFF and WAVE", "RIFF, a WAVE form of the runs\r\n" + kText, ""},
        Case{"a note with ftyp in bytes 4 to 7", "Set ftyp to isom before converting\r\n" + kText, ""},
        Case{"a note that begins 8BPS", "8BPS\0\x01 is a heading\r\n"s + kText, ""}),
    [](const ::testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

// The rule that tells UTF-16 text, with or without its byte order mark,
// shared by this check and the text window's reading.
struct LayoutCase {
    const char* what;
    std::string bytes;
    kx::ByteOrder order;
    bool mark = false;
    std::uint64_t size = 0;  // of the file, when the bytes are only its head
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.what; }

class Utf16Text : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Utf16Text, IsToldByItsStructure) {
    const LayoutCase& c = GetParam();
    const kx::Utf16Layout layout = kx::Utf16TextLayout(c.bytes, c.size > 0 ? c.size : c.bytes.size());
    EXPECT_EQ(layout.order, c.order);
    EXPECT_EQ(layout.mark, c.mark);
}

using kx::ByteOrder;
using kx::test::Utf16Bytes;

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Text,
    ::testing::Values(
        LayoutCase{"marked little-endian", "\xFF\xFE"s + utf16(kText, false), ByteOrder::Little, true},
        LayoutCase{"marked big-endian", "\xFE\xFF"s + utf16(kText, true), ByteOrder::Big, true},
        LayoutCase{"English", utf16(kText, false), ByteOrder::Little},
        LayoutCase{"English, big-endian", utf16(kText, true), ByteOrder::Big},
        LayoutCase{"two letters", utf16("ab", false), ByteOrder::Little},
        LayoutCase{"Chinese", Utf16Bytes(kChinese, false), ByteOrder::Little},
        LayoutCase{"Chinese, big-endian", Utf16Bytes(kChinese, true), ByteOrder::Big},
        LayoutCase{"Japanese without a NUL byte", Utf16Bytes(kJapanese, false), ByteOrder::Little},
        LayoutCase{"Japanese without a NUL byte, big-endian", Utf16Bytes(kJapanese, true), ByteOrder::Big},
        LayoutCase{"Greek and a surrogate pair", Utf16Bytes(u"\u03B1 + \u03B2 = \U0001D6FC\n", true), ByteOrder::Big},
        LayoutCase{"the head cuts a surrogate pair", Utf16Bytes(u"x = \U0001D6FC", false).substr(0, 10), ByteOrder::Little,
                   false, 12},
        // Not UTF-16.
        LayoutCase{"an odd number of bytes", utf16(kText, false) + "x", ByteOrder::None},
        LayoutCase{"ASCII", kText, ByteOrder::None},
        LayoutCase{"ASCII letters that would be CJK ideographs", "helloworld", ByteOrder::None},
        LayoutCase{"UTF-8 with a stray byte", "Temp\xC3\xA9rature\r\ncaf\xE9\r\n", ByteOrder::None},
        LayoutCase{"UTF-8 with its mark", "\xEF\xBB\xBF\xCE\xB1\xCE\xB2 \x80\xFF", ByteOrder::None},
        LayoutCase{"Windows-1252", "Temp\xE9rature \xB0K \x96 r\xE9sultats \x80\r\n"s, ByteOrder::None},
        LayoutCase{"a Windows-1252 word", "\xC9lan", ByteOrder::None},
        LayoutCase{"a text with a stray NUL", kText + "\0\r\n"s + kText.substr(1), ByteOrder::None},
        LayoutCase{"a lone surrogate", utf16("ab", false) + "\x00\xD8"s + utf16("cd\r\n", false), ByteOrder::None},
        LayoutCase{"a surrogate pair cut by the end of the file", Utf16Bytes(u"x = \U0001D6FC", false).substr(0, 10),
                   ByteOrder::None},
        LayoutCase{"16-bit samples", sixteenBitSamples(), ByteOrder::None},
        LayoutCase{"random bytes", deflatedLooking(4096), ByteOrder::None}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return "case" + std::to_string(info.index); });

TEST(ContentKind, FilesAreJudgedByTheirHead) {
    kx::test::TempDir dir;
    EXPECT_EQ(kx::BinaryKindOfFile(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt"), "");
    EXPECT_EQ(kx::BinaryKindOfFile("/proc/self/exe"), "elf");
    // A text longer than the head, with binary bytes only far behind it.
    EXPECT_EQ(kx::BinaryKindOfFile(dir.write("long.txt", std::string(2 * kx::kContentHeadSize, 'a') +
                                                             std::string(kx::kContentHeadSize, '\0'))),
              "");
    // A picture whose directory stands after pixels as plain as letters, far
    // behind the head: it lies inside the file.
    const std::string pixels(2 * kx::kContentHeadSize, 'A');
    const std::string picture = "II*\0"s + le(static_cast<std::uint32_t>(8 + pixels.size()), 4) + pixels + le(1, 2) +
                                le(256, 2) + le(3, 2) + le(1, 4) + le(16, 4) + le(0, 4);
    EXPECT_EQ(kx::BinaryKindOfFile(dir.write("scan", picture)), "tif");
    // The size of a sound file as its header states it, and one byte short.
    const std::string sound = wav();
    EXPECT_EQ(kx::BinaryKindOfFile(dir.write("sound", sound)), "wav");
    EXPECT_NE(kx::BinaryKindOfFile(dir.write("cut", sound.substr(0, sound.size() - 1))), "wav");
    // What cannot be read is left to the opening, which says why.
    EXPECT_EQ(kx::BinaryKindOfFile(dir.file("missing.txt")), "");
    EXPECT_EQ(kx::BinaryKindOfFile(dir.path()), "");
}

}  // namespace
