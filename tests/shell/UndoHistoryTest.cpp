#include "shell/UndoHistory.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A document whose state is one number, changed through the history as a front end does.
struct Document {
    UndoHistory<int> history{3};
    int state = 0;
    void Change(int to) {
        history.Record(state);
        state = to;
    }
    void Undo() { state = history.Undo(state); }
    void Redo() { state = history.Redo(state); }
};

TEST(UndoHistory, UndoAndRedoWalkTheStatesAndANewChangeDropsTheRedoSteps) {
    Document d;
    EXPECT_FALSE(d.history.CanUndo());
    d.Change(1);
    d.Change(2);
    d.Undo();
    EXPECT_EQ(d.state, 1);
    d.Undo();
    EXPECT_EQ(d.state, 0);
    EXPECT_FALSE(d.history.CanUndo());
    d.Redo();
    d.Redo();
    EXPECT_EQ(d.state, 2);
    EXPECT_FALSE(d.history.CanRedo());
    d.Undo();
    d.Change(5);
    EXPECT_FALSE(d.history.CanRedo());
    d.Undo();
    EXPECT_EQ(d.state, 1);
}

TEST(UndoHistory, KeepsTheNewestStepsOnly) {
    Document d;
    for (int i = 1; i <= 5; ++i)
        d.Change(i);
    int undone = 0;
    while (d.history.CanUndo()) {
        d.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(d.state, 2);
}

TEST(UndoHistory, TellsUnsavedChangesAcrossUndoRedoAndDroppedSteps) {
    Document d;
    EXPECT_TRUE(d.history.Modified()) << "nothing saved yet";
    d.history.Clear(true);
    EXPECT_FALSE(d.history.Modified());
    d.Change(1);
    EXPECT_TRUE(d.history.Modified());
    d.history.MarkSaved();
    d.Change(2);
    EXPECT_TRUE(d.history.Modified());
    d.Undo();
    EXPECT_FALSE(d.history.Modified()) << "back at the saved state";
    d.Undo();
    EXPECT_TRUE(d.history.Modified());
    d.Redo();
    EXPECT_FALSE(d.history.Modified());
    // Saved, undone, then changed otherwise: the saved state can no longer come back.
    d.Undo();
    d.Change(7);
    d.Undo();
    EXPECT_TRUE(d.history.Modified());
    d.Redo();
    EXPECT_EQ(d.state, 7);
    EXPECT_TRUE(d.history.Modified()) << "the saved step's place holds another state";
    // A saved state that falls off the oldest end is gone too.
    d.history.Clear(true);
    for (int i = 0; i < 4; ++i)
        d.Change(10 + i);
    while (d.history.CanUndo())
        d.Undo();
    EXPECT_TRUE(d.history.Modified());
}

} // namespace
} // namespace quorvel
