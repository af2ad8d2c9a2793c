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
#include <utility>

namespace kx::text::rtf {
namespace {

// Where the text of a group goes: the document's text, a table, a group
// kept as the file gives it (Kept: the information, user properties,
// document variables), the document's default character or paragraph
// format, a bookmark's name, or nowhere.
enum class Destination { Text, FontTable, ColourTable, Kept, DefaultFormat, DefaultParagraph, Bookmark, Skip };

constexpr char32_t kReplacement = 0xFFFD;

// The format of text the file gives no format.
CharFormat defaultFormat() {
    CharFormat f;
    f.size = kRtfDefaultSize;
    return f;
}

// The kinds of characters that a font named by \loch, \hich or \dbch
// before it is for.
enum class FontClass { Any, Low, High, Double };

// Character words kept, by name in alphabetical order, with their value:
// few, and copied with every group.
using KeptWords = std::vector<std::pair<std::string, std::optional<int>>>;

struct GroupState {
    CharFormat format = defaultFormat();  // its kept words are keptWords; no font name, no bookmarks
    // The character words kept (CharFormat::kept) by name, with their value.
    KeptWords keptWords;
    Align align = Align::Left;
    Spacing spacing;
    std::string paragraphKept;
    int fontNumber = -1;  // the \f in force; -1: the default font (\deff)
    int skipCount = 1;    // \uc
    bool hidden = false;  // \v
    // The associated formatting of East Asian and complex-script text: the
    // font of East Asian characters (\af after \dbch, or \f after it;
    // -1: none given), whether complex-script characters have a font, size
    // or style of their own (\af, \afs, \ab, ...), and the kind of
    // characters a font given now is for.
    int eastAsianFont = -1;
    bool complexFormatted = false;
    FontClass fontClass = FontClass::Any;
    Destination destination = Destination::Text;
};

// What \plain gives the character format, and \pard the paragraph format:
// RTF's defaults, or the document's (\defchp, \defpap).
struct CharacterDefaults {
    CharFormat format = defaultFormat();
    KeptWords keptWords;
    int fontNumber = -1;
    bool operator==(const CharacterDefaults&) const = default;
};
struct ParagraphDefaults {
    Align align = Align::Left;
    Spacing spacing;
    std::string kept;
    bool operator==(const ParagraphDefaults&) const = default;
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

// Destinations whose text is not the document's. Besides those that
// kContentDestinations names, they hold nothing a reader of the document
// sees or prints once its text is written with the model's formats:
// - the tables that only styles, lists and revisions refer to
//   (stylesheet, listtable, listoverridetable, revtbl, latentstyles,
//   pgdsctbl) and the session's revision ids (rsidtbl);
// - the writing program and its settings: generator, xmlnstbl, datastore,
//   wgrffmtfilter, mmathPr, template, filetbl, fchars, lchars,
//   passwordhash, protusertbl;
// - the theme (themedata, colorschememapping): each run names its font and
//   colour itself;
// - section-wide numbering of old-style lists (pnseclvl), used only by
//   paragraphs that give a list number (pn, asked about);
// - marks of ranges that may be edited in a protected document (protstart,
//   protend) and of the ends of comments (atrfstart, atrfend);
// - separators and notices of footnotes (ftnsep, ftnsepc, aftnsep,
//   aftnsepc, ftncn, aftncn), which exist only with footnotes;
// - a page's background (background), whose shapes are asked about;
// - information not at the document's level (info, upr, title, author,
//   keywords).
const std::set<std::string_view> kSkippedDestinations = {
    "stylesheet", "info",       "pict",       "header",     "headerl",     "headerr",    "headerf",
    "footer",     "footerl",    "footerr",    "footerf",    "footnote",    "object",     "themedata",
    "colorschememapping",       "latentstyles", "datastore", "listtable",  "listoverridetable",
    "rsidtbl",    "generator",  "xmlnstbl",   "fldinst",    "revtbl",      "filetbl",    "pgdsctbl",
    "template",   "annotation", "atnid",      "atnauthor",  "shp",         "nonshppict", "mmathPr",
    "userprops",  "docvar",     "fchars",     "lchars",     "keywords",    "title",      "author",
    "pn",         "pnseclvl",   "upr",        "do",         "mmath",       "moMath",     "moMathPara",
    "xe",         "tc",         "tcn",        "oldcprops",  "oldpprops",   "oldsprops",  "oldtprops",
    "wgrffmtfilter", "passwordhash", "protusertbl", "protstart", "protend", "atrfstart",  "atrfend",
    "ftnsep",     "ftnsepc",    "aftnsep",    "aftnsepc",   "ftncn",       "aftncn",     "background",
    "bkmkstart",  "bkmkend"};

// Destinations among the skipped ones whose content the user wrote, by
// what a user calls it: pictures and objects, headers and footers,
// footnotes, comments and field instructions (a link, a page number),
// equations, index and table-of-contents entries, list numbers,
// formatting changes tracked.
constexpr const char* kPicturesTables = "pictures/tables";
const std::map<std::string_view, const char*> kContentDestinations = {
    {"pict", kPicturesTables},       {"object", kPicturesTables},     {"shp", kPicturesTables},
    {"nonshppict", kPicturesTables}, {"do", kPicturesTables},         {"header", "headers/footers"},
    {"headerl", "headers/footers"},  {"headerr", "headers/footers"},  {"headerf", "headers/footers"},
    {"footer", "headers/footers"},   {"footerl", "headers/footers"},  {"footerr", "headers/footers"},
    {"footerf", "headers/footers"},  {"footnote", "footnotes"},       {"annotation", "comments"},
    {"atnid", "comments"},           {"atnauthor", "comments"},       {"fldinst", "fields"},
    {"pn", "list formatting"},       {"mmath", "equations"},          {"moMath", "equations"},
    {"moMathPara", "equations"},     {"xe", "index entries"},         {"tc", "table of contents entries"},
    {"tcn", "table of contents entries"}, {"oldcprops", "tracked changes"}, {"oldpprops", "tracked changes"},
    {"oldsprops", "tracked changes"}, {"oldtprops", "tracked changes"}};

// Groups of the document that are kept as the file gives them
// (Document::info, Document::properties).
const std::set<std::string_view> kKeptGroups = {"info", "upr", "userprops", "docvar"};

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
    "faroman", "favar",   "fafixed", "adjustright", "nosnaplinegrid", "nooverflow", "nocwrap", "nowwrap",
    "wrapdefault", "qd",  "qk",      "qt",          "cufi",        "culi",    "curi",    "lisa",
    "lisb",   "indmirror", "toplinepunct", "collapsed"};
// The words of tab stops among them: a stop's kind and leader, then its
// place.
const std::set<std::string_view> kTabWords = {"tx", "tb", "tqr", "tqc", "tqdec", "tldot", "tlmdot",
                                              "tlhyph", "tlul", "tlth", "tleq"};
// Character words, each kept once with the value last given; a value of 0
// (or 100 for the width \charscalex) turns the word off.
const std::set<std::string_view> kKeptCharacterWords = {
    "outl", "shad", "embo", "impr", "up", "dn", "expnd", "expndtw", "charscalex", "kerning",
    "lang", "langfe", "langnp", "langfenp", "noproof", "cgrid", "webhidden", "striked", "rtlch", "ltrch",
    "fittext", "horzvert", "twoinone", "cchs", "accnone", "accdot", "acccomma", "acccircle", "accunderdot"};
// Kinds of underline: the model's underline, of the kind kept.
const std::set<std::string_view> kUnderlineKinds = {
    "uld",    "uldash",    "uldashd",   "uldashdd",   "uldb",      "ulhwave", "ulldash", "ulth",
    "ulthd",  "ulthdash",  "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"};
// Character words of which only one stands at a time; the first set is
// that of the kinds of underline.
constexpr int kUnderlineGroup = 0;
const std::vector<std::set<std::string_view>> kExclusiveCharacterWords = {
    kUnderlineKinds, {"up", "dn"}, {"rtlch", "ltrch"}, {"accnone", "accdot", "acccomma", "acccircle", "accunderdot"}};

// Document and section settings: the page (size, margins, orientation,
// columns, vertical alignment, paper trays), page numbers (where they
// start and restart, their style and place, a title page of its own),
// line numbers, footnote and endnote placement and numbering, hyphenation,
// the view, protection, tracking of changes, the drawing grid and the
// layout options of the program that wrote the file; carried over as the
// file gives them.
const std::set<std::string_view> kDocumentSettings = {
    // The page and the section.
    "paperw",   "paperh",   "psz",       "margl",       "margr",     "margt",          "margb",
    "gutter",   "ogutter",  "rtlgutter", "gutterprl",   "margmirror", "landscape",     "facingp",
    "twoonone", "bookfold", "bookfoldrev", "bookfoldsheets", "pgwsxn", "pghsxn",       "marglsxn",
    "margrsxn", "margtsxn", "margbsxn",  "guttersxn",   "margmirsxn", "lndscpsxn",     "cols",
    "colsx",    "colno",    "colw",      "colsr",       "linebetcol", "vertalt",       "vertalc",
    "vertalj",  "vertalb",  "headery",   "footery",     "titlepg",   "binfsxn",        "binsxn",
    "sbknone",  "sbkcol",   "sbkpage",   "sbkeven",     "sbkodd",    "ltrsect",        "rtlsect",
    "endnhere", "sectunlocked", "sectlinegrid", "sectdefaultcl", "sectexpand", "sectspecifycl",
    "sectspecifyl", "sectspecifygen", "stextflow", "horzsect", "vertsect", "rtldoc",  "ltrdoc",
    // Page and line numbers.
    "pgnstart", "pgnstarts", "pgnrestart", "pgncont",   "pgndec",    "pgnucrm",        "pgnlcrm",
    "pgnucltr", "pgnlcltr", "pgnbidia",  "pgnbidib",    "pgnchosung", "pgncnum",       "pgndbnum",
    "pgndbnumd", "pgndbnumk", "pgndbnumt", "pgndecd",   "pgnganada", "pgngbnum",       "pgngbnumd",
    "pgngbnumk", "pgngbnuml", "pgnhindia", "pgnhindib", "pgnhindic", "pgnhindid",      "pgnid",
    "pgnthaia", "pgnthaib", "pgnthaic",  "pgnvieta",    "pgnzodiac", "pgnzodiacd",     "pgnzodiacl",
    "pgnx",     "pgny",     "pgnhn",     "pgnhnsh",     "pgnhnsp",   "pgnhnsc",        "pgnhnsm",
    "pgnhnsn",  "linemod",  "linex",     "linestarts",  "linerestart", "lineppage",    "linecont",
    "linestart",
    // Footnotes and endnotes.
    "ftnbj",    "ftntj",    "endnotes",  "enddoc",      "aendnotes", "aenddoc",        "aftnbj",
    "aftntj",   "ftnstart", "aftnstart", "ftnrstpg",    "ftnrestart", "ftnrstcont",    "aftnrestart",
    "aftnrstcont", "ftnnar", "ftnnalc",  "ftnnauc",     "ftnnrlc",   "ftnnruc",        "ftnnchi",
    "aftnnar",  "aftnnalc", "aftnnauc",  "aftnnrlc",    "aftnnruc",  "aftnnchi",       "fet",
    "sftnbj",   "sftntj",   "saftnbj",   "saftntj",
    // Text flow, hyphenation and the view.
    "widowctrl", "deftab",  "hyphhotz",  "hyphconsec",  "hyphcaps",  "hyphauto",       "deflang",
    "deflangfe", "adeflang", "viewkind", "viewscale",   "viewzk",    "viewbksp",       "viewnobound",
    "jexpand",  "jcompress", "horzdoc",  "vertdoc",     "lnongrid",  "dghspace",       "dgvspace",
    "dghorigin", "dgvorigin", "dghshow", "dgvshow",     "dgsnap",    "dgmargin",
    // Protection and the tracking of changes.
    "formprot", "revprot",  "annotprot", "readprot",    "protlevel", "enforceprot",    "readonlyrecommended",
    "revisions", "revprop", "revbar",    "trackmoves",  "trackformatting", "formshade", "formdisp",
    // Layout options of the program that wrote the file.
    "allowfieldendsel", "alntblind", "asianbrkrule", "brkfrm", "cachedcolbal", "cts",     "dntblnsbdb",
    "donotembedlingdata", "donotembedsysfont", "expshrtn", "felnbrelev", "fracwidth",  "ftnlytwnine",
    "grfdocevents", "htmautsp", "hwelev", "indrlsweleven", "krnprsnet", "lnbrkrule",    "lytcalctblwd",
    "lytexcttp", "lytprtmet", "lyttblrtgr", "newtblstyruls", "nobrkwrptbl", "nocolbal", "nocompatoptions",
    "nocxsptable", "noextrasprl", "nogrowautofit", "noindnmbrts", "nojkernpunct", "nolead", "nolnhtadjtbl",
    "nospaceforul", "notabind", "notbrkcnstfrctbl", "notcvasp", "notvatxbx", "nouicompat", "noultrlspc",
    "noxlattoyen", "oldas",  "oldlinewrap", "otblrul",  "prcolbl",   "relyonvml",      "rempersonalinfo",
    "saveinvalidxml", "showplaceholdtext", "showxmlerrors", "snaptogridincell", "spltpgpar", "splytwnine",
    "sprsbsp",  "sprslnsp", "sprsspbf",  "sprstsm",     "sprstsp",   "subfontbysize",  "swpbdr",
    "transmf",  "truncatefontheight", "truncex", "useltbaln", "usenormstyforlist", "utinl", "validatexml",
    "wpjst",    "wpsp",     "wraptrsp",  "wrppunct",    "ignoremixedcontent", "afelev", "noafcnsttbl",
    "nofeatherthrottle", "ilfomacatclnup", "noqfpromote", "doctemp", "makebackup",
    "defformat", "psover",  "ksulang"};

// Control words that change nothing a reader of the document sees or
// prints, dropped without a question: ids of the editing sessions that
// wrote the text (rsid, rsidroot, insrsid, charrsid, delrsid, pararsid,
// sectrsid, tblrsid, styrsid), the theme's languages (themelang,
// themelangfe, themelangcs), the style sheet's default fonts (stshfdbch,
// stshfloch, stshfhich, stshfbi: only styles use them, and styles are
// asked about), the default font of right-to-left text (adeff: each run's
// own is looked at), and \fcs, which only tells which of the fonts after
// it are for complex-script text.

// Associated character formatting: the font, size and style of
// complex-script characters (Arabic, Hebrew, Thai, Indic scripts, ...)
// where they differ from those of the run. The model shows such text in
// the run's format and has no place for these.
const std::set<std::string_view> kComplexScriptWords = {
    "afs", "ab", "ai", "aul", "auld", "auldb", "aulw", "aulnone", "acaps", "ascaps",
    "aoutl", "ashad", "astrike", "aup", "adn", "aexpnd", "acf"};
constexpr const char* kComplexScriptFonts = "right-to-left and complex-script fonts";
constexpr const char* kEastAsianFonts = "East Asian fonts";

// Formatting the model neither shows nor can carry over (it refers to the
// file's style sheet and list tables, or is drawn), by what a user calls
// it.
const std::map<std::string_view, const char*> kFormattingLeftOut = {
    {"cs", "styles"},         {"ds", "styles"},         {"ts", "styles"},
    {"ls", "list formatting"}, {"brdrt", "shading/borders"}, {"brdrb", "shading/borders"},
    {"brdrl", "shading/borders"}, {"brdrr", "shading/borders"}, {"brdrbtw", "shading/borders"},
    {"brdrbar", "shading/borders"}, {"box", "shading/borders"}, {"chbrdr", "shading/borders"},
    {"shading", "shading/borders"}, {"cbpat", "shading/borders"}, {"chshdng", "shading/borders"},
    {"chcbpat", "shading/borders"}, {"pgbrdrt", "shading/borders"}, {"pgbrdrb", "shading/borders"},
    {"pgbrdrl", "shading/borders"}, {"pgbrdrr", "shading/borders"}, {"deleted", "tracked changes"},
    {"revised", "tracked changes"}, {"absw", "text frames"},       {"absh", "text frames"},
    {"posx", "text frames"},        {"posy", "text frames"},       {"posxc", "text frames"},
    {"posxi", "text frames"},       {"posxo", "text frames"},      {"posxl", "text frames"},
    {"posxr", "text frames"},       {"posyc", "text frames"},      {"posyt", "text frames"},
    {"posyb", "text frames"},       {"posyil", "text frames"},     {"posyin", "text frames"},
    {"posyout", "text frames"},     {"dropcapli", "text frames"}};

// Control words that make a table.
const std::set<std::string_view> kTableWords = {"trowd", "intbl", "cell", "row", "nestcell", "nestrow", "itap"};

// What the reader does with a word of the sets above, found with one look
// at a table (the reader looks up every control word).
enum class Handling { None, Setting, LeftOut, ParagraphKept, CharacterKept, ComplexScript };
struct WordInfo {
    Handling handling = Handling::None;
    bool skipped = false;           // a destination skipped (kSkippedDestinations)
    bool keptGroup = false;         // kKeptGroups
    bool table = false;             // kTableWords
    bool tab = false;               // kTabWords
    int exclusive = -1;             // its set in kExclusiveCharacterWords
    const char* content = nullptr;  // what a user would miss (kContentDestinations, kFormattingLeftOut)
};
const WordInfo* wordInfo(std::string_view w) {
    static const std::unordered_map<std::string_view, WordInfo> words = [] {
        std::unordered_map<std::string_view, WordInfo> all;
        const auto set = [&](const auto& words, Handling h) {
            for (std::string_view word : words) all[word].handling = h;
        };
        set(kDocumentSettings, Handling::Setting);
        set(kKeptParagraphWords, Handling::ParagraphKept);
        set(kKeptCharacterWords, Handling::CharacterKept);
        set(kUnderlineKinds, Handling::CharacterKept);
        set(kComplexScriptWords, Handling::ComplexScript);
        for (const auto& [word, kind] : kFormattingLeftOut) {
            all[word].handling = Handling::LeftOut;
            all[word].content = kind;
        }
        for (std::string_view word : kSkippedDestinations) all[word].skipped = true;
        for (const auto& [word, kind] : kContentDestinations) all[word].content = kind;
        for (std::string_view word : kKeptGroups) all[word].keptGroup = true;
        for (std::string_view word : kTableWords) all[word].table = true;
        for (std::string_view word : kTabWords) all[word].tab = true;
        for (std::size_t k = 0; k < kExclusiveCharacterWords.size(); ++k)
            for (std::string_view word : kExclusiveCharacterWords[k]) all[word].exclusive = static_cast<int>(k);
        return all;
    }();
    const auto found = words.find(w);
    return found != words.end() ? &found->second : nullptr;
}

// A paragraph's indents and spacing (Spacing) by their control words.
constexpr std::array<std::pair<std::string_view, int Spacing::*>, 6> kSpacingWords = {
    {{"li", &Spacing::left}, {"ri", &Spacing::right}, {"fi", &Spacing::first},
     {"sb", &Spacing::before}, {"sa", &Spacing::after}, {"sl", &Spacing::line}}};

// Characters of the scripts for which a file names fonts of their own:
// complex scripts (right-to-left and the scripts whose letters join or
// stack: Hebrew, Arabic, Syriac, Thaana, N'Ko, the Indic scripts, Thai,
// Lao, Tibetan, Myanmar, Khmer) and East Asian ones (Hangul, kana, CJK
// ideographs, full-width forms).
bool isComplexScript(char32_t c) {
    return (c >= 0x0590 && c < 0x0800) || (c >= 0x0860 && c < 0x10A0) || (c >= 0x1780 && c < 0x1800) ||
           (c >= 0xFB1D && c < 0xFE00) || (c >= 0xFE70 && c < 0xFEFF);
}
bool isEastAsian(char32_t c) {
    return (c >= 0x1100 && c < 0x1200) || (c >= 0x2E80 && c < 0xA4D0) || (c >= 0xAC00 && c < 0xD7B0) ||
           (c >= 0xF900 && c < 0xFB00) || (c >= 0xFE30 && c < 0xFE50) || (c >= 0xFF00 && c < 0xFFF0) ||
           (c >= 0x20000 && c < 0x30000);
}

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

// A control word of a run of them ("\\tqr\\tx4320"): its name, its value
// if it has one, and where it stands in the run ([begin, end)).
struct ControlWord {
    std::string_view name;
    std::optional<int> value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The first control word of the run at or after `from`; none past the last.
std::optional<ControlWord> nextControlWord(std::string_view words, std::size_t from) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t i = words.find('\\', from);
    if (i == std::string_view::npos) return std::nullopt;
    std::size_t end = i + 1;
    while (end < words.size() && isLetter(words[end])) ++end;
    std::size_t digits = end;
    if (digits < words.size() && words[digits] == '-') ++digits;
    while (digits < words.size() && isDigit(words[digits])) ++digits;
    ControlWord word{words.substr(i + 1, end - i - 1), std::nullopt, i, std::max(digits, i + 1)};
    if (digits > end) {
        int v = 0;
        const auto [ptr, ec] = std::from_chars(words.data() + end, words.data() + digits, v);
        if (ec == std::errc() && ptr == words.data() + digits) word.value = v;
    }
    return word;
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : in_(bytes) {}

    Document run() {
        stack_.push_back(GroupState{});
        while (pos_ < in_.size() && !stack_.empty()) step();
        if (!stack_.empty()) {
            flushSurrogate();
            // A kept group the file ends in is closed.
            if (!kept_.empty()) finishKeptGroup(kept_ + std::string(stack_.size() - keptDepth_ + 1, '}'));
            if (stack_.size() > 1 || !finalFormatGiven_) finalFormat_ = currentFormat();  // the document's group did not end
        }
        if (paragraph_.runs.empty()) paragraph_.mark = markFormat(finalFormat_);
        doc_.paragraphs.push_back(std::move(paragraph_));
        return std::move(doc_);
    }

private:
    GroupState& state() { return stack_.back(); }

    // The destination of the group around the current one.
    Destination outerDestination() const {
        return stack_.size() >= 2 ? stack_[stack_.size() - 2].destination : Destination::Skip;
    }

    void step() {
        const char c = in_[pos_++];
        switch (c) {
            case '{':
                // Groups nested deeper than any real document are counted,
                // not copied, so a file of nothing but braces costs no memory;
                // they share the state of the deepest kept group.
                if (state().destination == Destination::Kept) kept_ += '{';
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
        starred_ = false;
        if (state().destination == Destination::Kept) kept_ += '}';
        if (excessDepth_ > 0) {
            --excessDepth_;
            pendingSkip_ = 0;
            groupStart_ = false;
            return;
        }
        const Destination destination = state().destination;
        if (destination == Destination::FontTable) finishFontEntry();
        if (destination == Destination::Kept && stack_.size() == keptDepth_) {
            finishKeptGroup(std::move(kept_));
            kept_.clear();
        }
        if (destination == Destination::Bookmark && stack_.size() == bookmarkDepth_) bookmarkMark();
        if ((destination == Destination::DefaultFormat || destination == Destination::DefaultParagraph) &&
            stack_.size() == defaultsDepth_)
            setDefaults();
        if (stack_.size() == 2) {
            finalFormat_ = currentFormat();  // the document's group ends
            finalFormatGiven_ = true;
        }
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
                // An optional destination: skipped unless its word is one
                // the reader knows (controlWord); in a kept group it is kept
                // as given.
                if (state().destination == Destination::Kept) {
                    kept_ += "\\*";
                } else if (groupStart_) {
                    state().destination = Destination::Skip;
                    starred_ = true;
                }
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

    // Starts a group kept as the file gives it, its characters as the
    // writer writes them (Document::info, Document::properties).
    void keepGroup(std::string_view w, bool starred) {
        state().destination = Destination::Kept;
        keptDepth_ = stack_.size();
        keptInfo_ = w == "info" || w == "upr";
        kept_ = (starred ? "{\\*\\" : "{\\") + std::string(w);
    }

    void finishKeptGroup(std::string group) {
        // The first information group is the document's.
        if (!keptInfo_)
            doc_.properties += group;
        else if (doc_.info.empty())
            doc_.info = std::move(group);
    }

    // A destination of the document's text that the reader takes although
    // the file marks it optional ("\*"); false for every other.
    bool starredDestination(std::string_view w, const WordInfo* info) {
        if (outerDestination() != Destination::Text) return false;
        if (info && info->keptGroup) {
            keepGroup(w, true);
            return true;
        }
        if (w == "bkmkstart" || w == "bkmkend") {
            state().destination = Destination::Bookmark;
            bookmarkDepth_ = stack_.size();
            bookmarkStarts_ = w == "bkmkstart";
            bookmarkName_.clear();
            return true;
        }
        if (w == "defpap" || w == "defchp") {
            startDefaults(w == "defpap" ? Destination::DefaultParagraph : Destination::DefaultFormat);
            return true;
        }
        return false;
    }

    void controlWord(std::string_view w, std::optional<int> param) {
        const bool starred = std::exchange(starred_, false);
        formatsMayDiffer_ = true;
        GroupState& s = state();
        const bool on = !param || *param != 0;
        if (w == "bin") {
            pos_ = std::min(in_.size(), pos_ + static_cast<std::size_t>(std::max(0, param.value_or(0))));
            return;
        }
        if (s.destination == Destination::Kept) return keptWord(w, param);
        const WordInfo* info = wordInfo(w);
        if (starred && starredDestination(w, info)) return;
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
        if (s.destination == Destination::Text && info && info->keptGroup) return keepGroup(w, false);
        if (s.destination == Destination::Text && (w == "defchp" || w == "defpap"))
            return startDefaults(w == "defpap" ? Destination::DefaultParagraph : Destination::DefaultFormat);
        if (info && info->skipped) {
            if (info->content) leaveOut(info->content);
            s.destination = Destination::Skip;
            return;
        }
        if (s.destination == Destination::Text && info && info->table && !(w == "itap" && param.value_or(1) == 0))
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
        if (s.destination == Destination::Skip || s.destination == Destination::Bookmark) return;

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
        switch (info ? info->handling : Handling::None) {
            case Handling::Setting: return documentSetting(w, param);
            case Handling::LeftOut:
                if (on) leaveOut(info->content);
                return;
            case Handling::ParagraphKept:
                keepParagraphWord(s.paragraphKept, w, param, info->tab);
                return paragraphFormatChanged();
            case Handling::CharacterKept: return keepCharacterWord(w, param, info->exclusive);
            case Handling::ComplexScript:
                s.complexFormatted = true;
                return;
            case Handling::None: break;
        }
        for (const auto& [word, member] : kSpacingWords)
            if (w == word) return setSpacing(member, param.value_or(0));
        if (w == "s" && param.value_or(0) > 0) return leaveOut("styles");
        if (w == "deff") defaultFont_ = param.value_or(0);
        else if (w == "plain") {
            takeCharacterDefaults(s);
            s.hidden = false;
            s.eastAsianFont = -1;
            s.complexFormatted = false;
            s.fontClass = FontClass::Any;
        } else if (w == "v") s.hidden = on;
        else if (w == "pard") {
            takeParagraphDefaults(s);
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
            forgetCharacterWords(kUnderlineGroup);
        } else if (w == "strike") s.format.strike = on;
        else if (w == "super") s.format.script = Script::Super;
        else if (w == "sub") s.format.script = Script::Sub;
        else if (w == "nosupersub") s.format.script = Script::Normal;
        else if (w == "caps") s.format.caps = on;
        else if (w == "scaps") s.format.smallCaps = on;
        else if (w == "fs") s.format.size = std::max(0, param.value_or(24)) / 2.0;
        else if (w == "f") {
            s.fontNumber = param.value_or(0);
            if (s.fontClass == FontClass::Double) s.eastAsianFont = s.fontNumber;
        } else if (w == "cf") s.format.colour = tableColour(param);
        else if (w == "highlight" || w == "cb") s.format.highlight = tableColour(param);
        else if (w == "ulc") s.format.underlineColour = tableColour(param);
        else if (w == "loch") s.fontClass = FontClass::Low;
        else if (w == "hich") s.fontClass = FontClass::High;
        else if (w == "dbch") s.fontClass = FontClass::Double;
        else if (w == "af") {
            // After \dbch the font of East Asian characters, after \loch or
            // \hich that of other characters the run's own font shows;
            // else that of complex-script characters.
            if (s.fontClass == FontClass::Double)
                s.eastAsianFont = param.value_or(0);
            else if (s.fontClass == FontClass::Any)
                s.complexFormatted = true;
        }
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
    // readers without it), in the text as in a kept group; false for every
    // other word.
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

    // A control word in a kept group, kept as it is.
    void keptWord(std::string_view w, std::optional<int> param) {
        if (unicodeWord(w, param)) return;
        flushBytes();
        kept_ += controlText(w, param) + ' ';
    }

    void documentSetting(std::string_view w, std::optional<int> param) {
        // Each once, as first given; the width and spacing of a column
        // (\colw, \colsr) once for each column (\colno).
        std::string key(w);
        if (w == "colno") columnNumber_ = param.value_or(0);
        if (w == "colno" || w == "colw" || w == "colsr") key += ' ' + std::to_string(columnNumber_);
        if (!settingsGiven_.insert(std::move(key)).second) return;
        doc_.settings += controlText(w, param);
    }

    // A paragraph word kept (kKeptParagraphWords): the words of tab stops
    // in their order, each other word once with the value last given (the
    // paragraph may restate what the document's default format gave it).
    static void keepParagraphWord(std::string& kept, std::string_view w, std::optional<int> param, bool tab) {
        const std::string text = controlText(w, param);
        if (!tab)
            for (auto word = nextControlWord(kept, 0); word; word = nextControlWord(kept, word->end))
                if (word->name == w) {
                    kept.replace(word->begin, word->end - word->begin, text);
                    return;
                }
        kept += text;
    }

    // A character word kept (kKeptCharacterWords, kUnderlineKinds), of
    // the set `exclusive` of kExclusiveCharacterWords (-1: none).
    void keepCharacterWord(std::string_view w, std::optional<int> param, int exclusive) {
        GroupState& s = state();
        if (exclusive >= 0) forgetCharacterWords(exclusive);
        if (exclusive == kUnderlineGroup) s.format.underline = param.value_or(1) != 0;
        if (w == "striked") s.format.strike = param.value_or(1) != 0;  // struck through twice
        KeptWords& kept = s.keptWords;
        const auto at = std::lower_bound(kept.begin(), kept.end(), w,
                                         [](const auto& k, std::string_view word) { return k.first < word; });
        const bool given = at != kept.end() && at->first == w;
        if (param && (*param == 0 || (w == "charscalex" && *param == 100))) {
            if (given) kept.erase(at);
        } else if (given) {
            at->second = param;
        } else {
            kept.emplace(at, std::string(w), param);
        }
    }

    // Forgets the kept words of the set `exclusive` of
    // kExclusiveCharacterWords.
    void forgetCharacterWords(int exclusive) {
        KeptWords& kept = state().keptWords;
        const std::set<std::string_view>& words = kExclusiveCharacterWords[static_cast<std::size_t>(exclusive)];
        kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const auto& k) { return words.count(k.first) > 0; }),
                   kept.end());
    }

    // The document's default character or paragraph format: the group
    // starts from the defaults in force and sets them when it ends.
    void startDefaults(Destination d) {
        GroupState& s = state();
        s.destination = d;
        defaultsDepth_ = stack_.size();
        if (d == Destination::DefaultFormat)
            takeCharacterDefaults(s);
        else
            takeParagraphDefaults(s);
    }

    // The group's character or paragraph format made the document's
    // default (\plain, \pard).
    void takeCharacterDefaults(GroupState& s) const {
        s.format = characterDefaults_.format;
        s.keptWords = characterDefaults_.keptWords;
        s.fontNumber = characterDefaults_.fontNumber;
    }
    void takeParagraphDefaults(GroupState& s) const {
        s.align = paragraphDefaults_.align;
        s.spacing = paragraphDefaults_.spacing;
        s.paragraphKept = paragraphDefaults_.kept;
    }

    // Text and paragraphs that give no format of their own in the groups
    // around take the new defaults.
    void setDefaults() {
        const GroupState& d = state();
        const auto update = [](auto& value, const auto& old, const auto& given) {
            if (value == old) value = given;
        };
        if (d.destination == Destination::DefaultFormat) {
            const CharacterDefaults given{d.format, d.keptWords, d.fontNumber};
            for (std::size_t k = 0; k + 1 < stack_.size(); ++k) {
                GroupState& g = stack_[k];
                update(g.format, characterDefaults_.format, given.format);
                update(g.keptWords, characterDefaults_.keptWords, given.keptWords);
                update(g.fontNumber, characterDefaults_.fontNumber, given.fontNumber);
            }
            characterDefaults_ = given;
        } else {
            const ParagraphDefaults given{d.align, d.spacing, d.paragraphKept};
            for (std::size_t k = 0; k + 1 < stack_.size(); ++k) {
                GroupState& g = stack_[k];
                update(g.align, paragraphDefaults_.align, given.align);
                update(g.spacing, paragraphDefaults_.spacing, given.spacing);
                update(g.paragraphKept, paragraphDefaults_.kept, given.kept);
            }
            paragraphDefaults_ = given;
        }
    }

    // Where a bookmark's group ends: it begins or ends here. One that marks
    // no text (it ends where it began) cannot be kept, except Word's mark
    // of the place last edited, which belongs to the editing session.
    void bookmarkMark() {
        std::string name = bookmarkName_;
        while (!name.empty() && name.back() == ' ') name.pop_back();
        while (!name.empty() && name.front() == ' ') name.erase(name.begin());
        if (name.empty() || name == "_GoBack") return;
        const auto open = std::find_if(bookmarks_.begin(), bookmarks_.end(),
                                       [&](const OpenBookmark& b) { return b.name == name; });
        if (bookmarkStarts_) {
            if (open == bookmarks_.end()) bookmarks_.push_back({name, emitted_});
            return;
        }
        if (open == bookmarks_.end()) return;  // an end without a beginning marks nothing
        if (open->from == emitted_) leaveOut("empty bookmarks");
        bookmarks_.erase(open);
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

    // A character given by "\u": text, or part of a font's name, of a kept
    // group or of a bookmark's name.
    void unicodeCharacter(char32_t c) {
        const Destination d = state().destination;
        if (d == Destination::FontTable)
            AppendUtf8(fontName_, c);
        else if (d == Destination::Kept)
            writeCharacter(kept_, c);
        else if (d == Destination::Bookmark)
            AppendUtf8(bookmarkName_, c);
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
        if (s.destination == Destination::Kept) return writeCharacter(kept_, c);
        if (s.destination == Destination::Bookmark) return AppendUtf8(bookmarkName_, c);
        if (s.destination == Destination::Skip) return;
        emit(c);
    }

    std::string fontName(int number) const {
        auto font = fonts_.find(number >= 0 ? number : defaultFont_);
        return font != fonts_.end() ? font->second : "";
    }

    // The character format in force, with its font's name, its kept words
    // and the bookmarks open.
    CharFormat currentFormat() const {
        const GroupState& s = stack_.back();
        CharFormat format = s.format;
        for (const auto& [word, value] : s.keptWords) format.kept += controlText(word, value);
        format.font = fontName(s.fontNumber);
        for (const OpenBookmark& b : bookmarks_) format.bookmarks.push_back(b.name);
        return format;
    }

    // The format of a paragraph without text: no bookmark marks it.
    static CharFormat markFormat(CharFormat format) {
        format.bookmarks.clear();
        return format;
    }

    // A character of a script whose font the file may give apart from the
    // run's: asked about where it does.
    void checkScriptFont(char32_t c) {
        const GroupState& s = state();
        if (isComplexScript(c)) {
            if (s.complexFormatted) leaveOut(kComplexScriptFonts);
        } else if (isEastAsian(c) && s.eastAsianFont >= 0 && s.eastAsianFont != s.fontNumber &&
                   fontName(s.eastAsianFont) != fontName(s.fontNumber)) {
            leaveOut(kEastAsianFonts);
        }
    }

    void emit(char32_t c) {
        GroupState& s = state();
        if (s.destination != Destination::Text) return;
        if (s.hidden) return leaveOut("hidden text");
        if (c >= 0x0590) checkScriptFont(c);
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
        ++emitted_;
    }

    void paragraphMark() {
        flushBytes();
        flushSurrogate();
        if (state().destination != Destination::Text) return;
        takeParagraphFormat();
        if (paragraph_.runs.empty()) paragraph_.mark = markFormat(currentFormat());
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
    bool starred_ = false;  // the group is an optional destination ("{\*") whose word comes next
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
    std::string kept_;            // the kept group read so far
    std::size_t keptDepth_ = 0;   // the depth of its group
    bool keptInfo_ = false;       // it is the document's information
    std::set<std::string, std::less<>> settingsGiven_;
    int columnNumber_ = 0;        // the column whose settings come (\colno)
    CharFormat finalFormat_;      // the format where the document's group ends
    bool finalFormatGiven_ = false;
    bool formatsMayDiffer_ = true;  // the text to come may take another format
    CharacterDefaults characterDefaults_;
    ParagraphDefaults paragraphDefaults_;
    std::size_t defaultsDepth_ = 0;  // the depth of the group of \defchp or \defpap
    struct OpenBookmark {
        std::string name;
        std::size_t from;  // the characters of text before it
    };
    std::vector<OpenBookmark> bookmarks_;  // in the order they began
    std::size_t bookmarkDepth_ = 0;
    bool bookmarkStarts_ = false;
    std::string bookmarkName_;
    std::size_t emitted_ = 0;  // the characters of text so far
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
        addColour(f->underlineColour);
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
        // Struck through twice (a kept \\striked) is no single stroke.
        if (f.strike && f.kept.find("\\striked") == std::string::npos) out += "\\strike";
        if (f.script == Script::Super) out += "\\super";
        if (f.script == Script::Sub) out += "\\sub";
        if (f.caps) out += "\\caps";
        if (f.smallCaps) out += "\\scaps";
        if (f.colour) out += "\\cf" + colourNumber(*f.colour);
        if (f.highlight) out += "\\highlight" + colourNumber(*f.highlight);
        if (f.underlineColour) out += "\\ulc" + colourNumber(*f.underlineColour);
        out += f.kept;
        out += ' ';
    };

    // Room for the whole text at once: a document of many runs would
    // otherwise be copied at every doubling of its size.
    std::size_t room = 256 + document.info.size() + document.properties.size() + document.settings.size();
    for (const Paragraph& p : document.paragraphs) {
        room += 64 + p.kept.size();
        for (const Run& r : p.runs) room += 48 + 2 * r.text.size() + r.format.kept.size();
    }
    std::string out;
    out.reserve(room);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
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
    const std::string documentGroups = document.info + document.properties + document.settings;
    if (!documentGroups.empty()) out += documentGroups + "\r\n";

    // A bookmark begins before the first character of the text it marks
    // and ends after its last; a name that marks text in two places (a
    // copy) is written where it first begins.
    std::vector<const Run*> texts;
    for (const Paragraph& p : document.paragraphs)
        for (const Run& r : p.runs)
            if (!r.text.empty()) texts.push_back(&r);
    std::set<std::string> begun;
    std::vector<std::string> open;
    std::size_t next = 0;  // the run of `texts` written next
    const auto bookmarkGroup = [&](const char* word, const std::string& name) {
        out += "{\\*\\";
        out += word;
        out += ' ';
        writeText(out, name);
        out += '}';
    };

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
            for (const std::string& name : r.format.bookmarks)
                if (begun.insert(name).second) {
                    bookmarkGroup("bkmkstart", name);
                    open.push_back(name);
                }
            writeFormat(out, r.format);
            writeText(out, r.text);
            ++next;
            const Run* following = next < texts.size() ? texts[next] : nullptr;
            for (auto name = open.begin(); name != open.end();) {
                const std::vector<std::string>* marks = following ? &following->format.bookmarks : nullptr;
                if (marks && std::find(marks->begin(), marks->end(), *name) != marks->end()) {
                    ++name;
                    continue;
                }
                bookmarkGroup("bkmkend", *name);
                name = open.erase(name);
            }
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

std::vector<TabStop> ParagraphTabStops(std::string_view kept) {
    std::vector<TabStop> stops;
    TabAlign align = TabAlign::Left;
    for (auto word = nextControlWord(kept, 0); word; word = nextControlWord(kept, word->end)) {
        const std::string_view name = word->name;
        if (name == "tqr") align = TabAlign::Right;
        else if (name == "tqc") align = TabAlign::Center;
        else if (name == "tqdec") align = TabAlign::Decimal;
        else if (name == "tx" || name == "tb") {
            if (name == "tx" && word->value && *word->value > 0) stops.push_back({*word->value, align});
            align = TabAlign::Left;
        }
    }
    std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    stops.erase(std::unique(stops.begin(), stops.end(),
                            [](const TabStop& a, const TabStop& b) { return a.position == b.position; }),
                stops.end());
    return stops;
}

int DefaultTabDistance(std::string_view settings) {
    int distance = 0;
    for (auto word = nextControlWord(settings, 0); word; word = nextControlWord(settings, word->end))
        if (word->name == "deftab" && word->value) distance = std::max(0, *word->value);
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
