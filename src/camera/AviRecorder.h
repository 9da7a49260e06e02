#pragma once
// Records the capture stream of a CaptureGraph into an AVI file while the preview runs on:
//
//   capture tee ! queue ! videoconvert ! [encoder | raw BGR] ! avimux ! filesink
//
// The branch is its own bin: an error inside it (disk full, encoder that refuses the
// stream) ends the recording, never the preview. Data leaves the process as soon as the
// multiplexer hands it over and is pushed to the disk every second, so a killed program
// loses only what was still queued. stop() ends the branch with an end-of-stream that is
// waited for, so the file gets its index. All calls on the thread that owns the graph.

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

typedef struct _GstElement GstElement;

namespace orvix {

class CaptureGraph;

namespace detail {
struct RecordState;
class DiskSyncer;
} // namespace detail

class AviRecorder : public QObject {
    Q_OBJECT
public:
    // How long start() waits for the first frame to be accepted by the branch.
    static constexpr int kStartTimeoutMs = 3000;
    // How long stop() waits for the end of the file to be written.
    static constexpr int kStopTimeoutMs = 5000;

    explicit AviRecorder(QObject* parent = nullptr);
    ~AviRecorder() override;

    // Starts writing path from the running graph; encoder is an element factory name, empty
    // for raw video. False, with the reason, when the file cannot be written, the encoder
    // is missing or refuses the stream; nothing is left recording then and a file that was
    // begun is removed.
    bool start(CaptureGraph& graph, const QString& path, const QString& encoder = {},
               QString* error = nullptr);
    // Ends the recording. True when the file was finalised (end of stream through the
    // multiplexer); false when there was no recording or it had failed. A file that could
    // not be finalised is repaired as far as possible, so what was written stays playable.
    bool stop();

    bool isRecording() const { return m_branch != nullptr; }
    QString fileName() const { return m_path; }
    QString encoder() const { return m_encoder; }
    // The reason of the last failure (start or while recording).
    QString lastError() const { return m_error; }

    // Frames that reached the branch, and frames that reached the multiplexer.
    quint64 framesReceived() const;
    quint64 framesWritten() const;

Q_SIGNALS:
    // The branch failed while recording (write error, encoder error). The recording has
    // already been stopped and the file repaired when this is emitted; the preview runs on.
    void failed(const QString& reason);

private:
    friend struct detail::RecordState;

    GstElement* buildBranch(const QString& path, const QString& encoder, QString* error);
    void onBranchFailed(const detail::RecordState* state);
    bool finish(bool failedBranch);

    QPointer<CaptureGraph> m_graph;
    GstElement* m_branch = nullptr; // our own reference while recording
    std::shared_ptr<detail::RecordState> m_state;
    std::unique_ptr<detail::DiskSyncer> m_syncer;
    QString m_path;
    QString m_encoder;
    QString m_error;
};

} // namespace orvix
