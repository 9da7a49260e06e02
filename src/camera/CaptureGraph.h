#pragma once
// The one media pipeline of the engine while the camera streams:
//
//   source ! videoconvert ! video/x-raw,format=RGB ! tee name=capture
//     capture. ! queue ! appsink name=grab      (keeps the last frame: stills, thumbnails)
//     capture. ! queue ! appsink name=display   (hands every frame to the frame sink)
//     capture. ! <extra branches>               (recording: queue ! avimux ! filesink)
//
// All calls are made on the owning (GUI) thread. Bus messages are taken with a sync
// handler; runtime errors reach the owning thread as streamError(). Every stop() tears the
// pipeline down completely and releases the device.

#include "camera/VideoFrame.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
typedef struct _GstPad GstPad;

namespace orvix {

class CaptureGraph : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartTimeoutMs = 5000;

    explicit CaptureGraph(QObject* parent = nullptr);
    ~CaptureGraph() override;

    // Builds the preview around source (a floating element with a "src" pad, taken over
    // in every case). Any previous pipeline is torn down first. The pipeline is left in NULL.
    bool build(GstElement* source, QString* error = nullptr);
    bool isBuilt() const { return m_pipeline != nullptr; }

    // Runs the pipeline. True when it reached PLAYING within the timeout with no error on
    // the bus meanwhile; it then waits briefly for the first frame so that a stream that
    // fails as soon as data flows (caps negotiation) counts as not started. A pipeline
    // whose stream has failed does not run again (false) until it is built anew.
    bool play(int timeoutMs = kStartTimeoutMs);
    bool pause(int timeoutMs = kStartTimeoutMs);
    // To NULL and gone: elements, device and frames are released.
    void stop();

    // 0 no pipeline, 1 stopped (NULL or READY), 2 paused, 3 running.
    int state() const;
    // An error was posted while running (device gone, stream broke) or the stream ended.
    bool hasFailed() const;
    QString lastError() const;

    // Size of the negotiated capture stream; empty before negotiation.
    QSize liveSize() const;
    // The last frame of the capture stream, null when none arrived since the build.
    VideoFrame lastFrame() const;
    quint64 framesGrabbed() const;

    // The display branch delivers every frame to sink (from the streaming thread). May be
    // changed at any time; nullptr stops delivery.
    void setFrameSink(FrameSink* sink);

    // Extra branch on the capture tee, for example "queue ! avimux ! filesink". branch is
    // a floating bin with a "sink" pad; its sinks do not wait for preroll. The branch
    // starts receiving the next frame.
    bool attachBranch(GstElement* branch, QString* error = nullptr);
    // Ends the branch with an end-of-stream that runs through all its elements (an AVI
    // file gets its index), waits for it to reach every sink of the branch, then removes
    // it. False when the end-of-stream did not arrive in time (the branch is removed anyway).
    bool detachBranch(GstElement* branch, int timeoutMs = kStartTimeoutMs);

    GstElement* pipeline() const { return m_pipeline; }
    // Pipelines of all graphs not yet finalised (a leak check for tests).
    static int livePipelines();

Q_SIGNALS:
    void streamError(const QString& message);

private:
    struct Branch;
    enum class Phase { Idle, Starting, Running };

    friend struct CaptureGraphHooks;

    void onBusMessage(GstMessage* message);
    void onGrabFrame(const VideoFrame& frame);
    void onDisplayFrame(const VideoFrame& frame);
    void removeBranch(Branch& b);

    GstElement* m_pipeline = nullptr;
    GstElement* m_tee = nullptr;
    GstElement* m_grab = nullptr;
    std::vector<std::unique_ptr<Branch>> m_branches;

    mutable std::mutex m_mutex; // guards everything below
    std::condition_variable m_cv;
    Phase m_phase = Phase::Idle;
    quint64 m_generation = 0;
    bool m_failed = false;
    bool m_startError = false;
    QString m_error;
    VideoFrame m_last;
    quint64 m_grabbed = 0;
    quint64 m_displayed = 0;
    quint64 m_sequence = 0;

    std::mutex m_sinkMutex;
    FrameSink* m_sink = nullptr;
};

} // namespace orvix
