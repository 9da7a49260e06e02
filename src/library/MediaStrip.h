#pragma once
// The media library strip: three tabs (BMP, JPG, AVI), each with five thumbnail slots in
// raised frames, a page counter, a pager and a folder button.

#include <QLabel>
#include <QTabWidget>

#include <array>

class QFrame;
class QPushButton;
class QToolButton;

namespace orvix {

// A thumbnail slot: shows a picture, its file as hint, and reports double clicks and the
// right click that precedes its pop-up menu.
class ThumbnailSlot : public QLabel {
    Q_OBJECT
public:
    explicit ThumbnailSlot(QWidget* parent = nullptr);
    QString path() const { return m_path; }
    void showFile(const QString& path, const QPixmap& picture);
    void clearSlot();

Q_SIGNALS:
    void doubleClicked();
    void contextRequested(const QPoint& globalPos);

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    QString m_path;
};

struct MediaTab {
    QWidget* sheet = nullptr;
    std::array<QFrame*, 5> bevels{};
    std::array<ThumbnailSlot*, 5> slots{};
    QLabel* counter = nullptr;
    QToolButton* pageLeft = nullptr; // the pager's two arrows
    QToolButton* pageRight = nullptr;
    QWidget* pager = nullptr;
    QPushButton* folderButton = nullptr;
};

class MediaStrip : public QTabWidget {
    Q_OBJECT
public:
    explicit MediaStrip(QWidget* parent = nullptr);
    MediaTab& tab(int kind) { return m_tabs[size_t(kind)]; }
    const MediaTab& tab(int kind) const { return m_tabs[size_t(kind)]; }

Q_SIGNALS:
    void pageRequested(int kind, int step); // -1 left, +1 right
    void folderRequested(int kind);
    void slotDoubleClicked(int kind, int slot);
    void slotContextRequested(int kind, int slot, const QPoint& globalPos);

private:
    std::array<MediaTab, 3> m_tabs;
};

} // namespace orvix
