#include "LibraryTestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

namespace orvix::test {

QImage testPicture(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixelColor(
                x, y, QColor(x * 255 / qMax(1, width - 1), y * 255 / qMax(1, height - 1), 96));
    QPainter p(&img);
    p.fillRect(0, 0, qMax(1, width / 4), qMax(1, height / 4), Qt::red);
    return img;
}

static QByteArray qtEncode(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

QByteArray qtJpeg(const QImage& image, int quality)
{
    return qtEncode(image, "jpg", quality);
}
QByteArray qtBmp(const QImage& image)
{
    return qtEncode(image, "bmp", -1);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray jpegDeclaring(int width, int height)
{
    QByteArray bytes = qtJpeg(testPicture(16, 16));
    for (int i = 2; i + 8 < bytes.size(); ++i) {
        const auto m = uchar(bytes[i + 1]);
        if (uchar(bytes[i]) == 0xFF && (m == 0xC0 || m == 0xC1 || m == 0xC2)) {
            bytes[i + 5] = char(height >> 8);
            bytes[i + 6] = char(height & 0xFF);
            bytes[i + 7] = char(width >> 8);
            bytes[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return bytes;
}

int greyOf(int frame)
{
    return 20 + (frame * 23) % 220;
}

namespace {

bool runToEnd(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return ok;
}

bool launch(const QString& description)
{
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const bool ok = runToEnd(pipeline);
    gst_object_unref(pipeline);
    return ok;
}

QString quoted(const QString& path)
{
    QString p = path;
    return QLatin1Char('"') + p.replace(QLatin1Char('"'), QLatin1String("\\\"")) + QLatin1Char('"');
}

} // namespace

bool writeGreyAvi(const QString& path, int frames, bool mjpeg, int width, int height)
{
    // JPEG frames from full-range I420; raw frames as 24-bit BGR, so the grey level passes
    // through unchanged either way. Raw frames carry a white top quarter to show orientation.
    const QString desc =
        QStringLiteral("appsrc name=src format=time ! video/x-raw,format=%1,width=%2,height=%3,"
                       "framerate=30/1 %4 ! avimux ! filesink location=%5")
            .arg(mjpeg ? QStringLiteral("I420") : QStringLiteral("BGR"))
            .arg(width)
            .arg(height)
            .arg(mjpeg ? QStringLiteral("! jpegenc quality=95") : QString())
            .arg(quoted(path));
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(desc.toUtf8().constData(), &error);
    if (error) {
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const gsize ySize = gsize(width) * height;
    const gsize stride = (gsize(width) * 3 + 3) / 4 * 4;
    const gsize size = mjpeg ? ySize + 2 * (gsize(width / 2) * (height / 2)) : stride * height;
    for (int i = 0; i < frames; ++i) {
        GstBuffer* buf = gst_buffer_new_allocate(nullptr, size, nullptr);
        GstMapInfo map;
        gst_buffer_map(buf, &map, GST_MAP_WRITE);
        if (mjpeg) {
            memset(map.data, greyOf(i), ySize);
            memset(map.data + ySize, 128, size - ySize);
        } else {
            memset(map.data, greyOf(i), size);
            memset(map.data, 255, stride * (height / 4));
        }
        gst_buffer_unmap(buf, &map);
        GST_BUFFER_PTS(buf) = gst_util_uint64_scale(i, GST_SECOND, 30);
        GST_BUFFER_DURATION(buf) = gst_util_uint64_scale(1, GST_SECOND, 30);
        gst_app_src_push_buffer(GST_APP_SRC(src), buf);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    gst_object_unref(src);
    const bool ok = runToEnd(pipeline);
    gst_object_unref(pipeline);
    return ok;
}

bool writeTestSrcAvi(const QString& path, int frames, bool mjpeg)
{
    return launch(QStringLiteral("videotestsrc num-buffers=%1 ! video/x-raw,format=I420,width=640,"
                                 "height=480,framerate=30/1 %2 ! avimux ! filesink location=%3")
                      .arg(frames)
                      .arg(mjpeg ? QStringLiteral("! jpegenc") : QString())
                      .arg(quoted(path)));
}

bool writeAudioOnlyAvi(const QString& path)
{
    return launch(QStringLiteral("audiotestsrc num-buffers=20 ! audio/x-raw,format=S16LE,rate=8000,"
                                 "channels=1 ! avimux ! filesink location=%1")
                      .arg(quoted(path)));
}

} // namespace orvix::test
