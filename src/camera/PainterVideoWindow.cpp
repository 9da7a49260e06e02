#include "camera/PainterVideoWindow.h"

#include <QMetaObject>
#include <QPainter>

namespace orvix {

PainterVideoWindow::PainterVideoWindow(QWidget* parent) : VideoWindow(parent) {}

void PainterVideoWindow::pushFrame(const VideoFrame& frame)
{
    ++m_received;
    bool queue;
    {
        std::lock_guard lock(m_mutex);
        m_pending = frame;
        queue = !m_updateQueued;
        m_updateQueued = true;
    }
    // One queued update per burst; it shows whichever frame is newest when it runs.
    if (queue)
        QMetaObject::invokeMethod(
            this,
            [this] {
                takePending();
                update();
            },
            Qt::QueuedConnection);
}

void PainterVideoWindow::takePending()
{
    VideoFrame f;
    {
        std::lock_guard lock(m_mutex);
        m_updateQueued = false;
        if (m_pending.isNull())
            return;
        f = std::move(m_pending);
        m_pending = VideoFrame();
    }
    m_current = std::move(f);
}

void PainterVideoWindow::clearFrame()
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = VideoFrame();
    }
    m_current = VideoFrame();
    update();
}

VideoFrame PainterVideoWindow::currentFrame() const
{
    // The newest frame counts as shown even when its update has not run yet.
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending.isNull())
            return m_pending;
    }
    return m_current;
}

void PainterVideoWindow::paintEvent(QPaintEvent*)
{
    takePending();
    QPainter p(this);
    // Filtered scaling, as a video renderer does; nearest pixels would alias the fine
    // scale lines of a microscope picture.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintPicture(p, m_current.image(), QRectF(rect()));
    // Count each frame once, however often it is repainted.
    if (!m_current.isNull() && m_current.image().cacheKey() != m_lastPainted) {
        m_lastPainted = m_current.image().cacheKey();
        ++m_painted;
    }
}

} // namespace orvix
