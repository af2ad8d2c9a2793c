#include "Rtf.h"

#include "PlainText.h"
#include "TextHelpers.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

namespace kx::text::rtf {
namespace {

enum class Destination { Text, FontTable, ColourTable, Info, DefaultFormat, Skip };

constexpr char32_t kReplacement = 0xFFFD;

// The format of text the file gives no format.
CharFormat defaultFormat() {
    CharFormat f;
    f.size = kRtfDefaultSize;
    return f;
}

struct GroupState {
    CharFormat format = defaultFormat();  // its kept words are keptWords
    // The character words kept (CharFormat::kept) by name, with their value.
    std::map<std::string, std::optional<int>, std::less<>> keptWords;
    Align align = Align::Left;
    Spacing spacing;
    std::string paragraphKept;
    int fontNumber = -1;  // the \f in force; -1: the default font (\deff)
    int skipCount = 1;    // \uc
    bool hidden = false;  // \v
    Destination destination = Destination::Text;
};

// The code page of a font's character set (\fcharset); 0: the document's.
int charsetCodePage(int charset) {
    static const std::map<int, int> pages = {
        {0, 1252},   {2, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
        {238, 1250}, {254, 437},  {255, 850}};
    const auto page = pages.find(charset);
    return page != pages.end() ? page->second : 0;
}

// Bytes of a code page (given as "\'hh" or as they stand) as characters.
// Windows-1252 is read as the plain text files read it; the others through
// the system's converters, with the lead bytes of a two-byte character
// kept until its second byte comes. A byte the code page does not define,
// and a code page the system cannot convert, read as U+FFFD.
class ByteDecoder {
public:
    ByteDecoder() = default;
    ByteDecoder(const ByteDecoder&) = delete;
    ByteDecoder& operator=(const ByteDecoder&) = delete;
    ~ByteDecoder() {
        for (auto& [page, converter] : converters_)
            if (converter != invalid()) iconv_close(converter);
    }

    // The characters that the byte completes (none while a character is
    // still incomplete).
    std::u32string Decode(unsigned char byte, int codePage) {
        std::u32string out;
        if (codePage != pendingPage_) Flush(out);
        if (codePage == 1252) {
            out += FromWindows1252(byte);
            return out;
        }
        pendingPage_ = codePage;
        pending_ += static_cast<char>(byte);
        convert(out);
        return out;
    }

    bool Pending() const { return !pending_.empty(); }

    // Bytes of a character left incomplete (the text went on otherwise).
    void Flush(std::u32string& out) {
        if (!pending_.empty()) out.append(pending_.size(), kReplacement);
        pending_.clear();
        pendingPage_ = 0;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t converter(int codePage) {
        auto found = converters_.find(codePage);
        if (found != converters_.end()) return found->second;
        const std::string name = codePage == 10000   ? "MACINTOSH"
                                 : codePage == 1361  ? "JOHAB"
                                 : codePage == 65001 ? "UTF-8"
                                                     : "CP" + std::to_string(codePage);
        return converters_[codePage] = iconv_open("UTF-32LE", name.c_str());
    }

    void convert(std::u32string& out) {
        const iconv_t c = converter(pendingPage_);
        while (!pending_.empty()) {
            if (c == invalid()) {
                Flush(out);
                return;
            }
            iconv(c, nullptr, nullptr, nullptr, nullptr);
            char* in = pending_.data();
            std::size_t inLeft = pending_.size();
            char buffer[64];
            char* to = buffer;
            std::size_t toLeft = sizeof buffer;
            const std::size_t done = iconv(c, &in, &inLeft, &to, &toLeft);
            const int error = done == static_cast<std::size_t>(-1) ? errno : 0;
            iconv(c, nullptr, nullptr, &to, &toLeft);  // what the converter held back
            for (const char* p = buffer; p + 4 <= to; p += 4)
                out += static_cast<char32_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8 |
                                             static_cast<unsigned char>(p[2]) << 16 |
                                             static_cast<char32_t>(static_cast<unsigned char>(p[3])) << 24);
            pending_.erase(0, pending_.size() - inLeft);
            if (error == EINVAL && pending_.size() < 4) return;  // the rest of a character is still to come
            if (error != 0 && !pending_.empty()) {
                out += kReplacement;  // no character of the code page
                pending_.erase(0, 1);
            }
        }
    }

    std::map<int, iconv_t> converters_;
    std::string pending_;  // bytes of a character not yet complete
    int pendingPage_ = 0;
};

const std::set<std::string_view> kSkippedDestinations = {
    "stylesheet", "info",       "pict",       "header",     "headerl",     "headerr",    "headerf",
    "footer",     "footerl",    "footerr",    "footerf",    "footnote",    "object",     "themedata",
    "colorschememapping",       "latentstyles", "datastore", "listtable",  "listoverridetable",
    "rsidtbl",    "generator",  "xmlnstbl",   "fldinst",    "revtbl",      "filetbl",    "pgdsctbl",
    "template",   "annotation", "atnid",      "atnauthor",  "shp",         "nonshppict", "mmathPr",
    "userprops",  "docvar",     "fchars",     "lchars",     "keywords",    "title",      "author",
    "pn",         "pnseclvl"};

// Destinations among the skipped ones whose content the user wrote, by
// what a user calls it: pictures and objects, headers and footers,
// footnotes, comments and field instructions (a link, a page number).
constexpr const char* kPicturesTables = "pictures/tables";
const std::map<std::string_view, const char*> kContentDestinations = {
    {"pict", kPicturesTables},       {"object", kPicturesTables},     {"shp", kPicturesTables},
    {"nonshppict", kPicturesTables}, {"header", "headers/footers"},   {"headerl", "headers/footers"},
    {"headerr", "headers/footers"},  {"headerf", "headers/footers"},  {"footer", "headers/footers"},
    {"footerl", "headers/footers"},  {"footerr", "headers/footers"},  {"footerf", "headers/footers"},
    {"footnote", "footnotes"},       {"annotation", "comments"},      {"atnid", "comments"},
    {"atnauthor", "comments"},       {"fldinst", "fields"},           {"pn", "list formatting"},
    {"pnseclvl", "list formatting"}};

// Control words for formatting the model does not show and keeps as the
// file gives them: nothing in them refers to the file's tables (fonts,
// colours, styles, lists), so they mean the same in the file written.
// Paragraph words, kept in their order (a tab stop's kind comes before its
// place).
const std::set<std::string_view> kKeptParagraphWords = {
    "keep",   "keepn",    "pagebb",  "widctlpar",   "nowidctlpar", "hyphpar", "noline",  "outlinelevel",
    "tx",     "tb",       "tqr",     "tqc",         "tqdec",       "tldot",   "tlmdot",  "tlhyph",
    "tlul",   "tlth",     "tleq",    "sbauto",      "saauto",      "contextualspace",    "rtlpar",
    "ltrpar", "lin",      "rin",     "aspalpha",    "aspnum",      "faauto",  "fahang",  "facenter",
    "faroman", "favar",   "fafixed", "adjustright", "nosnaplinegrid", "nooverflow", "nocwrap", "nowwrap"};
// Character words, each kept once with the value last given; a value of 0
// (or 100 for the width \charscalex) turns the word off.
const std::set<std::string_view> kKeptCharacterWords = {
    "outl", "shad", "embo", "impr", "up", "dn", "expnd", "expndtw", "charscalex", "kerning",
    "lang", "langfe", "langnp", "langfenp", "noproof"};
// Kinds of underline: the model's underline, of the kind kept.
const std::set<std::string_view> kUnderlineKinds = {
    "uld",    "uldash",    "uldashd",   "uldashdd",   "uldb",      "ulhwave", "ulldash", "ulth",
    "ulthd",  "ulthdash",  "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"};
// Character words of which only one stands at a time.
const std::vector<std::set<std::string_view>> kExclusiveCharacterWords = {kUnderlineKinds, {"up", "dn"}};

// Document settings: the page (size, margins, orientation, columns) and
// other settings of the whole document, carried over as the file gives
// them.
const std::set<std::string_view> kDocumentSettings = {
    "paperw",   "paperh",   "psz",       "margl",       "margr",     "margt",          "margb",
    "gutter",   "ogutter",  "rtlgutter", "gutterprl",   "margmirror", "landscape",     "facingp",
    "twoonone", "bookfold", "bookfoldrev", "bookfoldsheets", "pgnstart", "widowctrl",  "deftab",
    "hyphhotz", "hyphconsec", "hyphcaps", "hyphauto",   "deflang",   "deflangfe",      "viewkind",
    "viewscale", "viewzk",  "pgwsxn",    "pghsxn",      "marglsxn",  "margrsxn",       "margtsxn",
    "margbsxn", "guttersxn", "lndscpsxn", "cols",       "colsx",     "pgnstarts",      "linemod",
    "linex",    "linestarts", "linerestart", "lineppage", "linecont"};

// Formatting the model neither shows nor can carry over (it refers to the
// file's style sheet and list tables, or is drawn), by what a user calls
// it.
const std::map<std::string_view, const char*> kFormattingLeftOut = {
    {"cs", "styles"},         {"ds", "styles"},         {"ts", "styles"},
    {"ls", "list formatting"}, {"brdrt", "shading/borders"}, {"brdrb", "shading/borders"},
    {"brdrl", "shading/borders"}, {"brdrr", "shading/borders"}, {"brdrbtw", "shading/borders"},
    {"brdrbar", "shading/borders"}, {"box", "shading/borders"}, {"chbrdr", "shading/borders"},
    {"shading", "shading/borders"}, {"cbpat", "shading/borders"}, {"chshdng", "shading/borders"},
    {"chcbpat", "shading/borders"}, {"deleted", "tracked changes"}, {"revised", "tracked changes"},
    {"absw", "text frames"},        {"absh", "text frames"},       {"posx", "text frames"},
    {"posy", "text frames"},        {"posxc", "text frames"},      {"posxi", "text frames"},
    {"posxo", "text frames"},       {"posxl", "text frames"},      {"posxr", "text frames"},
    {"posyc", "text frames"},       {"posyt", "text frames"},      {"posyb", "text frames"},
    {"posyil", "text frames"},      {"posyin", "text frames"},     {"posyout", "text frames"},
    {"dropcapli", "text frames"}};

// What the reader does with a word of the sets above.
enum class Handling { None, Setting, LeftOut, ParagraphKept, CharacterKept };
Handling handlingOf(std::string_view w) {
    static const std::unordered_map<std::string_view, Handling> handling = [] {
        std::unordered_map<std::string_view, Handling> all;
        for (std::string_view word : kDocumentSettings) all.emplace(word, Handling::Setting);
        for (const auto& [word, kind] : kFormattingLeftOut) all.emplace(word, Handling::LeftOut);
        for (std::string_view word : kKeptParagraphWords) all.emplace(word, Handling::ParagraphKept);
        for (std::string_view word : kKeptCharacterWords) all.emplace(word, Handling::CharacterKept);
        for (std::string_view word : kUnderlineKinds) all.emplace(word, Handling::CharacterKept);
        return all;
    }();
    const auto found = handling.find(w);
    return found != handling.end() ? found->second : Handling::None;
}

// A paragraph's indents and spacing (Spacing) by their control words.
constexpr std::array<std::pair<std::string_view, int Spacing::*>, 6> kSpacingWords = {
    {{"li", &Spacing::left}, {"ri", &Spacing::right}, {"fi", &Spacing::first},
     {"sb", &Spacing::before}, {"sa", &Spacing::after}, {"sl", &Spacing::line}}};

// Control words that make a table.
const std::set<std::string_view> kTableWords = {"trowd", "intbl", "cell", "row", "nestcell", "nestrow", "itap"};

// A character as RTF text, as the writer writes it: ASCII as it is (the
// characters RTF escapes escaped), Latin-1 as "\'hh" (the writer's code
// page is Windows-1252), every other character as "\u" with "?" for readers
// without it.
void writeCharacter(std::string& out, char32_t c) {
    if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += static_cast<char>(c);
    } else if (c == '\t') {
        out += "\\tab ";
    } else if (c == 0x2028) {
        out += "\\line ";
    } else if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
    } else if (c >= 0xA0 && c <= 0xFF) {
        static constexpr char hex[] = "0123456789abcdef";
        out += "\\'";
        out += hex[c >> 4];
        out += hex[c & 0xF];
    } else {
        auto unit = [&](char32_t u) {
            const int signedUnit = u > 0x7FFF ? static_cast<int>(u) - 65536 : static_cast<int>(u);
            out += "\\u" + std::to_string(signedUnit) + "?";
        };
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
}

void writeText(std::string& out, std::string_view utf8) {
    for (char32_t c : CodePoints(utf8)) writeCharacter(out, c);
}

// A control word with its value as RTF ("\\li720").
std::string controlText(std::string_view word, std::optional<int> value) {
    std::string text = "\\" + std::string(word);
    if (value) text += std::to_string(*value);
    return text;
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : in_(bytes) {}

    Document run() {
        stack_.push_back(GroupState{});
        while (pos_ < in_.size() && !stack_.empty()) step();
        if (!stack_.empty()) {
            flushSurrogate();
            if (!info_.empty()) doc_.info = info_ + std::string(stack_.size() - infoDepth_ + 1, '}');
            if (stack_.size() > 1) finalFormat_ = currentFormat();  // the document's group did not end
        }
        if (paragraph_.runs.empty()) paragraph_.mark = finalFormat_;
        doc_.paragraphs.push_back(std::move(paragraph_));
        return std::move(doc_);
    }

private:
    GroupState& state() { return stack_.back(); }

    void step() {
        const char c = in_[pos_++];
        switch (c) {
            case '{':
                // Groups nested deeper than any real document are counted,
                // not copied, so a file of nothing but braces costs no memory;
                // they share the state of the deepest kept group.
                if (state().destination == Destination::Info) info_ += '{';
                if (stack_.size() >= kMaxGroupDepth) {
                    ++excessDepth_;
                    groupStart_ = false;
                    return;
                }
                stack_.push_back(state());
                groupStart_ = true;
                return;
            case '}':
                closeGroup();
                return;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                return;
            default:
                byte(static_cast<unsigned char>(c));
                break;
        }
        groupStart_ = false;
    }

    void closeGroup() {
        flushBytes();
        flushSurrogate();
        if (state().destination == Destination::Info) info_ += '}';
        if (excessDepth_ > 0) {
            --excessDepth_;
            pendingSkip_ = 0;
            groupStart_ = false;
            return;
        }
        if (state().destination == Destination::FontTable) finishFontEntry();
        if (state().destination == Destination::Info && stack_.size() == infoDepth_) {
            // The first information group is the document's.
            if (doc_.info.empty()) doc_.info = std::move(info_);
            info_.clear();
        }
        if (stack_.size() == 2) finalFormat_ = currentFormat();  // the document's group ends
        stack_.pop_back();
        formatsMayDiffer_ = true;
        pendingSkip_ = 0;
        groupStart_ = false;
    }

    void control() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        auto isLetter = [](char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); };
        if (!isLetter(c)) {
            ++pos_;
            symbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        std::optional<int> param;
        const std::size_t numberStart = pos_;
        if (pos_ < in_.size() && in_[pos_] == '-') ++pos_;
        while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') ++pos_;
        if (pos_ > numberStart && !(pos_ == numberStart + 1 && in_[numberStart] == '-')) {
            long value = 0;
            std::from_chars(in_.data() + numberStart, in_.data() + pos_, value);
            param = static_cast<int>(std::clamp(value, -2147483647L, 2147483647L));
        } else {
            pos_ = numberStart;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        controlWord(word, param);
    }

    void symbol(char c) {
        switch (c) {
            case '\'': {
                if (pos_ + 2 > in_.size()) {
                    pos_ = in_.size();  // a file cut inside the escape
                    return;
                }
                int value = 0;
                auto [p, ec] = std::from_chars(in_.data() + pos_, in_.data() + pos_ + 2, value, 16);
                pos_ = static_cast<std::size_t>(p - in_.data());
                if (ec == std::errc()) byte(static_cast<unsigned char>(value));
                return;
            }
            case '*':
                // An optional destination: none of them carries text we
                // keep; in the document's information it is kept as given.
                if (state().destination == Destination::Info)
                    info_ += "\\*";
                else if (groupStart_)
                    state().destination = Destination::Skip;
                return;
            case '\\':
            case '{':
            case '}': byte(static_cast<unsigned char>(c)); return;  // the second byte of a character, perhaps
            case '~': character(0x00A0); return;
            case '_': character(0x2011); return;
            case '-': character(0x00AD); return;  // an optional hyphen
            case '\r':
            case '\n': paragraphMark(); return;
            default: return;  // unknown symbols
        }
    }

    void controlWord(std::string_view w, std::optional<int> param) {
        formatsMayDiffer_ = true;
        GroupState& s = state();
        const bool on = !param || *param != 0;
        if (w == "bin") {
            pos_ = std::min(in_.size(), pos_ + static_cast<std::size_t>(std::max(0, param.value_or(0))));
            return;
        }
        if (s.destination == Destination::Info) return infoWord(w, param);
        if (w == "fonttbl") {
            s.destination = Destination::FontTable;
            return;
        }
        if (w == "colortbl") {
            s.destination = Destination::ColourTable;
            colours_.clear();
            colour_ = {};
            colourGiven_ = false;
            return;
        }
        if (w == "info" && s.destination == Destination::Text) {
            // Kept as the file gives it, its characters as the writer
            // writes them.
            s.destination = Destination::Info;
            infoDepth_ = stack_.size();
            info_ = "{\\info";
            return;
        }
        if (w == "defchp") {
            // The document's default character format: its size is that of
            // text without one.
            s.destination = Destination::DefaultFormat;
            return;
        }
        if (s.destination == Destination::DefaultFormat) {
            if (w == "fs" && param && *param > 0) setDefaultSize(*param / 2.0);
            return;
        }
        if (kSkippedDestinations.count(w)) {
            if (const auto kind = kContentDestinations.find(w); kind != kContentDestinations.end()) leaveOut(kind->second);
            s.destination = Destination::Skip;
            return;
        }
        if (s.destination == Destination::Text && kTableWords.count(w) && !(w == "itap" && param.value_or(1) == 0))
            leaveOut(kPicturesTables);
        // The code page of "\'hh" and of bytes beyond ASCII: the document's,
        // or its font's.
        if (w == "ansi") codePage_ = 1252;
        else if (w == "mac") codePage_ = 10000;
        else if (w == "pc") codePage_ = 437;
        else if (w == "pca") codePage_ = 850;
        else if (w == "ansicpg" && param && *param > 0) codePage_ = *param;
        if (unicodeWord(w, param)) return;
        if (s.destination == Destination::FontTable) {
            if (w == "f") {
                finishFontEntry();
                fontEntry_ = param.value_or(0);
            } else if (w == "fcharset") {
                if (!fontPageGiven_) fontEntryPage_ = charsetCodePage(param.value_or(0));
            } else if (w == "cpg" && param && *param > 0) {
                fontEntryPage_ = *param;
                fontPageGiven_ = true;
            }
            return;
        }
        if (s.destination == Destination::ColourTable) {
            if (w == "red") colour_[0] = param.value_or(0), colourGiven_ = true;
            if (w == "green") colour_[1] = param.value_or(0), colourGiven_ = true;
            if (w == "blue") colour_[2] = param.value_or(0), colourGiven_ = true;
            return;
        }
        if (s.destination == Destination::Skip) return;

        if (w == "par") return paragraphMark();
        if (w == "page" || w == "sect" || w == "column") {
            leaveOut("page and section breaks");
            return paragraphMark();
        }
        if (w == "line") return character(0x2028);
        if (w == "tab" || w == "cell") return character('\t');
        if (w == "row") return paragraphMark();
        if (w == "emdash") return character(0x2014);
        if (w == "endash") return character(0x2013);
        if (w == "bullet") return character(0x2022);
        if (w == "lquote") return character(0x2018);
        if (w == "rquote") return character(0x2019);
        if (w == "ldblquote") return character(0x201C);
        if (w == "rdblquote") return character(0x201D);
        if (w == "emspace") return character(0x2003);
        if (w == "enspace") return character(0x2002);
        if (w == "qmspace") return character(0x2005);
        if (w == "zwbo") return character(0x200B);
        if (w == "zwnj") return character(0x200C);
        if (w == "zwj") return character(0x200D);
        if (w == "ltrmark") return character(0x200E);
        if (w == "rtlmark") return character(0x200F);
        if (w == "zwnbo") return character(0xFEFF);
        switch (handlingOf(w)) {
            case Handling::Setting: return documentSetting(w, param);
            case Handling::LeftOut:
                if (on) leaveOut(kFormattingLeftOut.at(w));
                return;
            case Handling::ParagraphKept:
                s.paragraphKept += controlText(w, param);
                return paragraphFormatChanged();
            case Handling::CharacterKept: return keepCharacterWord(w, param);
            case Handling::None: break;
        }
        for (const auto& [word, member] : kSpacingWords)
            if (w == word) return setSpacing(member, param.value_or(0));
        if (w == "s" && param.value_or(0) > 0) return leaveOut("styles");
        if (w == "deff") defaultFont_ = param.value_or(0);
        else if (w == "plain") {
            s.format = defaultFormat();
            s.format.size = defaultSize_;
            s.keptWords.clear();
            s.fontNumber = -1;
            s.hidden = false;
        } else if (w == "v") s.hidden = on;
        else if (w == "pard") {
            s.align = Align::Left;
            s.spacing = Spacing{};
            s.paragraphKept.clear();
            paragraphFormatChanged();
        } else if (w == "ql") setAlign(Align::Left);
        else if (w == "qc") setAlign(Align::Center);
        else if (w == "qr") setAlign(Align::Right);
        else if (w == "qj") setAlign(Align::Justify);
        else if (w == "slmult") {
            s.spacing.lineMultiple = on;
            paragraphFormatChanged();
        } else if (w == "b") s.format.bold = on;
        else if (w == "i") s.format.italic = on;
        else if (w == "ul" || w == "ulnone") {
            // A plain underline, or none: of no kind.
            s.format.underline = w == "ul" && on;
            forgetCharacterWords(kUnderlineKinds);
        } else if (w == "strike" || w == "striked") s.format.strike = on;
        else if (w == "super") s.format.script = Script::Super;
        else if (w == "sub") s.format.script = Script::Sub;
        else if (w == "nosupersub") s.format.script = Script::Normal;
        else if (w == "caps") s.format.caps = on;
        else if (w == "scaps") s.format.smallCaps = on;
        else if (w == "fs") s.format.size = std::max(0, param.value_or(24)) / 2.0;
        else if (w == "f") s.fontNumber = param.value_or(0);
        else if (w == "cf") s.format.colour = tableColour(param);
        else if (w == "highlight" || w == "cb") s.format.highlight = tableColour(param);
        // Every other control word changes nothing that the model holds.
    }

    // The colour of the colour table's entry; none for 0 (the default) and
    // entries it does not have.
    std::optional<std::uint32_t> tableColour(std::optional<int> param) const {
        const int k = param.value_or(0);
        if (k > 0 && static_cast<std::size_t>(k) < colours_.size()) return colours_[static_cast<std::size_t>(k)];
        return std::nullopt;
    }

    // "\u" (a character) and "\uc" (how many characters follow it for
    // readers without it), in the text as in the document's information;
    // false for every other word.
    bool unicodeWord(std::string_view w, std::optional<int> param) {
        if (w == "u" && param) {
            unicode(*param < 0 ? static_cast<long long>(*param) + 65536 : *param);
            pendingSkip_ = state().skipCount;
            return true;
        }
        if (w == "uc") {
            state().skipCount = std::max(0, param.value_or(1));
            return true;
        }
        return false;
    }

    // A control word in the document's information, kept as it is.
    void infoWord(std::string_view w, std::optional<int> param) {
        if (unicodeWord(w, param)) return;
        flushBytes();
        info_ += controlText(w, param) + ' ';
    }

    void documentSetting(std::string_view w, std::optional<int> param) {
        // Each once, as first given.
        if (!settingsGiven_.insert(std::string(w)).second) return;
        doc_.settings += controlText(w, param);
    }

    // A character word kept (kKeptCharacterWords, kUnderlineKinds).
    void keepCharacterWord(std::string_view w, std::optional<int> param) {
        GroupState& s = state();
        for (const std::set<std::string_view>& words : kExclusiveCharacterWords)
            if (words.count(w)) forgetCharacterWords(words);
        if (kUnderlineKinds.count(w)) s.format.underline = param.value_or(1) != 0;
        if (param && (*param == 0 || (w == "charscalex" && *param == 100))) return forgetCharacterWords({w});
        s.keptWords[std::string(w)] = param;
    }

    void forgetCharacterWords(const std::set<std::string_view>& words) {
        std::map<std::string, std::optional<int>, std::less<>>& kept = state().keptWords;
        for (const std::string_view w : words)
            if (const auto found = kept.find(w); found != kept.end()) kept.erase(found);
    }

    // Text without a size in the groups around takes the default size.
    void setDefaultSize(double size) {
        for (GroupState& g : stack_)
            if (g.format.size == defaultSize_) g.format.size = size;
        if (finalFormat_.size == defaultSize_) finalFormat_.size = size;
        defaultSize_ = size;
    }

    void setSpacing(int Spacing::*member, int value) {
        state().spacing.*member = value;
        paragraphFormatChanged();
    }

    // A "\u" value: a character, or one half of a surrogate pair. What is
    // no character reads as U+FFFD.
    void unicode(long long code) {
        flushBytes();
        const bool high = code >= 0xD800 && code < 0xDC00;
        const bool low = code >= 0xDC00 && code < 0xE000;
        if (low && highSurrogate_) {
            const char32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (static_cast<char32_t>(code) - 0xDC00);
            highSurrogate_ = 0;
            unicodeCharacter(full);
            return;
        }
        flushSurrogate();
        if (high) {
            highSurrogate_ = static_cast<char32_t>(code);
            return;
        }
        unicodeCharacter(low || code < 0 || code > 0x10FFFF ? kReplacement : static_cast<char32_t>(code));
    }

    // A high half of a surrogate pair with no low half after it (text, a
    // paragraph mark or the end of its group came first) reads as U+FFFD
    // where it stood.
    void flushSurrogate() {
        if (!highSurrogate_) return;
        highSurrogate_ = 0;
        unicodeCharacter(kReplacement);
    }

    // A character given by "\u": text, or part of a font's name or of the
    // document's information.
    void unicodeCharacter(char32_t c) {
        if (state().destination == Destination::FontTable)
            AppendUtf8(fontName_, c);
        else if (state().destination == Destination::Info)
            writeCharacter(info_, c);
        else
            emit(c);
    }

    void character(char32_t c) {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        flushBytes();
        put(c);
    }

    // A byte of text: a character of the code page in force, or part of
    // one.
    void byte(unsigned char b) {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (b < 0x80 && !decoder_.Pending()) return put(b);
        for (char32_t c : decoder_.Decode(b, codePage())) put(c);
    }

    // The lead bytes of a character that did not come whole.
    void flushBytes() {
        if (!decoder_.Pending()) return;
        std::u32string left;
        decoder_.Flush(left);
        for (char32_t c : left) put(c);
    }

    int codePage() const {
        const GroupState& s = stack_.back();
        if (s.destination == Destination::FontTable) return fontEntryPage_ > 0 ? fontEntryPage_ : codePage_;
        const auto page = fontPages_.find(s.fontNumber >= 0 ? s.fontNumber : defaultFont_);
        return page != fontPages_.end() && page->second > 0 ? page->second : codePage_;
    }

    void leaveOut(const char* kind) {
        if (std::find(doc_.leftOut.begin(), doc_.leftOut.end(), kind) == doc_.leftOut.end()) doc_.leftOut.push_back(kind);
    }

    void put(char32_t c) {
        flushSurrogate();
        GroupState& s = state();
        if (s.destination == Destination::FontTable) {
            if (c == ';')
                finishFontEntry();
            else
                AppendUtf8(fontName_, c);
            return;
        }
        if (s.destination == Destination::ColourTable) {
            if (c == ';') {
                colours_.push_back(colourGiven_ ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(
                                                      (colour_[0] & 0xFF) << 16 | (colour_[1] & 0xFF) << 8 | (colour_[2] & 0xFF)))
                                                : std::nullopt);
                colour_ = {};
                colourGiven_ = false;
            }
            return;
        }
        if (s.destination == Destination::Info) return writeCharacter(info_, c);
        if (s.destination == Destination::Skip) return;
        emit(c);
    }

    // The character format in force, with its font's name and its kept
    // words.
    CharFormat currentFormat() const {
        const GroupState& s = stack_.back();
        CharFormat format = s.format;
        for (const auto& [word, value] : s.keptWords) format.kept += controlText(word, value);
        const int number = s.fontNumber >= 0 ? s.fontNumber : defaultFont_;
        auto font = fonts_.find(number);
        format.font = font != fonts_.end() ? font->second : "";
        return format;
    }

    void emit(char32_t c) {
        GroupState& s = state();
        if (s.destination != Destination::Text) return;
        if (s.hidden) return leaveOut("hidden text");
        std::vector<Run>& runs = paragraph_.runs;
        // The formats are looked at again only after a control word or
        // the end of a group: text in between takes the same.
        if (runs.empty() || formatsMayDiffer_) {
            CharFormat format = currentFormat();
            if (runs.empty() || !(runs.back().format == format)) runs.push_back(Run{"", std::move(format)});
            takeParagraphFormat();
            formatsMayDiffer_ = false;
        }
        AppendUtf8(runs.back().text, c);
    }

    void paragraphMark() {
        flushBytes();
        flushSurrogate();
        if (state().destination != Destination::Text) return;
        takeParagraphFormat();
        if (paragraph_.runs.empty()) paragraph_.mark = currentFormat();
        doc_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = Paragraph{};
        takeParagraphFormat();
    }

    // The paragraph takes the paragraph format in force.
    void takeParagraphFormat() {
        const GroupState& s = state();
        paragraph_.align = s.align;
        paragraph_.spacing = s.spacing;
        if (paragraph_.kept != s.paragraphKept) paragraph_.kept = s.paragraphKept;
    }

    void paragraphFormatChanged() {
        if (state().destination == Destination::Text) takeParagraphFormat();
    }

    void setAlign(Align a) {
        state().align = a;
        paragraphFormatChanged();
    }

    void finishFontEntry() {
        if (fontEntry_ >= 0) {
            std::string name = fontName_;
            while (!name.empty() && name.back() == ' ') name.pop_back();
            while (!name.empty() && name.front() == ' ') name.erase(name.begin());
            fonts_[fontEntry_] = name;
            fontPages_[fontEntry_] = fontEntryPage_;
        }
        fontEntry_ = -1;
        fontEntryPage_ = 0;
        fontPageGiven_ = false;
        fontName_.clear();
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    static constexpr std::size_t kMaxGroupDepth = 1000;
    std::vector<GroupState> stack_;
    std::size_t excessDepth_ = 0;  // open groups beyond kMaxGroupDepth
    bool groupStart_ = false;
    int pendingSkip_ = 0;
    char32_t highSurrogate_ = 0;
    Document doc_;
    Paragraph paragraph_;
    std::map<int, std::string> fonts_;
    std::map<int, int> fontPages_;  // a font's code page; 0: the document's
    int defaultFont_ = 0;
    int fontEntry_ = -1;
    int fontEntryPage_ = 0;
    bool fontPageGiven_ = false;  // by \cpg, which \fcharset does not override
    int codePage_ = 1252;
    ByteDecoder decoder_;
    std::string fontName_;
    std::vector<std::optional<std::uint32_t>> colours_;
    std::array<int, 3> colour_{};
    bool colourGiven_ = false;
    std::string info_;            // the information group read so far
    std::size_t infoDepth_ = 0;   // the depth of its group
    std::set<std::string, std::less<>> settingsGiven_;
    CharFormat finalFormat_ = defaultFormat();  // the format where the document's group ends
    bool formatsMayDiffer_ = true;  // the text to come may take another format
    double defaultSize_ = kRtfDefaultSize;  // of text without a size
};

// A paragraph break among the characters of a document: no character.
constexpr char32_t kParagraphBreak = 0x110000;

std::u32string characters(const Document& document) {
    std::u32string all;
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        if (p > 0) all += kParagraphBreak;
        for (const Run& r : document.paragraphs[p].runs) all += CodePoints(r.text);
    }
    return all;
}

std::string halfPoints(double size) { return std::to_string(static_cast<long>(std::lround(size * 2))); }

}  // namespace

bool LooksLikeRtf(std::string_view bytes) {
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

Document Read(std::string_view bytes) {
    Document doc = Reader(bytes).run();
    if (doc.paragraphs.empty()) doc.paragraphs.emplace_back();
    return doc;
}

std::string Write(const Document& document, const std::string& defaultFont, double defaultSize) {
    // The formats written: of the runs, and of the paragraphs without text.
    std::vector<const CharFormat*> formats;
    for (const Paragraph& p : document.paragraphs) {
        bool text = false;
        for (const Run& r : p.runs)
            if (!r.text.empty()) text = true, formats.push_back(&r.format);
        if (!text) formats.push_back(&p.mark);
    }
    std::vector<std::string> fonts = {defaultFont};
    std::vector<std::uint32_t> colours;
    const auto addColour = [&](const std::optional<std::uint32_t>& c) {
        if (c && std::find(colours.begin(), colours.end(), *c) == colours.end()) colours.push_back(*c);
    };
    for (const CharFormat* f : formats) {
        if (!f->font.empty() && std::find(fonts.begin(), fonts.end(), f->font) == fonts.end()) fonts.push_back(f->font);
        addColour(f->colour);
        addColour(f->highlight);
    }
    const auto colourNumber = [&](std::uint32_t c) {
        return std::to_string(std::find(colours.begin(), colours.end(), c) - colours.begin() + 1);
    };
    const auto writeFormat = [&](std::string& out, const CharFormat& f) {
        const std::string& font = f.font.empty() ? defaultFont : f.font;
        out += "\\plain\\f" + std::to_string(std::find(fonts.begin(), fonts.end(), font) - fonts.begin());
        out += "\\fs" + halfPoints(f.size > 0 ? f.size : defaultSize);
        if (f.bold) out += "\\b";
        if (f.italic) out += "\\i";
        if (f.underline) out += "\\ul";
        if (f.strike) out += "\\strike";
        if (f.script == Script::Super) out += "\\super";
        if (f.script == Script::Sub) out += "\\sub";
        if (f.caps) out += "\\caps";
        if (f.smallCaps) out += "\\scaps";
        if (f.colour) out += "\\cf" + colourNumber(*f.colour);
        if (f.highlight) out += "\\highlight" + colourNumber(*f.highlight);
        out += f.kept;
        out += ' ';
    };

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        out += "{\\f" + std::to_string(f) + "\\fnil ";
        writeText(out, fonts[f]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (std::uint32_t c : colours)
        out += "\\red" + std::to_string(c >> 16 & 0xFF) + "\\green" + std::to_string(c >> 8 & 0xFF) + "\\blue" +
               std::to_string(c & 0xFF) + ";";
    out += "}\r\n";
    if (!document.info.empty() || !document.settings.empty()) out += document.info + document.settings + "\r\n";

    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        const Paragraph& para = document.paragraphs[p];
        out += "\\pard";
        switch (para.align) {
            case Align::Left: break;
            case Align::Center: out += "\\qc"; break;
            case Align::Right: out += "\\qr"; break;
            case Align::Justify: out += "\\qj"; break;
        }
        for (const auto& [word, member] : kSpacingWords)
            if (para.spacing.*member != 0) out += controlText(word, para.spacing.*member);
        if (para.spacing.lineMultiple) out += "\\slmult1";
        out += para.kept;
        bool text = false;
        for (const Run& r : para.runs) {
            if (r.text.empty()) continue;
            text = true;
            writeFormat(out, r.format);
            writeText(out, r.text);
        }
        if (!text) writeFormat(out, para.mark);
        if (p + 1 < document.paragraphs.size()) out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

std::u32string CharactersNotKept(const Document& read, const Document& held) {
    const std::u32string given = characters(read), kept = characters(held);
    if (given == kept) return {};
    // How often each character stands in the one and in the other: those
    // the editor holds fewer of are the ones it did not keep.
    std::map<char32_t, long long> missing;
    for (char32_t c : given) ++missing[c];
    for (char32_t c : kept) --missing[c];
    std::u32string lost;
    for (char32_t c : given)
        if (c != kParagraphBreak && missing[c] > 0 && lost.find(c) == std::u32string::npos) lost += c;
    if (!lost.empty()) return lost;
    const auto [g, k] = std::mismatch(given.begin(), given.end(), kept.begin(), kept.end());
    const char32_t first = g != given.end() ? *g : *k;
    return std::u32string(1, first == kParagraphBreak ? U'\u2029' : first);
}

namespace {

// Calls `word` with each control word of a run of them ("\tqr\tx4320") and
// its value, if it has one.
template <class Word>
void eachControlWord(std::string_view words, Word&& word) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 0; i < words.size();) {
        if (words[i] != '\\') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < words.size() && isLetter(words[end])) ++end;
        const std::string_view name = words.substr(i + 1, end - i - 1);
        std::size_t digits = end;
        if (digits < words.size() && words[digits] == '-') ++digits;
        while (digits < words.size() && isDigit(words[digits])) ++digits;
        std::optional<int> value;
        if (digits > end) {
            int v = 0;
            const auto [ptr, ec] = std::from_chars(words.data() + end, words.data() + digits, v);
            if (ec == std::errc() && ptr == words.data() + digits) value = v;
        }
        word(name, value);
        i = std::max(digits, i + 1);
    }
}

}  // namespace

std::vector<TabStop> ParagraphTabStops(std::string_view kept) {
    std::vector<TabStop> stops;
    TabAlign align = TabAlign::Left;
    eachControlWord(kept, [&](std::string_view name, std::optional<int> value) {
        if (name == "tqr") align = TabAlign::Right;
        else if (name == "tqc") align = TabAlign::Center;
        else if (name == "tqdec") align = TabAlign::Decimal;
        else if (name == "tx" || name == "tb") {
            if (name == "tx" && value && *value > 0) stops.push_back({*value, align});
            align = TabAlign::Left;
        }
    });
    std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    stops.erase(std::unique(stops.begin(), stops.end(),
                            [](const TabStop& a, const TabStop& b) { return a.position == b.position; }),
                stops.end());
    return stops;
}

int DefaultTabDistance(std::string_view settings) {
    int distance = 0;
    eachControlWord(settings, [&](std::string_view name, std::optional<int> value) {
        if (name == "deftab" && value) distance = std::max(0, *value);
    });
    return distance;
}

Document PlainDocument(std::string_view text) {
    Document doc;
    for (std::size_t from = 0;;) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        Paragraph p;
        if (end > from) p.runs.push_back({std::string(text.substr(from, end - from)), CharFormat{}});
        doc.paragraphs.push_back(std::move(p));
        if (end == text.size()) return doc;
        from = end + 1;
    }
}

std::string LossQuestion(const std::vector<std::string>& leftOut, std::u32string_view notKept) {
    std::string question;
    if (!leftOut.empty()) {
        question = "This document holds ";
        for (std::size_t k = 0; k < leftOut.size(); ++k)
            question += (k == 0 ? "" : k + 1 == leftOut.size() ? " and " : ", ") + leftOut[k];
        // "hidden text" alone is one thing; every other name is of many.
        const bool many = leftOut.size() > 1 || leftOut[0].back() == 's';
        question += " that this window cannot keep; saving will remove " + std::string(many ? "them." : "it.");
    }
    if (!notKept.empty())
        question += (question.empty() ? "This document holds" : "\r\n\r\nIt also holds") +
                    std::string(" characters that this window cannot keep as they are (") + CodePointNames(notKept) +
                    "); saving will change them.";
    return question;
}

std::string CodePointNames(std::u32string_view characters) {
    std::string names;
    for (char32_t c : characters) {
        char hex[8];
        const auto end = std::to_chars(hex, hex + sizeof hex, static_cast<std::uint32_t>(c), 16).ptr;
        std::string digits(hex, end);
        for (char& d : digits) d = static_cast<char>(d >= 'a' ? d - 'a' + 'A' : d);
        if (!names.empty()) names += ", ";
        names += "U+" + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
    }
    return names;
}

}  // namespace kx::text::rtf
