#pragma once
// One decoded frame of the capture stream. Wraps the pipeline's own buffer: the image is a
// read-only view of the mapped buffer, and the buffer stays mapped for as long as any copy
// of the frame or of its image lives. Cheap to copy and safe to hand between threads.

#include <QImage>
#include <QSize>

typedef struct _GstSample GstSample;

namespace orvix {

class VideoFrame {
public:
    VideoFrame() = default;
    // Maps a raw RGB (24-bit) sample; a null frame when the sample cannot be mapped. The
    // sample is referenced, not taken.
    static VideoFrame fromSample(GstSample* sample, quint64 sequence = 0);

    bool isNull() const { return m_image.isNull(); }
    // Read-only view: painting it or reading pixels does not copy; writing detaches.
    const QImage& image() const { return m_image; }
    QSize size() const { return m_image.size(); }
    // Running number of the frame in its stream (1 = first).
    quint64 sequence() const { return m_sequence; }
    // Presentation time in nanoseconds, or -1.
    qint64 timestampNs() const { return m_pts; }

private:
    QImage m_image;
    quint64 m_sequence = 0;
    qint64 m_pts = -1;
};

// Receives the frames of the display branch. pushFrame runs on the pipeline's streaming
// thread and must return quickly without copying the frame.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void pushFrame(const VideoFrame& frame) = 0;
};

} // namespace orvix
