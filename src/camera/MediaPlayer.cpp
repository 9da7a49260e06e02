#include "camera/MediaPlayer.h"

#include "camera/AviFile.h"
#include "library/AviFrame.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>

namespace orvix {

struct MediaPlayerHooks {
    static GstBusSyncReply bus(GstBus*, GstMessage* message, gpointer self)
    {
        static_cast<MediaPlayer*>(self)->onBusMessage(message);
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    static void padAdded(GstElement*, GstPad* pad, gpointer self)
    {
        static_cast<MediaPlayer*>(self)->onPadAdded(pad);
    }

    static void noMorePads(GstElement*, gpointer self)
    {
        auto* p = static_cast<MediaPlayer*>(self);
        std::lock_guard lock(p->m_mutex);
        if (!p->m_videoLinked) {
            p->m_noVideo = true;
            p->m_cv.notify_all();
        }
    }

    static GstFlowReturn sample(GstAppSink* sink, gpointer self)
    {
        GstSample* s = gst_app_sink_pull_sample(sink);
        if (!s)
            return GST_FLOW_EOS;
        static_cast<MediaPlayer*>(self)->deliver(VideoFrame::fromSample(s));
        gst_sample_unref(s);
        return GST_FLOW_OK;
    }

    static GstFlowReturn preroll(GstAppSink* sink, gpointer self)
    {
        GstSample* s = gst_app_sink_pull_preroll(sink);
        if (!s)
            return GST_FLOW_EOS;
        static_cast<MediaPlayer*>(self)->deliver(VideoFrame::fromSample(s));
        gst_sample_unref(s);
        return GST_FLOW_OK;
    }
};

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent) {}

MediaPlayer::~MediaPlayer()
{
    setFrameSink(nullptr);
    close();
}

void MediaPlayer::setFrameSink(FrameSink* sink)
{
    std::lock_guard lock(m_sinkMutex);
    m_frameSink = sink;
}

VideoFrame MediaPlayer::lastFrame() const
{
    std::lock_guard lock(m_mutex);
    return m_last;
}

quint64 MediaPlayer::framesDelivered() const
{
    std::lock_guard lock(m_mutex);
    return m_delivered;
}

void MediaPlayer::deliver(const VideoFrame& frame)
{
    if (frame.isNull())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_last = frame;
        ++m_delivered;
    }
    std::lock_guard lock(m_sinkMutex);
    if (m_frameSink)
        m_frameSink->pushFrame(frame);
}

void MediaPlayer::onPadAdded(GstPad* pad)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool video =
        caps && gst_caps_get_size(caps) > 0 &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/");
    if (caps)
        gst_caps_unref(caps);
    {
        std::lock_guard lock(m_mutex);
        if (video && !m_videoLinked) {
            GstPad* sinkPad = gst_element_get_static_pad(m_convert, "sink");
            m_videoLinked = gst_pad_link(pad, sinkPad) == GST_PAD_LINK_OK;
            gst_object_unref(sinkPad);
            if (m_videoLinked)
                return;
        }
    }
    // Sound and further streams are not played; they are taken off so they hold up nothing.
    GstElement* drop = gst_element_factory_make("fakesink", nullptr);
    if (!drop)
        return;
    g_object_set(drop, "sync", TRUE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(m_pipeline), drop);
    gst_element_sync_state_with_parent(drop);
    GstPad* sinkPad = gst_element_get_static_pad(drop, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

void MediaPlayer::onBusMessage(GstMessage* message)
{
    QString errorText;
    bool eos = false;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE: {
        std::lock_guard lock(m_mutex);
        ++m_asyncDone;
        m_cv.notify_all();
        return;
    }
    case GST_MESSAGE_ERROR: {
        GError* err = nullptr;
        gst_message_parse_error(message, &err, nullptr);
        errorText = QString::fromUtf8(err ? err->message : "decoding error");
        if (err)
            g_error_free(err);
        break;
    }
    case GST_MESSAGE_EOS:
        eos = true;
        break;
    default:
        return;
    }

    std::lock_guard lock(m_mutex);
    if (!eos) {
        if (m_error)
            return;
        m_error = true;
        m_errorText = errorText;
    }
    m_cv.notify_all();
    if (m_opening)
        return; // open() reads the outcome itself
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, eos, errorText] {
            {
                std::lock_guard l(m_mutex);
                if (generation != m_generation)
                    return;
            }
            if (eos)
                handleEndOfStream();
            else
                handleError(errorText);
        },
        Qt::QueuedConnection);
}

bool MediaPlayer::open(const QString& path, QString* error, int timeoutMs)
{
    close();
    auto fail = [this, error](const QString& why) {
        close();
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo fi(path);
    if (!fi.isFile())
        return fail(QStringLiteral("The video file does not exist."));
    const AviLayout layout = inspectAvi(path);
    if (!layout.isAvi)
        return fail(QStringLiteral("The file is not an AVI video."));
    if (layout.riffSize + 8 > layout.fileSize + 1)
        return fail(QStringLiteral("The video file is incomplete (cut off)."));
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);

    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!src || !decode || !convert || !filter || !sink) {
        for (GstElement* e : {src, decode, convert, filter, sink})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        return fail(QStringLiteral("GStreamer playback elements are missing."));
    }
    m_pipeline = gst_pipeline_new("orvix-player");
    gst_object_ref_sink(m_pipeline);
    gst_bin_add_many(GST_BIN(m_pipeline), src, decode, convert, filter, sink, nullptr);
    m_convert = convert;
    m_sink = sink;
    m_path = path;
    const QByteArray location = QFile::encodeName(fi.absoluteFilePath());
    g_object_set(src, "location", location.constData(), nullptr);
    GstCaps* rgb = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "RGB", nullptr);
    g_object_set(filter, "caps", rgb, nullptr);
    gst_caps_unref(rgb);
    g_object_set(sink, "sync", TRUE, "max-buffers", 2u, "enable-last-sample", FALSE, "emit-signals",
                 FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &MediaPlayerHooks::sample;
    callbacks.new_preroll = &MediaPlayerHooks::preroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    if (!gst_element_link(src, decode) || !gst_element_link_many(convert, filter, sink, nullptr))
        return fail(QStringLiteral("The playback pipeline cannot be built."));
    g_signal_connect(decode, "pad-added", G_CALLBACK(&MediaPlayerHooks::padAdded), this);
    g_signal_connect(decode, "no-more-pads", G_CALLBACK(&MediaPlayerHooks::noMorePads), this);

    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
    gst_bus_set_sync_handler(bus, &MediaPlayerHooks::bus, this, nullptr);
    gst_object_unref(bus);
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_opening = true;
        m_videoLinked = m_noVideo = m_error = false;
        m_errorText.clear();
        m_asyncDone = 0;
        m_last = VideoFrame();
        m_delivered = 0;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool settled = false;
    QString why;
    if (gst_element_set_state(m_pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
        std::unique_lock lock(m_mutex);
        settled = m_cv.wait_until(lock, deadline,
                                  [this] { return m_asyncDone > 0 || m_error || m_noVideo; });
    }
    {
        std::lock_guard lock(m_mutex);
        m_opening = false;
        if (m_error)
            why = QStringLiteral("The video cannot be decoded: %1").arg(m_errorText);
        else if (m_noVideo)
            why = QStringLiteral("The file holds no video stream.");
        else if (!settled)
            why = QStringLiteral("The video did not open in time.");
        else if (m_delivered == 0)
            why = QStringLiteral("The video holds no frame.");
    }
    if (!why.isEmpty())
        return fail(why);

    GstPad* pad = gst_element_get_static_pad(m_sink, "sink");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    GstVideoInfo info;
    if (!caps || !gst_video_info_from_caps(&info, caps)) {
        if (caps)
            gst_caps_unref(caps);
        return fail(QStringLiteral("The video stream has no readable format."));
    }
    gst_caps_unref(caps);
    m_size = QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
    m_fps = GST_VIDEO_INFO_FPS_D(&info) > 0
                ? double(GST_VIDEO_INFO_FPS_N(&info)) / GST_VIDEO_INFO_FPS_D(&info)
                : 0;
    gint64 d = -1;
    m_duration = gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &d) && d > 0 ? d : -1;
    m_state = State::Paused;
    m_eos = m_atEnd = false;
    return true;
}

void MediaPlayer::close()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_opening = false;
    }
    if (m_pipeline) {
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_pipeline));
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(m_pipeline);
    }
    m_pipeline = m_convert = m_sink = nullptr;
    m_state = State::Closed;
    m_eos = m_atEnd = false;
    m_repeat = false;
    m_duration = -1;
    m_size = QSize();
    m_fps = 0;
    m_stopPicture = QImage();
    m_path.clear();
    std::lock_guard lock(m_mutex);
    m_last = VideoFrame();
    m_error = false;
}

bool MediaPlayer::setStateAndWait(int state)
{
    if (!m_pipeline)
        return false;
    const auto target = GstState(state);
    if (gst_element_set_state(m_pipeline, target) == GST_STATE_CHANGE_FAILURE)
        return false;
    GstState current = GST_STATE_NULL;
    const GstStateChangeReturn r = gst_element_get_state(
        m_pipeline, &current, nullptr, GstClockTime(kStateTimeoutMs) * GST_MSECOND);
    return r != GST_STATE_CHANGE_FAILURE && r != GST_STATE_CHANGE_ASYNC && current == target;
}

bool MediaPlayer::waitAsyncDone(quint64 after, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this, after] {
        return m_asyncDone > after || m_error;
    }) && !m_error;
}

bool MediaPlayer::play()
{
    if (!m_pipeline)
        return false;
    if (m_atEnd) {
        // Played to the end and not moved since: start again from the beginning.
        seek(0);
    }
    m_eos = false;
    if (!setStateAndWait(GST_STATE_PLAYING))
        return false;
    m_state = State::Playing;
    return true;
}

bool MediaPlayer::pause()
{
    if (!m_pipeline || !setStateAndWait(GST_STATE_PAUSED))
        return false;
    m_state = State::Paused;
    return true;
}

bool MediaPlayer::stop()
{
    if (!m_pipeline)
        return false;
    bool ok = setStateAndWait(GST_STATE_PAUSED);
    ok = seek(0) && ok;
    m_state = State::Stopped;
    QImage picture;
    if (!GetAviFrame(m_path, kStopFrameIndex, &picture)) {
        const VideoFrame first = lastFrame();
        if (!first.isNull())
            picture = first.image().convertToFormat(QImage::Format_RGB888);
    }
    m_stopPicture = picture;
    return ok;
}

bool MediaPlayer::seek(qint64 positionNs)
{
    if (!m_pipeline)
        return false;
    if (m_duration > 0)
        positionNs = std::clamp<qint64>(positionNs, 0, m_duration);
    positionNs = std::max<qint64>(0, positionNs);
    quint64 before;
    {
        std::lock_guard lock(m_mutex);
        before = m_asyncDone;
    }
    if (!gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                 GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                 positionNs))
        return false;
    m_atEnd = false;
    // A flushing seek prerolls again; wait for the new picture so callers see it.
    return waitAsyncDone(before, kStateTimeoutMs);
}

qint64 MediaPlayer::position() const
{
    if (!m_pipeline)
        return -1;
    gint64 p = -1;
    return gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &p) ? p : -1;
}

void MediaPlayer::handleEndOfStream()
{
    m_eos = true;
    m_atEnd = true;
    if (m_repeat) {
        seek(0);
        if (m_state == State::Playing)
            setStateAndWait(GST_STATE_PLAYING);
        m_eos = false;
        Q_EMIT restarted();
        return;
    }
    Q_EMIT endOfStreamReached();
}

void MediaPlayer::handleError(const QString& reason)
{
    if (m_pipeline)
        gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    m_state = State::Stopped;
    Q_EMIT playbackFailed(reason);
}

} // namespace orvix
