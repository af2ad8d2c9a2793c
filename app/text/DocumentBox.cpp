#include "DocumentBox.h"

#include "PlainText.h"
#include "RichText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace kx::text {
namespace {

// A selection that holds soft breaks, handed out without them: its plain
// text at once, its formatted text when asked for.
class JoinedSelection : public QMimeData {
public:
    JoinedSelection(const QTextCursor& selection, const QString& text) : fragment_(selection.selection()) {
        setText(text);
    }

    QStringList formats() const override { return {"text/plain", "text/html"}; }

protected:
    QVariant retrieveData(const QString& type, QMetaType as) const override {
        if (type != "text/html") return QMimeData::retrieveData(type, as);
        QTextDocument joined;
        QTextCursor(&joined).insertFragment(fragment_);
        std::vector<int> breaks;
        for (QTextBlock block = joined.begin(); block.isValid(); block = block.next())
            if (ContinuesLine(block)) breaks.push_back(block.position() - 1);
        QTextCursor edit(&joined);
        for (auto at = breaks.rbegin(); at != breaks.rend(); ++at) {
            edit.setPosition(*at);
            edit.deleteChar();
        }
        return joined.toHtml();
    }

private:
    QTextDocumentFragment fragment_;
};

// The marks of stray bytes, white on red: whatever the font draws for a
// private-use character (a box, or nothing), the mark stands out.
class StrayByteMarks : public QSyntaxHighlighter {
public:
    explicit StrayByteMarks(QTextDocument* document) : QSyntaxHighlighter(document) {
        mark_.setBackground(QColor(192, 0, 0));
        mark_.setForeground(Qt::white);
    }

protected:
    void highlightBlock(const QString& text) override {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (IsStrayByteMark(text[i].unicode())) setFormat(static_cast<int>(i), 1, mark_);
    }

private:
    QTextCharFormat mark_;
};

bool matchesAny(const QKeyEvent& key, std::initializer_list<QKeySequence::StandardKey> keys) {
    return std::any_of(keys.begin(), keys.end(), [&](QKeySequence::StandardKey k) { return key.matches(k); });
}

}  // namespace

DocumentBox::DocumentBox(QWidget* parent) : QTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (arranging_) return;
        const int last = document()->characterCount() - 1;
        // What changed before goes on where this change moved it.
        if (changedTo_ >= position) changedTo_ = std::max(position, changedTo_ + added - removed);
        changedFrom_ = changedFrom_ < 0 ? position : std::min(changedFrom_, position);
        changedTo_ = std::max(changedTo_, position + added);
        changedFrom_ = std::clamp(changedFrom_, 0, last);
        changedTo_ = std::clamp(changedTo_, 0, last);
        // Changes the box did not see coming (a drop, a paste by the mouse,
        // one made by the window) are arranged once the event is done.
        if (!arrangePending_) {
            arrangePending_ = true;
            QTimer::singleShot(0, this, [this] {
                arrangePending_ = false;
                Arrange();
            });
        }
    });
}

void DocumentBox::Arrange() {
    if (changedFrom_ < 0 || arranging_) return;
    arranging_ = true;
    BreakLongLines(*document(), changedFrom_, changedTo_);
    changedFrom_ = changedTo_ = -1;
    arranging_ = false;
}

void DocumentBox::SetWordWrap(bool on) {
    Arrange();
    arranging_ = true;
    setLineWrapMode(on ? WidgetWidth : NoWrap);
    SetLinesWrapped(*document(), on);
    arranging_ = false;
}

void DocumentBox::ShowStrayByteMarks(bool on) {
    if (on == ShowsStrayByteMarks()) return;
    if (on) {
        markHighlighter_ = new StrayByteMarks(document());
        markHighlighter_->rehighlight();
    } else {
        delete markHighlighter_;
        markHighlighter_ = nullptr;
    }
}

void DocumentBox::keyPressEvent(QKeyEvent* event) {
    // No piece the last change emptied takes the key.
    Arrange();
    stepOverSoftBreak(*event);
    QTextEdit::keyPressEvent(event);
    Arrange();
}

void DocumentBox::inputMethodEvent(QInputMethodEvent* event) {
    Arrange();
    QTextEdit::inputMethodEvent(event);
    Arrange();
}

// Both ends of a soft break are one place of the text: a key that deletes
// or moves towards the break is taken from its other end.
void DocumentBox::stepOverSoftBreak(const QKeyEvent& key) {
    const bool extends = matchesAny(key, {QKeySequence::SelectPreviousChar, QKeySequence::SelectNextChar,
                                          QKeySequence::SelectPreviousWord, QKeySequence::SelectNextWord});
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && !extends) return;
    const bool backwards =
        (key.key() == Qt::Key_Backspace && !(key.modifiers() & ~Qt::ShiftModifier)) ||
        matchesAny(key, {QKeySequence::Backspace, QKeySequence::DeleteStartOfWord, QKeySequence::MoveToPreviousChar,
                         QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousChar,
                         QKeySequence::SelectPreviousWord});
    const bool forwards = matchesAny(key, {QKeySequence::Delete, QKeySequence::DeleteEndOfWord,
                                           QKeySequence::MoveToNextChar, QKeySequence::MoveToNextWord,
                                           QKeySequence::SelectNextChar, QKeySequence::SelectNextWord});
    const QTextCursor::MoveMode mode = extends ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    if (backwards && cursor.atBlockStart() && ContinuesLine(cursor.block()))
        cursor.setPosition(cursor.position() - 1, mode);
    else if (forwards && cursor.atBlockEnd() && ContinuesLine(cursor.block().next()))
        cursor.setPosition(cursor.position() + 1, mode);
    else
        return;
    setTextCursor(cursor);
}

void DocumentBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly()) return QTextEdit::insertFromMimeData(source);
    QTextCursor cursor = textCursor();
    InsertPlainText(cursor, source->text(), cursor.charFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* DocumentBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const SoftBreakMap breaks = SoftBreaks(*document());
    const int from = cursor.selectionStart(), to = cursor.selectionEnd();
    if (breaks.TextPosition(to) - breaks.TextPosition(from) == to - from)
        return QTextEdit::createMimeDataFromSelection();
    return new JoinedSelection(cursor, DocumentPlainText(*document(), from, to));
}

}  // namespace kx::text
