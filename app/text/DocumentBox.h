// The text window's document box: a text edit whose long lines are shown in
// pieces (LongLines.h). After every change it arranges the pieces again
// where the change left a line too long or a piece empty or small; keys
// step over a soft break as over nothing (Backspace at the start of a piece
// deletes the character before the break, an arrow key moves a character
// across it); what it hands out by copy, cut or drag is the text without
// soft breaks. The marks of stray bytes (PlainText.h) can be shown in
// colours of their own, so that none passes for a character of the text.
#pragma once

#include <QTextEdit>

class QMimeData;
class QSyntaxHighlighter;

namespace kx::text {

class DocumentBox : public QTextEdit {
public:
    explicit DocumentBox(QWidget* parent = nullptr);

    // True while the box arranges its pieces: a change of the document is
    // then no edit.
    bool Arranging() const { return arranging_; }
    // Arranges the pieces where the document changed since the last time.
    void Arrange();
    // Wraps lines at the box's edge or not, its long lines cut for it.
    void SetWordWrap(bool on);
    // Shows the marks of stray bytes in colours of their own, or not.
    void ShowStrayByteMarks(bool on);
    bool ShowsStrayByteMarks() const { return markHighlighter_ != nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    // A drop or a paste by the mouse: its long lines go in cut.
    void insertFromMimeData(const QMimeData* source) override;

private:
    void stepOverSoftBreak(const QKeyEvent& key);

    QSyntaxHighlighter* markHighlighter_ = nullptr;
    bool arranging_ = false;
    bool arrangePending_ = false;
    int changedFrom_ = -1;  // box positions of what changed, -1 when nothing did
    int changedTo_ = -1;
};

}  // namespace kx::text
