#pragma once
// Plays a video file into a frame sink (the engine's video window):
//
//   filesrc ! decodebin ! videoconvert ! video/x-raw,format=RGB ! appsink (synchronised)
//
// Only AVI files that decode are opened; anything else (not an AVI, damaged header, cut off,
// undecodable) is refused within a bounded time. End of stream and errors reach the owning
// thread as signals. All calls on the owning (GUI) thread.

#include "camera/VideoFrame.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <mutex>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
typedef struct _GstPad GstPad;

namespace orvix {

struct MediaPlayerHooks;

class MediaPlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kOpenTimeoutMs = 5000;
    static constexpr int kStateTimeoutMs = 3000;
    // The frame a stopped player shows.
    static constexpr int kStopFrameIndex = 8;

    enum class State { Closed, Stopped, Paused, Playing };

    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Frames go to sink from the streaming thread; nullptr stops delivery.
    void setFrameSink(FrameSink* sink);

    // Opens path and shows its first frame, paused. False, with the reason, when the file is
    // not a playable AVI video.
    bool open(const QString& path, QString* error = nullptr, int timeoutMs = kOpenTimeoutMs);
    void close();
    bool isOpen() const { return m_pipeline != nullptr; }
    QString fileName() const { return m_path; }

    bool play();
    bool pause();
    // Back to the start, paused with the first frame cued. stopPicture() is then frame 8 of
    // the file (the first frame when the file is shorter).
    bool stop();
    QImage stopPicture() const { return m_stopPicture; }
    // Moves to a position (nanoseconds) in any state.
    bool seek(qint64 positionNs);
    // Nanoseconds; -1 when not known.
    qint64 position() const;
    qint64 duration() const { return m_duration; }
    State state() const { return m_state; }

    // With repeat on, the end of the file starts it again from the beginning.
    void setRepeat(bool on) { m_repeat = on; }
    bool repeat() const { return m_repeat; }
    // The end of the file was reached (cleared by play()).
    bool endOfStream() const { return m_eos; }

    QSize videoSize() const { return m_size; }
    double frameRate() const { return m_fps; }
    // The last frame delivered to the sink, and how many were delivered since open.
    VideoFrame lastFrame() const;
    quint64 framesDelivered() const;

Q_SIGNALS:
    // The end of the file was reached with repeat off. The player stays at the end.
    void endOfStreamReached();
    // The end of the file was reached with repeat on; it plays again from the start.
    void restarted();
    // Decoding failed while playing; the player is stopped.
    void playbackFailed(const QString& reason);

private:
    friend struct MediaPlayerHooks;

    void onBusMessage(GstMessage* message);
    void onPadAdded(GstPad* pad);
    void deliver(const VideoFrame& frame);
    void handleEndOfStream();
    void handleError(const QString& reason);
    bool setStateAndWait(int state);
    bool waitAsyncDone(quint64 after, int timeoutMs);

    GstElement* m_pipeline = nullptr;
    GstElement* m_convert = nullptr;
    GstElement* m_sink = nullptr;
    QString m_path;
    State m_state = State::Closed;
    bool m_repeat = false;
    bool m_eos = false;
    bool m_atEnd = false; // the pipeline sits at the end of the file
    qint64 m_duration = -1;
    QSize m_size;
    double m_fps = 0;
    QImage m_stopPicture;

    mutable std::mutex m_mutex; // guards everything below
    std::condition_variable m_cv;
    quint64 m_generation = 0;
    bool m_opening = false;
    bool m_videoLinked = false;
    bool m_noVideo = false;
    quint64 m_asyncDone = 0;
    bool m_error = false;
    QString m_errorText;
    VideoFrame m_last;
    quint64 m_delivered = 0;

    std::mutex m_sinkMutex;
    FrameSink* m_frameSink = nullptr;
};

} // namespace orvix
