#pragma once
// The live video surface of the engine: the project's own renderer in place of a system
// video renderer.
//
// Contract of every implementation:
// - Frames arrive through pushFrame() on the pipeline's streaming thread. pushFrame only
//   keeps a reference to the frame (no copy, no painting) and asks for at most one update
//   until that update has run; frames that arrive meanwhile replace the waiting one.
// - paintEvent() draws the latest frame scaled to the whole widget (aspect not kept), under
//   the flip mode applied as a painter transform, then the overlay picture: stretched over
//   its normalised destination rectangle of the video, pixels of the colour key left out,
//   the rest drawn with the overlay's alpha. The overlay is not flipped with the video.
// - Repainting never needs the pipeline: the last frame stays until clearFrame().
// - currentImage() is "the rendered picture": the frame at its own size with flip and
//   overlay, as a 24-bit image; null when there is no frame.
// - repaintVideo() repaints now; it returns false only when a stream is expected
//   (setStreamExpected) and that stream has failed (setStreamFailed), that is when there is
//   nothing healthy to show.
// - Mouse presses, moves and releases are re-emitted for the measurement tools.
// - Whoever feeds the window detaches it from the stream before destroying it.

#include "camera/VideoFrame.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <atomic>

namespace orvix {

class VideoWindow : public QWidget, public FrameSink {
    Q_OBJECT
public:
    explicit VideoWindow(QWidget* parent = nullptr);

    // FrameSink: streaming thread.
    void pushFrame(const VideoFrame& frame) override = 0;
    // Drops the frame (disconnect); the window shows black.
    virtual void clearFrame() = 0;
    virtual VideoFrame currentFrame() const = 0;
    virtual QImage currentImage() const;

    // 0 mirrored, 1 mirrored and upside down, 2 upside down, 3 as delivered.
    void setFlipMode(int mode);
    int flipMode() const { return m_flipMode; }
    // The transform that maps a picture of the given size onto itself under a flip mode.
    static QTransform flipTransform(int mode, const QSizeF& size);

    void setOverlay(const QImage& picture, QRgb colorKey, float alpha, const QRectF& dest);
    void clearOverlay();
    bool hasOverlay() const { return !m_overlay.isNull(); }

    void setStreamExpected(bool expected);
    void setStreamFailed(bool failed);
    bool streamExpected() const { return m_expected; }
    bool streamFailed() const { return m_failed; }
    bool repaintVideo();

    // Frames received from the stream and frames painted (for the statistics of the view).
    quint64 framesReceived() const { return m_received.load(); }
    quint64 framesPainted() const { return m_painted; }

Q_SIGNALS:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);

protected:
    // Draws frame, flip and overlay into target on the painter.
    void paintPicture(QPainter& p, const QImage& frame, const QRectF& target) const;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

    std::atomic<quint64> m_received{0};
    quint64 m_painted = 0;

private:
    int m_flipMode = 3;
    QImage m_overlay; // premultiplied, colour key made transparent
    float m_overlayAlpha = 1.0f;
    QRectF m_overlayDest{0, 0, 1, 1};
    bool m_expected = false;
    bool m_failed = false;
};

} // namespace orvix
