#include "library/AviFrame.h"
#include "LibraryTestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

using namespace orvix;
using namespace orvix::test;

namespace {

int greyAtCentre(const QImage& img)
{
    return qGreen(img.pixel(img.width() / 2, img.height() / 2));
}

} // namespace

TEST(AviFrame, ReadsTheRequestedFrameOfMjpegAndRawVideo)
{
    QTemporaryDir dir;
    for (bool mjpeg : {true, false}) {
        const QString path = dir.filePath(mjpeg ? "mjpeg.avi" : "raw.avi");
        ASSERT_TRUE(writeGreyAvi(path, 20, mjpeg));
        for (int index : {0, 1, 8, 19}) {
            const AviFrameResult r = readAviFrame(path, index);
            ASSERT_TRUE(r.ok()) << index << ": " << r.error.toStdString();
            EXPECT_EQ(r.frame.size(), QSize(640, 480));
            EXPECT_NEAR(greyAtCentre(r.frame), greyOf(index), 4) << "frame " << index;
            EXPECT_EQ(r.info.frameCount, 20);
            EXPECT_DOUBLE_EQ(r.info.frameRate, 30.0);
            EXPECT_NEAR(r.info.lengthSeconds, 20 / 30.0, 0.001);
        }
        QImage out;
        EXPECT_TRUE(GetAviFrame(path, 8, &out));
        EXPECT_EQ(out.format(), QImage::Format_RGB888);
        if (!mjpeg) { // bottom-up rows in the file, the right way up in the frame
            EXPECT_EQ(qGreen(out.pixel(320, 10)), 255);
        }
    }
}

TEST(AviFrame, VideotestsrcFilesGiveFrameEight)
{
    QTemporaryDir dir;
    for (bool mjpeg : {true, false}) {
        const QString path = dir.filePath(mjpeg ? "test src.avi" : "tëst raw.avi");
        ASSERT_TRUE(writeTestSrcAvi(path, 10, mjpeg));
        QImage out;
        EXPECT_TRUE(GetAviFrame(path, 8, &out)) << mjpeg;
        EXPECT_EQ(out.size(), QSize(640, 480));
    }
}

TEST(AviFrame, TooFewFramesFailButExactlyEnoughShowTheLast)
{
    QTemporaryDir dir;
    const QString seven = dir.filePath("seven.avi"), eight = dir.filePath("eight.avi");
    ASSERT_TRUE(writeGreyAvi(seven, 7, true));
    ASSERT_TRUE(writeGreyAvi(eight, 8, true));
    const AviFrameResult r7 = readAviFrame(seven, 8);
    EXPECT_FALSE(r7.ok());
    EXPECT_EQ(r7.info.frameCount, 7);
    EXPECT_FALSE(r7.error.isEmpty());
    const AviFrameResult r8 = readAviFrame(eight, 8);
    ASSERT_TRUE(r8.ok()) << r8.error.toStdString();
    EXPECT_NEAR(greyAtCentre(r8.frame), greyOf(7), 4);
}

TEST(AviFrame, DamagedFilesFailWithinTheTimeout)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.avi");
    ASSERT_TRUE(writeGreyAvi(good, 20, true, 320, 240));
    const QByteArray bytes = readBytes(good);
    QByteArray flipped = bytes;
    for (int i = 4000; i < flipped.size(); i += 97)
        flipped[i] = char(flipped[i] ^ 0x5A);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.avi", QByteArray()},
        {"garbage.avi", QByteArray(100000, '\x33')},
        {"header.avi", bytes.left(2048)},
        {"jpeg.avi", qtJpeg(testPicture(64, 64))},
        {"half.avi", bytes.left(bytes.size() / 2)},
        {"flipped.avi", flipped},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(writeBytes(path, c.bytes));
        QElapsedTimer t;
        t.start();
        const AviFrameResult r = readAviFrame(path, 8, 3000);
        EXPECT_LT(t.elapsed(), 10000) << c.name;
        if (r.ok()) // a damaged file may still hold a readable frame 8
            EXPECT_EQ(r.frame.size(), QSize(320, 240)) << c.name;
        else
            EXPECT_FALSE(r.error.isEmpty()) << c.name;
    }
    for (const char* mustFail : {"empty.avi", "garbage.avi", "header.avi", "jpeg.avi"})
        EXPECT_FALSE(readAviFrame(dir.filePath(mustFail), 8).ok()) << mustFail;
    EXPECT_FALSE(readAviFrame(dir.filePath("missing.avi"), 8).ok());
}

TEST(AviFrame, NoVideoStreamFails)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("audio.avi");
    ASSERT_TRUE(writeAudioOnlyAvi(path));
    QElapsedTimer t;
    t.start();
    const AviFrameResult r = readAviFrame(path, 8, 5000);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.error.contains("no video")) << r.error.toStdString();
    EXPECT_LT(t.elapsed(), 4000) << "recognised, not timed out";
}

TEST(AviFrame, FileStillBeingRecordedFailsUntilFinished)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("recording.avi");
    const QString desc = QStringLiteral("appsrc name=src format=time ! video/x-raw,format=I420,"
                                        "width=320,height=240,framerate=30/1 ! jpegenc ! avimux ! "
                                        "filesink buffer-mode=unbuffered location=\"%1\"")
                             .arg(path);
    GstElement* pipeline = gst_parse_launch(desc.toUtf8().constData(), nullptr);
    ASSERT_NE(pipeline, nullptr);
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    const gsize size = 320 * 240 * 3 / 2;
    for (int i = 0; i < 30; ++i) {
        GstBuffer* buf = gst_buffer_new_allocate(nullptr, size, nullptr);
        gst_buffer_memset(buf, 0, guint8(greyOf(i)), 320 * 240);
        gst_buffer_memset(buf, 320 * 240, 128, size - 320 * 240);
        GST_BUFFER_PTS(buf) = gst_util_uint64_scale(i, GST_SECOND, 30);
        GST_BUFFER_DURATION(buf) = gst_util_uint64_scale(1, GST_SECOND, 30);
        gst_app_src_push_buffer(GST_APP_SRC(src), buf);
    }
    // Wait until the frames are on disk while the muxer has not yet written its index.
    const bool written = [&] {
        for (int i = 0; i < 500; ++i) {
            if (QFileInfo(path).size() > 20 * 1000)
                return true;
            g_usleep(10000);
        }
        return false;
    }();
    ASSERT_TRUE(written);
    const AviFrameResult during = readAviFrame(path, 8, 3000);
    EXPECT_FALSE(during.ok()) << "a file being recorded has no usable length yet";
    EXPECT_TRUE(during.error.contains("being recorded")) << during.error.toStdString();

    gst_app_src_end_of_stream(GST_APP_SRC(src));
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(bus, 10 * GST_SECOND, GST_MESSAGE_EOS);
    ASSERT_NE(msg, nullptr);
    gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(src);
    gst_object_unref(pipeline);

    const AviFrameResult after = readAviFrame(path, 8);
    ASSERT_TRUE(after.ok()) << after.error.toStdString();
    EXPECT_NEAR(greyAtCentre(after.frame), greyOf(8), 4);
}
