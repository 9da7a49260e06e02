#include "CameraPanelRig.h"

#include "camera/DeviceList.h"
#include "camera/PictureLayer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace orvix;
using orvix::test::CameraPanelTest;
using orvix::test::waitFor;

namespace {

QImage demoFrame(const DemoCameraHub& hub, QSize size)
{
    DemoRenderer r;
    r.configure(size, hub.pictureSettings());
    return r.frame(0, 30);
}

} // namespace

TEST_F(CameraPanelTest, StartsAsAnIdle400x300PanelWithItsLayers)
{
    EXPECT_EQ(cam->size(), QSize(400, 300));
    EXPECT_EQ(cam->GetFlipMode(), 3);
    EXPECT_FALSE(cam->Connected);
    EXPECT_FALSE(cam->GetCanSnapShot());
    EXPECT_TRUE(cam->LiveSource);
    EXPECT_EQ(cam->GetFilterGraphState(), 0);
    EXPECT_EQ(cam->GetIndexDevice(), 0);
    EXPECT_EQ(cam->FrozenImage->parentWidget(), cam->videoWindow());
    EXPECT_TRUE(cam->FrozenImage->isHidden());
    EXPECT_EQ(cam->MeasureLayer->parentWidget(), cam);
    EXPECT_EQ(cam->RulerLayer->parentWidget(), cam);
    EXPECT_EQ(cam->MeasureLayer->size(), QSize(400, 300));
    EXPECT_EQ(cam->deviceList().vendorText(), "vid_eb1a");
    EXPECT_EQ(cam->deviceList().productText(), "pid_5060");
    EXPECT_TRUE(TVideoCameraDS::CheckVMR_Functuon());
    QImage untouched(4, 4, QImage::Format_RGB888);
    untouched.fill(Qt::blue);
    QImage out = untouched;
    EXPECT_TRUE(cam->GetStreamImage(out)); // always true; nothing rendered yet
    EXPECT_EQ(out, untouched);
    EXPECT_FALSE(cam->GrabLastFrame(out));
}

TEST_F(CameraPanelTest, ConnectShowsLiveFramesAndDisconnectReleasesTheCamera)
{
    QSignalSpy started(cam, &TVideoCameraDS::previewStarted);
    QSignalSpy messages(cam, &TVideoCameraDS::messageRequested);
    ASSERT_TRUE(cam->SearchDevice());
    EXPECT_EQ(cam->GetDeviceCount(), 1);
    QStringList names;
    QVector<int> indices;
    cam->GetDeviceIndexName(names, indices);
    EXPECT_EQ(names[0], "Orvix Demo Microscope");
    EXPECT_EQ(indices[0], 0);

    ASSERT_TRUE(cam->DeviceConnect());
    EXPECT_TRUE(cam->Connected);
    EXPECT_TRUE(cam->WindowlessMode);
    EXPECT_TRUE(cam->LiveSource);
    EXPECT_FALSE(cam->RecordingOrPlaying);
    EXPECT_EQ(cam->graphMode, GraphMode::Preview);
    EXPECT_EQ(cam->GetFilterGraphState(), 3);
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(messages.count(), 0);
    for (int v : {cam->VideoWidth, cam->LiveWidth, cam->PrevLiveWidth, cam->ByResolutionWidth})
        EXPECT_EQ(v, 640);
    for (int v : {cam->VideoHeight, cam->LiveHeight, cam->PrevLiveHeight, cam->ByResolutionHeight})
        EXPECT_EQ(v, 480);
    EXPECT_TRUE(framesShown());
    EXPECT_TRUE(cam->VMR9RepaintVideoAtWindowless());
    EXPECT_EQ(started.count(), 1); // a healthy stream is only repainted

    QImage still;
    ASSERT_TRUE(cam->GrabLastFrame(still));
    EXPECT_EQ(still.size(), QSize(640, 480));
    EXPECT_EQ(still.format(), QImage::Format_RGB888);

    cam->DeviceDisConnect();
    EXPECT_FALSE(cam->Connected);
    EXPECT_EQ(cam->GetFilterGraphState(), 0);
    EXPECT_EQ(rig.hub->activeStreams(), 0);
    EXPECT_FALSE(cam->GrabLastFrame(still));
    EXPECT_TRUE(cam->VMR9RepaintVideoAtWindowless()); // no stream expected any more
}

TEST_F(CameraPanelTest, ConnectWithoutACameraFailsQuietly)
{
    QSignalSpy messages(cam, &TVideoCameraDS::messageRequested);
    rig.hub->unplug();
    EXPECT_FALSE(cam->SearchDevice());
    EXPECT_FALSE(cam->DeviceConnect());
    EXPECT_FALSE(cam->Connected);
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(CameraPanelTest, FlipModesApplyToTheStillAndTheRenderedPicture)
{
    rig.hub->setMotion(false);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(framesShown(1));
    const QImage asDelivered = demoFrame(*rig.hub, QSize(640, 480));
    QImage img;
    ASSERT_TRUE(cam->GrabLastFrame(img));
    EXPECT_EQ(img, asDelivered);

    struct Case {
        int mode;
        QImage expected;
    } cases[] = {{0, asDelivered.mirrored(true, false)},
                 {1, asDelivered.mirrored(true, true)},
                 {2, asDelivered.mirrored(false, true)},
                 {3, asDelivered}};
    for (const Case& c : cases) {
        ASSERT_TRUE(cam->SetFlipMode(c.mode));
        EXPECT_EQ(cam->videoWindow()->flipMode(), c.mode);
        ASSERT_TRUE(cam->GrabLastFrame(img));
        EXPECT_EQ(img, c.expected) << "still, mode " << c.mode;
        ASSERT_TRUE(cam->GetStreamImage(img));
        EXPECT_EQ(img.convertToFormat(QImage::Format_RGB888), c.expected)
            << "rendered, mode " << c.mode;
    }
    EXPECT_FALSE(cam->SetFlipMode(4));
    EXPECT_FALSE(cam->SetFlipMode(-1));
    EXPECT_EQ(cam->GetFlipMode(), 3);

    // The mode survives a restart.
    ASSERT_TRUE(cam->SetFlipMode(2));
    ASSERT_TRUE(cam->StopGraph() && cam->BuilderGraph() && cam->StartGraph());
    EXPECT_EQ(cam->videoWindow()->flipMode(), 2);
    ASSERT_TRUE(cam->GrabLastFrame(img));
    EXPECT_EQ(img, asDelivered.mirrored(false, true));
}

TEST_F(CameraPanelTest, CameraThatCannotStartAsksForTheStartMessage)
{
    QSignalSpy messages(cam, &TVideoCameraDS::messageRequested);
    rig.hub->setFault(DemoFault::StartFails);
    EXPECT_FALSE(connect());
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages[0][0].toString(), "CannotStartVideo_MsgBox");
    EXPECT_EQ(messages[0][1].toString(), "AttentionTitle_MsgBox");
    EXPECT_EQ(messages[0][2].toInt(), 1);
    EXPECT_FALSE(cam->Connected);
    EXPECT_EQ(cam->GetFilterGraphState(), 0);
    EXPECT_EQ(rig.hub->activeStreams(), 0);

    rig.hub->setFault(DemoFault::None);
    EXPECT_TRUE(cam->DeviceConnect());
}

TEST_F(CameraPanelTest, FormatThatCannotBeSetFailsTheConnectWithoutStartMessage)
{
    QSignalSpy messages(cam, &TVideoCameraDS::messageRequested);
    QSignalSpy started(cam, &TVideoCameraDS::previewStarted);
    rig.hub->setFault(DemoFault::FormatRejected);
    EXPECT_FALSE(connect());
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(started.count(), 0);
    EXPECT_FALSE(cam->Connected);
    EXPECT_EQ(rig.hub->activeStreams(), 0);
}

TEST_F(CameraPanelTest, CameraWithoutFramesConnectsButHasNothingToGrab)
{
    rig.hub->setFault(DemoFault::NoFrames);
    ASSERT_TRUE(connect());
    EXPECT_EQ(cam->GetFilterGraphState(), 3);
    QImage img(2, 2, QImage::Format_RGB888);
    img.fill(Qt::red);
    const QImage before = img;
    EXPECT_FALSE(cam->GrabLastFrame(img));
    EXPECT_TRUE(cam->GetStreamImage(img));
    EXPECT_EQ(img, before);
}

TEST_F(CameraPanelTest, UnplugWhileConnectedFailsTheStreamAndTheRepaint)
{
    QSignalSpy failed(cam, &TVideoCameraDS::streamFailed);
    QSignalSpy removed(&rig.pool, &DevicePool::deviceRemovalComplete);
    ASSERT_TRUE(connect());
    rig.hub->unplug();
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1 && removed.count() == 1; }));
    EXPECT_FALSE(failed[0][0].toString().isEmpty());
    // The repaint tries one restart, which cannot work without the camera.
    EXPECT_FALSE(cam->VMR9RepaintVideoAtWindowless());
    EXPECT_FALSE(cam->SearchDevice());
    cam->DeviceDisConnect();
    EXPECT_FALSE(cam->Connected);
    EXPECT_EQ(rig.hub->activeStreams(), 0);
}

TEST_F(CameraPanelTest, RepaintRestartsAFailedPreviewOnce)
{
    QSignalSpy failed(cam, &TVideoCameraDS::streamFailed);
    QSignalSpy started(cam, &TVideoCameraDS::previewStarted);
    ASSERT_TRUE(connect());
    rig.hub->unplug();
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }));
    rig.hub->plug();
    EXPECT_TRUE(cam->VMR9RepaintVideoAtWindowless());
    EXPECT_EQ(started.count(), 2);
    EXPECT_TRUE(framesShown());
    EXPECT_TRUE(cam->VMR9RepaintVideoAtWindowless());
    EXPECT_EQ(started.count(), 2);

    // Outside the preview the repaint does not restart.
    rig.hub->unplug();
    ASSERT_TRUE(waitFor([&] { return failed.count() == 2; }));
    rig.hub->plug();
    cam->graphMode = GraphMode::Player;
    EXPECT_FALSE(cam->VMR9RepaintVideoAtWindowless());
    EXPECT_EQ(started.count(), 2);
}

TEST_F(CameraPanelTest, RestartKeepsTheChosenFormatUntilTheNextConnect)
{
    QSignalSpy cleared(cam, &TVideoCameraDS::measurementDataCleared);
    ASSERT_TRUE(connect());
    EXPECT_FALSE(cam->FormatChanged);
    VideoFormat f = cam->captureFormat();
    f.width = 1024;
    f.height = 768;
    EXPECT_FALSE(cam->SetCaptureFormat(f)); // not offered
    f.width = 1280;
    f.height = 960;
    ASSERT_TRUE(cam->SetCaptureFormat(f));

    ASSERT_TRUE(cam->StopGraph());
    EXPECT_EQ(cam->GetFilterGraphState(), 0);
    ASSERT_TRUE(cam->BuilderGraph());
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_TRUE(cam->FormatChanged);
    EXPECT_TRUE(cam->RulerRedrawDue);
    EXPECT_EQ(cam->PrevLiveWidth, 1280);
    ASSERT_TRUE(cam->StartGraph());
    EXPECT_EQ(cam->LiveWidth, 1280);
    EXPECT_EQ(cam->LiveHeight, 960);
    EXPECT_EQ(cam->VideoWidth, 1280);
    EXPECT_EQ(cam->graph()->liveSize(), QSize(1280, 960));
    QImage img;
    ASSERT_TRUE(cam->GrabLastFrame(img));
    EXPECT_EQ(img.size(), QSize(1280, 960));

    // Same format again: nothing to clear.
    cam->FormatChanged = cam->RulerRedrawDue = false;
    ASSERT_TRUE(cam->StopGraph() && cam->BuilderGraph() && cam->StartGraph());
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_FALSE(cam->FormatChanged);
    EXPECT_EQ(cam->LiveWidth, 1280);

    cam->DeviceDisConnect();
    ASSERT_TRUE(cam->DeviceConnect());
    EXPECT_EQ(cam->LiveWidth, 640);
    EXPECT_EQ(cam->graph()->liveSize(), QSize(640, 480));
}

TEST_F(CameraPanelTest, FreezeShowsTheRenderedFrameAndResumeGoesLive)
{
    QSignalSpy cleared(cam, &TVideoCameraDS::measurementDataCleared);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(framesShown(1));
    ASSERT_TRUE(cam->FilterGraph_Pause(false, QString()));
    EXPECT_EQ(cam->GetFilterGraphState(), 2);
    EXPECT_TRUE(cam->FrozenImage->isVisible());
    EXPECT_EQ(cam->FrozenImage->picture().size(), QSize(640, 480));
    EXPECT_EQ(cam->VideoWidth, 640);
    EXPECT_EQ(cam->MeasureLayer->parentWidget(), cam->videoWindow());
    EXPECT_EQ(cam->RulerLayer->parentWidget(), cam->videoWindow());
    EXPECT_TRUE(cam->MeasureLayer->isVisible());
    EXPECT_TRUE(cam->RulerLayer->isVisible());
    EXPECT_EQ(cam->MeasureLayer->size(), cam->videoWindow()->size());
    EXPECT_EQ(cleared.count(), 1);

    ASSERT_TRUE(cam->FilterGraph_Play());
    EXPECT_EQ(cam->GetFilterGraphState(), 3);
    EXPECT_TRUE(cam->FrozenImage->isHidden());
    EXPECT_TRUE(cam->MeasureLayer->isHidden());
    EXPECT_EQ(cam->MeasureLayer->parentWidget(), cam);
    EXPECT_EQ(cam->RulerLayer->parentWidget(), cam);
    EXPECT_EQ(cleared.count(), 2);
    EXPECT_TRUE(framesShown());
    EXPECT_TRUE(cam->FilterGraph_Play()); // already running
    EXPECT_EQ(cleared.count(), 3);
}

TEST_F(CameraPanelTest, FreezeFromFileLoadsBmpAndJpgByExtensionOnly)
{
    QTemporaryDir dir;
    QImage bmp(320, 200, QImage::Format_RGB888);
    bmp.fill(QColor(10, 200, 30));
    ASSERT_TRUE(bmp.save(dir.filePath("pic.bmp"), "BMP"));
    QImage jpg(300, 150, QImage::Format_RGB888);
    jpg.fill(QColor(200, 40, 40));
    ASSERT_TRUE(jpg.save(dir.filePath("PIC.JPG"), "JPG", 95));
    ASSERT_TRUE(bmp.save(dir.filePath("pic.png"), "PNG"));
    QFile damaged(dir.filePath("bad.jpg"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xff\xd8 this is not a picture");
    damaged.close();

    ASSERT_TRUE(connect());
    cam->RulerLayer->hide();
    cam->CalibrationWindowActive = true;
    ASSERT_TRUE(cam->FilterGraph_Pause(true, dir.filePath("pic.bmp")));
    EXPECT_EQ(cam->VideoWidth, 320);
    EXPECT_EQ(cam->VideoHeight, 200);
    EXPECT_EQ(cam->FrozenImage->picture().pixelColor(5, 5), QColor(10, 200, 30));
    EXPECT_TRUE(cam->RulerLayer->isHidden()); // calibration keeps the rulers away
    ASSERT_TRUE(cam->FilterGraph_Play());
    EXPECT_EQ(cam->VideoWidth, 640);
    cam->CalibrationWindowActive = false;

    ASSERT_TRUE(cam->FilterGraph_Pause(true, dir.filePath("PIC.JPG")));
    EXPECT_TRUE(cam->RulerLayer->isVisible());
    EXPECT_EQ(cam->VideoWidth, 300);
    EXPECT_EQ(cam->VideoHeight, 150);
    const QColor c = cam->FrozenImage->picture().pixelColor(150, 75);
    EXPECT_NEAR(c.red(), 200, 6);
    EXPECT_NEAR(c.green(), 40, 6);
    ASSERT_TRUE(cam->FilterGraph_Play());

    for (const char* name : {"pic.png", "missing.bmp", "bad.jpg"}) {
        EXPECT_FALSE(cam->FilterGraph_Pause(true, dir.filePath(name))) << name;
        EXPECT_EQ(cam->GetFilterGraphState(), 3) << name; // stays live
        EXPECT_EQ(cam->VideoWidth, 640) << name;
    }
}

TEST_F(CameraPanelTest, OverlayIsStretchedKeyedAndBlendedOverTheVideo)
{
    rig.hub->setMotion(false);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(framesShown(1));
    const QImage frame = demoFrame(*rig.hub, QSize(640, 480));
    const QRgb key = qRgb(0, 255, 0);
    QImage overlay(2, 1, QImage::Format_RGB888);
    overlay.setPixel(0, 0, qRgb(255, 0, 0));
    overlay.setPixel(1, 0, key);
    // Left half red, right half keyed out, over the top half of the video.
    cam->SetOverlayBitmap(overlay, key, 1.0f, QRectF(0, 0, 1, 0.5));
    QImage img;
    ASSERT_TRUE(cam->GetStreamImage(img));
    EXPECT_EQ(img.pixel(100, 100), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(500, 100), frame.pixel(500, 100));
    EXPECT_EQ(img.pixel(100, 400), frame.pixel(100, 400));

    cam->SetOverlayBitmap(overlay, key, 0.5f, QRectF(0, 0, 1, 0.5));
    ASSERT_TRUE(cam->GetStreamImage(img));
    EXPECT_NEAR(qRed(img.pixel(100, 100)), (255 + qRed(frame.pixel(100, 100))) / 2, 3);
    EXPECT_NEAR(qGreen(img.pixel(100, 100)), qGreen(frame.pixel(100, 100)) / 2, 3);

    cam->ClearOverlayBitmap();
    ASSERT_TRUE(cam->GetStreamImage(img));
    EXPECT_EQ(img.convertToFormat(QImage::Format_RGB888), frame);

    TVideoCameraDS::setOverlayPathAvailable(false);
    EXPECT_FALSE(TVideoCameraDS::CheckVMR_Functuon());
    TVideoCameraDS::setOverlayPathAvailable(true);
}

TEST_F(CameraPanelTest, ResizeFollowsTheRequestOrTheParent)
{
    cam->ResizeVideoWindow(640, 480);
    EXPECT_EQ(cam->size(), QSize(640, 480));
    EXPECT_EQ(cam->videoWindow()->size(), QSize(640, 480));
    EXPECT_EQ(cam->RecordedSize, QSize(400, 300));
    cam->ResizeVideoWindow(100000, 100000); // larger than the screen: fill the host
    EXPECT_EQ(cam->geometry(), host.rect());
    host.resize(700, 500);
    EXPECT_EQ(cam->size(), QSize(700, 500));
    EXPECT_EQ(cam->MeasureLayer->size(), QSize(700, 500));
    cam->ResizeVideoWindow(400, 300);
    host.resize(800, 600);
    EXPECT_EQ(cam->size(), QSize(400, 300));
}

class TwoCameraPanelTest : public CameraPanelTest {
protected:
    TwoCameraPanelTest() : CameraPanelTest(2) {}
};

TEST_F(TwoCameraPanelTest, ConnectOpensTheSelectedCamera)
{
    ASSERT_TRUE(cam->SearchDevice());
    EXPECT_EQ(cam->GetIndexDevice(), 1);
    ASSERT_TRUE(cam->DeviceConnect());
    EXPECT_EQ(cam->connectedDevice().node, "demo:1");
    EXPECT_EQ(rig.hub->activeStreams(1), 1);
    cam->DeviceDisConnect();
    cam->SetDeviceIndex(0);
    ASSERT_TRUE(cam->DeviceConnect());
    EXPECT_EQ(cam->connectedDevice().node, "demo:0");
    EXPECT_EQ(rig.hub->activeStreams(1), 0);
    EXPECT_EQ(rig.hub->activeStreams(0), 1);
}

TEST_F(CameraPanelTest, SnapshotButtonIsReportedOnlyWhileThePreviewRuns)
{
    QSignalSpy pressed(cam, &TVideoCameraDS::stillButtonPressed);
    EXPECT_FALSE(rig.hub->pressSnapshotButton());
    ASSERT_TRUE(connect());
    EXPECT_TRUE(rig.hub->pressSnapshotButton());
    EXPECT_EQ(pressed.count(), 0); // delivered through the event loop
    ASSERT_TRUE(waitFor([&] { return pressed.count() == 1; }));
    cam->DeviceDisConnect();
    EXPECT_FALSE(rig.hub->pressSnapshotButton());
    QCoreApplication::processEvents();
    EXPECT_EQ(pressed.count(), 1);
}
