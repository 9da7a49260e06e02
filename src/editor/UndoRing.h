#pragma once
// The editor's undo ring: the last four states of the still, full copies at 24 bits per pixel,
// and the unsaved level by which the whole program decides whether the still has changes.

#include <QImage>
#include <QPoint>

#include <array>

namespace orvix {

class UndoRing {
public:
    static constexpr int kSlots = 4;

    // Frees the four stored pictures and zeroes indices and flags (DeleteImageMemory plus
    // clearing the ring state). The unsaved level is zeroed too unless keepUnsavedLevel.
    void clear(bool keepUnsavedLevel = false);

    // Puts a new still into the ring as its only state: clear, then record. Afterwards the
    // unsaved level is 1, or one more than before when keepUnsavedLevel (rotation).
    void reset(const QImage& still, bool keepUnsavedLevel = false);

    // Records the still as the newest state (UndoRedoRecrod). States that were undone can no
    // longer be redone afterwards.
    void record(const QImage& still);

    // Steps back / forward. On a step the still is replaced by the stored state, the working
    // copy follows it and true is returned; the caller then moves the view back to
    // savedViewPos(). Nothing changes (and false is returned) when there is no step to take.
    bool undo(QImage& still);
    bool redo(QImage& still);

    // Enabling rules of the two toolbar actions.
    bool canUndo(bool placingPastedPiece = false) const;
    bool canRedo() const;

    // Above 1 means the still has unsaved changes.
    int unsavedLevel() const { return m_unsavedLevel; }
    void setUnsavedLevel(int level) { m_unsavedLevel = level; }
    bool isUnsaved() const { return m_unsavedLevel > 1; }

    // The editor's working copy: a copy of the still after every record, undo and redo.
    const QImage& workingCopy() const { return m_workingCopy; }
    void setWorkingCopy(const QImage& picture) { m_workingCopy = picture; }

    // View position of the still remembered at the last mouse release in the editor.
    QPoint savedViewPos() const { return m_savedViewPos; }
    void setSavedViewPos(QPoint pos) { m_savedViewPos = pos; }

    int writeIndex() const { return m_writeIndex; }
    int currentIndex() const { return m_currentIndex; }
    int lastRecordIndex() const { return m_lastRecordIndex; }
    int endIndex() const { return m_endIndex; }
    bool slotValid(int i) const { return m_slotValid[wrap(i)]; }
    bool slotAlive(int i) const { return m_slotAlive[wrap(i)]; }
    const QImage& slot(int i) const { return m_slots[wrap(i)]; }

    static constexpr int wrap(int i) { return ((i % kSlots) + kSlots) % kSlots; }

private:
    void show(int index, QImage& still);

    std::array<QImage, kSlots> m_slots;
    std::array<bool, kSlots> m_slotValid{};
    std::array<bool, kSlots> m_slotAlive{};
    int m_writeIndex = 0;
    int m_currentIndex = 0;
    int m_lastRecordIndex = 0;
    int m_endIndex = 0;
    int m_unsavedLevel = 0;
    QImage m_workingCopy;
    QPoint m_savedViewPos;
};

} // namespace orvix
