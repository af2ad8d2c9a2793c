// The document box's content as files hold it: plain text with "\n" line
// ends, or RTF through the reader and writer of Rtf.h.
#pragma once

#include "LongLines.h"
#include "Rtf.h"

#include <QString>
#include <QStringView>
#include <QTextDocument>
#include <QTextOption>

#include <string>
#include <utility>
#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QTextEdit;

namespace kx::text {

// The document's text, paragraphs and line breaks as "\n", every other
// character as it is (no-break spaces included); the pieces of a long line
// (LongLines.h) as the one line they are.
QString DocumentPlainText(const QTextDocument& document);
// The text between two box positions.
QString DocumentPlainText(const QTextDocument& document, int from, int to);

// Whether the block is a piece of a long line after its first: it goes on
// the line of the block before it.
bool ContinuesLine(const QTextBlock& block);

// The document's soft breaks.
SoftBreakMap SoftBreaks(const QTextDocument& document);

// Shows the long lines of the blocks from box position `from` to `to` (and
// of the blocks next to them) in pieces, and joins pieces that are better
// one (JoinPieces); the text stays as it is. The pieces are those of
// wrapped lines (kWrappedPieces) unless SetLinesWrapped said otherwise.
void BreakLongLines(QTextDocument& document, int from, int to);

// Cuts the document's long lines again for lines wrapped at the window's
// edge or not (kUnwrappedPieces); the text stays as it is.
void SetLinesWrapped(QTextDocument& document, bool wrapped);

// Inserts plain text at the cursor in the format, its long lines in
// pieces: the box lays out no whole long line.
void InsertPlainText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format);

// Finds a text in the document's text (DocumentPlainText) as
// QTextDocument::find finds it within a line (case, whole words, a
// no-break space as a blank), across the soft breaks of long lines. A
// match never takes in a line end.
class TextFinder {
public:
    TextFinder(const QString& text, const QString& what, QTextDocument::FindFlags flags);
    // The start and end (text positions) of the first match from `from`
    // on, or -1, -1.
    std::pair<int, int> Next(int from) const;

private:
    QString text_;
    QString what_;
    QTextDocument::FindFlags flags_;
};

// The document as the RTF model: runs with the properties their formats
// set (a run without a font or size of its own has none in the model),
// paragraphs with their alignment, indents and spacing, and what
// SetDocumentRtf gave the box to keep unseen (the document's information,
// properties and settings, paragraph and character words, bookmarks); the
// pieces of a long line make one paragraph.
rtf::Document DocumentRtfModel(const QTextDocument& document);

// The document as RTF, runs without a font or size of their own in the
// document's default font.
std::string DocumentRtf(const QTextDocument& document);

// A document holding a run of more characters than this without a blank
// (a megabyte of numbers joined by commas) wraps its lines wherever they
// reach the edge: looking for the end of such a run at every line costs
// time by the square of its length (minutes for a megabyte). Other
// documents wrap at word boundaries.
inline constexpr int kLongestWrappedWord = 5000;

// In a long paragraph every line it wraps into costs time by the length of
// the paragraph's words: a paragraph whose length times its longest word
// exceeds this (a megabyte of one line in words of 250 characters) wraps
// anywhere as well.
inline constexpr double kLongestWrappedParagraph = 2.5e8;

// True when the text has a run of more than kLongestWrappedWord characters
// without a blank, a tab or a line end, or a paragraph (text between line
// ends) whose length times its longest such run exceeds
// kLongestWrappedParagraph.
bool HasWordTooLongToWrap(QStringView text);

// Wraps the box's lines anywhere, or at word boundaries (anywhere only
// within a word longer than a line).
void SetWrapAnywhere(QTextEdit& box, bool anywhere);

// The tab stops of the document's text between two box positions, line
// by line of its text (DocumentPlainText): the distance between default
// stops (twips; 0 when the document gives none, as plain text never does)
// and the stops of each line's paragraph, which a line break within it does
// not change; no lines when no paragraph sets stops of its own.
struct TextTabStops {
    int distance = 0;
    std::vector<std::vector<rtf::TabStop>> lines;
};
TextTabStops DocumentTabStops(const QTextDocument& document, int from, int to);

// The stops as a text layout takes them, their places in units of which a
// twip makes unitsPerTwip (a decimal stop on the point).
QList<QTextOption::Tab> QtTabStops(const std::vector<rtf::TabStop>& stops, double unitsPerTwip);

// The box shows its tabs at the stops its document gives: every eight
// characters of the document's font, or at the distance an RTF document
// sets, after a paragraph's own stops. Again after the font changes.
void ShowTabStops(QTextEdit& box);

// Replace the box's content with the model's, or with plain text ("\n"
// between lines), wrapping anywhere when it holds a word too long to wrap
// at word boundaries, and long lines in pieces; the tabs at their stops.
void SetDocumentRtf(QTextEdit& box, const rtf::Document& model);
void SetDocumentText(QTextEdit& box, const QString& text);

}  // namespace kx::text
