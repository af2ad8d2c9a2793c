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

}  // namespace kx::text
