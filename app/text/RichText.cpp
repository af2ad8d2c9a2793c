#include "RichText.h"

#include "Report.h"
#include "Text.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdlib>
#include <string>

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

// What the box holds of an RTF document beyond what it shows: the
// paragraph's indents and spacing in twips (as the file gives them; the
// box shows them in pixels) and its control words kept, the character
// control words kept (rtf::CharFormat::kept), and the document's
// information, user properties, variables and settings.
constexpr int kSpacingTwips = QTextFormat::UserProperty + 2;
constexpr int kParagraphKept = QTextFormat::UserProperty + 3;
constexpr int kCharacterKept = QTextFormat::UserProperty + 4;
// The bookmarks a character lies in (rtf::CharFormat::bookmarks).
constexpr int kBookmarks = QTextFormat::UserProperty + 5;
constexpr const char* kDocumentInfo = "kxRtfInfo";
constexpr const char* kDocumentSettings = "kxRtfSettings";
constexpr const char* kDocumentProperties = "kxRtfProperties";

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

std::uint32_t rgbOf(const QBrush& brush) { return static_cast<std::uint32_t>(brush.color().rgb() & 0xFFFFFF); }
QColor colourOf(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)); }

rtf::CharFormat formatOf(const QTextCharFormat& f) {
    rtf::CharFormat c;
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty()) c.font = families.first().toStdString();
    }
    if (f.hasProperty(QTextFormat::FontPointSize)) c.size = f.fontPointSize();
    c.bold = f.fontWeight() >= QFont::Bold;
    c.italic = f.fontItalic();
    c.underline = f.underlineStyle() != QTextCharFormat::NoUnderline;
    c.strike = f.fontStrikeOut();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) c.script = rtf::Script::Super;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) c.script = rtf::Script::Sub;
    c.caps = f.fontCapitalization() == QFont::AllUppercase;
    c.smallCaps = f.fontCapitalization() == QFont::SmallCaps;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        c.colour = rgbOf(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        c.highlight = rgbOf(f.background());
    if (f.hasProperty(QTextFormat::TextUnderlineColor) && f.underlineColor().isValid())
        c.underlineColour = static_cast<std::uint32_t>(f.underlineColor().rgb() & 0xFFFFFF);
    c.kept = f.stringProperty(kCharacterKept).toStdString();
    for (const QString& name : f.property(kBookmarks).toStringList()) c.bookmarks.push_back(name.toStdString());
    return c;
}

// How the box draws an underline of a kind kept (rtf::CharFormat::kept):
// dotted, dashed and wavy as such, the others as a line.
QTextCharFormat::UnderlineStyle underlineStyle(const std::string& kept) {
    const auto has = [&](const char* word) {
        const std::size_t at = kept.find(word);
        const std::size_t end = at + std::char_traits<char>::length(word);
        return at != std::string::npos && (end == kept.size() || kept[end] == '\\');
    };
    if (has("\\uld")) return QTextCharFormat::DotLine;
    if (has("\\uldash")) return QTextCharFormat::DashUnderline;
    if (has("\\uldashd")) return QTextCharFormat::DashDotLine;
    if (has("\\uldashdd")) return QTextCharFormat::DashDotDotLine;
    if (has("\\ulwave")) return QTextCharFormat::WaveUnderline;
    return QTextCharFormat::SingleUnderline;
}

QTextCharFormat qtFormat(const rtf::CharFormat& c) {
    QTextCharFormat f;
    if (!c.font.empty()) f.setFontFamilies({platform::ToQ(c.font)});
    if (c.size > 0) f.setFontPointSize(c.size);
    if (c.bold) f.setFontWeight(QFont::Bold);
    if (c.italic) f.setFontItalic(true);
    if (c.underline) f.setUnderlineStyle(underlineStyle(c.kept));
    if (c.strike) f.setFontStrikeOut(true);
    if (c.script == rtf::Script::Super) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (c.script == rtf::Script::Sub) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.colour) f.setForeground(colourOf(*c.colour));
    if (c.highlight) f.setBackground(colourOf(*c.highlight));
    if (c.underlineColour) f.setUnderlineColor(colourOf(*c.underlineColour));
    if (!c.kept.empty()) f.setProperty(kCharacterKept, QString::fromStdString(c.kept));
    if (!c.bookmarks.empty()) {
        QStringList names;
        for (const std::string& name : c.bookmarks) names << QString::fromStdString(name);
        f.setProperty(kBookmarks, names);
    }
    return f;
}

// The format of a paragraph's end, or of its start where text typed goes:
// no bookmark marks it.
QTextCharFormat qtMarkFormat(const rtf::CharFormat& c) {
    QTextCharFormat f = qtFormat(c);
    f.clearProperty(kBookmarks);
    return f;
}

// The paragraph's format in the box: shown in pixels of `dotsPerInch`,
// kept in twips.
QTextBlockFormat qtBlockFormat(const rtf::Paragraph& para, double dotsPerInch) {
    QTextBlockFormat block;
    block.setAlignment(qtAlign(para.align));
    const rtf::Spacing& sp = para.spacing;
    if (!(sp == rtf::Spacing{})) {
        const auto pixels = [&](int twips) { return twips * dotsPerInch / 1440.0; };
        block.setLeftMargin(pixels(sp.left));
        block.setRightMargin(pixels(sp.right));
        block.setTextIndent(pixels(sp.first));
        block.setTopMargin(pixels(sp.before));
        block.setBottomMargin(pixels(sp.after));
        if (sp.lineMultiple && sp.line != 0)
            block.setLineHeight(std::abs(sp.line) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (sp.line != 0)
            block.setLineHeight(pixels(std::abs(sp.line)),
                                sp.line > 0 ? QTextBlockFormat::MinimumHeight : QTextBlockFormat::FixedHeight);
        block.setProperty(kSpacingTwips, QVariantList{sp.left, sp.right, sp.first, sp.before, sp.after, sp.line,
                                                      sp.lineMultiple});
    }
    if (!para.kept.empty()) {
        block.setProperty(kParagraphKept, QString::fromStdString(para.kept));
        const QList<QTextOption::Tab> tabs = QtTabStops(rtf::ParagraphTabStops(para.kept), dotsPerInch / 1440.0);
        if (!tabs.isEmpty()) block.setTabPositions(tabs);
    }
    return block;
}

// The paragraph's format as the box holds it.
void takeBlockFormat(rtf::Paragraph& para, const QTextBlockFormat& block) {
    para.align = alignOf(block.alignment());
    const QVariantList twips = block.property(kSpacingTwips).toList();
    if (twips.size() == 7)
        para.spacing = {twips[0].toInt(), twips[1].toInt(), twips[2].toInt(), twips[3].toInt(),
                        twips[4].toInt(), twips[5].toInt(), twips[6].toBool()};
    para.kept = block.stringProperty(kParagraphKept).toStdString();
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
    model.info = document.property(kDocumentInfo).toString().toStdString();
    model.settings = document.property(kDocumentSettings).toString().toStdString();
    model.properties = document.property(kDocumentProperties).toString().toStdString();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // The pieces of a long line go on its paragraph.
        const bool continues = ContinuesLine(block);
        if (!continues) model.paragraphs.emplace_back();
        rtf::Paragraph& p = model.paragraphs.back();
        if (!continues) {
            takeBlockFormat(p, block.blockFormat());
            // What is typed into an empty paragraph takes its format.
            if (block.length() == 1) {
                p.mark = formatOf(block.charFormat());
                p.mark.bookmarks.clear();
            }
        }
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

QList<QTextOption::Tab> QtTabStops(const std::vector<rtf::TabStop>& stops, double unitsPerTwip) {
    QList<QTextOption::Tab> tabs;
    for (const rtf::TabStop& stop : stops) {
        QTextOption::TabType type = QTextOption::LeftTab;
        switch (stop.align) {
            case rtf::TabAlign::Right: type = QTextOption::RightTab; break;
            case rtf::TabAlign::Center: type = QTextOption::CenterTab; break;
            case rtf::TabAlign::Decimal: type = QTextOption::DelimiterTab; break;
            case rtf::TabAlign::Left: break;
        }
        tabs.append(QTextOption::Tab(stop.position * unitsPerTwip, type,
                                     stop.align == rtf::TabAlign::Decimal ? QChar('.') : QChar()));
    }
    return tabs;
}

TextTabStops DocumentTabStops(const QTextDocument& document, int from, int to) {
    TextTabStops tabs;
    // Plain text sets no stops: only the box of an RTF document holds its
    // settings, kept or not.
    const QVariant settings = document.property(kDocumentSettings);
    if (!settings.isValid()) return tabs;
    tabs.distance = rtf::DefaultTabDistance(settings.toString().toStdString());
    bool anyStops = false;
    QString kept;  // of the paragraph of the line being counted
    std::vector<rtf::TabStop> stops;
    const auto newLine = [&] { tabs.lines.push_back(stops); };
    QTextBlock block = document.findBlock(std::max(from, 0));
    // The paragraph of the first line: the head of a long line in pieces.
    QTextBlock head = block;
    while (head.isValid() && ContinuesLine(head)) head = head.previous();
    for (bool first = true; block.isValid() && block.position() <= to; block = block.next(), first = false) {
        const bool continues = !first && ContinuesLine(block);
        if (!continues) {
            const QTextBlock& paragraph = first ? head : block;
            const QString words = paragraph.blockFormat().stringProperty(kParagraphKept);
            if (words != kept || first) {
                kept = words;
                stops = rtf::ParagraphTabStops(kept.toStdString());
            }
            anyStops = anyStops || !stops.empty();
            newLine();
        }
        // Line breaks within the paragraph start lines of it.
        const QString text = block.text();
        const int start = std::max(from - block.position(), 0);
        const int end = std::min(to - block.position(), static_cast<int>(text.size()));
        for (int i = start; i < end; ++i)
            if (text.at(i) == QChar::LineSeparator) newLine();
    }
    if (!anyStops) tabs.lines.clear();
    return tabs;
}

void ShowTabStops(QTextEdit& box) {
    const int distance =
        rtf::DefaultTabDistance(box.document()->property(kDocumentSettings).toString().toStdString());
    const double pixels = distance > 0 ? distance * box.logicalDpiX() / 1440.0
                                       : platform::EightCharacterTabDistance(box.document()->defaultFont(), &box);
    if (box.tabStopDistance() != pixels) box.setTabStopDistance(pixels);
}

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
    document.setProperty(kDocumentInfo, QString::fromStdString(model.info));
    document.setProperty(kDocumentSettings, QString::fromStdString(model.settings));
    document.setProperty(kDocumentProperties, QString::fromStdString(model.properties));
    ShowTabStops(box);  // while the document is empty: nothing is laid out again
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (std::size_t p = 0; p < model.paragraphs.size(); ++p) {
        const rtf::Paragraph& para = model.paragraphs[p];
        const QTextBlockFormat block = qtBlockFormat(para, box.logicalDpiX());
        // Text typed at the paragraph's start takes the format of its first
        // run, or of its end when it has no text.
        const QTextCharFormat start = qtMarkFormat(para.runs.empty() ? para.mark : para.runs.front().format);
        if (p == 0) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(start);
        } else {
            cursor.insertBlock(block, start);
        }
        for (const rtf::Run& run : para.runs) cursor.insertText(platform::ToQ(run.text), qtFormat(run.format));
    }
    BreakLongLines(document, 0, document.characterCount());
    cursor.endEditBlock();
}

void SetDocumentText(QTextEdit& box, const QString& text) {
    prepareWrapping(box, HasWordTooLongToWrap(text));
    box.document()->setProperty(kDocumentInfo, QVariant());
    box.document()->setProperty(kDocumentSettings, QVariant());
    box.document()->setProperty(kDocumentProperties, QVariant());
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
    ShowTabStops(box);
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
