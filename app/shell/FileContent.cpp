#include "FileContent.h"

#include "Files.h"
#include "TextBytes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <filesystem>
#include <initializer_list>

namespace kx {
namespace {

using namespace std::string_view_literals;

// The first bytes of a file and its whole size. Numbers read beyond the
// bytes at hand read as 0.
class Head {
public:
    Head(std::string_view bytes, std::uint64_t size) : bytes_(bytes), size_(std::max<std::uint64_t>(size, bytes.size())) {}

    std::string_view bytes() const { return bytes_; }
    std::uint64_t size() const { return size_; }
    bool Has(std::size_t count) const { return bytes_.size() >= count; }
    bool At(std::size_t offset, std::string_view b) const {
        return bytes_.size() >= offset + b.size() && bytes_.substr(offset, b.size()) == b;
    }
    unsigned Byte(std::size_t i) const { return i < bytes_.size() ? static_cast<unsigned char>(bytes_[i]) : 0; }
    std::uint32_t Le(std::size_t offset, int count) const {
        std::uint32_t value = 0;
        for (int i = count; i-- > 0;) value = value << 8 | Byte(offset + static_cast<std::size_t>(i));
        return value;
    }
    std::uint32_t Be(std::size_t offset, int count) const {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | Byte(offset + static_cast<std::size_t>(i));
        return value;
    }
    bool Contains(std::string_view b) const { return bytes_.find(b) != std::string_view::npos; }

private:
    std::string_view bytes_;
    std::uint64_t size_;
};

bool oneOf(std::uint32_t value, std::initializer_list<std::uint32_t> values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool printable(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// ---- The structure behind each signature ------------------------------------------------
//
// A signature counts only with what follows it in every real file of its
// kind: a text may begin with "GIF89a" or "%PDF-", but not with a screen
// descriptor after it.

// The header chunk, 13 bytes long, with sizes and codes a picture can have.
bool isPng(const Head& h) {
    return h.Has(29) && h.Be(8, 4) == 13 && h.At(12, "IHDR") && h.Be(16, 4) > 0 && h.Be(20, 4) > 0 &&
           oneOf(h.Byte(24), {1, 2, 4, 8, 16}) && oneOf(h.Byte(25), {0, 2, 3, 4, 6}) && h.Byte(26) == 0 &&
           h.Byte(27) == 0 && h.Byte(28) <= 1;
}

// A segment marker after the start of the image, whose length leads to the
// next marker.
bool isJpeg(const Head& h) {
    const unsigned marker = h.Byte(3);
    if (!h.Has(6) || marker < 0xC0 || marker == 0xFF || marker == 0xD8 || marker == 0xD9 ||
        (marker >= 0xD0 && marker <= 0xD7))
        return false;
    const std::size_t length = h.Be(4, 2);
    return length >= 2 && (!h.Has(4 + length + 1) || h.Byte(4 + length) == 0xFF);
}

// The logical screen descriptor of a picture's size, its colour table,
// then a block: an image, an extension or the end of the file.
bool isGif(const Head& h) {
    if (!h.Has(14) || h.Le(6, 2) == 0 || h.Le(8, 2) == 0) return false;
    const auto table = [&](std::size_t flagsAt) {
        const unsigned flags = h.Byte(flagsAt);
        return flags & 0x80 ? std::size_t{3} << ((flags & 7) + 1) : 0;
    };
    const std::size_t block = 13 + table(10);
    switch (h.Byte(block)) {
        case 0x21: return oneOf(h.Byte(block + 1), {0x01, 0xF9, 0xFE, 0xFF});
        case 0x2C: {
            if (h.Le(block + 5, 2) == 0 || h.Le(block + 7, 2) == 0) return false;
            const unsigned codeSize = h.Byte(block + 10 + table(block + 9));
            return codeSize >= 1 && codeSize <= 12;
        }
        case 0x3B: return block + 1 == h.size();
        default: return false;
    }
}

// The offset of the first directory inside the file, and a directory of
// entries of the known field types.
bool isTiff(const Head& h, bool little) {
    const auto number = [&](std::size_t at, int count) { return little ? h.Le(at, count) : h.Be(at, count); };
    const std::uint32_t directory = number(4, 4);
    if (directory < 8 || directory + 2 > h.size()) return false;
    if (!h.Has(directory + 2 + 12)) return true;  // beyond the bytes at hand
    const std::uint32_t entries = number(directory, 2), type = number(directory + 4, 2);
    return entries >= 1 && ((type >= 1 && type <= 13) || (type >= 16 && type <= 18));
}

// A directory of pictures, the first of which lies inside the file after
// the directory.
bool isIconDirectory(const Head& h, bool icon) {
    const std::uint32_t count = h.Le(4, 2);
    if (!h.Has(22) || count == 0 || h.Byte(9) != 0) return false;
    if (icon && (h.Le(10, 2) > 1 || !oneOf(h.Le(12, 2), {0, 1, 2, 4, 8, 16, 24, 32}))) return false;
    const std::uint64_t bytes = h.Le(14, 4), offset = h.Le(18, 4);
    return bytes > 0 && offset >= 6 + 16 * count && offset + bytes <= h.size();
}

bool isPsd(const Head& h) {
    return h.Has(26) && h.At(6, std::string_view("\0\0\0\0\0\0", 6)) && h.Be(12, 2) >= 1 && h.Be(12, 2) <= 56 &&
           h.Be(14, 4) >= 1 && h.Be(18, 4) >= 1 && oneOf(h.Be(22, 2), {1, 8, 16, 32}) &&
           oneOf(h.Be(24, 2), {0, 1, 2, 3, 4, 7, 8, 9});
}

// "%PDF-d.d" on a line of its own, then the comment of binary bytes that
// PDF writers put there, an object ("1 0 obj"), or "%%EOF" at the end.
bool isPdf(const Head& h) {
    const auto digit = [&](std::size_t i) { return h.Byte(i) >= '0' && h.Byte(i) <= '9'; };
    if (!digit(5) || h.Byte(6) != '.' || !digit(7) || (h.Byte(8) != '\r' && h.Byte(8) != '\n')) return false;
    std::size_t next = 9;
    while (h.Byte(next) == '\r' || h.Byte(next) == '\n') ++next;
    if (h.Byte(next) == '%' && h.Byte(next + 1) >= 0x80 && h.Byte(next + 2) >= 0x80 && h.Byte(next + 3) >= 0x80 &&
        h.Byte(next + 4) >= 0x80)
        return true;
    const std::string_view bytes = h.bytes();
    for (std::size_t at = bytes.find(" obj"); at != std::string_view::npos; at = bytes.find(" obj", at + 1)) {
        std::size_t i = at;
        const auto number = [&] {
            const std::size_t end = i;
            while (i > 0 && digit(i - 1)) --i;
            return i < end;
        };
        if (number() && i > 0 && bytes[--i] == ' ' && number()) return true;
    }
    return h.bytes().size() == h.size() && bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 1024))
                                                   .find("%%EOF") != std::string_view::npos;
}

// A local entry header of a ZIP archive at `at`: a version and a method
// of compression that archives use.
bool isZipEntry(const Head& h, std::size_t at) {
    return h.Has(at + 30) && h.At(at, "PK\x03\x04") && h.Le(at + 4, 2) <= 100 &&
           oneOf(h.Le(at + 8, 2), {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 14, 18, 19, 93, 95, 96, 97, 98, 99});
}

// The end record of an archive without entries: nothing but its comment
// after it.
bool isEmptyZip(const Head& h) {
    return h.Has(22) && h.Le(4, 4) == 0 && h.Le(8, 4) == 0 && h.Le(12, 4) == 0 && h.Le(16, 4) == 0 &&
           22 + h.Le(20, 2) == h.size();
}

// The checksum of a tar header: the sum of its bytes, the checksum's own
// field counted as blanks, written in octal.
bool isTar(const Head& h) {
    if (!h.Has(512)) return false;
    std::uint32_t written = 0;
    std::size_t i = 148;
    while (i < 156 && h.Byte(i) == ' ') ++i;
    const std::size_t digits = i;
    for (; i < 156 && h.Byte(i) >= '0' && h.Byte(i) <= '7'; ++i) written = written * 8 + (h.Byte(i) - '0');
    if (i == digits || (i < 156 && h.Byte(i) != '\0' && h.Byte(i) != ' ')) return false;
    std::uint32_t sum = 0;
    for (std::size_t k = 0; k < 512; ++k) sum += k >= 148 && k < 156 ? ' ' : h.Byte(k);
    return sum == written;
}

bool isSqlite(const Head& h) {
    const std::uint32_t page = h.Be(16, 2);
    return h.Has(24) && (page == 1 || (page >= 512 && (page & (page - 1)) == 0)) && h.Byte(21) == 64 &&
           h.Byte(22) == 32 && h.Byte(23) == 32;
}

bool isElf(const Head& h) { return h.Has(7) && oneOf(h.Byte(4), {1, 2}) && oneOf(h.Byte(5), {1, 2}) && h.Byte(6) == 1; }

// A Mach-O program: a file type and a number of load commands.
bool isMachO(const Head& h, bool little) {
    const auto number = [&](std::size_t at) { return little ? h.Le(at, 4) : h.Be(at, 4); };
    return h.Has(28) && number(12) >= 1 && number(12) <= 12 && number(16) >= 1 && number(20) < h.size();
}

// A compound file (older office documents): its byte order mark, a major
// version and the sector size that goes with it.
bool isCompoundFile(const Head& h) {
    return h.Has(32) && h.Le(28, 2) == 0xFFFE &&
           ((h.Le(26, 2) == 3 && h.Le(30, 2) == 9) || (h.Le(26, 2) == 4 && h.Le(30, 2) == 12));
}

// A RIFF file: its size as the file's, a form type that names a kind, and
// a first chunk of that kind.
std::string riffKind(const Head& h) {
    const std::uint64_t declared = h.Le(4, 4);
    if (!h.Has(20) || declared < 12 || declared + 8 > h.size() || !printable(h.bytes().substr(12, 4)) ||
        h.Le(16, 4) > declared - 12)
        return "";
    if (h.At(8, "WEBP") && (h.At(12, "VP8 ") || h.At(12, "VP8L") || h.At(12, "VP8X"))) return "webp";
    if (h.At(8, "WAVE")) return "wav";
    if (h.At(8, "AVI ") && h.At(12, "LIST")) return "avi";
    return "";
}

// An ISO media file: a first box of a sane size that names a known brand
// and lists compatible ones.
std::string isoMediaKind(const Head& h) {
    const std::uint32_t box = h.Be(0, 4);
    if (box < 16 || box > 4096 || box % 4 != 0 || box > h.size() || !h.Has(box)) return "";
    const std::string_view brand = h.bytes().substr(8, 4);
    for (std::size_t at = 16; at < box; at += 4)
        if (!printable(h.bytes().substr(at, 4))) return "";
    if (brand == "avif" || brand == "avis") return "avif";
    if (brand == "heic" || brand == "heix" || brand == "heim" || brand == "heis" || brand == "hevc" ||
        brand == "hevx" || brand == "mif1" || brand == "msf1")
        return "heic";
    constexpr std::array kVideo = {"isom"sv, "iso2"sv, "iso3"sv, "iso4"sv, "iso5"sv, "iso6"sv, "iso7"sv, "iso8"sv,
                                   "iso9"sv, "mp41"sv, "mp42"sv, "mp71"sv, "avc1"sv, "M4A "sv, "M4B "sv, "M4P "sv,
                                   "M4V "sv, "M4VH"sv, "M4VP"sv, "qt  "sv, "3gp4"sv, "3gp5"sv, "3gp6"sv, "3gp7"sv,
                                   "3gp9"sv, "3g2a"sv, "3g2b"sv, "3g2c"sv, "dash"sv, "msnv"sv, "f4v "sv, "f4a "sv,
                                   "f4p "sv, "f4b "sv, "mmp4"sv, "XAVC"sv, "crx "sv};
    return std::find(kVideo.begin(), kVideo.end(), brand) != kVideo.end() ? "mp4" : "";
}

// An ID3 tag before MPEG audio: version, flags and a size of seven bits a
// byte.
bool isId3(const Head& h) {
    return h.Has(10) && h.Byte(3) >= 2 && h.Byte(3) <= 4 && h.Byte(4) == 0 && (h.Byte(5) & 0x0F) == 0 &&
           h.Byte(6) < 0x80 && h.Byte(7) < 0x80 && h.Byte(8) < 0x80 && h.Byte(9) < 0x80;
}

// The first page of an Ogg stream begins it, with its segment table.
bool isOgg(const Head& h) { return h.Has(28) && h.Byte(5) == 0x02 && h.Byte(26) >= 1; }

// FLAC: the stream information block of 34 bytes comes first.
bool isFlac(const Head& h) { return h.Has(8) && (h.Byte(4) & 0x7F) == 0 && h.Be(5, 3) == 34; }

// A bitmap: a known header size after the reserved bytes, the pixels after
// the headers and inside the file.
bool isBmp(const Head& h) {
    const std::uint32_t header = h.Le(14, 4), pixels = h.Le(10, 4);
    return h.Has(18) && h.At(6, std::string_view("\0\0\0\0", 4)) && oneOf(header, {12, 40, 52, 56, 64, 108, 124}) &&
           pixels >= 14 + header && pixels <= h.size();
}

struct Signature {
    std::size_t offset;
    std::string_view bytes;
    const char* kind;
    bool (*real)(const Head&);
};

// Fixed bytes at a fixed place, with the structure that follows them.
const Signature kSignatures[] = {
    {0, "\x89PNG\r\n\x1A\n"sv, "png", isPng},
    {0, "\xFF\xD8\xFF"sv, "jpg", isJpeg},
    {0, "GIF87a"sv, "gif", isGif},
    {0, "GIF89a"sv, "gif", isGif},
    {0, "II*\0"sv, "tif", [](const Head& h) { return isTiff(h, true); }},
    {0, "MM\0*"sv, "tif", [](const Head& h) { return isTiff(h, false); }},
    {0, "\0\0\1\0"sv, "ico", [](const Head& h) { return isIconDirectory(h, true); }},
    {0, "\0\0\2\0"sv, "cur", [](const Head& h) { return isIconDirectory(h, false); }},
    {0, "8BPS\0\1"sv, "psd", isPsd},
    {0, "%PDF-"sv, "pdf", isPdf},
    {0, "PK\x05\x06"sv, "zip", isEmptyZip},
    {0, "\x1F\x8B"sv, "gz", [](const Head& h) { return h.Has(10) && h.Byte(2) == 8 && (h.Byte(3) & 0xE0) == 0; }},
    {0, "\xFD" "7zXZ\0"sv, "xz", [](const Head& h) { return h.Byte(6) == 0 && oneOf(h.Byte(7), {0, 1, 4, 10}); }},
    {0, "7z\xBC\xAF\x27\x1C"sv, "7z", [](const Head& h) { return h.Has(32) && h.Byte(6) == 0 && h.Byte(7) <= 4; }},
    {0, "Rar!\x1A\x07"sv, "rar", [](const Head& h) { return h.Byte(6) == 0 || (h.Byte(6) == 1 && h.Byte(7) == 0); }},
    {0, "\x28\xB5\x2F\xFD"sv, "zst", [](const Head& h) { return h.Has(6) && (h.Byte(4) & 0x08) == 0; }},
    {257, "ustar\0" "00"sv, "tar", isTar},
    {257, "ustar  \0"sv, "tar", isTar},
    {0, "SQLite format 3\0"sv, "sqlite", isSqlite},
    {0, "\x7F" "ELF"sv, "elf", isElf},
    {0, "\xCF\xFA\xED\xFE"sv, "macho", [](const Head& h) { return isMachO(h, true); }},
    {0, "\xCE\xFA\xED\xFE"sv, "macho", [](const Head& h) { return isMachO(h, true); }},
    {0, "\xFE\xED\xFA\xCF"sv, "macho", [](const Head& h) { return isMachO(h, false); }},
    {0, "\xFE\xED\xFA\xCE"sv, "macho", [](const Head& h) { return isMachO(h, false); }},
    // A class file's major version; a universal program's count of parts.
    {0, "\xCA\xFE\xBA\xBE"sv, "class", [](const Head& h) { return h.Has(10) && h.Be(6, 2) >= 45 && h.Be(6, 2) < 100; }},
    {0, "\xCA\xFE\xBA\xBE"sv, "macho", [](const Head& h) { return h.Has(28) && h.Be(4, 4) >= 1 && h.Be(4, 4) <= 30; }},
    {0, "\0asm"sv, "wasm", [](const Head& h) { return h.Le(4, 4) == 1; }},
    {0, "OggS\0"sv, "ogg", isOgg},
    {0, "fLaC"sv, "flac", isFlac},
    {0, "ID3"sv, "mp3", isId3},
    {0, "BM"sv, "bmp", isBmp},
    {0, "BZh"sv, "bz2", [](const Head& h) { return h.Byte(3) >= '1' && h.Byte(3) <= '9' && h.At(4, "1AY&SY"); }},
};

// A ZIP archive, and the documents that are ZIP archives inside.
std::string zipKind(const Head& h) {
    // A document of the open formats starts with its type, stored, in an
    // entry named "mimetype".
    if (h.At(30, "mimetype")) {
        const std::size_t start = 30 + h.Le(26, 2) + h.Le(28, 2);
        const std::string_view type = start < h.bytes().size() ? h.bytes().substr(start, 80) : std::string_view();
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
    if (h.Contains("[Content_Types].xml")) {
        if (h.Contains("word/")) return "docx";
        if (h.Contains("ppt/")) return "pptx";
        if (h.Contains("xl/")) return "xlsx";
    }
    if (h.Contains("META-INF/MANIFEST.MF")) return "jar";
    return "zip";
}

// An older office document: a compound file whose streams are named in
// UTF-16.
std::string compoundFileKind(const Head& h) {
    const auto named = [&](std::string_view name) {
        std::string wide;
        for (char c : name) wide.append({c, '\0'});
        return h.Contains(wide);
    };
    if (named("WordDocument")) return "doc";
    if (named("PowerPoint Document")) return "ppt";
    if (named("Workbook") || named("Book")) return "xls";
    if (named("__substg1.0_")) return "msg";
    return "ole2";
}

// ---- Bytes that are no text ---------------------------------------------------------------

// Bits of information a byte carries, by how evenly the bytes spread over
// the 256 values: 8 for compressed or enciphered data, some 4 to 5 for text
// in any alphabet.
double bitsPerByte(std::string_view bytes) {
    std::array<std::size_t, 256> counts{};
    for (char c : bytes) ++counts[static_cast<unsigned char>(c)];
    double bits = 0;
    for (std::size_t n : counts)
        if (n > 0) {
            const double p = static_cast<double>(n) / static_cast<double>(bytes.size());
            bits -= p * std::log2(p);
        }
    return bits;
}

// No text: NUL in more than one character in twenty (text in UTF-8 or a
// code page holds none, UTF-16 is judged by its characters), characters
// that are mostly control characters, NUL or others, or bytes spread as
// evenly over all their values as compressed data (which is no UTF-8).
bool notText(std::string_view head, std::uint64_t size) {
    const ByteOrder order = Utf16TextLayout(head, size).order;
    const bool whole = head.size() >= size;
    std::size_t total = 0, nul = 0, controls = 0;
    const auto count = [&](std::uint32_t c) {
        ++total;
        nul += c == 0;
        controls += IsControlCharacter(c);
    };
    if (order == ByteOrder::None) {
        for (char c : head) count(static_cast<unsigned char>(c));
    } else {
        for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
            const auto first = static_cast<unsigned char>(head[i]), second = static_cast<unsigned char>(head[i + 1]);
            count(order == ByteOrder::Little ? second << 8 | first : first << 8 | second);
        }
    }
    if (total == 0) return false;
    if (nul * 20 > total || controls * 2 > total) return true;
    return order == ByteOrder::None && bitsPerByte(head) > 7 && !IsUtf8(head, whole);
}

}  // namespace

std::string BinaryKind(std::string_view head, std::uint64_t size) {
    const Head h(head, size);
    for (const Signature& s : kSignatures)
        if (h.At(s.offset, s.bytes) && s.real(h)) return s.kind;
    if (isZipEntry(h, 0)) return zipKind(h);
    if (h.At(0, "PK\x07\x08") && isZipEntry(h, 4)) return zipKind(Head(head.substr(4), h.size() - 4));
    if (h.At(0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") && isCompoundFile(h)) return compoundFileKind(h);
    if (h.At(0, "RIFF")) {
        if (std::string kind = riffKind(h); !kind.empty()) return kind;
    }
    if (h.At(4, "ftyp")) {
        if (std::string kind = isoMediaKind(h); !kind.empty()) return kind;
    }
    // A program for Windows, or for DOS before it (mostly binary bytes).
    if (h.At(0, "MZ") && h.Has(0x40) &&
        (h.At(h.Le(0x3C, 4), std::string_view("PE\0\0", 4)) || notText(head, h.size())))
        return "exe";
    // RTF may carry a picture as raw bytes (\bin): the text window reads it.
    if (h.At(0, "{\\rtf")) return "";
    if (notText(head, h.size())) return "binary";
    return "";
}

std::string BinaryKindOfFile(const std::string& path) {
    try {
        const std::string head = files::ReadHead(path, kContentHeadSize);
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        return BinaryKind(head, error ? head.size() : size);
    } catch (const std::exception&) {
        return "";
    }
}

}  // namespace kx
