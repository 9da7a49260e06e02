#include "DemoRig.h"
#include "TestSupport.h"

#include "camera/CaptureGraph.h"
#include "camera/V4l2DeviceSource.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using namespace orvix;
using orvix::test::DemoRig;
using orvix::test::waitFor;

namespace {

class CountingSink : public FrameSink {
public:
    void pushFrame(const VideoFrame& frame) override
    {
        std::lock_guard lock(mutex);
        ++frames;
        last = frame;
    }
    int count()
    {
        std::lock_guard lock(mutex);
        return frames;
    }
    std::mutex mutex;
    int frames = 0;
    VideoFrame last;
};

class CaptureGraphTest : public ::testing::Test {
protected:
    GstElement* source(int width = 640, int height = 480)
    {
        VideoFormat f;
        f.width = width;
        f.height = height;
        QString error;
        GstElement* e = rig.hub->createSourceElement(DemoCameraHub::deviceInfo(0), f, &error);
        EXPECT_NE(e, nullptr) << error.toStdString();
        return e;
    }

    DemoRig rig;
    CaptureGraph graph;
    CountingSink sink;
};

} // namespace

TEST_F(CaptureGraphTest, PreviewDeliversFramesAndFollowsItsStates)
{
    graph.setFrameSink(&sink);
    EXPECT_EQ(graph.state(), 0);
    ASSERT_TRUE(graph.build(source()));
    EXPECT_EQ(graph.state(), 1);
    ASSERT_TRUE(graph.play());
    EXPECT_EQ(graph.state(), 3);
    ASSERT_TRUE(waitFor([&] { return sink.count() >= 5 && graph.framesGrabbed() >= 5; }));
    EXPECT_EQ(graph.liveSize(), QSize(640, 480));
    const VideoFrame last = graph.lastFrame();
    ASSERT_FALSE(last.isNull());
    EXPECT_EQ(last.size(), QSize(640, 480));
    EXPECT_EQ(last.image().format(), QImage::Format_RGB888);
    EXPECT_GE(last.sequence(), 1u);

    ASSERT_TRUE(graph.pause());
    EXPECT_EQ(graph.state(), 2);
    ASSERT_TRUE(graph.play());
    const int before = sink.count();
    ASSERT_TRUE(waitFor([&] { return sink.count() > before; }));

    graph.stop();
    EXPECT_EQ(graph.state(), 0);
    EXPECT_TRUE(graph.lastFrame().isNull());
    EXPECT_EQ(rig.hub->activeStreams(), 0); // the source element is gone
    EXPECT_EQ(CaptureGraph::livePipelines(), 0);
    EXPECT_FALSE(graph.play());
}

TEST_F(CaptureGraphTest, FramesAreThePicturesTheCameraRendered)
{
    rig.hub->setMotion(false);
    ASSERT_TRUE(graph.build(source(800, 600)));
    ASSERT_TRUE(graph.play());
    ASSERT_TRUE(waitFor([&] { return graph.framesGrabbed() >= 2; }));
    DemoRenderer expected;
    expected.configure(QSize(800, 600), rig.hub->pictureSettings());
    EXPECT_EQ(graph.lastFrame().image(), expected.frame(0, 30));
    EXPECT_EQ(graph.liveSize(), QSize(800, 600));
}

TEST_F(CaptureGraphTest, AFrameOutlivesItsPipeline)
{
    ASSERT_TRUE(graph.build(source()));
    ASSERT_TRUE(graph.play());
    ASSERT_TRUE(waitFor([&] { return graph.framesGrabbed() >= 1; }));
    const VideoFrame kept = graph.lastFrame();
    const QImage copy = kept.image().copy();
    graph.stop();
    EXPECT_EQ(rig.hub->activeStreams(), 0);
    EXPECT_EQ(kept.image(), copy);
}

TEST_F(CaptureGraphTest, StartFailureIsReportedByPlayNotAsRuntimeError)
{
    QSignalSpy errors(&graph, &CaptureGraph::streamError);
    rig.hub->setFault(DemoFault::StartFails);
    ASSERT_TRUE(graph.build(source()));
    EXPECT_FALSE(graph.play());
    EXPECT_FALSE(graph.lastError().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.count(), 0);
    graph.stop();
}

TEST_F(CaptureGraphTest, AStreamWithoutFramesStillStarts)
{
    rig.hub->setFault(DemoFault::NoFrames);
    ASSERT_TRUE(graph.build(source()));
    EXPECT_TRUE(graph.play());
    EXPECT_EQ(graph.state(), 3);
    EXPECT_EQ(graph.framesGrabbed(), 0u);
    EXPECT_TRUE(graph.lastFrame().isNull());
}

TEST_F(CaptureGraphTest, UnplugWhileRunningBecomesAStreamErrorOnTheGuiThread)
{
    QSignalSpy errors(&graph, &CaptureGraph::streamError);
    ASSERT_TRUE(graph.build(source()));
    ASSERT_TRUE(graph.play());
    rig.hub->unplug();
    ASSERT_TRUE(waitFor([&] { return errors.count() == 1; }));
    EXPECT_TRUE(graph.hasFailed());
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.count(), 1);
    // A broken stream is not resumed by pause and play.
    graph.pause();
    EXPECT_FALSE(graph.play());
    EXPECT_TRUE(graph.hasFailed());
    graph.stop();
    EXPECT_EQ(rig.hub->activeStreams(), 0);
    EXPECT_FALSE(graph.hasFailed());
}

TEST_F(CaptureGraphTest, ErrorsOfAStoppedPipelineAreNotReported)
{
    QSignalSpy errors(&graph, &CaptureGraph::streamError);
    ASSERT_TRUE(graph.build(source()));
    ASSERT_TRUE(graph.play());
    rig.hub->unplug(); // queued for the event loop...
    graph.stop();      // ...but the pipeline is gone before it runs
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.count(), 0);
}

TEST_F(CaptureGraphTest, RecordingBranchRunsBesideThePreviewAndEndsAsAValidAvi)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("branch.avi");
    graph.setFrameSink(&sink);
    ASSERT_TRUE(graph.build(source()));
    ASSERT_TRUE(graph.play());
    ASSERT_TRUE(waitFor([&] { return sink.count() >= 3; }));

    GError* err = nullptr;
    const QByteArray desc =
        "queue ! videoconvert ! avimux ! filesink location=\"" + file.toUtf8() + "\"";
    GstElement* branch = gst_parse_bin_from_description(desc.constData(), TRUE, &err);
    ASSERT_NE(branch, nullptr) << (err ? err->message : "");
    ASSERT_TRUE(graph.attachBranch(branch));
    const quint64 start = graph.framesGrabbed();
    ASSERT_TRUE(waitFor([&] { return graph.framesGrabbed() >= start + 20; }));
    EXPECT_TRUE(graph.detachBranch(branch));
    EXPECT_EQ(graph.state(), 3);
    const int after = sink.count();
    ASSERT_TRUE(waitFor([&] { return sink.count() > after + 3; })); // preview goes on
    EXPECT_FALSE(graph.hasFailed());

    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffprobe.isEmpty())
        GTEST_SKIP() << "ffprobe is not installed";
    QProcess probe;
    probe.start(ffprobe, {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                          "stream=width,height,nb_read_frames", "-of", "csv=p=0", file});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QStringList fields =
        QString::fromUtf8(probe.readAllStandardOutput()).trimmed().split(',');
    ASSERT_EQ(fields.size(), 3) << fields.join(',').toStdString();
    EXPECT_EQ(fields[0], "640");
    EXPECT_EQ(fields[1], "480");
    EXPECT_GE(fields[2].toInt(), 15);
}

TEST_F(CaptureGraphTest, BranchOnAMissingPipelineIsRefusedAndReleased)
{
    GstElement* branch = gst_parse_bin_from_description("queue ! fakesink", TRUE, nullptr);
    ASSERT_NE(branch, nullptr);
    EXPECT_FALSE(graph.attachBranch(branch));
    EXPECT_FALSE(graph.detachBranch(nullptr));
}

TEST_F(CaptureGraphTest, MissingV4l2NodeFailsToStartAndLeavesNothingBehind)
{
    QTemporaryDir emptySysfs;
    V4l2DeviceSource v4l2(emptySysfs.path(), [](const QString&) { return CaptureProbeResult{}; });
    EXPECT_TRUE(v4l2.enumerate().empty());
    const VideoDeviceInfo gone{"usb#vid_eb1a&pid_5060#1-9#/dev/video-gone", "Gone",
                               "/dev/video-gone"};
    EXPECT_TRUE(v4l2.formats(gone).empty());
    QString error;
    GstElement* src = v4l2.createSourceElement(gone, VideoFormat(), &error);
    ASSERT_NE(src, nullptr) << error.toStdString();
    QSignalSpy errors(&graph, &CaptureGraph::streamError);
    ASSERT_TRUE(graph.build(src));
    EXPECT_FALSE(graph.play());
    EXPECT_FALSE(graph.lastError().isEmpty());
    graph.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(CaptureGraph::livePipelines(), 0);
}
