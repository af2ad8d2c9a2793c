// Rich text in RTF: a small document model (paragraphs of runs with font,
// size, bold, italic, underline, strike-through, superscript and subscript,
// capitals, colour and highlight; paragraphs with alignment, indents and
// spacing), a reader and a writer.
//
// The reader takes what it knows and passes over the rest: unknown control
// words are skipped, "\*" destinations, pictures, headers, style sheets and
// the like are left out, table cells become tab-separated lines, and a file
// that ends early or has unbalanced braces reads as far as it goes. "\'hh"
// and bytes above 127 are read in the code page of their font's character
// set (\fcharset, \cpg), else the document's (\ansicpg, \mac, \pc, \pca;
// Windows-1252 when it names none), two-byte characters included; a byte
// that code page does not define reads as U+FFFD. "\u" gives a character
// directly (in font names too); a "\u" value that is no character (beyond
// U+10FFFF, or half of a surrogate pair) reads as U+FFFD, so the model's
// text is always valid UTF-8. Control words for characters (spaces of other
// widths, joiners, direction marks, the optional hyphen) read as their
// characters. Text without a size (\fs) is 12 points, as RTF has it, or
// the size of the document's default format (\defchp).
//
// What the model does not show but can carry over is kept as the file
// gives it: the document's information (\info: title, author, dates, ...,
// with its Unicode alternative when the file gives one, \upr), its user
// properties and document variables, and its page, section and document
// settings (paper, margins, orientation, page numbering, default tab stops,
// layout options, ...); paragraph control words such as tab stops, keeping
// lines together and page breaks before (Paragraph::kept); character
// control words such as outlined, shadowed, raised or spaced text,
// languages, direction and kinds of underline (CharFormat::kept). The
// document's default paragraph and character formats (\defpap, \defchp)
// are those of text that gives none, which the writer then writes with its
// own format. Bookmarks are kept as the text they mark; the colour of an
// underline is the model's.
// The document tells whether the file held content a user would miss once
// the model is written back: pictures and objects, tables, headers and
// footers, footnotes, comments, fields, index entries, equations, hidden
// text (not shown), page, column and section breaks (read as paragraph
// breaks), styles, list formatting, shading and borders, tracked changes
// (the text they mark read as text), text frames, bookmarks that mark no
// text, and the fonts of East Asian and right-to-left text where they are
// not those the model shows.
// The writer writes what the model holds, so a document written reads back
// to the same text and formatting.
//
// Paragraphs are separated by "\par": a document that ends with "\par" has
// an empty last paragraph, as an editor shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::text::rtf {

enum class Script { Normal, Super, Sub };

struct CharFormat {
    std::string font;   // "" : the document's default font
    double size = 0;    // points; 0: the document's default size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<std::uint32_t> colour;  // 0xRRGGBB; none: the default colour
    bool strike = false;
    Script script = Script::Normal;
    bool caps = false;       // \caps: shown in capitals
    bool smallCaps = false;  // \scaps: shown in small capitals
    std::optional<std::uint32_t> highlight{};  // 0xRRGGBB behind the text (\highlight, \cb); none: no highlight
    std::optional<std::uint32_t> underlineColour{};  // 0xRRGGBB of the underline (\ulc); none: the text's colour
    // The bookmarks the text lies in, by name, in the order they begin.
    std::vector<std::string> bookmarks{};
    // Character control words the model does not show, as the file gives
    // them, each once with its value ("\lang1033\outl\uldb").
    std::string kept{};
    bool operator==(const CharFormat&) const = default;
};

// The format of text the file gives no format: RTF's default size.
inline constexpr double kRtfDefaultSize = 12;

enum class Align { Left, Center, Right, Justify };

struct Run {
    std::string text;  // UTF-8; a tab is "\t", a line break within the paragraph U+2028
    CharFormat format;
    bool operator==(const Run&) const = default;
};

// A paragraph's indents and spacing in twips, as the file gives them.
struct Spacing {
    int left = 0;    // \li
    int right = 0;   // \ri
    int first = 0;   // \fi: the first line's indent from the left one (below 0: a hanging indent)
    int before = 0;  // \sb
    int after = 0;   // \sa
    // \sl: 0 single spacing; above 0 at least, below 0 exactly so many
    // twips; with lineMultiple (\slmult1) so many 240ths of single spacing.
    int line = 0;
    bool lineMultiple = false;
    bool operator==(const Spacing&) const = default;
};

struct Paragraph {
    std::vector<Run> runs;
    Align align = Align::Left;
    Spacing spacing{};
    // Paragraph control words the model does not show, in the order the
    // file gives them ("\keepn\tqr\tldot\tx4320").
    std::string kept{};
    // Of a paragraph without text, the format at its end: what is typed
    // into it takes it.
    CharFormat mark{};
    bool operator==(const Paragraph&) const = default;
};

struct Document {
    std::vector<Paragraph> paragraphs;  // at least one
    // The file held pictures, tables or other content that the model
    // leaves out (the writer never sets it), and what it was as a user
    // names it ("pictures/tables", "headers/footers", "footnotes",
    // "comments", "fields", "hidden text", "page and section breaks",
    // "styles", "list formatting", "shading/borders", "tracked changes",
    // "text frames"), each once in the order met.
    std::vector<std::string> leftOut;
    bool LeavesOutContent() const { return !leftOut.empty(); }
    // The document's information group as RTF ("{\info{\title ...}...}",
    // or "{\upr{\info ...}{\*\ud{\info ...}}}" with its Unicode
    // alternative), its characters as the writer writes them; "" when it
    // has none.
    std::string info;
    // Its user properties and document variables, the same way
    // ("{\*\userprops ...}{\*\docvar {name}{value}}").
    std::string properties;
    // The document's page and document settings as RTF control words, each
    // once, in the order the file gives them ("\paperw11906\margl1134...").
    std::string settings;
    bool operator==(const Document&) const = default;
};

// True when the bytes begin (after blanks and line ends) with "{\rtf".
bool LooksLikeRtf(std::string_view bytes);

Document Read(std::string_view bytes);

// Plain text ("\n" between paragraphs) as a document: one run a paragraph,
// with no format of its own.
Document PlainDocument(std::string_view text);

// The RTF text of the document; runs without a font or size of their own
// (text the document was given as plain text) are written in the default
// font and size.
std::string Write(const Document& document, const std::string& defaultFont, double defaultSize);

// A tab stop a paragraph sets (\tx, after the kind of stop: \tqr, \tqc,
// \tqdec): its place in twips from the left of the text, and how the text
// after the tab stands on it.
enum class TabAlign { Left, Right, Center, Decimal };
struct TabStop {
    int position = 0;
    TabAlign align = TabAlign::Left;
    bool operator==(const TabStop&) const = default;
};

// The tab stops of a paragraph's kept control words (Paragraph::kept), in
// the order of their places; a bar (\tb) is no stop.
std::vector<TabStop> ParagraphTabStops(std::string_view kept);

// The distance between the default tab stops the document's settings give
// (\deftab, Document::settings), in twips; 0 when they give none.
int DefaultTabDistance(std::string_view settings);

// The characters of a document as the reader gave it (`read`) that the same
// document as an editor holds it (`held`) does not give back, each once, in
// the order they first stand in `read`: a character the editor dropped, or
// turned into something else (a paragraph break). Empty when both hold the
// same characters and paragraph breaks; formats are not compared. Where the
// two differ only in order or paragraph breaks, the first character that
// differs is named (a paragraph break as U+2029).
std::u32string CharactersNotKept(const Document& read, const Document& held);

// The code points as a user reads them: "U+000D, U+2029".
std::string CodePointNames(std::u32string_view characters);

// The question before a document is written without what its file holds
// and the window does not: the content left out (Document::leftOut) and
// the characters not kept (CharactersNotKept); "" when there is neither.
std::string LossQuestion(const std::vector<std::string>& leftOut, std::u32string_view notKept);

}  // namespace kx::text::rtf
