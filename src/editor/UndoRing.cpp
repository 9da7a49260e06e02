#include "editor/UndoRing.h"

namespace orvix {

void UndoRing::clear(bool keepUnsavedLevel)
{
    for (QImage& s : m_slots)
        s = QImage();
    m_slotValid.fill(false);
    m_slotAlive.fill(false);
    m_writeIndex = m_currentIndex = m_lastRecordIndex = m_endIndex = 0;
    if (!keepUnsavedLevel)
        m_unsavedLevel = 0;
}

void UndoRing::reset(const QImage& still, bool keepUnsavedLevel)
{
    clear(keepUnsavedLevel);
    record(still);
}

void UndoRing::record(const QImage& still)
{
    // A full 24-bit copy: the slot must not share pixels with a still that is drawn on later.
    QImage copy = still.convertToFormat(QImage::Format_RGB888);
    if (copy.constBits() == still.constBits())
        copy.detach();
    m_slots[m_writeIndex] = std::move(copy);

    m_currentIndex = m_lastRecordIndex = m_writeIndex;
    m_slotValid[m_writeIndex] = true;
    m_slotAlive[m_writeIndex] = true;
    m_slotValid = m_slotAlive;

    m_writeIndex = wrap(m_writeIndex + 1);
    m_endIndex = m_writeIndex;
    ++m_unsavedLevel;
    m_workingCopy = still;
}

void UndoRing::show(int index, QImage& still)
{
    const QImage& stored = m_slots[index];
    // Keep the still in the format the view works in; sizes always match the stored state.
    still = (still.isNull() || still.format() == stored.format())
                ? stored.copy()
                : stored.convertToFormat(still.format());
    m_workingCopy = still;
}

bool UndoRing::undo(QImage& still)
{
    const int p = wrap(m_currentIndex - 1);
    if (!m_slotValid[p] || m_lastRecordIndex == p)
        return false;
    show(p, still);
    m_slotAlive[m_currentIndex] = false;
    m_currentIndex = p;
    m_writeIndex = wrap(m_writeIndex - 1);
    // Only a real step changes the level: lowering it without going back would report an
    // edited still as saved.
    --m_unsavedLevel;
    return true;
}

bool UndoRing::redo(QImage& still)
{
    const int p = wrap(m_currentIndex + 1);
    if (!m_slotValid[p] || m_endIndex == p)
        return false;
    show(p, still);
    m_currentIndex = p;
    m_writeIndex = wrap(m_writeIndex + 1);
    m_slotAlive[p] = true;
    ++m_unsavedLevel;
    return true;
}

bool UndoRing::canUndo(bool placingPastedPiece) const
{
    return !placingPastedPiece && m_slotValid[wrap(m_currentIndex - 1)] &&
           m_endIndex != m_currentIndex;
}

bool UndoRing::canRedo() const
{
    const int next = wrap(m_currentIndex + 1);
    return m_slotValid[next] && m_endIndex != next;
}

} // namespace orvix
