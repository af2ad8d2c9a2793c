// The document box's content as files hold it: plain text with "\n" line
// ends, or RTF through the reader and writer of Rtf.h.
#pragma once

#include "Rtf.h"

#include <QString>

#include <string>

class QTextDocument;

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

// Replaces the document's content with the model's.
void SetDocumentRtf(QTextDocument& document, const rtf::Document& model);

// Paragraphs longer than this are laid out as one line: breaking a line
// that offers no place to break costs time that grows with the square of
// its length (minutes for a megabyte), an unbroken one only its length.
inline constexpr int kLongestWrappedLine = 5000;

// True when the text has a line (between line ends) longer than
// kLongestWrappedLine.
bool HasLineTooLongToWrap(const QString& text);

// Marks the document's paragraphs longer than kLongestWrappedLine as not to
// be broken into lines; the others keep wrapping.
void KeepLongLinesUnbroken(QTextDocument& document);

}  // namespace kx::text
