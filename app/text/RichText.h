// The document box's content as files hold it: plain text with "\n" line
// ends, or RTF through the reader and writer of Rtf.h.
#pragma once

#include "Rtf.h"

#include <QString>
#include <QStringView>

#include <string>

class QTextDocument;
class QTextEdit;

namespace kx::text {

// The document's text, paragraphs and line breaks as "\n", every other
// character as it is (no-break spaces included).
QString DocumentPlainText(const QTextDocument& document);

// The document as the RTF model: runs with the properties their formats
// set (a run without a font or size of its own has none in the model).
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

// Replace the box's content with the model's, or with plain text ("\n"
// between lines), wrapping anywhere when it holds a word too long to wrap
// at word boundaries.
void SetDocumentRtf(QTextEdit& box, const rtf::Document& model);
void SetDocumentText(QTextEdit& box, const QString& text);

}  // namespace kx::text
