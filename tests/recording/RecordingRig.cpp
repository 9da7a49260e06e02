#include "RecordingRig.h"

#include "camera/CompressorCatalog.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <cstring>

#include <sys/mount.h>

namespace orvix::test {

SmallDisk::SmallDisk(int megabytes)
{
    const QByteArray where = QFile::encodeName(m_dir.path());
    const QByteArray options = QByteArray("size=") + QByteArray::number(megabytes) + "m";
    m_mounted = ::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

LiveGraph::LiveGraph(int width, int height) : hub(std::make_shared<DemoCameraHub>(1))
{
    VideoFormat f;
    f.width = width;
    f.height = height;
    QString error;
    GstElement* source = hub->createSourceElement(DemoCameraHub::deviceInfo(0), f, &error);
    graph.setFrameSink(&sink);
    started = source && graph.build(source, &error) && graph.play();
}

LiveGraph::~LiveGraph()
{
    graph.setFrameSink(nullptr);
    graph.stop();
}

bool LiveGraph::previewAdvances(quint64 n, int timeoutMs)
{
    const quint64 start = sink.count.load();
    return waitFor([&] { return sink.count.load() >= start + n; }, timeoutMs);
}

ProbeResult probeVideo(const QString& path)
{
    ProbeResult r;
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
             QStringLiteral("-select_streams"), QStringLiteral("v:0"),
             QStringLiteral("-show_entries"),
             QStringLiteral("stream=nb_read_frames,codec_name,width,height"), QStringLiteral("-of"),
             QStringLiteral("default=noprint_wrappers=1"), path});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if (key == QLatin1String("nb_read_frames"))
            r.frames = value.toLongLong(&r.ok);
        else if (key == QLatin1String("codec_name"))
            r.codec = value;
        else if (key == QLatin1String("width"))
            r.width = value.toInt();
        else if (key == QLatin1String("height"))
            r.height = value.toInt();
    }
    r.ok = r.ok && p.exitCode() == 0;
    return r;
}

bool writeGreyRampAvi(const QString& path, int frames, QSize size, int fps, const QString& encoder)
{
    // JPEG encoders are given full-range pictures, as JFIF has them.
    const QString stage =
        encoder.isEmpty() ? QStringLiteral("video/x-raw,format=BGR")
                          : QStringLiteral("video/x-raw,colorimetry=(string)1:4:0:0 ! ") + encoder;
    const QString description =
        QStringLiteral("appsrc name=src format=time ! videoconvert ! %1 ! avimux ! filesink "
                       "location=\"%2\"")
            .arg(stage, path);
    GError* err = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &err);
    if (err) {
        g_error_free(err);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstCaps* caps = gst_caps_new_simple(
        "video/x-raw", "format", G_TYPE_STRING, "RGB", "width", G_TYPE_INT, size.width(), "height",
        G_TYPE_INT, size.height(), "framerate", GST_TYPE_FRACTION, fps, 1, nullptr);
    g_object_set(src, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const gsize bytes = gsize(size.width()) * 3 * size.height(); // width * 3 is 4-aligned here
    for (int i = 0; i < frames; ++i) {
        GstBuffer* b = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        gst_buffer_memset(b, 0, guint8((i * 5) % 256), bytes);
        GST_BUFFER_PTS(b) = gst_util_uint64_scale(guint64(i), GST_SECOND, guint64(fps));
        GST_BUFFER_DURATION(b) = gst_util_uint64_scale(1, GST_SECOND, guint64(fps));
        gst_app_src_push_buffer(GST_APP_SRC(src), b);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    gst_object_unref(src);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

QImage decodeWithFfmpeg(const QString& path, int frame, QSize size)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
             QStringLiteral("-vf"), QStringLiteral("select=eq(n\\,%1)").arg(frame),
             QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"),
             QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
             QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    const QByteArray bytes = p.readAllStandardOutput();
    if (bytes.size() != qsizetype(size.width()) * size.height() * 3)
        return {};
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + qsizetype(y) * size.width() * 3,
                    size_t(size.width()) * 3);
    return image;
}

int greyAt(const QImage& image)
{
    if (image.isNull())
        return -1;
    return qGreen(image.pixel(image.width() / 2, image.height() / 2));
}

double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

int mjpegCompressorIndex(QString* factory)
{
    const std::vector<CompressorInfo> all = CompressorCatalog::enumerate();
    for (const char* wanted : {"avenc_mjpeg", "jpegenc"})
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].factory == QLatin1String(wanted)) {
                if (factory)
                    *factory = all[i].factory;
                return int(i) + 1;
            }
    return -1;
}

} // namespace orvix::test
