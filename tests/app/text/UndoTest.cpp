// The undo engine on a box and a timer of the test's own: snapshots after
// the text rests, the 21-snapshot bound, undo and redo with their
// selections and view, and the keys.
#include "Undo.h"

#include <gtest/gtest.h>

#include <string>

using kx::text::clsUndo;
using kx::text::clsUndoElement;

namespace {

class Timer : public kx::text::UndoTimer {
public:
    void SetInterval(int ms) override { interval = ms; }
    void SetEnabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }
    int interval = 0;
    bool enabled = false;
};

// A box that reports its changes to the engine as a text box does.
class Box : public kx::text::UndoBox {
public:
    explicit Box(clsUndo& engine) : engine_(engine) {}

    clsUndoElement Content() const override { return {text, false, 0, 0}; }
    void SetContent(const clsUndoElement& c) override {
        text = c.Text;
        scrolledTo = 0;
        engine_.BoxChanged();
        select(0, 0);
    }
    long SelStart() const override { return selStart; }
    long SelLength() const override { return selLength; }
    void SetSelection(long start, long length) override { select(start, length); }
    int ViewTop() const override { return topLine; }
    void SetViewTop(int top) override { scrolledTo = top; }

    void select(long start, long length) {
        selStart = start;
        selLength = length;
        engine_.SelectionChanged();
    }
    // The user types: as a text box reports an edit, the caret's move
    // comes before the change of the text.
    void type(const std::string& s) {
        const std::size_t at = static_cast<std::size_t>(selStart);
        std::string edited(text, 0, at);
        edited += s;
        edited.append(text, at);
        text = std::move(edited);
        select(selStart + static_cast<long>(s.size()), 0);
        engine_.BoxChanged();
    }

    std::string text;
    long selStart = 0, selLength = 0;
    int topLine = 0, scrolledTo = -1;

private:
    clsUndo& engine_;
};

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        undo.StateChanged = [this] { ++events; };
        undo.Create(box, timer, 250);
    }
    // The text rests long enough for the timer.
    void rest() {
        if (timer.enabled) undo.TimerTick();
    }

    clsUndo undo;
    Timer timer;
    Box box{undo};
    int events = 0;
};

TEST_F(UndoTest, TheFirstSnapshotIsTheBaseAndABurstGivesOneSnapshot) {
    EXPECT_EQ(timer.interval, 250);
    EXPECT_TRUE(timer.enabled);
    EXPECT_FALSE(undo.canUndo());
    rest();
    EXPECT_EQ(undo.UndoCount(), 1u);
    EXPECT_FALSE(undo.canUndo());

    box.type("a");
    box.type("b");
    box.type("c");
    EXPECT_EQ(undo.UndoCount(), 1u);  // still typing
    rest();
    EXPECT_EQ(undo.UndoCount(), 2u);
    EXPECT_TRUE(undo.canUndo());
    EXPECT_FALSE(timer.enabled);  // one tick per rest
    rest();
    EXPECT_EQ(undo.UndoCount(), 2u);
}

TEST_F(UndoTest, TwentyFiveEditsKeepTwentyUndoSteps) {
    rest();
    for (int k = 0; k < 25; ++k) {
        box.type(std::string(1, static_cast<char>('a' + k)));
        rest();
    }
    EXPECT_EQ(undo.UndoCount(), 21u);
    int steps = 0;
    while (undo.canUndo()) {
        undo.Undo();
        ++steps;
    }
    EXPECT_EQ(steps, 20);
    EXPECT_EQ(box.text, "abcde");  // the oldest five states are gone
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(undo.canRedo());
    undo.Undo();  // nothing left: no change, no event
    EXPECT_EQ(box.text, "abcde");
}

TEST_F(UndoTest, UndoRestoresTheSelectionFromBeforeTheEditAndRedoGoesForward) {
    rest();
    box.type("hello world");
    rest();
    box.select(6, 5);  // "world" selected, then replaced
    box.text.replace(6, 5, "there");
    box.select(11, 0);
    undo.BoxChanged();
    rest();
    EXPECT_EQ(box.text, "hello there");

    box.topLine = 7;
    const int before = events;
    undo.Undo();
    EXPECT_EQ(box.text, "hello world");
    EXPECT_EQ(box.selStart, 6);
    EXPECT_EQ(box.selLength, 5);
    EXPECT_EQ(box.scrolledTo, 7);  // the view keeps its top line
    EXPECT_EQ(events, before + 1);
    EXPECT_FALSE(timer.enabled);  // restoring records nothing

    undo.Redo();
    EXPECT_EQ(box.text, "hello there");
    EXPECT_EQ(box.scrolledTo, 0);  // redo keeps no view
    EXPECT_FALSE(undo.canRedo());

    // A new edit after an undo drops what could be redone, at its snapshot.
    undo.Undo();
    EXPECT_TRUE(undo.canRedo());
    box.type("!");
    EXPECT_TRUE(undo.canRedo());
    rest();
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.UndoCount(), 3u);
}

TEST_F(UndoTest, OnlyCtrlZAndCtrlYAreTakenFromTheBox) {
    rest();
    box.type("x");
    rest();
    struct Key {
        int code, shift;
        bool taken;
    };
    for (const Key& k : {Key{90, 3, false}, Key{90, 6, false}, Key{90, 0, false}, Key{89, 1, false}, Key{65, 2, false}}) {
        int code = k.code;
        undo.KeyDown(code, k.shift);
        EXPECT_EQ(code, k.code);
        EXPECT_EQ(box.text, "x");
    }
    int code = clsUndo::kKeyZ;
    undo.KeyDown(code, clsUndo::kShiftCtrl);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(box.text, "");
    code = clsUndo::kKeyY;
    undo.KeyDown(code, clsUndo::kShiftCtrl);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(box.text, "x");
}

}  // namespace
