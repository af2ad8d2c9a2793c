#include "RichText.h"

#include "Text.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace kx::text {
namespace {

// A soft break is a block end whose character carries this property: the
// block after it goes on the line. Being a property of that character, it
// goes when the character is deleted, and a block end an edit makes never
// has it.
constexpr int kSoftBreak = QTextFormat::UserProperty + 1;
// Set on a document once it was given a soft break: others need no search
// for them.
constexpr const char* kHasSoftBreaks = "kxSoftBreaks";

bool mayHaveSoftBreaks(const QTextDocument& document) { return document.property(kHasSoftBreaks).toBool(); }
// Set on a document whose lines are not wrapped.
constexpr const char* kUnwrapped = "kxUnwrapped";

const PieceLengths& pieceLengths(const QTextDocument& document) {
    return document.property(kUnwrapped).toBool() ? kUnwrappedPieces : kWrappedPieces;
}

QTextCharFormat softBreakFormat() {
    QTextCharFormat format;
    format.setProperty(kSoftBreak, true);
    return format;
}

std::u16string_view units(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

rtf::Align alignOf(Qt::Alignment a) {
    if (a & Qt::AlignHCenter) return rtf::Align::Center;
    if (a & Qt::AlignRight) return rtf::Align::Right;
    if (a & Qt::AlignJustify) return rtf::Align::Justify;
    return rtf::Align::Left;
}

Qt::Alignment qtAlign(rtf::Align a) {
    switch (a) {
        case rtf::Align::Center: return Qt::AlignHCenter;
        case rtf::Align::Right: return Qt::AlignRight;
        case rtf::Align::Justify: return Qt::AlignJustify;
        case rtf::Align::Left: break;
    }
    return Qt::AlignLeft;
}

rtf::CharFormat formatOf(const QTextCharFormat& f) {
    rtf::CharFormat c;
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty()) c.font = families.first().toStdString();
    }
    if (f.hasProperty(QTextFormat::FontPointSize)) c.size = f.fontPointSize();
    c.bold = f.fontWeight() >= QFont::Bold;
    c.italic = f.fontItalic();
    c.underline = f.fontUnderline();
    c.strike = f.fontStrikeOut();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) c.script = rtf::Script::Super;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) c.script = rtf::Script::Sub;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        c.colour = static_cast<std::uint32_t>(f.foreground().color().rgb() & 0xFFFFFF);
    return c;
}

QTextCharFormat qtFormat(const rtf::CharFormat& c) {
    QTextCharFormat f;
    if (!c.font.empty()) f.setFontFamilies({platform::ToQ(c.font)});
    if (c.size > 0) f.setFontPointSize(c.size);
    if (c.bold) f.setFontWeight(QFont::Bold);
    if (c.italic) f.setFontItalic(true);
    if (c.underline) f.setFontUnderline(true);
    if (c.strike) f.setFontStrikeOut(true);
    if (c.script == rtf::Script::Super) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (c.script == rtf::Script::Sub) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.colour) f.setForeground(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | *c.colour)));
    return f;
}

}  // namespace

QString DocumentPlainText(const QTextDocument& document) {
    QString text = document.toRawText();
    if (mayHaveSoftBreaks(document)) {
        // Each soft break goes: the pieces close up.
        QChar* chars = text.data();
        qsizetype kept = 0, from = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (!ContinuesLine(block)) continue;
            const qsizetype at = block.position() - 1;
            std::copy(chars + from, chars + at, chars + kept);
            kept += at - from;
            from = at + 1;
        }
        std::copy(chars + from, chars + text.size(), chars + kept);
        text.resize(kept + text.size() - from);
    }
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    return text;
}

QString DocumentPlainText(const QTextDocument& document, int from, int to) {
    const SoftBreakMap breaks = SoftBreaks(document);
    const int start = breaks.TextPosition(from);
    return DocumentPlainText(document).mid(start, breaks.TextPosition(to) - start);
}

bool ContinuesLine(const QTextBlock& block) {
    return block.previous().isValid() && block.charFormat().boolProperty(kSoftBreak);
}

SoftBreakMap SoftBreaks(const QTextDocument& document) {
    std::vector<int> breaks;
    if (mayHaveSoftBreaks(document))
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            if (ContinuesLine(block)) breaks.push_back(block.position() - 1);
    return SoftBreakMap(std::move(breaks));
}

void BreakLongLines(QTextDocument& document, int from, int to) {
    const PieceLengths& lengths = pieceLengths(document);
    const int last = document.characterCount() - 1;
    QTextBlock first = document.findBlock(std::clamp(from, 0, last));
    if (first.previous().isValid()) first = first.previous();
    // Where the work ends, moving with the edits: the end of the block
    // after the one `to` stands in.
    QTextCursor end(&document);
    end.setPosition(std::clamp(to, 0, last));
    end.movePosition(QTextCursor::NextBlock);
    end.movePosition(QTextCursor::EndOfBlock);
    QTextCursor edit(&document);
    edit.beginEditBlock();
    // Blocks are found again by position after every edit.
    for (int position = first.position();;) {
        const QTextBlock block = document.findBlock(position);
        if (!block.isValid() || block.position() > end.position()) break;
        const QTextBlock before = block.previous();
        if (ContinuesLine(block) && JoinPieces(before.length() - 1, block.length() - 1, lengths)) {
            // The soft break goes: the piece joins the one before, which is
            // looked at again.
            edit.setPosition(position - 1);
            position = before.position();
            edit.deleteChar();
            continue;
        }
        if (block.length() - 1 > static_cast<int>(lengths.longest)) {
            // Cut from the end, so that the places before stay as they are.
            const QTextBlockFormat format = block.blockFormat();
            const std::vector<std::size_t> starts = PieceStarts(units(block.text()), lengths);
            for (auto start = starts.rbegin(); start != starts.rend(); ++start) {
                edit.setPosition(position + static_cast<int>(*start));
                edit.insertBlock(format, softBreakFormat());
            }
            document.setProperty(kHasSoftBreaks, true);
        }
        const QTextBlock next = document.findBlock(position).next();
        if (!next.isValid()) break;
        position = next.position();
    }
    edit.endEditBlock();
}

void SetLinesWrapped(QTextDocument& document, bool wrapped) {
    if (document.property(kUnwrapped).toBool() != wrapped) return;
    document.setProperty(kUnwrapped, !wrapped);
    const SoftBreakMap::Positions breaks = SoftBreaks(document).BoxPositions();
    QTextCursor edit(&document);
    edit.beginEditBlock();
    // The pieces close up into their lines, which are cut again.
    for (auto at = breaks.rbegin(); at != breaks.rend(); ++at) {
        edit.setPosition(*at);
        edit.deleteChar();
    }
    BreakLongLines(document, 0, document.characterCount());
    edit.endEditBlock();
}

void InsertPlainText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    cursor.beginEditBlock();
    const int from = cursor.selectionStart();
    cursor.insertText(text, format);
    BreakLongLines(*cursor.document(), from, cursor.position());
    cursor.endEditBlock();
}

TextFinder::TextFinder(const QString& text, const QString& what, QTextDocument::FindFlags flags)
    : text_(text), what_(what), flags_(flags) {
    text_.replace(QChar::Nbsp, QChar(' '));
}

std::pair<int, int> TextFinder::Next(int from) const {
    if (what_.isEmpty() || what_.contains(QChar('\n'))) return {-1, -1};
    const Qt::CaseSensitivity cs = flags_ & QTextDocument::FindCaseSensitively ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = std::max(from, 0); (at = text_.indexOf(what_, at, cs)) >= 0; ++at) {
        const qsizetype end = at + what_.size();
        if (flags_ & QTextDocument::FindWholeWords) {
            if (at > 0 && text_.at(at - 1).isLetterOrNumber()) continue;
            if (end < text_.size() && text_.at(end).isLetterOrNumber()) continue;
        }
        return {static_cast<int>(at), static_cast<int>(end)};
    }
    return {-1, -1};
}

rtf::Document DocumentRtfModel(const QTextDocument& document) {
    rtf::Document model;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // The pieces of a long line go on its paragraph.
        const bool continues = ContinuesLine(block);
        if (!continues) model.paragraphs.emplace_back();
        rtf::Paragraph& p = model.paragraphs.back();
        if (!continues) p.align = alignOf(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const rtf::CharFormat format = formatOf(fragment.charFormat());
            const std::string text = fragment.text().toStdString();
            if (!p.runs.empty() && p.runs.back().format == format)
                p.runs.back().text += text;
            else
                p.runs.push_back({text, format});
        }
    }
    if (model.paragraphs.empty()) model.paragraphs.emplace_back();
    return model;
}

std::string DocumentRtf(const QTextDocument& document) {
    const QFont font = document.defaultFont();
    return rtf::Write(DocumentRtfModel(document), font.family().toStdString(), font.pointSizeF());
}

bool HasWordTooLongToWrap(QStringView text) {
    qsizetype word = 0, longest = 0, paragraph = 0;
    const auto paragraphTooLong = [&] { return double(paragraph) * double(longest) > kLongestWrappedParagraph; };
    for (const QChar c : text) {
        const bool end = c == QChar('\n') || c == QChar('\r') || c == QChar::ParagraphSeparator;
        if (end) {
            if (paragraphTooLong()) return true;
            paragraph = longest = 0;
        } else {
            ++paragraph;
        }
        const bool blank = end || c == QChar(' ') || c == QChar('\t') || c == QChar::LineSeparator;
        word = blank ? 0 : word + 1;
        if (word > kLongestWrappedWord) return true;
        longest = std::max(longest, word);
    }
    return paragraphTooLong();
}

void SetWrapAnywhere(QTextEdit& box, bool anywhere) {
    const QTextOption::WrapMode mode = anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (box.wordWrapMode() != mode) box.setWordWrapMode(mode);
}

namespace {

// Sets how the box wraps before its new content goes in: with the
// document emptied first, nothing is laid out twice.
void prepareWrapping(QTextEdit& box, bool longWord) {
    box.document()->setProperty(kHasSoftBreaks, false);
    if (longWord == (box.wordWrapMode() == QTextOption::WrapAnywhere)) return;
    box.document()->clear();
    SetWrapAnywhere(box, longWord);
}

}  // namespace

void SetDocumentRtf(QTextEdit& box, const rtf::Document& model) {
    bool longWord = false;
    for (const rtf::Paragraph& para : model.paragraphs) {
        QString text;
        for (const rtf::Run& run : para.runs) text += platform::ToQ(run.text);
        longWord = longWord || HasWordTooLongToWrap(text);
    }
    prepareWrapping(box, longWord);
    QTextDocument& document = *box.document();
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (std::size_t p = 0; p < model.paragraphs.size(); ++p) {
        const rtf::Paragraph& para = model.paragraphs[p];
        QTextBlockFormat block;
        block.setAlignment(qtAlign(para.align));
        if (p == 0)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block, QTextCharFormat());
        for (const rtf::Run& run : para.runs) cursor.insertText(platform::ToQ(run.text), qtFormat(run.format));
    }
    BreakLongLines(document, 0, document.characterCount());
    cursor.endEditBlock();
}

void SetDocumentText(QTextEdit& box, const QString& text) {
    prepareWrapping(box, HasWordTooLongToWrap(text));
    // Long lines go in cut already, so that no whole one is laid out: the
    // cuts go in as line ends, which are then made soft breaks.
    const PieceLengths& lengths = pieceLengths(*box.document());
    QString shown;
    std::vector<int> breaks;
    qsizetype copied = 0;  // the text before this is in `shown`
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(QChar('\n'), start);
        if (end < 0) end = text.size();
        if (static_cast<std::size_t>(end - start) > lengths.longest)
            for (const std::size_t cut : PieceStarts(units(QStringView(text).mid(start, end - start)), lengths)) {
                shown += QStringView(text).mid(copied, start + static_cast<qsizetype>(cut) - copied);
                breaks.push_back(static_cast<int>(shown.size()));
                shown += QChar('\n');
                copied = start + static_cast<qsizetype>(cut);
            }
        start = end + 1;
    }
    if (!breaks.empty()) shown += QStringView(text).mid(copied);
    box.setPlainText(breaks.empty() ? text : shown);
    if (breaks.empty()) return;
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    for (const int at : breaks) {
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(softBreakFormat());
    }
    cursor.endEditBlock();
    box.document()->setProperty(kHasSoftBreaks, true);
}

}  // namespace kx::text
