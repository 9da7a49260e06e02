#include "camera/AviRecorder.h"

#include "camera/AviFile.h"
#include "camera/CaptureGraph.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace orvix::detail {

// Shared between the recorder (owning thread) and the branch (streaming threads).
struct RecordState {
    std::mutex mutex;
    std::condition_variable cv;
    bool failed = false;
    QString error;
    std::atomic<quint64> received{0};
    std::atomic<quint64> written{0};
    AviRecorder* owner = nullptr; // guarded by mutex; told about a failure once

    void fail(const QString& why)
    {
        std::lock_guard lock(mutex);
        if (failed)
            return;
        failed = true;
        error = why;
        cv.notify_all();
        if (owner) {
            AviRecorder* o = owner;
            const RecordState* self = this;
            QMetaObject::invokeMethod(
                o, [o, self] { o->onBranchFailed(self); }, Qt::QueuedConnection);
        }
    }
};

// Pushes what the file holds to the disk at a steady interval, so a crash of the machine
// loses no more than the kernel had not written yet.
class DiskSyncer {
public:
    DiskSyncer(const QString& path, int intervalMs)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return;
        m_thread = std::thread([this, intervalMs] {
            std::unique_lock lock(m_mutex);
            while (!m_cv.wait_for(lock, std::chrono::milliseconds(intervalMs),
                                  [this] { return m_stop; })) {
                lock.unlock();
                ::fdatasync(m_fd);
                lock.lock();
            }
        });
    }
    ~DiskSyncer()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0) {
            ::fdatasync(m_fd);
            ::close(m_fd);
        }
    }

private:
    int m_fd = -1;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace orvix::detail

using orvix::detail::RecordState;

// The recording branch: a bin that keeps its errors to itself (they end the recording, not
// the preview) and never hands a failure back to the capture tee.
struct OrvixRecordBin {
    GstBin parent;
    std::shared_ptr<RecordState>* state;
};
struct OrvixRecordBinClass {
    GstBinClass parent_class;
};

G_DEFINE_TYPE(OrvixRecordBin, orvix_record_bin, GST_TYPE_BIN)

namespace {

QString describeError(GstMessage* message)
{
    GError* err = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &err, &debug);
    QString text = QString::fromUtf8(err ? err->message : "Recording error");
    // The debug text ends with the system's own reason ("No space left on device").
    const QString detail = QString::fromUtf8(debug ? debug : "").section(QLatin1Char('\n'), -1);
    if (!detail.isEmpty() && !detail.contains(QLatin1Char('/')) && !text.contains(detail))
        text += QStringLiteral(" (%1)").arg(detail.trimmed());
    if (err)
        g_error_free(err);
    g_free(debug);
    return text;
}

RecordState* stateOf(GstObject* bin)
{
    auto* b = reinterpret_cast<OrvixRecordBin*>(bin);
    return b && b->state ? b->state->get() : nullptr;
}

GstFlowReturn settle(GstObject* parent, GstFlowReturn r)
{
    if (r != GST_FLOW_OK && r != GST_FLOW_FLUSHING) {
        if (RecordState* s = stateOf(parent))
            s->fail(QStringLiteral("The recording stream stopped (%1)")
                        .arg(QString::fromUtf8(gst_flow_get_name(r))));
    }
    return GST_FLOW_OK;
}

GstFlowReturn guardedChain(GstPad* pad, GstObject* parent, GstBuffer* buffer)
{
    if (RecordState* s = stateOf(parent))
        s->received.fetch_add(1);
    return settle(parent, gst_proxy_pad_chain_default(pad, parent, buffer));
}

GstFlowReturn guardedChainList(GstPad* pad, GstObject* parent, GstBufferList* list)
{
    if (RecordState* s = stateOf(parent))
        s->received.fetch_add(gst_buffer_list_length(list));
    return settle(parent, gst_proxy_pad_chain_list_default(pad, parent, list));
}

bool writesJpeg(GstElement* encoder)
{
    GstPad* pad = gst_element_get_static_pad(encoder, "src");
    if (!pad)
        return false;
    GstCaps* caps = gst_pad_query_caps(pad, nullptr);
    gst_object_unref(pad);
    bool jpeg = false;
    for (guint i = 0; caps && i < gst_caps_get_size(caps); ++i)
        jpeg = jpeg || gst_structure_has_name(gst_caps_get_structure(caps, i), "image/jpeg");
    if (caps)
        gst_caps_unref(caps);
    return jpeg;
}

GstPadProbeReturn countWritten(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    auto* s = static_cast<RecordState*>(data);
    quint64 n = 0;
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER)
        n = 1;
    else if (GstBufferList* l = GST_PAD_PROBE_INFO_BUFFER_LIST(info))
        n = gst_buffer_list_length(l);
    if (n) {
        std::lock_guard lock(s->mutex);
        s->written.fetch_add(n);
        s->cv.notify_all();
    }
    return GST_PAD_PROBE_OK;
}

} // namespace

static void orvix_record_bin_handle_message(GstBin* bin, GstMessage* message)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        if (RecordState* s = stateOf(GST_OBJECT(bin)))
            s->fail(describeError(message));
        gst_message_unref(message);
        return;
    }
    GST_BIN_CLASS(orvix_record_bin_parent_class)->handle_message(bin, message);
}

static void orvix_record_bin_finalize(GObject* object)
{
    auto* self = reinterpret_cast<OrvixRecordBin*>(object);
    delete self->state;
    self->state = nullptr;
    G_OBJECT_CLASS(orvix_record_bin_parent_class)->finalize(object);
}

static void orvix_record_bin_class_init(OrvixRecordBinClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = orvix_record_bin_finalize;
    GST_BIN_CLASS(klass)->handle_message = orvix_record_bin_handle_message;
}

static void orvix_record_bin_init(OrvixRecordBin* self)
{
    self->state = nullptr;
}

namespace orvix {

namespace {
constexpr int kSyncIntervalMs = 1000;
constexpr int kFailedStopTimeoutMs = 500;
} // namespace

AviRecorder::AviRecorder(QObject* parent) : QObject(parent) {}

AviRecorder::~AviRecorder()
{
    if (m_state) {
        std::lock_guard lock(m_state->mutex);
        m_state->owner = nullptr;
    }
    finish(false);
}

quint64 AviRecorder::framesReceived() const
{
    return m_state ? m_state->received.load() : 0;
}
quint64 AviRecorder::framesWritten() const
{
    return m_state ? m_state->written.load() : 0;
}

GstElement* AviRecorder::buildBranch(const QString& path, const QString& encoder, QString* error)
{
    auto* bin = static_cast<GstElement*>(g_object_new(orvix_record_bin_get_type(), nullptr));
    reinterpret_cast<OrvixRecordBin*>(bin)->state = new std::shared_ptr<RecordState>(m_state);

    GstElement* queue = gst_element_factory_make("queue", "record-queue");
    GstElement* convert = gst_element_factory_make("videoconvert", "record-convert");
    GstElement* format = nullptr;
    if (encoder.isEmpty()) {
        // Uncompressed 24-bit picture rows, as every AVI reader knows them.
        format = gst_element_factory_make("capsfilter", "record-raw");
        if (format) {
            GstCaps* caps =
                gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", nullptr);
            g_object_set(format, "caps", caps, nullptr);
            gst_caps_unref(caps);
        }
    } else {
        format = gst_element_factory_make(encoder.toUtf8().constData(), "record-encoder");
    }
    // JPEG pictures are full-range by definition (JFIF); given the usual video range, some
    // encoders write it as it comes and most readers then show washed-out colours.
    GstElement* range = nullptr;
    if (!encoder.isEmpty() && format && writesJpeg(format)) {
        range = gst_element_factory_make("capsfilter", "record-range");
        if (range) {
            GstCaps* caps = gst_caps_from_string("video/x-raw,colorimetry=(string)1:4:0:0");
            g_object_set(range, "caps", caps, nullptr);
            gst_caps_unref(caps);
        }
    }
    GstElement* mux = gst_element_factory_make("avimux", "record-mux");
    GstElement* sink = gst_element_factory_make("filesink", "record-file");
    GstElement* parts[] = {queue, convert, format, mux, sink};
    bool missing = false;
    for (GstElement* e : parts)
        missing = missing || !e;
    if (missing) {
        for (GstElement* e : parts)
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        gst_object_unref(gst_object_ref_sink(bin));
        if (error)
            *error = !format && !encoder.isEmpty()
                         ? QStringLiteral("The compressor \"%1\" is not installed").arg(encoder)
                         : QStringLiteral("GStreamer recording elements are missing");
        return nullptr;
    }

    // Room for about two seconds; beyond that new frames are dropped rather than holding up
    // the preview.
    g_object_set(queue, "max-size-buffers", 60u, "max-size-bytes", guint(256u << 20),
                 "max-size-time", guint64(0), "leaky", 1 /* upstream: drop new frames */, nullptr);
    const QByteArray location = QFile::encodeName(path);
    // Unbuffered: each piece the multiplexer hands over goes straight to the file.
    g_object_set(sink, "location", location.constData(), "buffer-mode", 2, "sync", FALSE, "async",
                 FALSE, nullptr);
    gst_bin_add_many(GST_BIN(bin), queue, convert, format, mux, sink, nullptr);
    bool linked;
    if (range) {
        gst_bin_add(GST_BIN(bin), range);
        linked = gst_element_link_many(queue, convert, range, format, mux, sink, nullptr);
    } else {
        linked = gst_element_link_many(queue, convert, format, mux, sink, nullptr);
    }
    if (!linked) {
        gst_object_unref(gst_object_ref_sink(bin));
        if (error)
            *error =
                encoder.isEmpty()
                    ? QStringLiteral("The recording branch cannot be linked")
                    : QStringLiteral("The compressor \"%1\" cannot feed an AVI file").arg(encoder);
        return nullptr;
    }
    GstPad* out = gst_element_get_static_pad(format, "src");
    gst_pad_add_probe(out,
                      GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
                      &countWritten, m_state.get(), nullptr);
    gst_object_unref(out);

    GstPad* in = gst_element_get_static_pad(queue, "sink");
    GstPad* ghost = gst_ghost_pad_new("sink", in);
    gst_object_unref(in);
    gst_pad_set_chain_function(ghost, guardedChain);
    gst_pad_set_chain_list_function(ghost, guardedChainList);
    gst_element_add_pad(bin, ghost);
    return bin;
}

bool AviRecorder::start(CaptureGraph& graph, const QString& path, const QString& encoder,
                        QString* error)
{
    auto fail = [this, error](const QString& why) {
        m_error = why;
        if (error)
            *error = why;
        return false;
    };
    if (m_branch)
        return fail(QStringLiteral("A recording is already running"));
    if (!graph.isBuilt() || graph.hasFailed())
        return fail(QStringLiteral("The camera is not streaming"));
    {
        // Fails early and clearly for a folder that is missing or read-only.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(QStringLiteral("The file \"%1\" cannot be written: %2")
                            .arg(path, probe.errorString()));
    }

    m_state = std::make_shared<RecordState>();
    m_state->owner = this;
    m_path = path;
    m_encoder = encoder;
    m_error.clear();
    QString why;
    GstElement* branch = buildBranch(path, encoder, &why);
    if (!branch) {
        QFile::remove(path);
        m_state->owner = nullptr;
        return fail(why);
    }
    gst_object_ref_sink(branch);
    if (!graph.attachBranch(GST_ELEMENT(gst_object_ref(branch)), &why)) {
        gst_object_unref(branch);
        QFile::remove(path);
        {
            std::lock_guard lock(m_state->mutex);
            m_state->owner = nullptr;
        }
        return fail(why);
    }
    m_graph = &graph;
    m_branch = branch;
    m_syncer = std::make_unique<detail::DiskSyncer>(path, kSyncIntervalMs);

    // The first frame shows whether the encoder and the file take the stream; a camera that
    // delivers nothing for a while is given the benefit of the doubt.
    bool failed;
    {
        std::unique_lock lock(m_state->mutex);
        m_state->cv.wait_for(lock, std::chrono::milliseconds(kStartTimeoutMs),
                             [this] { return m_state->failed || m_state->written.load() > 0; });
        failed = m_state->failed;
        why = m_state->error;
        if (failed)
            m_state->owner = nullptr; // reported here, not by a signal
    }
    if (failed) {
        finish(true);
        QFile::remove(path);
        return fail(why);
    }
    return true;
}

bool AviRecorder::stop()
{
    return finish(false);
}

bool AviRecorder::finish(bool failedBranch)
{
    if (!m_branch)
        return false;
    m_syncer.reset();
    bool ended = false;
    if (m_graph) {
        bool failedNow;
        {
            std::lock_guard lock(m_state->mutex);
            failedNow = m_state->failed;
        }
        // A failed branch cannot pass an end-of-stream any more; do not wait long for it.
        ended = m_graph->detachBranch(m_branch, failedBranch || failedNow ? kFailedStopTimeoutMs
                                                                          : kStopTimeoutMs);
    }
    // Gone with its pipeline, or taken out of it: either way the file must be closed now.
    gst_element_set_state(m_branch, GST_STATE_NULL);
    gst_object_unref(m_branch);
    m_branch = nullptr;
    m_graph = nullptr;
    bool failed;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->owner = nullptr;
        failed = m_state->failed;
        if (failed)
            m_error = m_state->error;
    }
    if (failed || !ended) {
        if (!failed && m_error.isEmpty())
            m_error = QStringLiteral("The end of the recording could not be written");
        repairInterruptedAvi(m_path);
    }
    return ended && !failed;
}

void AviRecorder::onBranchFailed(const detail::RecordState* state)
{
    if (!m_branch || state != m_state.get())
        return;
    finish(true);
    Q_EMIT failed(m_error);
}

} // namespace orvix
