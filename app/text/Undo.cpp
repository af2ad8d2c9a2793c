#include "Undo.h"

namespace kx::text {

bool clsUndo::Create(UndoBox& box, UndoTimer& timer, int delay) {
    timer_ = &timer;
    timer_->SetEnabled(false);
    timer_->SetInterval(delay);
    box_ = &box;
    Reset();
    return true;
}

void clsUndo::Reset() {
    undoList_.clear();
    redoList_.clear();
    tracking_ = true;
    BoxChanged();
    raiseStateChanged();
}

void clsUndo::BoxChanged() {
    if (!timer_) return;
    timer_->SetEnabled(false);
    // The countdown restarts at every change, so a burst of typing ends in
    // one snapshot.
    if (tracking_) timer_->SetEnabled(true);
}

void clsUndo::SelectionChanged() {
    if (!box_ || timer_->Enabled()) return;
    // While a snapshot is pending the selection from before the edit burst
    // is kept.
    prevSelStart_ = curSelStart_;
    prevSelLength_ = curSelLength_;
    curSelStart_ = box_->SelStart();
    curSelLength_ = box_->SelLength();
}

void clsUndo::KeyDown(int& keyCode, int shift) {
    if (shift != kShiftCtrl) return;
    if (keyCode == kKeyZ) {
        Undo();
        keyCode = 0;
    } else if (keyCode == kKeyY) {
        Redo();
        keyCode = 0;
    }
}

void clsUndo::TimerTick() {
    if (!timer_) return;
    timer_->SetEnabled(false);
    if (!tracking_) return;
    if (!undoList_.empty()) {
        // The selection from before this burst goes with the state before it.
        undoList_.back().SelStart = prevSelStart_;
        undoList_.back().SelLength = prevSelLength_;
    }
    clsUndoElement e = box_->Content();
    e.SelStart = 0;
    e.SelLength = 0;
    if (undoList_.size() >= kMaxSnapshots) undoList_.pop_front();
    undoList_.push_back(std::move(e));
    redoList_.clear();
    raiseStateChanged();
    prevSelStart_ = curSelStart_ = box_->SelStart();
    prevSelLength_ = curSelLength_ = box_->SelLength();
}

void clsUndo::Undo() {
    if (undoList_.size() < 2) return;
    tracking_ = false;
    const int top = box_->ViewTop();
    redoList_.push_back(std::move(undoList_.back()));
    undoList_.pop_back();
    const clsUndoElement& s = undoList_.back();
    box_->SetContent(s);
    box_->SetViewTop(top);
    box_->SetSelection(s.SelStart, s.SelLength);
    tracking_ = true;
    raiseStateChanged();
}

void clsUndo::Redo() {
    if (redoList_.empty()) return;
    tracking_ = false;
    undoList_.push_back(std::move(redoList_.back()));
    redoList_.pop_back();
    const clsUndoElement& s = undoList_.back();
    box_->SetContent(s);
    box_->SetSelection(s.SelStart, s.SelLength);
    tracking_ = true;
    raiseStateChanged();
}

}  // namespace kx::text
