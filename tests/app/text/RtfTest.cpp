// The RTF reader and writer: a document as another editor writes it, with
// what the model does not hold; what the writer writes reads back the same;
// damaged files read as far as they go.
#include "Rtf.h"

#include <gtest/gtest.h>

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
    Document doc;
    doc.paragraphs = {
        {{{"Special: \\ { } \ttab", base}, {" bold", bold}, {" big", big}}, Align::Left},
        {{{"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x80 line\xE2\x80\xA8" "break", red}}, Align::Right},
        {{}, Align::Center},
        {{{"last", bold}}, Align::Justify},
    };
    const std::string rtf = Write(doc, "Courier New", 10);
    EXPECT_TRUE(LooksLikeRtf(rtf));
    for (char c : rtf) EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "RTF is 7-bit text";
    EXPECT_EQ(Read(rtf), doc);
}

TEST(RtfWriter, RunsWithoutFontOrSizeTakeTheDefaults) {
    Document doc;
    doc.paragraphs = {{{{"text", CharFormat{}}}, Align::Left}};
    const Document back = Read(Write(doc, "Courier New", 11));
    EXPECT_EQ(back.paragraphs.at(0).runs, (std::vector<rtf::Run>{{"text", plainIn("Courier New", 11)}}));
}

TEST(RtfReader, RecognisesRtfByItsStart) {
    EXPECT_TRUE(LooksLikeRtf(" \r\n{\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("plain text"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(""));
}

}  // namespace
