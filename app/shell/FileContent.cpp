#include "FileContent.h"

#include "Files.h"

#include <array>
#include <cstdint>
#include <exception>

namespace kx {
namespace {

using namespace std::string_view_literals;

struct Signature {
    std::size_t offset;
    std::string_view bytes;
    const char* kind;
};

// Fixed bytes at a fixed place that only files of that kind carry.
constexpr std::array kSignatures = {
    Signature{0, "\x89PNG\r\n\x1A\n"sv, "png"},
    Signature{0, "\xFF\xD8\xFF"sv, "jpg"},
    Signature{0, "GIF87a"sv, "gif"},
    Signature{0, "GIF89a"sv, "gif"},
    Signature{0, "II*\0"sv, "tif"},
    Signature{0, "MM\0*"sv, "tif"},
    Signature{0, "\0\0\1\0"sv, "ico"},
    Signature{0, "\0\0\2\0"sv, "cur"},
    Signature{0, "8BPS\0\1"sv, "psd"},
    Signature{0, "%PDF-"sv, "pdf"},
    Signature{0, "PK\x05\x06"sv, "zip"},  // an empty archive
    Signature{0, "PK\x07\x08"sv, "zip"},  // an archive in parts
    Signature{0, "\x1F\x8B"sv, "gz"},
    Signature{0, "\xFD" "7zXZ\0"sv, "xz"},
    Signature{0, "7z\xBC\xAF\x27\x1C"sv, "7z"},
    Signature{0, "Rar!\x1A\x07"sv, "rar"},
    Signature{0, "\x28\xB5\x2F\xFD"sv, "zst"},
    Signature{257, "ustar\0"sv, "tar"},
    Signature{257, "ustar  \0"sv, "tar"},
    Signature{0, "SQLite format 3\0"sv, "sqlite"},
    Signature{0, "\x7F" "ELF"sv, "elf"},
    Signature{0, "\xCF\xFA\xED\xFE"sv, "macho"},
    Signature{0, "\xCE\xFA\xED\xFE"sv, "macho"},
    Signature{0, "\xFE\xED\xFA\xCF"sv, "macho"},
    Signature{0, "\xFE\xED\xFA\xCE"sv, "macho"},
    Signature{0, "\xCA\xFE\xBA\xBE"sv, "class"},
    Signature{0, "\0asm"sv, "wasm"},
    Signature{0, "OggS\0"sv, "ogg"},
    Signature{0, "fLaC"sv, "flac"},
};

bool at(std::string_view head, std::size_t offset, std::string_view bytes) {
    return head.size() >= offset + bytes.size() && head.substr(offset, bytes.size()) == bytes;
}

std::uint32_t littleEndian(std::string_view head, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(head[offset + i]);
    return value;
}

bool contains(std::string_view head, std::string_view bytes) { return head.find(bytes) != std::string_view::npos; }

// A ZIP archive, and the documents that are ZIP archives inside.
std::string zipKind(std::string_view head) {
    // A document of the open formats starts with its type, stored, in an
    // entry named "mimetype".
    const std::size_t nameLength = head.size() >= 30 ? littleEndian(head, 26, 2) : 0;
    if (at(head, 30, "mimetype")) {
        const std::size_t start = 30 + nameLength + littleEndian(head, 28, 2);
        const std::string_view type = start < head.size() ? head.substr(start, 80) : std::string_view();
        constexpr std::string_view kOpen = "application/vnd.oasis.opendocument.";
        if (type.starts_with("application/epub+zip")) return "epub";
        if (type.starts_with(kOpen)) {
            const std::string_view sub = type.substr(kOpen.size());
            if (sub.starts_with("text")) return "odt";
            if (sub.starts_with("spreadsheet")) return "ods";
            if (sub.starts_with("presentation")) return "odp";
            if (sub.starts_with("graphics")) return "odg";
            return "odf";
        }
    }
    if (contains(head, "[Content_Types].xml")) {
        if (contains(head, "word/")) return "docx";
        if (contains(head, "ppt/")) return "pptx";
        if (contains(head, "xl/")) return "xlsx";
    }
    if (contains(head, "META-INF/MANIFEST.MF")) return "jar";
    return "zip";
}

// An older office document: a compound file whose streams are named in
// UTF-16.
std::string compoundFileKind(std::string_view head) {
    const auto named = [&](std::string_view name) {
        std::string wide;
        for (char c : name) wide.append({c, '\0'});
        return contains(head, wide);
    };
    if (named("WordDocument")) return "doc";
    if (named("PowerPoint Document")) return "ppt";
    if (named("Workbook") || named("Book")) return "xls";
    if (named("__substg1.0_")) return "msg";
    return "ole2";
}

// A character that text does not hold: the C0 controls but tab, line
// feed, vertical tab, form feed, carriage return, backspace, the end-of-file
// mark of old files (SUB) and escape (terminal colours in logs), and DEL.
bool isControl(std::uint32_t c) {
    if (c == 0x7F) return true;
    if (c >= 0x20) return false;
    return c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' && c != 0x08 && c != 0x1A && c != 0x1B;
}

// UTF-16 text without a byte order mark: nearly every other byte NUL.
int utf16Layout(std::string_view head) {
    const std::size_t pairs = std::min<std::size_t>(head.size() / 2, 512);
    if (pairs < 2) return 0;
    std::size_t evenNul = 0, oddNul = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        evenNul += head[2 * i] == '\0';
        oddNul += head[2 * i + 1] == '\0';
    }
    if (oddNul * 10 >= pairs * 9 && evenNul * 10 < pairs) return 1;   // little-endian
    if (evenNul * 10 >= pairs * 9 && oddNul * 10 < pairs) return 2;   // big-endian
    return 0;
}

// More than one character in twenty a control character: no text. Text
// in UTF-16 is judged by its characters, not its bytes.
bool mostlyControl(std::string_view head) {
    int layout = 0;  // 0 bytes, 1 UTF-16 little-endian, 2 big-endian
    if (at(head, 0, "\xFF\xFE")) layout = 1;
    else if (at(head, 0, "\xFE\xFF")) layout = 2;
    else layout = utf16Layout(head);
    std::size_t total = 0, controls = 0;
    if (layout == 0) {
        for (char c : head) controls += isControl(static_cast<unsigned char>(c));
        total = head.size();
    } else {
        for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
            const auto first = static_cast<unsigned char>(head[i]), second = static_cast<unsigned char>(head[i + 1]);
            controls += isControl(layout == 1 ? second << 8 | first : first << 8 | second);
            ++total;
        }
    }
    return total > 0 && controls * 20 > total;
}

}  // namespace

std::string BinaryKind(std::string_view head) {
    for (const Signature& s : kSignatures)
        if (at(head, s.offset, s.bytes)) return s.kind;
    if (at(head, 0, "PK\x03\x04")) return zipKind(head);
    if (at(head, 0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return compoundFileKind(head);
    // Kinds whose first bytes are also ordinary words are recognised by
    // more of their header.
    if (at(head, 0, "BM") && at(head, 6, std::string_view("\0\0\0\0", 4)) && head.size() >= 18) {
        switch (littleEndian(head, 14, 4)) {
            case 12: case 40: case 52: case 56: case 64: case 108: case 124: return "bmp";
            default: break;
        }
    }
    if (at(head, 0, "RIFF") && head.size() >= 12) {
        if (at(head, 8, "WEBP")) return "webp";
        if (at(head, 8, "WAVE")) return "wav";
        if (at(head, 8, "AVI ")) return "avi";
    }
    if (at(head, 4, "ftyp") && head.size() >= 12) {
        const std::string_view brand = head.substr(8, 4);
        if (brand == "avif" || brand == "avis") return "avif";
        if (brand == "heic" || brand == "heix" || brand == "mif1" || brand == "msf1") return "heic";
        return "mp4";
    }
    if (at(head, 0, "ID3") && head.size() >= 5 && head[3] >= 2 && head[3] <= 4 && head[4] == '\0') return "mp3";
    if (at(head, 0, "BZh") && head.size() >= 10 && head[3] >= '1' && head[3] <= '9' && at(head, 4, "1AY&SY"))
        return "bz2";
    if (at(head, 0, "MZ") && head.size() >= 0x40) {
        const std::size_t pe = littleEndian(head, 0x3C, 4);
        if (at(head, pe, std::string_view("PE\0\0", 4)) || mostlyControl(head)) return "exe";
    }
    // RTF may carry a picture as raw bytes (\bin): the text window reads it.
    if (at(head, 0, "{\\rtf")) return "";
    if (mostlyControl(head)) return "binary";
    return "";
}

std::string BinaryKindOfFile(const std::string& path) {
    try {
        return BinaryKind(files::ReadHead(path, kContentHeadSize));
    } catch (const std::exception&) {
        return "";
    }
}

}  // namespace kx
