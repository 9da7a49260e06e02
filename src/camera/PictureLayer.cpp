#include "camera/PictureLayer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orvix {

PictureLayer::PictureLayer(QWidget* parent) : QWidget(parent)
{
    // No background: what the picture does not cover shows the widgets below.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
    followParent();
}

void PictureLayer::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_scaled = QPixmap();
    update();
}

void PictureLayer::clearPicture()
{
    setPicture(QImage());
}

void PictureLayer::reparent(QWidget* parent)
{
    if (parent == parentWidget())
        return;
    const bool visible = !isHidden();
    setParent(parent);
    followParent();
    setVisible(visible);
}

void PictureLayer::followParent()
{
    if (m_watched)
        m_watched->removeEventFilter(this);
    m_watched = parentWidget();
    if (m_watched) {
        m_watched->installEventFilter(this);
        setGeometry(m_watched->rect());
    }
}

bool PictureLayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watched && event->type() == QEvent::Resize)
        setGeometry(m_watched->rect());
    return QWidget::eventFilter(watched, event);
}

bool PictureLayer::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        followParent();
    return QWidget::event(event);
}

void PictureLayer::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull() || width() <= 0 || height() <= 0)
        return;
    if (m_scaled.size() != size())
        m_scaled = QPixmap::fromImage(
            m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter p(this);
    p.drawPixmap(0, 0, m_scaled);
}

void PictureLayer::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT mousePressed(e);
}
void PictureLayer::mouseMoveEvent(QMouseEvent* e)
{
    Q_EMIT mouseMoved(e);
}
void PictureLayer::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT mouseReleased(e);
}

} // namespace orvix
