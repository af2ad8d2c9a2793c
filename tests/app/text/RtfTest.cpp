// The RTF reader and writer: a document as another editor writes it, with
// what the model does not hold; what the writer writes reads back the same;
// damaged files read as far as they go.
#include "Rtf.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace kx::text::rtf;
namespace rtf = kx::text::rtf;

namespace {

CharFormat plainIn(const std::string& font, double size) {
    CharFormat f;
    f.font = font;
    f.size = size;
    return f;
}

Paragraph paragraph(std::vector<rtf::Run> runs, Align align = Align::Left) {
    Paragraph p;
    p.runs = std::move(runs);
    p.align = align;
    return p;
}

TEST(RtfReader, TakesTextAndFormattingAndSkipsTheRest) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}{\\f1\\fswiss\\fprq2{\\*\\panose 020b0604020202020204}Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}{\\info{\\author Someone}}\\viewkind4\\uc1 \r\n"
        "{\\stylesheet{\\s0 Normal;}}"
        "\\pard\\sa200\\sl276\\slmult1\\f0\\fs20 Plain \\b bold\\b0  \\i\\f1\\fs28 italic\\i0\\par\r\n"
        "\\pard\\qc\\cf1 r\\'e9d \\u8364?\\cf2 green\\cf0\\tab x\\line y\\unknownword42 z{\\pict\\wmetafile8 0102}\\par\r\n"
        "\\pard\\ul under\\ulnone  \\{brace\\} \\\\\\par\r\n"
        "}";
    const Document doc = Read(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 4u);

    CharFormat courier = plainIn("Courier New", 10), bold = courier, arial = plainIn("Arial", 14);
    bold.bold = true;
    arial.italic = true;
    EXPECT_EQ(doc.paragraphs[0].runs,
              (std::vector<rtf::Run>{{"Plain ", courier}, {"bold", bold}, {" ", courier}, {"italic", arial}}));
    EXPECT_EQ(doc.paragraphs[0].align, Align::Left);

    CharFormat red = plainIn("Arial", 14), green = red, normal = red;
    red.colour = 0xFF0000;
    green.colour = 0x008000;
    EXPECT_EQ(doc.paragraphs[1].runs, (std::vector<rtf::Run>{{"r\xC3\xA9" "d \xE2\x82\xAC", red},
                                                        {"green", green},
                                                        {"\tx\xE2\x80\xA8yz", normal}}));
    EXPECT_EQ(doc.paragraphs[1].align, Align::Center);

    CharFormat under = normal;
    under.underline = true;
    EXPECT_EQ(doc.paragraphs[2].runs, (std::vector<rtf::Run>{{"under", under}, {" {brace} \\", normal}}));
    EXPECT_EQ(doc.paragraphs[2].align, Align::Left);
    EXPECT_TRUE(doc.paragraphs[3].runs.empty());
}

TEST(RtfReader, DamagedFilesReadAsFarAsTheyGo) {
    struct Case {
        std::string rtf, text;
    };
    for (const Case& c : {Case{"{\\rtf1 abc", "abc"}, Case{"{\\rtf1 ab}}}c}", "ab"}, Case{"{\\rtf1 a\\'e", "a"},
                          Case{"{\\rtf1 x\\", "x"}, Case{"{\\rtf1 {{{deep", "deep"}, Case{"{\\rtf1 a\\u", "a"},
                          Case{"{\\rtf1\\fs-4 \\cf99 \\f77 q}", "q"}, Case{"{\\rtf1 \\bin3 {}{ok}", "ok"}}) {
        SCOPED_TRACE(c.rtf);
        Document doc;
        EXPECT_NO_THROW(doc = Read(c.rtf));
        ASSERT_FALSE(doc.paragraphs.empty());
        std::string text;
        for (const rtf::Run& r : doc.paragraphs[0].runs) text += r.text;
        EXPECT_EQ(text, c.text);
    }
}

TEST(RtfReader, GroupsNestedDeeperThanAnyDocumentStillCloseInOrder) {
    const std::string rtf = "{\\rtf1 a{\\b b" + std::string(3000, '{') + "c" + std::string(3000, '}') + "d}e}";
    const Document doc = Read(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    std::string plain, bold;
    for (const rtf::Run& r : doc.paragraphs[0].runs) (r.format.bold ? bold : plain) += r.text;
    EXPECT_EQ(bold, "bcd");
    EXPECT_EQ(plain, "ae");
}

TEST(RtfWriter, WhatIsWrittenReadsBackTheSame) {
    CharFormat base = plainIn("Courier New", 10), bold = base, big = plainIn("Times New Roman", 18), red = base;
    bold.bold = true;
    big.italic = true;
    big.underline = true;
    red.colour = 0xC01020;
    CharFormat marked = plainIn("Arial", 11.5), spaced = base;
    marked.caps = true;
    marked.highlight = 0xFFFF00;
    marked.colour = 0xFFFF00;
    spaced.smallCaps = true;
    spaced.underline = true;
    spaced.kept = "\\expndtw20\\lang1031\\uldb";
    Document doc;
    doc.paragraphs = {
        paragraph({{"Special: \\ { } \ttab", base}, {" bold", bold}, {" big", big}}),
        paragraph({{"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x80 line\xE2\x80\xA8" "break", red}}, Align::Right),
        paragraph({}, Align::Center),
        paragraph({{"indented", marked}, {" and spaced", spaced}}),
        paragraph({{"exactly", base}}),
        paragraph({{"last", bold}}, Align::Justify),
    };
    doc.paragraphs[2].mark = big;
    doc.paragraphs[3].spacing = {720, 360, -360, 120, 240, 360, true};
    doc.paragraphs[3].kept = "\\keepn\\tqr\\tldot\\tx4320";
    doc.paragraphs[4].spacing.line = -300;
    doc.info = "{\\info{\\title A \\'e9t\\u8364?}{\\author B}{\\creatim \\yr2024 \\mo3 }}";
    doc.settings = "\\paperw11906\\paperh16838\\margl1134\\landscape";
    const std::string rtf = Write(doc, "Courier New", 10);
    EXPECT_TRUE(LooksLikeRtf(rtf));
    for (char c : rtf) EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "RTF is 7-bit text";
    EXPECT_EQ(Read(rtf), doc);
}

// A run without a size of its own: in the file, RTF's 12 points, kept
// whatever the default size of the writer; as plain text given, the
// default.
TEST(RtfWriter, RunsWithoutFontOrSizeTakeTheDefaults) {
    Document doc;
    doc.paragraphs = {paragraph({{"text", CharFormat{}}})};
    const Document back = Read(Write(doc, "Courier New", 11));
    EXPECT_EQ(back.paragraphs.at(0).runs, (std::vector<rtf::Run>{{"text", plainIn("Courier New", 11)}}));

    const Document read = Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 none {\\fs20 ten} \\plain again}");
    std::vector<double> sizes;
    for (const rtf::Run& r : read.paragraphs.at(0).runs) sizes.push_back(r.format.size);
    EXPECT_EQ(sizes, (std::vector<double>{12, 10, 12}));
    EXPECT_EQ(Read(Write(read, "Courier New", 11)).paragraphs.at(0).runs.front().format.size, 12);

    // A document can give text without a size a default of its own.
    const Document sized =
        Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\defchp \\fs22}\\f0 none {\\fs20 ten} \\plain again\\par}");
    sizes.clear();
    for (const rtf::Run& r : sized.paragraphs.at(0).runs) sizes.push_back(r.format.size);
    EXPECT_EQ(sizes, (std::vector<double>{11, 10, 11}));
    EXPECT_EQ(sized.paragraphs.at(1).mark.size, 11);
}

// The text of the first paragraph.
std::string firstText(const Document& doc) {
    std::string text;
    for (const rtf::Run& r : doc.paragraphs.at(0).runs) text += r.text;
    return text;
}

TEST(RtfReader, FontNamesGivenAsUnicodeReadBackWhole) {
    const Document doc = Read("{\\rtf1\\uc1{\\fonttbl{\\f0\\fnil Caf\\u233?;}{\\f1 \\u321?\\u243?d\\u378?;}}"
                              "\\f0 a\\f1 b}");
    ASSERT_EQ(doc.paragraphs.at(0).runs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, "Caf\xC3\xA9");
    EXPECT_EQ(doc.paragraphs[0].runs[1].format.font, "\xC5\x81\xC3\xB3" "d\xC5\xBA");

    // What the writer makes of such a name reads back the same.
    Document named;
    CharFormat lodz;
    lodz.font = "\xC5\x81\xC3\xB3" "d\xC5\xBA Sans";
    named.paragraphs = {paragraph({{"x", lodz}})};
    EXPECT_EQ(Read(Write(named, "Caf\xC3\xA9", 10)).paragraphs.at(0).runs.at(0).format.font, lodz.font);
}

// True when the bytes are well-formed UTF-8 of characters (no surrogates,
// nothing beyond U+10FFFF).
bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : b >= 0xC2 && b < 0xE0 ? 1 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xF0 && b < 0xF5 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) return false;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80) return false;
            c = c << 6 | (n & 0x3F);
        }
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c < 0xE000))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

TEST(RtfReader, UnicodeValuesThatAreNoCharacterReadAsReplacement) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string body, text;
    };
    for (const Case& c : {Case{"a\\u1114112?b", "a" + fffd + "b"},        // U+110000
                          Case{"a\\u2147483647?b", "a" + fffd + "b"},      // the largest value
                          Case{"a\\u-2147483647?b", "a" + fffd + "b"},     // far below -32768
                          Case{"a\\u56832?b", "a" + fffd + "b"},           // a low half alone
                          Case{"a\\u55357?b", "a" + fffd + "b"},           // a high half alone
                          Case{"\\u55357?\\u65?", fffd + "A"},            // a high half, then a letter
                          Case{"\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},  // a pair
                          Case{"\\u1114111?", "\xF4\x8F\xBF\xBF"}}) {     // U+10FFFF itself
        SCOPED_TRACE(c.body);
        const Document doc = Read("{\\rtf1\\uc1 " + c.body + "}");
        EXPECT_EQ(firstText(doc), c.text);
        EXPECT_TRUE(validUtf8(firstText(doc)));
    }
    // In a font name as well.
    const Document font = Read("{\\rtf1{\\fonttbl{\\f0 X\\u1114112?;}}\\f0 t}");
    EXPECT_EQ(font.paragraphs.at(0).runs.at(0).format.font, "X" + fffd);
}

// A high half of a pair that a paragraph mark or the end of its group
// follows stays where it stood, as U+FFFD: in its paragraph, in its font's
// name, and at the end of the document.
TEST(RtfReader, AHighHalfWithoutItsLowHalfStaysWhereItStood) {
    const std::string fffd = "\xEF\xBF\xBD";
    const Document paragraphs = Read("{\\rtf1\\uc1 a\\u55357?\\par b}");
    ASSERT_EQ(paragraphs.paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs.paragraphs[0].runs.at(0).text, "a" + fffd);
    EXPECT_EQ(paragraphs.paragraphs[1].runs.at(0).text, "b");

    const Document font = Read("{\\rtf1\\uc1{\\fonttbl{\\f0 X\\u55357?}}\\f0 t}");
    EXPECT_EQ(font.paragraphs.at(0).runs.at(0).format.font, "X" + fffd);
    EXPECT_EQ(font.paragraphs[0].runs[0].text, "t");

    EXPECT_EQ(firstText(Read("{\\rtf1\\uc1 a\\u55357?}")), "a" + fffd);
}

TEST(RtfReader, TellsWhenTheFileHoldsContentTheModelLeavesOut) {
    struct Case {
        const char* what;
        std::string body;
        bool leavesOut;
        std::vector<std::string> kinds = {};
        std::string text = "";
    };
    const std::string picture = "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a}";
    const std::string table = "\\trowd\\cellx1000\\cellx2000 \\intbl one\\cell two\\cell\\row\\pard ";
    const std::vector<std::string> picturesTables = {"pictures/tables"};
    for (const Case& c : {Case{"a picture", "x" + picture + "y", true, picturesTables},
                          Case{"a picture as a shape", "{\\*\\shppict" + picture + "}{\\nonshppict" + picture + "}", true},
                          Case{"a table", table, true},
                          Case{"a picture and a table", picture + table, true, picturesTables},
                          Case{"a header and a footnote", "{\\header x}{\\footnote y}z", true,
                               {"headers/footers", "footnotes"}},
                          Case{"hidden text, not shown", "a{\\v hidden}b\\v c\\v0 d", true, {"hidden text"}, "abd"},
                          Case{"page and section breaks", "a\\page b\\sect c", true, {"page and section breaks"}},
                          Case{"an embedded object", "{\\object\\objemb{\\*\\objdata 0102}}", true},
                          Case{"a header", "{\\header \\pard page top\\par}text", true},
                          Case{"a footnote", "text{\\super\\chftn{\\footnote\\pard note}}", true},
                          Case{"a link", "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}}", true},
                          Case{"formatted text", "{\\b bold}\\par\\qc centre\\tab x\\line y", false},
                          Case{"a style sheet and information",
                               "{\\stylesheet{\\s0 Normal;}}{\\info{\\author A}}{\\*\\generator G;}text", false},
                          Case{"no table (\\itap0)", "\\itap0 text", false},
                          Case{"paragraph styles", "{\\stylesheet{\\s1 Heading;}}\\pard\\s1 Title\\par\\pard\\s0 text", true,
                               {"styles"}, "Title"},
                          Case{"a character style", "{\\cs10 link}", true, {"styles"}},
                          Case{"the default styles", "\\pard\\s0 x{\\cs0 y}", false},
                          Case{"a list", "{\\*\\listtable{\\list}}\\pard\\ls1\\ilvl0 {\\listtext 1.\\tab}item", true,
                               {"list formatting"}, "1.\titem"},
                          Case{"an old-style list", "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}item", true,
                               {"list formatting"}, "1.\titem"},
                          Case{"a border", "\\pard\\brdrb\\brdrs\\brdrw10 ruled", true, {"shading/borders"}},
                          Case{"shading", "\\pard\\shading2000\\cbpat1 grey", true, {"shading/borders"}},
                          Case{"tracked changes", "kept{\\deleted  gone}", true, {"tracked changes"}, "kept gone"},
                          Case{"a column break", "a\\column b", true, {"page and section breaks"}},
                          Case{"a text frame", "\\pard\\posx720\\absw2000 framed\\par\\pard text", true, {"text frames"}},
                          Case{"formatting kept as given",
                               "{\\info{\\title t}}\\paperw11906\\landscape\\pard\\li720\\keepn\\tx720 "
                               "{\\caps\\outl\\uldb\\highlight1 x}",
                               false}}) {
        SCOPED_TRACE(c.what);
        const Document doc = Read("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + c.body + "}");
        EXPECT_EQ(doc.LeavesOutContent(), c.leavesOut);
        EXPECT_EQ(doc.leftOut.empty(), !c.leavesOut);
        if (!c.kinds.empty()) {
            EXPECT_EQ(doc.leftOut, c.kinds);
        }
        if (!c.text.empty()) {
            EXPECT_EQ(firstText(doc), c.text);
        }
    }
    // The writer writes only what the model holds.
    const Document read = Read("{\\rtf1 a" + picture + table + "}");
    EXPECT_FALSE(Read(Write(read, "Arial", 10)).LeavesOutContent());
}

// What the window does not show of a document is carried over as the file
// gives it: the document's information and settings, paragraph and
// character control words; indents, spacing, capitals and highlight are
// the model's own.
TEST(RtfReader, KeepsTheFormattingTheWindowDoesNotShow) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red255\\green255\\blue0;}\r\n"
        "{\\*\\generator Riched20;}{\\info{\\title \\'cf\\'f0\\'ee\\'e1\\'e0 {\\b}}{\\author A\\uc0\\u8364 }{\\*\\company Lab}"
        "{\\creatim\\yr2024\\mo5\\dy2}}\r\n"
        "\\paperw11906\\paperh16838\\margl1134\\margr850\\landscape\\deftab708\\viewkind4\\uc1\\paperw1\r\n"
        "\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\keepn\\tqr\\tx4320\\f0\\fs22 Indented\\par\r\n"
        "\\pard\\caps caps\\caps0  {\\scaps small} {\\highlight1 marked} {\\outl\\lang1049 out}{\\uldb double}"
        "{\\up6\\dn4 low}\\par}";
    const Document doc = Read(rtf);
    EXPECT_FALSE(doc.LeavesOutContent());
    EXPECT_EQ(doc.info,
              "{\\info{\\title \\u1055?\\u1088?\\u1086?\\u1073?\\u1072? {\\b }}{\\author A\\u8364?}{\\*\\company Lab}"
              "{\\creatim \\yr2024 \\mo5 \\dy2 }}");
    EXPECT_EQ(doc.settings, "\\paperw11906\\paperh16838\\margl1134\\margr850\\landscape\\deftab708\\viewkind4");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    const Paragraph& indented = doc.paragraphs[0];
    EXPECT_EQ(indented.spacing, (Spacing{720, 360, -360, 120, 240, 360, true}));
    EXPECT_EQ(indented.kept, "\\keepn\\tqr\\tx4320");
    EXPECT_EQ(indented.runs.at(0).format.size, 11);
    EXPECT_EQ(doc.paragraphs[1].spacing, Spacing{});
    EXPECT_EQ(doc.paragraphs[1].kept, "");

    std::map<std::string, CharFormat> formats;
    for (const rtf::Run& r : doc.paragraphs[1].runs) formats[r.text] = r.format;
    EXPECT_TRUE(formats.at("caps").caps);
    EXPECT_FALSE(formats.at(" ").caps);
    EXPECT_TRUE(formats.at("small").smallCaps);
    EXPECT_EQ(formats.at("marked").highlight, std::optional<std::uint32_t>(0xFFFF00));
    EXPECT_EQ(formats.at("out").kept, "\\lang1049\\outl");
    EXPECT_TRUE(formats.at("double").underline);
    EXPECT_EQ(formats.at("double").kept, "\\uldb");
    EXPECT_EQ(formats.at("low").kept, "\\dn4");

    // Written, all of it reads back the same.
    EXPECT_EQ(Read(Write(doc, "Courier New", 10)), doc);
}

// What a word processor writes beyond the model's text and formats: each
// kind is carried over by an edited save (the model written reads back the
// same and the file written holds it) or named as content the window
// cannot keep; what only ids an editing session or the writing program's
// own tables is neither.
TEST(RtfReader, KeepsWhatAWordProcessorWritesOrNamesIt) {
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> written = {};  // in the file written, in this order
        std::vector<std::string> asked = {};    // Document::leftOut
    };
    const std::string colours = "{\\colortbl ;\\red255\\green0\\blue0;}";
    for (const Case& c : {
             Case{"a bookmark at its place", "one {\\*\\bkmkstart Result}two{\\*\\bkmkend Result} three",
                  {"one ", "{\\*\\bkmkstart Result}", "two", "{\\*\\bkmkend Result}", " three"}},
             Case{"a bookmark over two paragraphs", "a{\\*\\bkmkstart Both}b\\par c{\\*\\bkmkend Both}d",
                  {"a", "{\\*\\bkmkstart Both}", "b", "\\par", "c", "{\\*\\bkmkend Both}", "d"}},
             Case{"bookmarks that overlap", "{\\*\\bkmkstart A}x{\\*\\bkmkstart B}y{\\*\\bkmkend A}z{\\*\\bkmkend B}",
                  {"{\\*\\bkmkstart A}", "x", "{\\*\\bkmkstart B}", "y", "{\\*\\bkmkend A}", "z", "{\\*\\bkmkend B}"}},
             Case{"a bookmark that marks no text", "a{\\*\\bkmkstart Here}{\\*\\bkmkend Here}b", {}, {"empty bookmarks"}},
             Case{"the editor's mark of the last edit", "a{\\*\\bkmkstart _GoBack}{\\*\\bkmkend _GoBack}b"},
             Case{"an underline's colour", colours + "{\\ul\\ulc1 red line}", {"\\ul", "\\ulc1", "red line"}},
             Case{"page numbers and a title page",
                  "\\sectd\\pgnrestart\\pgnlcrm\\pgnstarts3\\titlepg\\pgnx720\\pgny720\\headery708 text",
                  {"\\pgnrestart\\pgnlcrm\\pgnstarts3\\titlepg\\pgnx720\\pgny720\\headery708", "text"}},
             Case{"other styles of page numbers", "\\pgnucrm\\pgndec\\pgnlcltr\\pgnucltr\\pgncont text",
                  {"\\pgnucrm\\pgndec\\pgnlcltr\\pgnucltr\\pgncont"}},
             Case{"columns of their own widths", "\\cols2\\colno1\\colw4000\\colsr720\\colno2\\colw5000 text",
                  {"\\cols2\\colno1\\colw4000\\colsr720\\colno2\\colw5000"}},
             Case{"user properties and document variables",
                  "{\\*\\userprops {\\propname Project}\\proptype30{\\staticval Flame \\'e9}}"
                  "{\\*\\docvar {Version}{2}}text",
                  {"{\\*\\userprops{\\propname Project}\\proptype30 {\\staticval Flame \\'e9}}{\\*\\docvar{Version}{2}}",
                   "text"}},
             Case{"the information with its Unicode alternative",
                  "{\\upr{\\info{\\title Caf\\'e9}}{\\*\\ud{\\info{\\title Caf\\u233?\\u8364?}}}}text",
                  {"{\\upr{\\info {\\title Caf\\'e9}}{\\*\\ud {\\info {\\title Caf\\'e9\\u8364?}}}}", "text"}},
             Case{"the document's default paragraph format", "{\\*\\defpap \\qc\\sa200\\sl276\\slmult1\\wrapdefault}\\pard text",
                  {"\\pard\\qc\\sa200\\sl276\\slmult1\\wrapdefault", "text"}},
             Case{"the document's default character format",
                  "{\\*\\defchp \\f1\\fs22\\lang1031}\\pard text{\\f0\\plain  plain}",
                  {"Courier New;", "\\fs22\\lang1031 text"}},
             Case{"the layout options of a word processor",
                  "\\widowctrl\\ftnbj\\aenddoc\\trackmoves0\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul"
                  "\\htmautsp\\lnbrkrule\\wrppunct\\snaptogridincell\\jexpand\\formshade\\dgmargin text",
                  {"\\widowctrl\\ftnbj\\aenddoc\\trackmoves0\\expshrtn\\noultrlspc\\dntblnsbdb\\nospaceforul"
                   "\\htmautsp\\lnbrkrule\\wrppunct\\snaptogridincell\\jexpand\\formshade\\dgmargin"}},
             Case{"paragraph words of a word processor", "\\pard\\qd\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright"
                  "\\rin0\\lin0\\itap0 text",
                  {"\\pard\\qd\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0", "text"}},
             Case{"character words of a word processor", "{\\ltrch\\cgrid\\langfe1033\\striked1 struck twice}",
                  {"\\cgrid\\langfe1033\\ltrch\\striked1 struck twice"}},
             Case{"ids of editing sessions and the program's tables",
                  "{\\*\\rsidtbl \\rsid1\\rsid2}{\\*\\generator W;}{\\*\\themedata 0102}{\\*\\colorschememapping 03}"
                  "{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept Normal;}}{\\*\\pnseclvl1\\pnucrm\\pnstart1}"
                  "{\\*\\listtable{\\list\\listid1}}{\\*\\xmlnstbl {\\xmlns1 x}}\\pard\\pararsid1 "
                  "{\\rtlch\\fcs1 \\af0\\afs22 \\ltrch\\fcs0 \\insrsid2\\charrsid1 \\hich\\af0\\dbch\\af1\\loch\\f0 text}"},
             Case{"right-to-left text in a font of its own",
                  "{\\rtlch\\fcs1 \\af1\\afs28 \\ltrch\\fcs0 \\f0 \\u1513?\\u1500?\\u1493?\\u1501?}", {},
                  {"right-to-left and complex-script fonts"}},
             Case{"East Asian text in a font of its own", "{\\loch\\af0\\hich\\af0\\dbch\\af1\\loch\\f0 \\u20320?\\u22909?}",
                  {}, {"East Asian fonts"}},
             Case{"East Asian text in the run's font", "{\\loch\\af0\\hich\\af0\\dbch\\f1 \\u20320?\\u22909?}"},
             Case{"an equation", "a{\\mmath{\\*\\moMathPara{\\*\\moMath{\\mr x}}}}b", {}, {"equations"}},
             Case{"index and table of contents entries", "a{\\xe {entry}}{\\tc {heading}}b", {},
                  {"index entries", "table of contents entries"}},
             Case{"a page border", "\\pgbrdrt\\brdrs\\brdrw10 text", {}, {"shading/borders"}},
             Case{"a formatting change tracked", "{\\*\\oldcprops \\b}x", {}, {"tracked changes"}},
         }) {
        SCOPED_TRACE(c.what);
        const Document doc = Read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}" + c.body + "}");
        EXPECT_EQ(doc.leftOut, c.asked);
        if (!c.asked.empty()) continue;
        const std::string written = Write(doc, "Arial", 12);
        std::size_t at = 0;
        for (const std::string& part : c.written) {
            const std::size_t found = written.find(part, at);
            EXPECT_NE(found, std::string::npos) << part << " in " << written;
            if (found != std::string::npos) at = found + part.size();
        }
        EXPECT_EQ(Read(written), doc) << written;
    }
}

// A bookmark's text keeps it wherever the model's runs and paragraphs go:
// in the runs it covers, not in the format of a paragraph's end, and a
// name copied to a second place is written once.
TEST(RtfReader, BookmarksLieInTheTextTheyMark) {
    const Document doc = Read("{\\rtf1 a{\\*\\bkmkstart B}{\\b b}\\par\\par c{\\*\\bkmkend B}d}");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    std::vector<std::pair<std::string, std::vector<std::string>>> marked;
    for (const Paragraph& p : doc.paragraphs)
        for (const rtf::Run& r : p.runs) marked.emplace_back(r.text, r.format.bookmarks);
    const std::vector<std::string> b = {"B"};
    EXPECT_EQ(marked, (std::vector<std::pair<std::string, std::vector<std::string>>>{
                          {"a", {}}, {"b", b}, {"c", b}, {"d", {}}}));
    EXPECT_TRUE(doc.paragraphs[1].mark.bookmarks.empty());

    Document copied = doc;
    copied.paragraphs[2].runs.push_back(doc.paragraphs[0].runs.back());
    const std::string written = Write(copied, "Arial", 12);
    EXPECT_EQ(written.find("bkmkstart B"), written.rfind("bkmkstart B"));
    EXPECT_EQ(written.find("bkmkend B"), written.rfind("bkmkend B"));
}

// A document of paragraphs of plain runs, each paragraph split into runs
// at "|".
Document paragraphsOf(const std::vector<std::string>& texts) {
    Document doc;
    for (const std::string& text : texts) {
        Paragraph p;
        std::size_t from = 0;
        for (std::size_t bar; (bar = text.find('|', from)) != std::string::npos; from = bar + 1)
            p.runs.push_back({text.substr(from, bar - from), CharFormat{}});
        p.runs.push_back({text.substr(from), CharFormat{}});
        doc.paragraphs.push_back(p);
    }
    return doc;
}

TEST(RtfCharacters, NamesWhatTheEditorDidNotGiveBack) {
    struct Case {
        const char* what;
        std::vector<std::string> read, held;
        std::u32string lost;
    };
    for (const Case& c : {
             Case{"the same characters in other runs", {"ab|c", "d"}, {"a|bc", "d"}, U""},
             Case{"a CR made a paragraph break", {"a\rb"}, {"a", "b"}, U"\r"},
             Case{"CR LF made one break", {"a\r\nb"}, {"a", "b"}, U"\r\n"},
             Case{"a character dropped at a run's start", {"x|\xEF\xBB\xBFy"}, {"x|y"}, U"\uFEFF"},
             Case{"several, each once, in their order",
                  {"a\xEF\xB7\x90" "b\xE2\x80\xA9" "c\xEF\xB7\x90"}, {"a", "b", "c", ""}, U"\uFDD0\u2029"},
             Case{"a paragraph break lost", {"a", "b"}, {"ab"}, U"\u2029"},
             Case{"the same characters in another order", {"ab"}, {"ba"}, U"a"},
         }) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CharactersNotKept(paragraphsOf(c.read), paragraphsOf(c.held)), c.lost);
    }
    EXPECT_EQ(CodePointNames(U"\r\uFEFF\U0001F600"), "U+000D, U+FEFF, U+1F600");
}

// "\\'hh" and bytes beyond ASCII mean the characters of the code page in
// force: the font's character set, else the document's code page; control
// words for characters read as those characters.
TEST(RtfReader, ReadsCharactersAsTheFileMeansThem) {
    struct Case {
        const char* what;
        std::string rtf, text;
    };
    const std::string fonts = "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial CYR;}{\\f2\\fcharset2 Symbol;}"
                              "{\\f3\\fcharset238\\cpg1251 Both;}}";
    for (const Case& c : {
             Case{"the document's code page", "{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1\xe2}", "\xD0\xB0\xD0\xB1\xD0\xB2"},
             Case{"no code page: Windows-1252", "{\\rtf1 \\'e0\\'80}", "\xC3\xA0\xE2\x82\xAC"},
             Case{"a font's character set", "{\\rtf1\\ansi" + fonts + "\\f1 \\'e0{\\f0 \\'e0}{\\f2 \\'61}\\f3 \\'e0}",
                  "\xD0\xB0\xC3\xA0" "a\xD0\xB0"},
             Case{"two-byte characters, second bytes as they stand",
                  "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'83@\\'83\\\\x}", "\xE3\x81\x82\xE3\x82\xA1\xE3\x82\xBD" "x"},
             Case{"a two-byte character cut short", "{\\rtf1\\ansi\\ansicpg932 a{\\'82}b}", "a\xEF\xBF\xBD" "b"},
             Case{"UTF-8 as the code page", "{\\rtf1\\ansi\\ansicpg65001 \\'ce\\'b1}", "\xCE\xB1"},
             Case{"Macintosh and PC", "{\\rtf1\\mac \\'8e{\\pc \\'82}}", "\xC3\xA9\xC3\xA9"},
             Case{"a \\u fallback skipped in its code page", "{\\rtf1\\ansi\\ansicpg1251\\uc1 \\u1073\\'e1 \\'e0}",
                  "\xD0\xB1 \xD0\xB0"},
             Case{"a font name in its code page",
                  "{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}\\f0 x}", "x"},
             Case{"spaces, joiners, marks and the optional hyphen",
                  "{\\rtf1 a\\emspace b\\enspace c\\qmspace d\\zwbo e\\zwnj f\\zwj g\\ltrmark h\\rtlmark i\\zwnbo j\\-k}",
                  "a\u2003" "b\u2002" "c\u2005" "d\u200B" "e\u200C" "f\u200D" "g\u200E" "h\u200F" "i\uFEFF" "j\u00AD" "k"},
         }) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(firstText(Read(c.rtf)), c.text);
    }
    const Document named = Read("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}\\f0 x}");
    EXPECT_EQ(named.paragraphs.at(0).runs.at(0).format.font, "\xEF\xBC\xAD\xEF\xBC\xB3");  // "ＭＳ"
}

TEST(RtfReader, SubscriptsSuperscriptsAndStrikeThroughReadAndWriteBack) {
    const Document doc = Read("{\\rtf1 H{\\sub 2}O cm\\super 3\\nosupersub  \\strike old\\strike0 }");
    std::vector<std::pair<std::string, Script>> scripts;
    for (const rtf::Run& r : doc.paragraphs.at(0).runs) scripts.emplace_back(r.text, r.format.script);
    EXPECT_EQ(scripts, (std::vector<std::pair<std::string, Script>>{{"H", Script::Normal},
                                                                    {"2", Script::Sub},
                                                                    {"O cm", Script::Normal},
                                                                    {"3", Script::Super},
                                                                    {" ", Script::Normal},
                                                                    {"old", Script::Normal}}));
    EXPECT_TRUE(doc.paragraphs[0].runs.back().format.strike);
    EXPECT_FALSE(doc.paragraphs[0].runs[4].format.strike);
    EXPECT_EQ(Read(Write(doc, "Arial", 10)).paragraphs.at(0).runs.size(), 6u);
    Document back = Read(Write(doc, "Arial", 10));
    for (rtf::Run& r : back.paragraphs[0].runs) r.format.font.clear();
    EXPECT_EQ(back, doc);
}

TEST(RtfCharacters, TheQuestionNamesWhatWouldBeLost) {
    EXPECT_EQ(LossQuestion({}, U""), "");
    EXPECT_EQ(LossQuestion({"pictures/tables"}, U""),
              "This document holds pictures/tables that this window cannot keep; saving will remove them.");
    EXPECT_EQ(LossQuestion({"footnotes", "hidden text", "fields"}, U""),
              "This document holds footnotes, hidden text and fields that this window cannot keep; saving will remove "
              "them.");
    EXPECT_EQ(LossQuestion({"hidden text"}, U""),
              "This document holds hidden text that this window cannot keep; saving will remove it.");
    EXPECT_EQ(LossQuestion({}, U"\r"),
              "This document holds characters that this window cannot keep as they are (U+000D); saving will change them.");
    EXPECT_EQ(LossQuestion({"comments", "fields"}, U"\uFDD0\u2029"),
              "This document holds comments and fields that this window cannot keep; saving will remove them.\r\n\r\n"
              "It also holds characters that this window cannot keep as they are (U+FDD0, U+2029); saving will change them.");
}

TEST(RtfReader, RecognisesRtfByItsStart) {
    EXPECT_TRUE(LooksLikeRtf(" \r\n{\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("plain text"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(""));
}

// The tab stops a paragraph's kept words set, as the file read gives them.
TEST(RtfTabStops, AParagraphsStopsInTheOrderOfTheirPlaces) {
    struct Case {
        const char* rtf;
        std::vector<TabStop> stops;
    } cases[] = {
        {"{\\rtf1 \\tx720\\tx1440 a\\tab b\\par}", {{720, TabAlign::Left}, {1440, TabAlign::Left}}},
        {"{\\rtf1 \\tqr\\tldot\\tx4320\\tx5000 a\\par}", {{4320, TabAlign::Right}, {5000, TabAlign::Left}}},
        {"{\\rtf1 \\keepn\\tqc\\tx3000\\tqdec\\tx100 a\\par}", {{100, TabAlign::Decimal}, {3000, TabAlign::Center}}},
        // A bar is no stop, and the kind before it goes with it.
        {"{\\rtf1 \\tqr\\tb500\\tx600 a\\par}", {{600, TabAlign::Left}}},
        {"{\\rtf1 \\tx2000\\tx2000\\tx-5 a\\par}", {{2000, TabAlign::Left}}},
        {"{\\rtf1 a\\par}", {}},
    };
    for (const Case& c : cases) {
        const Document d = Read(c.rtf);
        EXPECT_EQ(ParagraphTabStops(d.paragraphs.at(0).kept), c.stops) << c.rtf;
    }
    // A paragraph after \pard sets its own.
    const Document d = Read("{\\rtf1 \\tx720 a\\par\\pard b\\par}");
    EXPECT_TRUE(ParagraphTabStops(d.paragraphs.at(1).kept).empty());
}

TEST(RtfTabStops, TheDocumentsDefaultDistance) {
    EXPECT_EQ(DefaultTabDistance(Read("{\\rtf1\\ansi\\paperw11906\\deftab360\\margl1134 a\\par}").settings), 360);
    EXPECT_EQ(DefaultTabDistance(Read("{\\rtf1\\ansi a\\par}").settings), 0);
    EXPECT_EQ(DefaultTabDistance(""), 0);
}

}  // namespace
