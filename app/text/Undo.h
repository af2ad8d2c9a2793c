// Undo and redo of a text box by snapshots.
//
// The engine records no single keystrokes: every change of the text
// restarts a countdown, and when the text has rested for the delay it takes
// one snapshot of the whole content. Undo and redo move snapshots between
// two lists and write the chosen one back into the box. The undo list holds
// at most 21 snapshots: the state when the engine was reset and 20 steps.
//
// The engine works on its box and timer through the two small interfaces
// below; the text window binds them to its document box and a timer, and
// passes the box's change, selection and key events on.
#pragma once

#include <deque>
#include <functional>
#include <string>

namespace kx::text {

// One snapshot: the whole content (plain or rich text, as the box gives
// it) and the selection to restore with it.
struct clsUndoElement {
    std::string Text;
    bool Rich = false;
    long SelStart = 0;
    long SelLength = 0;
};

class UndoBox {
public:
    virtual ~UndoBox() = default;
    // The content (Text and Rich; the selection is not part of it).
    virtual clsUndoElement Content() const = 0;
    // Writes the content; the box then reports its change and selection
    // change as for any edit.
    virtual void SetContent(const clsUndoElement& content) = 0;
    virtual long SelStart() const = 0;
    virtual long SelLength() const = 0;
    virtual void SetSelection(long start, long length) = 0;
    // Where the view stands (its first visible line), and putting the view
    // back there after the content was written.
    virtual int ViewTop() const = 0;
    virtual void SetViewTop(int top) = 0;
};

class UndoTimer {
public:
    virtual ~UndoTimer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;
};

class clsUndo {
public:
    static constexpr std::size_t kMaxSnapshots = 21;
    static constexpr int kKeyY = 89;
    static constexpr int kKeyZ = 90;
    static constexpr int kShiftCtrl = 2;  // key-event shift state: 1 Shift, 2 Ctrl, 4 Alt

    bool canUndo() const { return undoList_.size() > 1; }
    bool canRedo() const { return !redoList_.empty(); }

    // Binds the engine to its box and timer and resets it: the base
    // snapshot is taken delay ms later.
    bool Create(UndoBox& box, UndoTimer& timer, int delay = 250);
    void Reset();
    void Redo();
    void Undo();

    // Raised whenever what can be undone or redone may have changed.
    std::function<void()> StateChanged;

    // The box's and the timer's events.
    void BoxChanged();
    void SelectionChanged();
    // Ctrl+Z and Ctrl+Y (exactly Ctrl held) undo and redo and set the key
    // code to 0, so the box does not handle the key itself.
    void KeyDown(int& keyCode, int shift);
    void TimerTick();

    std::size_t UndoCount() const { return undoList_.size(); }
    std::size_t RedoCount() const { return redoList_.size(); }

private:
    void raiseStateChanged() {
        if (StateChanged) StateChanged();
    }

    UndoBox* box_ = nullptr;
    UndoTimer* timer_ = nullptr;
    std::deque<clsUndoElement> undoList_;  // oldest first; the last is the current state
    std::deque<clsUndoElement> redoList_;  // the last is the next to redo
    bool tracking_ = true;
    long prevSelStart_ = 0, prevSelLength_ = 0;
    long curSelStart_ = 0, curSelLength_ = 0;
};

}  // namespace kx::text
