#include "camera/CaptureGraph.h"

#include <QMetaObject>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace orvix {

namespace {

std::atomic<int> s_livePipelines{0};

void pipelineFinalised(gpointer, GObject*)
{
    s_livePipelines.fetch_sub(1);
}

// How long a started pipeline may take to deliver its first frame before the start is
// judged by the absence of errors alone.
constexpr int kFirstFrameWaitMs = 1500;

void setSinksAsync(GstElement* element, bool async)
{
    if (!GST_IS_BIN(element)) {
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "async"))
            g_object_set(element, "async", async, nullptr);
        return;
    }
    GstIterator* it = gst_bin_iterate_sinks(GST_BIN(element));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* e = GST_ELEMENT(g_value_get_object(&item));
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(e), "async"))
            g_object_set(e, "async", async, nullptr);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

std::vector<GstElement*> sinksOf(GstElement* element)
{
    std::vector<GstElement*> out;
    if (!GST_IS_BIN(element)) {
        out.push_back(GST_ELEMENT(gst_object_ref(element)));
        return out;
    }
    GstIterator* it = gst_bin_iterate_sinks(GST_BIN(element));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        out.push_back(GST_ELEMENT(gst_object_ref(g_value_get_object(&item))));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return out;
}

} // namespace

struct CaptureGraph::Branch {
    CaptureGraph* graph = nullptr;
    GstElement* bin = nullptr;
    GstPad* teePad = nullptr;
    GstPad* sinkPad = nullptr;
    int sinkCount = 0;
    int eosSeen = 0;       // guarded by the graph's mutex
    bool unlinked = false; // guarded by the graph's mutex
};

struct CaptureGraphHooks {
    static GstBusSyncReply bus(GstBus*, GstMessage* message, gpointer self)
    {
        static_cast<CaptureGraph*>(self)->onBusMessage(message);
        // Nothing reads the bus queue; a dropped message is the handler's to release.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    static GstFlowReturn grab(GstAppSink* sink, gpointer self)
    {
        auto* g = static_cast<CaptureGraph*>(self);
        GstSample* sample = gst_app_sink_pull_sample(sink);
        if (!sample)
            return GST_FLOW_EOS;
        quint64 seq;
        {
            std::lock_guard lock(g->m_mutex);
            seq = ++g->m_sequence;
        }
        g->onGrabFrame(VideoFrame::fromSample(sample, seq));
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    }

    static GstFlowReturn display(GstAppSink* sink, gpointer self)
    {
        auto* g = static_cast<CaptureGraph*>(self);
        GstSample* sample = gst_app_sink_pull_sample(sink);
        if (!sample)
            return GST_FLOW_EOS;
        g->onDisplayFrame(VideoFrame::fromSample(sample));
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    }

    static GstPadProbeReturn branchEos(GstPad*, GstPadProbeInfo* info, gpointer data)
    {
        auto* b = static_cast<CaptureGraph::Branch*>(data);
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (event && GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
            std::lock_guard lock(b->graph->m_mutex);
            ++b->eosSeen;
            b->graph->m_cv.notify_all();
        }
        return GST_PAD_PROBE_OK;
    }

    static GstPadProbeReturn teeIdle(GstPad* pad, GstPadProbeInfo*, gpointer data)
    {
        auto* b = static_cast<CaptureGraph::Branch*>(data);
        gst_pad_unlink(pad, b->sinkPad);
        std::lock_guard lock(b->graph->m_mutex);
        b->unlinked = true;
        b->graph->m_cv.notify_all();
        return GST_PAD_PROBE_REMOVE;
    }
};

CaptureGraph::CaptureGraph(QObject* parent) : QObject(parent) {}

int CaptureGraph::livePipelines()
{
    return s_livePipelines.load();
}

CaptureGraph::~CaptureGraph()
{
    setFrameSink(nullptr);
    stop();
}

bool CaptureGraph::build(GstElement* source, QString* error)
{
    stop();
    if (!source) {
        if (error)
            *error = QStringLiteral("No source element");
        return false;
    }
    gst_object_ref_sink(source);

    GstElement* convert = gst_element_factory_make("videoconvert", "convert");
    GstElement* rgb = gst_element_factory_make("capsfilter", "rgb");
    GstElement* tee = gst_element_factory_make("tee", "capture");
    GstElement* grabQueue = gst_element_factory_make("queue", "grab-queue");
    GstElement* grab = gst_element_factory_make("appsink", "grab");
    GstElement* displayQueue = gst_element_factory_make("queue", "display-queue");
    GstElement* display = gst_element_factory_make("appsink", "display");
    GstElement* parts[] = {convert, rgb, tee, grabQueue, grab, displayQueue, display};
    if (std::any_of(std::begin(parts), std::end(parts), [](GstElement* e) { return !e; })) {
        for (GstElement* e : parts)
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        gst_object_unref(source);
        if (error)
            *error = QStringLiteral("GStreamer base elements are missing");
        return false;
    }

    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "RGB", nullptr);
    g_object_set(rgb, "caps", caps, nullptr);
    for (GstElement* q : {grabQueue, displayQueue})
        g_object_set(q, "max-size-buffers", 3u, "max-size-bytes", 0u, "max-size-time", guint64(0),
                     "leaky", 2 /* downstream: drop the oldest */, nullptr);
    GstAppSinkCallbacks grabCb{};
    grabCb.new_sample = &CaptureGraphHooks::grab;
    GstAppSinkCallbacks displayCb{};
    displayCb.new_sample = &CaptureGraphHooks::display;
    for (GstElement* s : {grab, display}) {
        // A live stream is shown as it arrives; async off lets PLAYING be reached before
        // the first frame, so a camera that runs without delivering still starts.
        g_object_set(s, "caps", caps, "sync", FALSE, "async", FALSE, "max-buffers", 2u, "drop",
                     TRUE, "emit-signals", FALSE, nullptr);
    }
    gst_app_sink_set_callbacks(GST_APP_SINK(grab), &grabCb, this, nullptr);
    gst_app_sink_set_callbacks(GST_APP_SINK(display), &displayCb, this, nullptr);
    gst_caps_unref(caps);

    m_pipeline = gst_pipeline_new("orvix-capture");
    gst_object_ref_sink(m_pipeline);
    s_livePipelines.fetch_add(1);
    g_object_weak_ref(G_OBJECT(m_pipeline), &pipelineFinalised, nullptr);
    gst_bin_add_many(GST_BIN(m_pipeline), source, convert, rgb, tee, grabQueue, grab, displayQueue,
                     display, nullptr);
    gst_object_unref(source); // the pipeline holds it now
    const bool linked = gst_element_link_many(source, convert, rgb, tee, nullptr) &&
                        gst_element_link_many(tee, grabQueue, grab, nullptr) &&
                        gst_element_link_many(tee, displayQueue, display, nullptr);
    m_tee = tee;
    m_grab = grab;

    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
    gst_bus_set_sync_handler(bus, &CaptureGraphHooks::bus, this, nullptr);
    gst_object_unref(bus);

    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_phase = Phase::Idle;
        m_failed = false;
        m_startError = false;
        m_error.clear();
        m_last = VideoFrame();
        m_grabbed = m_displayed = m_sequence = 0;
    }
    if (!linked) {
        stop();
        if (error)
            *error = QStringLiteral("The source cannot be linked into the capture pipeline");
        return false;
    }
    return true;
}

bool CaptureGraph::play(int timeoutMs)
{
    if (!m_pipeline)
        return false;
    {
        std::lock_guard lock(m_mutex);
        // A stream that broke (device gone) cannot be resumed; it has to be built anew.
        if (m_failed)
            return false;
        if (m_phase == Phase::Running && state() == 3)
            return true;
        m_phase = Phase::Starting;
        m_startError = false;
    }
    bool ok = gst_element_set_state(m_pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (ok) {
        GstState current = GST_STATE_NULL;
        const GstStateChangeReturn r = gst_element_get_state(m_pipeline, &current, nullptr,
                                                             GstClockTime(timeoutMs) * GST_MSECOND);
        ok = (r == GST_STATE_CHANGE_SUCCESS || r == GST_STATE_CHANGE_NO_PREROLL) &&
             current == GST_STATE_PLAYING;
    }
    std::unique_lock lock(m_mutex);
    if (ok) {
        m_cv.wait_for(lock, std::chrono::milliseconds(std::min(timeoutMs, kFirstFrameWaitMs)),
                      [this] { return m_startError || m_grabbed > 0; });
    }
    ok = ok && !m_startError;
    if (ok) {
        m_phase = Phase::Running;
    } else {
        m_phase = Phase::Idle;
        if (m_error.isEmpty())
            m_error = QStringLiteral("The pipeline did not start");
    }
    return ok;
}

bool CaptureGraph::pause(int timeoutMs)
{
    if (!m_pipeline)
        return false;
    if (gst_element_set_state(m_pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    GstState current = GST_STATE_NULL;
    const GstStateChangeReturn r =
        gst_element_get_state(m_pipeline, &current, nullptr, GstClockTime(timeoutMs) * GST_MSECOND);
    return (r == GST_STATE_CHANGE_SUCCESS || r == GST_STATE_CHANGE_NO_PREROLL) &&
           current == GST_STATE_PAUSED;
}

void CaptureGraph::stop()
{
    if (!m_pipeline)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_phase = Phase::Idle;
        ++m_generation;
    }
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    for (auto& b : m_branches) {
        gst_object_unref(b->teePad);
        gst_object_unref(b->sinkPad);
        gst_object_unref(b->bin);
    }
    m_branches.clear();
    gst_object_unref(m_pipeline);
    m_pipeline = m_tee = m_grab = nullptr;
    VideoFrame last;
    {
        std::lock_guard lock(m_mutex);
        last = std::move(m_last);
        m_last = VideoFrame();
        m_failed = false;
    }
}

int CaptureGraph::state() const
{
    if (!m_pipeline)
        return 0;
    GstState current = GST_STATE_NULL;
    gst_element_get_state(m_pipeline, &current, nullptr, 0);
    switch (current) {
    case GST_STATE_PLAYING:
        return 3;
    case GST_STATE_PAUSED:
        return 2;
    default:
        return 1;
    }
}

bool CaptureGraph::hasFailed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

QString CaptureGraph::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

QSize CaptureGraph::liveSize() const
{
    if (!m_grab)
        return {};
    GstPad* pad = gst_element_get_static_pad(m_grab, "sink");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    QSize size;
    GstVideoInfo info;
    if (caps && gst_video_info_from_caps(&info, caps))
        size = QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
    if (caps)
        gst_caps_unref(caps);
    return size;
}

VideoFrame CaptureGraph::lastFrame() const
{
    std::lock_guard lock(m_mutex);
    return m_last;
}

quint64 CaptureGraph::framesGrabbed() const
{
    std::lock_guard lock(m_mutex);
    return m_grabbed;
}

void CaptureGraph::setFrameSink(FrameSink* sink)
{
    std::lock_guard lock(m_sinkMutex);
    m_sink = sink;
}

void CaptureGraph::onGrabFrame(const VideoFrame& frame)
{
    if (frame.isNull())
        return;
    std::lock_guard lock(m_mutex);
    m_last = frame;
    if (++m_grabbed == 1)
        m_cv.notify_all();
}

void CaptureGraph::onDisplayFrame(const VideoFrame& frame)
{
    if (frame.isNull())
        return;
    std::lock_guard lock(m_sinkMutex);
    if (m_sink)
        m_sink->pushFrame(frame);
}

void CaptureGraph::onBusMessage(GstMessage* message)
{
    QString text;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GError* err = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &err, &debug);
        text = QString::fromUtf8(err ? err->message : "stream error");
        if (err)
            g_error_free(err);
        g_free(debug);
        break;
    }
    case GST_MESSAGE_EOS:
        text = QStringLiteral("The stream ended");
        break;
    default:
        return;
    }

    std::lock_guard lock(m_mutex);
    if (m_phase == Phase::Starting) {
        m_startError = true;
        m_error = text;
        m_cv.notify_all();
        return;
    }
    if (m_phase != Phase::Running || m_failed)
        return;
    m_failed = true;
    m_error = text;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, text] {
            {
                std::lock_guard l(m_mutex);
                if (generation != m_generation)
                    return;
            }
            Q_EMIT streamError(text);
        },
        Qt::QueuedConnection);
}

bool CaptureGraph::attachBranch(GstElement* branch, QString* error)
{
    if (!branch) {
        if (error)
            *error = QStringLiteral("No branch");
        return false;
    }
    gst_object_ref_sink(branch);
    GstPad* sinkPad = gst_element_get_static_pad(branch, "sink");
    if (!m_pipeline || !sinkPad) {
        if (sinkPad)
            gst_object_unref(sinkPad);
        gst_object_unref(branch);
        if (error)
            *error = m_pipeline ? QStringLiteral("The branch has no sink pad")
                                : QStringLiteral("No pipeline");
        return false;
    }
    setSinksAsync(branch, false);

    auto b = std::make_unique<Branch>();
    b->graph = this;
    b->bin = branch;
    b->sinkPad = sinkPad;
    const std::vector<GstElement*> sinks = sinksOf(branch);
    b->sinkCount = int(sinks.size());
    for (GstElement* s : sinks) {
        if (GstPad* p = gst_element_get_static_pad(s, "sink")) {
            gst_pad_add_probe(p, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &CaptureGraphHooks::branchEos,
                              b.get(), nullptr);
            gst_object_unref(p);
        }
        gst_object_unref(s);
    }

    gst_bin_add(GST_BIN(m_pipeline), branch); // the pipeline takes its own reference
    // Running before it is linked, so the first buffer it gets is not refused.
    gst_element_sync_state_with_parent(branch);
    b->teePad = gst_element_request_pad_simple(m_tee, "src_%u");
    if (!b->teePad || gst_pad_link(b->teePad, sinkPad) != GST_PAD_LINK_OK) {
        removeBranch(*b);
        if (error)
            *error = QStringLiteral("The branch cannot be linked to the capture stream");
        return false;
    }
    m_branches.push_back(std::move(b));
    return true;
}

bool CaptureGraph::detachBranch(GstElement* branch, int timeoutMs)
{
    auto it = std::find_if(m_branches.begin(), m_branches.end(),
                           [branch](const auto& b) { return b->bin == branch; });
    if (it == m_branches.end())
        return false;
    Branch& b = **it;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    // Unlink between two buffers, then end the branch on its own.
    const gulong probe = gst_pad_add_probe(b.teePad, GST_PAD_PROBE_TYPE_IDLE,
                                           &CaptureGraphHooks::teeIdle, &b, nullptr);
    bool unlinked;
    {
        std::unique_lock lock(m_mutex);
        unlinked = m_cv.wait_until(lock, deadline, [&b] { return b.unlinked; });
    }
    if (!unlinked) {
        // The stream is stuck inside a push; unlink regardless so the branch can end.
        gst_pad_remove_probe(b.teePad, probe);
        gst_pad_unlink(b.teePad, b.sinkPad);
    }
    gst_pad_send_event(b.sinkPad, gst_event_new_eos());
    bool ended;
    {
        std::unique_lock lock(m_mutex);
        ended = m_cv.wait_until(lock, deadline, [&b] { return b.eosSeen >= b.sinkCount; });
    }
    removeBranch(b);
    m_branches.erase(it);
    return ended;
}

void CaptureGraph::removeBranch(Branch& b)
{
    gst_element_set_state(b.bin, GST_STATE_NULL);
    if (m_pipeline)
        gst_bin_remove(GST_BIN(m_pipeline), b.bin);
    if (b.teePad) {
        gst_element_release_request_pad(m_tee, b.teePad);
        gst_object_unref(b.teePad);
        b.teePad = nullptr;
    }
    gst_object_unref(b.sinkPad);
    b.sinkPad = nullptr;
    gst_object_unref(b.bin);
    b.bin = nullptr;
}

} // namespace orvix
