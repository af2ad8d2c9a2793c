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
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    return text;
}

rtf::Document DocumentRtfModel(const QTextDocument& document) {
    rtf::Document model;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        rtf::Paragraph p;
        p.align = alignOf(block.blockFormat().alignment());
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
        model.paragraphs.push_back(std::move(p));
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
    cursor.endEditBlock();
}

void SetDocumentText(QTextEdit& box, const QString& text) {
    prepareWrapping(box, HasWordTooLongToWrap(text));
    box.setPlainText(text);
}

}  // namespace kx::text
