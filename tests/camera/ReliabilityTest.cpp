#include "CameraPanelRig.h"

#include <QSignalSpy>

using namespace orvix;
using orvix::test::CameraPanelTest;
using orvix::test::waitFor;

namespace {

// The engine's flags after a disconnect.
void expectIdle(const TVideoCameraDS& cam, const DemoCameraHub& hub, int cycle)
{
    EXPECT_FALSE(cam.Connected) << cycle;
    EXPECT_EQ(cam.GetFilterGraphState(), 0) << cycle;
    EXPECT_EQ(hub.activeStreams(), 0) << cycle;
    EXPECT_EQ(CaptureGraph::livePipelines(), 0) << cycle;
    QImage img;
    EXPECT_FALSE(cam.GrabLastFrame(img)) << cycle;
}

void expectLive(const TVideoCameraDS& cam, int cycle)
{
    EXPECT_TRUE(cam.Connected) << cycle;
    EXPECT_TRUE(cam.WindowlessMode) << cycle;
    EXPECT_TRUE(cam.LiveSource) << cycle;
    EXPECT_FALSE(cam.RecordingOrPlaying) << cycle;
    EXPECT_EQ(cam.graphMode, GraphMode::Preview) << cycle;
    EXPECT_EQ(cam.GetFilterGraphState(), 3) << cycle;
    EXPECT_EQ(cam.LiveWidth, 640) << cycle;
    EXPECT_EQ(cam.LiveHeight, 480) << cycle;
}

} // namespace

TEST_F(CameraPanelTest, TwoHundredConnectCyclesLeaveNothingBehind)
{
    ASSERT_TRUE(cam->SearchDevice());
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(cam->DeviceConnect()) << i;
        expectLive(*cam, i);
        QImage img;
        // A started preview has delivered its first frame.
        EXPECT_TRUE(cam->GrabLastFrame(img)) << i;
        if (i % 50 == 0) {
            EXPECT_TRUE(framesShown(1)) << i;
        }
        cam->DeviceDisConnect();
        expectIdle(*cam, *rig.hub, i);
        if (HasFailure())
            break;
    }
}

TEST_F(CameraPanelTest, FiftyUnplugCyclesWithoutConnection)
{
    QSignalSpy arrivals(&rig.pool, &DevicePool::deviceArrival);
    QSignalSpy nodes(&rig.pool, &DevicePool::deviceNodesChanged);
    QSignalSpy removals(&rig.pool, &DevicePool::deviceRemovalComplete);
    ASSERT_TRUE(cam->SearchDevice());
    for (int i = 1; i <= 50; ++i) {
        rig.hub->unplug();
        ASSERT_TRUE(waitFor([&] { return removals.count() == i; })) << i;
        EXPECT_FALSE(cam->SearchDevice()) << i;
        EXPECT_FALSE(cam->GetHasDevice()) << i;
        EXPECT_EQ(cam->GetDeviceCount(), 0) << i;
        rig.hub->plug();
        ASSERT_TRUE(waitFor([&] { return nodes.count() == i; })) << i;
        EXPECT_EQ(arrivals.count(), i);
        EXPECT_TRUE(cam->SearchDevice()) << i;
        EXPECT_EQ(cam->GetIndexDevice(), 0) << i;
        EXPECT_FALSE(cam->Connected) << i;
        if (HasFailure())
            break;
    }
}

TEST_F(CameraPanelTest, FiftyUnplugCyclesWhileConnected)
{
    QSignalSpy failed(cam, &TVideoCameraDS::streamFailed);
    QSignalSpy nodes(&rig.pool, &DevicePool::deviceNodesChanged);
    QSignalSpy removals(&rig.pool, &DevicePool::deviceRemovalComplete);
    ASSERT_TRUE(cam->SearchDevice());
    for (int i = 1; i <= 50; ++i) {
        ASSERT_TRUE(cam->DeviceConnect()) << i;
        expectLive(*cam, i);
        rig.hub->unplug();
        ASSERT_TRUE(waitFor([&] { return failed.count() == i && removals.count() == i; })) << i;
        // What the main window does on a removal: rescan, then disconnect.
        EXPECT_FALSE(cam->SearchDevice()) << i;
        cam->DeviceDisConnect();
        expectIdle(*cam, *rig.hub, i);
        rig.hub->plug();
        ASSERT_TRUE(waitFor([&] { return nodes.count() == i; })) << i;
        EXPECT_TRUE(cam->SearchDevice()) << i;
        if (HasFailure())
            break;
    }
    EXPECT_EQ(failed.count(), 50);
}
