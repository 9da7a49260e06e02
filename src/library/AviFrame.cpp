#include "library/AviFrame.h"

#include <QFile>
#include <QFileInfo>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace orvix {

namespace {

constexpr qint64 kMaxFramePixels = 100'000'000;

struct Graph {
    GstElement* pipeline = nullptr;
    GstElement* convert = nullptr;
    GstElement* sink = nullptr;
    std::atomic<bool> videoLinked{false};

    ~Graph()
    {
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }
};

// Streaming thread: the first video stream goes to the converter, any other stream into a
// sink that never holds up the preroll.
void onPadAdded(GstElement*, GstPad* pad, gpointer data)
{
    auto* g = static_cast<Graph*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const gchar* name = caps && gst_caps_get_size(caps) > 0
                            ? gst_structure_get_name(gst_caps_get_structure(caps, 0))
                            : "";
    const bool video = g_str_has_prefix(name, "video/");
    if (caps)
        gst_caps_unref(caps);

    if (video && !g->videoLinked.load()) {
        GstPad* sinkPad = gst_element_get_static_pad(g->convert, "sink");
        if (gst_pad_link(pad, sinkPad) == GST_PAD_LINK_OK)
            g->videoLinked = true;
        gst_object_unref(sinkPad);
        return;
    }
    GstElement* drop = gst_element_factory_make("fakesink", nullptr);
    if (!drop)
        return;
    g_object_set(drop, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(g->pipeline), drop);
    gst_element_sync_state_with_parent(drop);
    GstPad* sinkPad = gst_element_get_static_pad(drop, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

void onNoMorePads(GstElement*, gpointer data)
{
    auto* g = static_cast<Graph*>(data);
    if (!g->videoLinked.load()) {
        gst_element_post_message(
            g->pipeline, gst_message_new_application(GST_OBJECT(g->pipeline),
                                                     gst_structure_new_empty("orvix-no-video")));
    }
}

// Waits for the pipeline to settle after a state change or a flushing seek. Returns an empty
// text on success.
QString waitSettled(GstElement* pipeline, gint64 deadline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    QString error;
    for (;;) {
        const gint64 left = deadline - g_get_monotonic_time();
        if (left <= 0) {
            error = QStringLiteral("The video did not answer in time.");
            break;
        }
        GstMessage* msg =
            gst_bus_timed_pop_filtered(bus, GstClockTime(left) * GST_USECOND,
                                       GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR |
                                                      GST_MESSAGE_EOS | GST_MESSAGE_APPLICATION));
        if (!msg)
            continue;
        const GstMessageType type = GST_MESSAGE_TYPE(msg);
        if (type == GST_MESSAGE_ASYNC_DONE) {
            gst_message_unref(msg);
            break;
        }
        if (type == GST_MESSAGE_ERROR) {
            GError* err = nullptr;
            gst_message_parse_error(msg, &err, nullptr);
            error = QStringLiteral("The video cannot be decoded: %1")
                        .arg(QString::fromUtf8(err ? err->message : "unknown error"));
            if (err)
                g_error_free(err);
        } else if (type == GST_MESSAGE_EOS) {
            error = QStringLiteral("The video holds no frames.");
        } else {
            error = QStringLiteral("The file holds no video stream.");
        }
        gst_message_unref(msg);
        break;
    }
    gst_object_unref(bus);
    return error;
}

QImage toImage(GstSample* sample)
{
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo vi;
    if (!caps || !buffer || !gst_video_info_from_caps(&vi, caps) ||
        GST_VIDEO_INFO_FORMAT(&vi) != GST_VIDEO_FORMAT_RGB)
        return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &vi, buffer, GST_MAP_READ))
        return {};
    const int w = GST_VIDEO_FRAME_WIDTH(&frame);
    const int h = GST_VIDEO_FRAME_HEIGHT(&frame);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const auto* src = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    QImage image(w, h, QImage::Format_RGB888);
    if (!image.isNull()) {
        for (int y = 0; y < h; ++y)
            std::memcpy(image.scanLine(y), src + qsizetype(y) * stride, size_t(w) * 3);
    }
    gst_video_frame_unmap(&frame);
    return image;
}

// A muxer writes the AVI main header with zero frames and a RIFF size covering only the
// headers when it starts, and fills in both when the recording is finalised. Such a file may
// already hold decodable frames, but its length is not known yet: it is treated as the file of
// a recording in progress. (A finished file without video also counts zero frames, but its
// RIFF size covers the file.)
bool aviStillBeingWritten(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(52);
    if (head.size() < 52 || !head.startsWith("RIFF") || head.mid(8, 4) != "AVI " ||
        head.mid(12, 4) != "LIST" || head.mid(20, 4) != "hdrl" || head.mid(24, 4) != "avih")
        return false;
    auto le32 = [&head](int at) {
        const auto* p = reinterpret_cast<const uchar*>(head.constData()) + at;
        return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
    };
    return le32(48) == 0 && qint64(le32(4)) + 8 < file.size();
}

} // namespace

AviFrameResult readAviFrame(const QString& path, int frameIndex, int timeoutMs)
{
    AviFrameResult result;
    auto fail = [&result](const QString& why) {
        result.error = why;
        result.frame = QImage();
        return result;
    };
    const QFileInfo fi(path);
    if (!fi.isFile())
        return fail(QStringLiteral("The video file does not exist."));
    if (fi.size() == 0)
        return fail(QStringLiteral("The video file is empty."));
    if (frameIndex < 0)
        return fail(QStringLiteral("There is no frame %1.").arg(frameIndex));
    if (aviStillBeingWritten(path))
        return fail(QStringLiteral("The video is still being recorded."));
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);

    const gint64 deadline = g_get_monotonic_time() + gint64(qMax(1, timeoutMs)) * 1000;
    Graph g;
    g.pipeline = gst_pipeline_new(nullptr);
    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    g.convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    g.sink = gst_element_factory_make("appsink", nullptr);
    if (!g.pipeline || !src || !decode || !g.convert || !filter || !g.sink) {
        for (GstElement* e : {src, decode, g.convert, filter, g.sink})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        g.convert = g.sink = nullptr;
        return fail(QStringLiteral("The media framework lacks a decoder element."));
    }
    gst_bin_add_many(GST_BIN(g.pipeline), src, decode, g.convert, filter, g.sink, nullptr);
    const QByteArray location = QFile::encodeName(fi.absoluteFilePath());
    g_object_set(src, "location", location.constData(), nullptr);
    GstCaps* rgb = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "RGB", nullptr);
    g_object_set(filter, "caps", rgb, nullptr);
    gst_caps_unref(rgb);
    g_object_set(g.sink, "sync", FALSE, "max-buffers", 1u, "enable-last-sample", FALSE, nullptr);
    if (!gst_element_link(src, decode) ||
        !gst_element_link_many(g.convert, filter, g.sink, nullptr))
        return fail(QStringLiteral("The decode pipeline cannot be built."));
    g_signal_connect(decode, "pad-added", G_CALLBACK(onPadAdded), &g);
    g_signal_connect(decode, "no-more-pads", G_CALLBACK(onNoMorePads), &g);

    if (gst_element_set_state(g.pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        QString why = waitSettled(g.pipeline, g_get_monotonic_time() + 1000);
        return fail(why.isEmpty() ? QStringLiteral("The video cannot be opened.") : why);
    }
    if (QString why = waitSettled(g.pipeline, deadline); !why.isEmpty())
        return fail(why);

    GstPad* sinkPad = gst_element_get_static_pad(g.sink, "sink");
    GstCaps* caps = gst_pad_get_current_caps(sinkPad);
    gst_object_unref(sinkPad);
    GstVideoInfo vi;
    const bool haveInfo = caps && gst_video_info_from_caps(&vi, caps);
    if (caps)
        gst_caps_unref(caps);
    if (!haveInfo)
        return fail(QStringLiteral("The video stream has no readable format."));
    AviFrameInfo& info = result.info;
    info.width = GST_VIDEO_INFO_WIDTH(&vi);
    info.height = std::abs(GST_VIDEO_INFO_HEIGHT(&vi));
    if (qint64(info.width) * info.height > kMaxFramePixels)
        return fail(QStringLiteral("The video frame is too large."));
    const int fpsN = GST_VIDEO_INFO_FPS_N(&vi);
    const int fpsD = GST_VIDEO_INFO_FPS_D(&vi);
    if (fpsN <= 0 || fpsD <= 0)
        return fail(QStringLiteral("The video has no frame rate."));
    info.frameRate = double(fpsN) / fpsD;

    gint64 duration = -1;
    if (!gst_element_query_duration(g.pipeline, GST_FORMAT_TIME, &duration) || duration <= 0)
        return fail(QStringLiteral("The length of the video is unknown (it may still be "
                                   "being recorded)."));
    info.lengthSeconds = double(duration) / GST_SECOND;
    // Length x rate, truncated; the microsecond keeps a length that is exactly N frames long
    // from being rounded down by the nanosecond arithmetic of the demuxer.
    info.frameCount = gint64(gst_util_uint64_scale(guint64(duration) + GST_USECOND, guint64(fpsN),
                                                   guint64(fpsD) * GST_SECOND));
    if (info.frameCount < frameIndex || info.frameCount <= 0)
        return fail(QStringLiteral("The video has only %1 frames.").arg(info.frameCount));

    // The middle of the frame's display time, so rounding cannot land on its neighbour; a
    // video of exactly frameIndex frames shows its last one.
    const gint64 target = qMin<gint64>(frameIndex, info.frameCount - 1);
    if (target > 0) {
        const GstClockTime pos = gst_util_uint64_scale(
            guint64(2 * target + 1), GST_SECOND * guint64(fpsD), 2 * guint64(fpsN));
        if (!gst_element_seek_simple(g.pipeline, GST_FORMAT_TIME,
                                     GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                     gint64(pos)))
            return fail(QStringLiteral("The video cannot be positioned."));
        if (QString why = waitSettled(g.pipeline, deadline); !why.isEmpty())
            return fail(why);
    }
    const gint64 left = qMax<gint64>(0, deadline - g_get_monotonic_time());
    GstSample* sample =
        gst_app_sink_try_pull_preroll(GST_APP_SINK(g.sink), GstClockTime(left) * GST_USECOND);
    if (!sample)
        return fail(QStringLiteral("The frame cannot be read."));
    result.frame = toImage(sample);
    gst_sample_unref(sample);
    if (result.frame.isNull())
        return fail(QStringLiteral("The frame cannot be converted."));
    return result;
}

bool GetAviFrame(const QString& path, int frameIndex, QImage* out)
{
    AviFrameResult r = readAviFrame(path, frameIndex);
    if (!r.ok())
        return false;
    if (out)
        *out = std::move(r.frame);
    return true;
}

} // namespace orvix
