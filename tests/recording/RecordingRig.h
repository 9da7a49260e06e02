#pragma once
// Test rig for recording and playback: a running capture graph on the demo camera, video files
// with known frames, and ffprobe as the independent reader of what was written.

#include "TestSupport.h"

#include "camera/CaptureGraph.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/VideoFrame.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

namespace orvix::test {

// Counts the frames of a display branch.
class CountingSink : public FrameSink {
public:
    void pushFrame(const VideoFrame&) override { count.fetch_add(1); }
    std::atomic<quint64> count{0};
};

// A small file system of its own, to fill up: needs the right to mount (root).
class SmallDisk {
public:
    explicit SmallDisk(int megabytes);
    ~SmallDisk();
    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// A device pool that offers the demo camera only.
struct DemoPool {
    DemoPool() : hub(std::make_shared<DemoCameraHub>(1)) { pool.addSource(hub); }
    std::shared_ptr<DemoCameraHub> hub;
    DevicePool pool;
};

// The demo camera streaming through a capture graph, as the engine runs it.
struct LiveGraph {
    explicit LiveGraph(int width = 640, int height = 480);
    ~LiveGraph();
    bool running() const { return started; }
    // Waits until n more frames reached the display branch.
    bool previewAdvances(quint64 n = 5, int timeoutMs = 10000);

    std::shared_ptr<DemoCameraHub> hub;
    CaptureGraph graph;
    CountingSink sink;
    bool started = false;
};

struct ProbeResult {
    bool ok = false;
    qint64 frames = -1; // frames ffprobe could decode
    QString codec;      // codec name
    int width = 0;
    int height = 0;
};

// ffprobe -count_frames on the first video stream.
ProbeResult probeVideo(const QString& path);

// Writes an AVI of frames of size whose frame n is filled with the grey value n * 5 (mod 256):
// raw BGR without encoder, else through the named GStreamer encoder.
bool writeGreyRampAvi(const QString& path, int frames, QSize size = QSize(160, 120), int fps = 30,
                      const QString& encoder = {});
// Frame n of a video as ffmpeg decodes it; null on failure.
QImage decodeWithFfmpeg(const QString& path, int frame, QSize size);
// The grey value a picture shows in its middle.
int greyAt(const QImage& image);

// Mean absolute difference of two pictures of the same size over all channels; -1 when the
// sizes differ.
double meanDifference(const QImage& a, const QImage& b);

// The first compressor of the catalog that writes Motion JPEG, as its compressor index.
int mjpegCompressorIndex(QString* factory = nullptr);

} // namespace orvix::test
