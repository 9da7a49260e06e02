#pragma once
// The video window drawn with QPainter: the latest frame scaled to the widget.

#include "camera/VideoWindow.h"

#include <mutex>

namespace orvix {

class PainterVideoWindow : public VideoWindow {
    Q_OBJECT
public:
    explicit PainterVideoWindow(QWidget* parent = nullptr);

    void pushFrame(const VideoFrame& frame) override;
    void clearFrame() override;
    VideoFrame currentFrame() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void takePending();

    mutable std::mutex m_mutex;
    VideoFrame m_pending;        // arrived, not yet shown; guarded by m_mutex
    bool m_updateQueued = false; // guarded by m_mutex
    VideoFrame m_current;        // GUI thread only
    qint64 m_lastPainted = 0;
};

} // namespace orvix
