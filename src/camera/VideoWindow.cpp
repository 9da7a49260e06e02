#include "camera/VideoWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace orvix {

VideoWindow::VideoWindow(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted by paintEvent: no background fill underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

QTransform VideoWindow::flipTransform(int mode, const QSizeF& size)
{
    QTransform t;
    switch (mode) {
    case 0:
        t.translate(size.width(), 0);
        t.scale(-1, 1);
        break;
    case 1:
        t.translate(size.width(), size.height());
        t.scale(-1, -1);
        break;
    case 2:
        t.translate(0, size.height());
        t.scale(1, -1);
        break;
    default:
        break;
    }
    return t;
}

void VideoWindow::setFlipMode(int mode)
{
    if (mode < 0 || mode > 3 || mode == m_flipMode)
        return;
    m_flipMode = mode;
    update();
}

void VideoWindow::setOverlay(const QImage& picture, QRgb colorKey, float alpha, const QRectF& dest)
{
    if (picture.isNull()) {
        clearOverlay();
        return;
    }
    // Key out once here so that painting is a plain blend.
    QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = colorKey & 0x00ffffff;
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0x00ffffff) == key)
                row[x] = 0;
    }
    m_overlay = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_overlayAlpha = std::clamp(alpha, 0.0f, 1.0f);
    m_overlayDest = dest;
    update();
}

void VideoWindow::clearOverlay()
{
    if (m_overlay.isNull())
        return;
    m_overlay = QImage();
    update();
}

void VideoWindow::setStreamExpected(bool expected)
{
    m_expected = expected;
    if (!expected)
        m_failed = false;
}

void VideoWindow::setStreamFailed(bool failed)
{
    m_failed = failed;
}

bool VideoWindow::repaintVideo()
{
    if (m_expected && m_failed)
        return false;
    repaint();
    return true;
}

void VideoWindow::paintPicture(QPainter& p, const QImage& frame, const QRectF& target) const
{
    if (frame.isNull()) {
        p.fillRect(target, Qt::black);
    } else {
        p.save();
        p.translate(target.topLeft());
        p.setTransform(flipTransform(m_flipMode, target.size()), true);
        p.drawImage(QRectF(QPointF(0, 0), target.size()), frame);
        p.restore();
    }
    if (!m_overlay.isNull() && m_overlayAlpha > 0) {
        const QRectF d(target.x() + m_overlayDest.x() * target.width(),
                       target.y() + m_overlayDest.y() * target.height(),
                       m_overlayDest.width() * target.width(),
                       m_overlayDest.height() * target.height());
        p.save();
        p.setOpacity(m_overlayAlpha);
        p.drawImage(d, m_overlay);
        p.restore();
    }
}

QImage VideoWindow::currentImage() const
{
    const VideoFrame f = currentFrame();
    if (f.isNull())
        return {};
    QImage out(f.size(), QImage::Format_RGB888);
    QPainter p(&out);
    paintPicture(p, f.image(), QRectF(QPointF(0, 0), QSizeF(f.size())));
    return out;
}

void VideoWindow::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT mousePressed(e);
}
void VideoWindow::mouseMoveEvent(QMouseEvent* e)
{
    Q_EMIT mouseMoved(e);
}
void VideoWindow::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT mouseReleased(e);
}

} // namespace orvix
