#pragma once
// A picture stretched over its parent: FrozenImage (over the video, shows a frozen or
// loaded frame), MeasureLayer and RulerLayer (over the live view, transparent wherever
// their picture is transparent). It follows its parent's size, also after re-parenting.

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace orvix {

class PictureLayer : public QWidget {
    Q_OBJECT
public:
    explicit PictureLayer(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    void clearPicture();
    // Moves the layer to another parent keeping its visibility, still filling the parent.
    void reparent(QWidget* parent);

Q_SIGNALS:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void followParent();

    QImage m_picture;
    QPixmap m_scaled; // the picture at the widget's size, made on first paint
    QWidget* m_watched = nullptr;
};

} // namespace orvix
