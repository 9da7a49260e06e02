#include "editor/UndoRing.h"

#include <QPainter>
#include <gtest/gtest.h>

using orvix::UndoRing;

namespace {

// A small still whose grey level tells which state it is.
QImage still(int n, QImage::Format format = QImage::Format_RGB888)
{
    QImage img(8, 6, format);
    img.fill(QColor(n * 10, n * 10, n * 10));
    return img;
}

int stateOf(const QImage& img)
{
    return qRed(img.pixel(0, 0)) / 10;
}

// Entering the editor with state 0, then drawing states 1..count.
UndoRing editedRing(int count, QImage& view)
{
    UndoRing ring;
    view = still(0);
    ring.reset(view);
    for (int n = 1; n <= count; ++n)
        ring.record(view = still(n));
    return ring;
}

} // namespace

TEST(UndoRing, FourDrawingsAllowThreeUndosThenRedoWalksForward)
{
    QImage view;
    UndoRing ring = editedRing(4, view);
    EXPECT_FALSE(ring.canUndo(true)) << "placing a pasted piece disables undo";
    for (int expected : {3, 2, 1}) {
        ASSERT_TRUE(ring.canUndo());
        ASSERT_TRUE(ring.undo(view));
        EXPECT_EQ(stateOf(view), expected);
        EXPECT_EQ(stateOf(ring.workingCopy()), expected);
    }
    EXPECT_FALSE(ring.canUndo());
    EXPECT_FALSE(ring.undo(view));
    EXPECT_EQ(stateOf(view), 1);
    for (int expected : {2, 3, 4}) {
        ASSERT_TRUE(ring.canRedo());
        ASSERT_TRUE(ring.redo(view));
        EXPECT_EQ(stateOf(view), expected);
    }
    EXPECT_FALSE(ring.canRedo());
    EXPECT_FALSE(ring.redo(view));
}

TEST(UndoRing, RecordAfterUndoDropsTheRedoHistory)
{
    QImage view;
    UndoRing ring = editedRing(3, view);
    ring.undo(view);
    ring.undo(view);
    ring.record(view = still(9));
    EXPECT_FALSE(ring.canRedo());
    ASSERT_TRUE(ring.undo(view));
    EXPECT_EQ(stateOf(view), 1);
    ASSERT_TRUE(ring.redo(view));
    EXPECT_EQ(stateOf(view), 9);
}

TEST(UndoRing, ResetAfterSaveLeavesNothingToUndo)
{
    QImage view;
    UndoRing ring = editedRing(2, view);
    ring.reset(view); // the save
    EXPECT_EQ(ring.unsavedLevel(), 1);
    EXPECT_FALSE(ring.canUndo());
    EXPECT_FALSE(ring.canRedo());
    EXPECT_FALSE(ring.undo(view));
    EXPECT_EQ(stateOf(view), 2);
}

TEST(UndoRing, UnsavedLevelFollowsRecordsUndosAndResets)
{
    QImage view = still(0);
    UndoRing ring;
    ring.reset(view);
    EXPECT_FALSE(ring.isUnsaved());
    ring.setUnsavedLevel(2); // a snapshot without automatic saving
    EXPECT_TRUE(ring.isUnsaved());
    ring.reset(view); // entering the editor
    EXPECT_EQ(ring.unsavedLevel(), 1);

    ring.record(still(1));
    ring.record(still(2));
    EXPECT_EQ(ring.unsavedLevel(), 3);
    ring.undo(view);
    ring.undo(view);
    EXPECT_EQ(ring.unsavedLevel(), 1);
    // An undo that cannot step must not lower the level: the next edit would look saved.
    EXPECT_FALSE(ring.undo(view));
    EXPECT_EQ(ring.unsavedLevel(), 1);
    ring.redo(view);
    EXPECT_EQ(ring.unsavedLevel(), 2);
    // Rotation keeps the level across its reset, so it counts as one more change.
    ring.reset(view, true);
    EXPECT_EQ(ring.unsavedLevel(), 3);
    EXPECT_FALSE(ring.canUndo());
}

TEST(UndoRing, IndicesWrapAroundTheFourSlots)
{
    QImage view;
    UndoRing ring = editedRing(5, view); // six states: slots 0,1,2,3,0,1
    EXPECT_EQ(ring.lastRecordIndex(), 1);
    EXPECT_EQ(ring.writeIndex(), 2);
    EXPECT_EQ(ring.endIndex(), 2);
    EXPECT_EQ(stateOf(ring.slot(0)), 4);
    ASSERT_TRUE(ring.undo(view)); // 1 -> 0
    ASSERT_TRUE(ring.undo(view)); // 0 -> 3, across the wrap
    EXPECT_EQ(ring.currentIndex(), 3);
    EXPECT_EQ(ring.writeIndex(), 0);
    EXPECT_FALSE(ring.slotAlive(0));
    EXPECT_EQ(stateOf(view), 3);
    ASSERT_TRUE(ring.undo(view));
    EXPECT_FALSE(ring.canUndo()); // slot 1 holds the newest state, not an older one
    ASSERT_TRUE(ring.redo(view));
    ASSERT_TRUE(ring.redo(view)); // 3 -> 0, across the wrap
    EXPECT_EQ(ring.currentIndex(), 0);
    EXPECT_TRUE(ring.slotAlive(0));
    EXPECT_EQ(stateOf(view), 4);
}

TEST(UndoRing, StoresIndependentTwentyFourBitCopiesAndKeepsTheViewFormat)
{
    QImage view = still(1, QImage::Format_RGB32);
    UndoRing ring;
    ring.reset(view);
    {
        QPainter p(&view); // drawing on the still must not reach the stored state
        p.fillRect(view.rect(), Qt::white);
    }
    ring.record(view);
    EXPECT_EQ(ring.slot(0).format(), QImage::Format_RGB888);
    ASSERT_TRUE(ring.undo(view));
    EXPECT_EQ(stateOf(view), 1);
    EXPECT_EQ(view.format(), QImage::Format_RGB32);
}
