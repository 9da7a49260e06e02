// Recording, the player and the property dialogs through the engine panel, as the main
// window drives them.

#include "RecordingRig.h"

#include "camera/AviFile.h"
#include "camera/CameraControls.h"
#include "camera/MediaPlayer.h"
#include "camera/PictureLayer.h"
#include "camera/VideoCameraDS.h"
#include "camera/VideoFormatDlg.h"
#include "camera/VideoSourceDlg.h"
#include "camera/VideoWindow.h"
#include "text/ControlRole.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <linux/videodev2.h>

using namespace orvix;
using namespace orvix::test;

namespace {

class EngineTest : public ::testing::Test {
protected:
    EngineTest()
    {
        host.resize(800, 600);
        cam = new TVideoCameraDS(demo.pool, &host);
        cam->SetHandle(&host);
        host.show();
    }
    ~EngineTest() override { delete cam; }

    bool connect() { return cam->SearchDevice() && cam->DeviceConnect(); }
    bool framesShown(quint64 n = 5)
    {
        const quint64 start = cam->videoWindow()->framesPainted();
        return waitFor([&] { return cam->videoWindow()->framesPainted() >= start + n; });
    }
    bool recorded(quint64 n)
    {
        return waitFor(
            [&] {
                return cam->IsRecording() && cam->graph() && framesShown(1) &&
                       recorderFrames() >= n;
            },
            30000);
    }
    quint64 recorderFrames()
    {
        // Frames in the file so far, read the way another program would.
        return quint64(std::max<qint64>(0, inspectAvi(cam->RecordingFileName()).videoFrames));
    }
    QAction* popup(const char* name)
    {
        return cam->playerPopupMenu()->findChild<QAction*>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    DemoPool demo;
    QWidget host;
    TVideoCameraDS* cam = nullptr;
};

} // namespace

TEST_F(EngineTest, RecordsWhileThePreviewRunsAndFinalisesOnStop)
{
    const QString path = dir.filePath(QStringLiteral("Video_1.avi"));
    EXPECT_FALSE(cam->VideoCaptureAvi(path)) << "not connected";
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(connect());
    ASSERT_TRUE(cam->VideoCaptureAvi(path));
    EXPECT_TRUE(cam->IsRecording());
    EXPECT_EQ(cam->RecordingFileName(), path);
    EXPECT_EQ(cam->graphMode, GraphMode::Recording);
    EXPECT_TRUE(cam->RecordingOrPlaying);
    EXPECT_TRUE(cam->LiveSource);
    EXPECT_FALSE(cam->CompressorInGraph);
    EXPECT_FALSE(cam->VideoCaptureAvi(dir.filePath(QStringLiteral("second.avi"))));
    ASSERT_TRUE(recorded(30));
    EXPECT_TRUE(framesShown(10)) << "the preview stopped for the recording";

    EXPECT_TRUE(cam->VideoCaptureAviStop());
    EXPECT_FALSE(cam->IsRecording());
    EXPECT_EQ(cam->graphMode, GraphMode::Preview);
    EXPECT_FALSE(cam->RecordingOrPlaying);
    EXPECT_TRUE(cam->Connected);
    EXPECT_TRUE(framesShown(5));
    const AviLayout layout = inspectAvi(path);
    EXPECT_TRUE(layout.finished && layout.hasIndex);
    EXPECT_EQ(probeVideo(path).frames, layout.videoFrames);
    EXPECT_GE(layout.videoFrames, 30);
    EXPECT_FALSE(cam->VideoCaptureAviStop()) << "nothing to stop";
}

TEST_F(EngineTest, TheChosenCompressorIsUsedByTheNextRecording)
{
    ASSERT_TRUE(connect());
    EXPECT_EQ(cam->GetCompressorIndex(), 0);
    EXPECT_FALSE(cam->FindCompressFilters());
    const int mjpeg = mjpegCompressorIndex();
    ASSERT_GT(mjpeg, 0);
    cam->SetCompressorIndex(mjpeg);
    EXPECT_TRUE(cam->FindCompressFilters());

    const QString path = dir.filePath(QStringLiteral("mjpeg.avi"));
    ASSERT_TRUE(cam->VideoCaptureAvi(path));
    EXPECT_TRUE(cam->CompressorInGraph);
    ASSERT_TRUE(recorded(10));
    EXPECT_TRUE(cam->VideoCaptureAviStop());
    EXPECT_FALSE(cam->CompressorInGraph);
    EXPECT_EQ(probeVideo(path).codec, QStringLiteral("mjpeg"));

    // An index past the end of the enumeration records raw video.
    cam->SetCompressorIndex(100000);
    EXPECT_FALSE(cam->FindCompressFilters());
}

TEST_F(EngineTest, ARecordingThatCannotStartLeavesThePreviewAsItWas)
{
    ASSERT_TRUE(connect());
    QSignalSpy started(cam, &TVideoCameraDS::previewStarted);
    EXPECT_FALSE(cam->VideoCaptureAvi(dir.filePath(QStringLiteral("no/such/folder/x.avi"))));
    EXPECT_FALSE(cam->IsRecording());
    EXPECT_FALSE(cam->RecordingOrPlaying);
    EXPECT_FALSE(cam->CompressorInGraph);
    EXPECT_EQ(cam->graphMode, GraphMode::Preview);
    EXPECT_TRUE(cam->Connected);
    EXPECT_TRUE(framesShown(5));
    EXPECT_EQ(started.count(), 0) << "a healthy preview is not restarted";
    // And the next one works.
    ASSERT_TRUE(cam->VideoCaptureAvi(dir.filePath(QStringLiteral("ok.avi"))));
    EXPECT_TRUE(cam->VideoCaptureAviStop());
}

TEST_F(EngineTest, CameraLostOrDisconnectedDuringARecordingLeavesCompleteFiles)
{
    ASSERT_TRUE(connect());
    const QString unplugged = dir.filePath(QStringLiteral("unplugged.avi"));
    ASSERT_TRUE(cam->VideoCaptureAvi(unplugged));
    ASSERT_TRUE(recorded(15));
    QSignalSpy failed(cam, &TVideoCameraDS::streamFailed);
    QSignalSpy ended(cam, &TVideoCameraDS::recordingEnded);
    demo.hub->unplug(0);
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(cam->IsRecording());
    EXPECT_TRUE(cam->VideoCaptureAviStop()) << "the file was finalised when the camera went";
    cam->DeviceDisConnect();
    AviLayout layout = inspectAvi(unplugged);
    EXPECT_TRUE(layout.finished && layout.hasIndex);
    EXPECT_EQ(probeVideo(unplugged).frames, layout.videoFrames);

    demo.hub->plug(0);
    ASSERT_TRUE(connect());
    const QString disconnected = dir.filePath(QStringLiteral("disconnected.avi"));
    ASSERT_TRUE(cam->VideoCaptureAvi(disconnected));
    ASSERT_TRUE(recorded(15));
    cam->DeviceDisConnect(); // without stopping the recording first
    EXPECT_FALSE(cam->IsRecording());
    layout = inspectAvi(disconnected);
    EXPECT_TRUE(layout.finished && layout.hasIndex);
    EXPECT_EQ(probeVideo(disconnected).frames, layout.videoFrames);
}

TEST_F(EngineTest, AFullDiskEndsTheRecordingWithAReasonAndThePreviewRunsOn)
{
    SmallDisk disk(12);
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    ASSERT_TRUE(connect());
    QSignalSpy failed(cam, &TVideoCameraDS::recordingFailed);
    const QString path = disk.filePath(QStringLiteral("full.avi"));
    ASSERT_TRUE(cam->VideoCaptureAvi(path));
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }, 30000));
    EXPECT_FALSE(failed.front().front().toString().isEmpty());
    EXPECT_FALSE(cam->IsRecording());
    EXPECT_FALSE(cam->RecordingOrPlaying);
    EXPECT_EQ(cam->graphMode, GraphMode::Preview);
    EXPECT_TRUE(cam->Connected);
    EXPECT_TRUE(framesShown(10));
    EXPECT_FALSE(cam->VideoCaptureAviStop());
    const AviLayout layout = inspectAvi(path);
    EXPECT_TRUE(layout.finished);
    EXPECT_GT(layout.videoFrames, 3);
    EXPECT_TRUE(cam->OpenPlayer(path)) << "what was written plays";
}

TEST_F(EngineTest, PlayerPlaysPausesStopsAndRepeats)
{
    const QString video = dir.filePath(QStringLiteral("ramp.avi"));
    ASSERT_TRUE(writeGreyRampAvi(video, 30));
    ASSERT_TRUE(connect());
    QSignalSpy changed(cam, &TVideoCameraDS::playerStateChanged);
    QSignalSpy stopped(cam, &TVideoCameraDS::playerStopped);
    QSignalSpy ended(cam, &TVideoCameraDS::playerEnded);

    ASSERT_TRUE(cam->OpenPlayer(video));
    EXPECT_FALSE(cam->OpenPlayer(video)) << "one video at a time";
    EXPECT_FALSE(cam->Connected) << "the camera is disconnected for the player";
    EXPECT_EQ(demo.hub->activeStreams(), 0);
    EXPECT_TRUE(cam->GetPlayerOpen());
    EXPECT_FALSE(cam->LiveSource);
    EXPECT_TRUE(cam->RecordingOrPlaying);
    EXPECT_EQ(cam->graphMode, GraphMode::Player);
    EXPECT_EQ(cam->PlayerFileName(), video);
    EXPECT_TRUE(cam->MeasureLayer->isHidden());
    EXPECT_FALSE(cam->PlayerCanPlay());
    EXPECT_TRUE(cam->PlayerCanPause());
    EXPECT_TRUE(cam->PlayerCanStop());
    EXPECT_GE(changed.count(), 1);

    // The position bar: 12 pixels at the bottom, under the video.
    QSlider* bar = cam->positionBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(0, cam->height() - 12, cam->width(), 12));
    EXPECT_EQ(cam->videoWindow()->height(), cam->height() - 12);
    EXPECT_NEAR(bar->maximum(), 1000, 40);

    // The pop-up menu: six items with their names, roles and captions.
    const QStringList names = {"PopupVideoPlay",   "PopupVideoPause", "PopupVideoStop",
                               "PopupVideoRePlay", "PopupVideoDash1", "PopupVideoExit"};
    const QList<QAction*> items = cam->playerPopupMenu()->actions();
    ASSERT_EQ(items.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(items[i]->objectName(), names[i]);
        EXPECT_EQ(roleOf(items[i]), ControlRole::MenuItem);
        EXPECT_EQ(items[i]->data().toInt(), i);
    }
    EXPECT_EQ(items[0]->text(), QStringLiteral("Play"));
    EXPECT_TRUE(items[4]->isSeparator());
    EXPECT_FALSE(popup("PopupVideoPlay")->isEnabled());

    ASSERT_TRUE(framesShown(5)) << "the video is not shown";
    ASSERT_TRUE(waitFor([&] { return bar->value() > 100; })) << "the bar does not follow";

    // Pause from the pop-up menu: the paused frame is held in FrozenImage.
    popup("PopupVideoPause")->trigger();
    EXPECT_TRUE(cam->FrozenImage->isVisible());
    EXPECT_EQ(greyAt(cam->FrozenImage->picture()), greyAt(cam->videoWindow()->currentImage()));
    EXPECT_TRUE(cam->PlayerCanPlay());
    EXPECT_FALSE(cam->PlayerCanPause());
    EXPECT_TRUE(cam->PlayerCanStop());

    // Moving the bar seeks.
    bar->setValue(500);
    EXPECT_NEAR(double(cam->player()->position()), 500e6, 40e6);
    EXPECT_EQ(greyAt(cam->videoWindow()->currentFrame().image()), 15 * 5);

    // Stop: back to the start, frame 8 shown, the rewind button released.
    const int stoppedBefore = int(stopped.count());
    EXPECT_TRUE(cam->VideoStop());
    EXPECT_EQ(stopped.count(), stoppedBefore + 1);
    EXPECT_TRUE(cam->FrozenImage->isVisible());
    EXPECT_EQ(greyAt(cam->FrozenImage->picture()), 8 * 5);
    EXPECT_TRUE(cam->PlayerCanPlay());
    EXPECT_FALSE(cam->PlayerCanPause());
    EXPECT_FALSE(cam->PlayerCanStop());
    EXPECT_EQ(bar->value(), 0);

    // Play to the end: stopped on frame 8, end state set.
    cam->VideoPlay();
    EXPECT_TRUE(cam->FrozenImage->isHidden());
    EXPECT_FALSE(cam->GetPlayerEndState());
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }, 20000));
    EXPECT_TRUE(cam->GetPlayerEndState());
    EXPECT_EQ(greyAt(cam->FrozenImage->picture()), 8 * 5);
    EXPECT_TRUE(cam->PlayerCanPlay());

    // Repeat, from the pop-up menu: the end starts it again.
    popup("PopupVideoRePlay")->trigger();
    EXPECT_TRUE(cam->GetRepeat());
    EXPECT_TRUE(popup("PopupVideoRePlay")->isChecked());
    QSignalSpy restarted(cam->player(), &MediaPlayer::restarted);
    popup("PopupVideoPlay")->trigger();
    EXPECT_FALSE(cam->GetPlayerEndState());
    ASSERT_TRUE(waitFor([&] { return restarted.count() >= 1; }, 20000));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(cam->GetPlayerEndState());
    cam->VideoStop();
    EXPECT_TRUE(cam->GetRepeat()) << "stopping keeps repeat on";

    QSignalSpy exit(cam, &TVideoCameraDS::playerExitRequested);
    popup("PopupVideoExit")->trigger();
    EXPECT_EQ(exit.count(), 1);

    EXPECT_FALSE(cam->ClosePlayer()) << "the camera is not reconnected";
    EXPECT_FALSE(cam->GetPlayerOpen());
    EXPECT_FALSE(cam->GetRepeat());
    EXPECT_FALSE(popup("PopupVideoRePlay")->isChecked());
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(cam->videoWindow()->height(), cam->height());
    EXPECT_TRUE(cam->LiveSource);
    EXPECT_FALSE(cam->RecordingOrPlaying);
    EXPECT_TRUE(cam->FrozenImage->isHidden());
    EXPECT_FALSE(cam->FrozenImage->hasPicture());
    EXPECT_FALSE(cam->MeasureLayer->isHidden());
    EXPECT_FALSE(cam->ClosePlayer());
    EXPECT_FALSE(cam->VideoStop());

    // The camera connects again afterwards.
    ASSERT_TRUE(connect());
    EXPECT_TRUE(framesShown(3));
}

TEST_F(EngineTest, AFileThatCannotBePlayedLeavesTheCameraDisconnected)
{
    const QString bad = dir.filePath(QStringLiteral("bad.avi"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'x'));
    f.close();
    ASSERT_TRUE(connect());
    EXPECT_FALSE(cam->OpenPlayer(bad));
    EXPECT_FALSE(cam->Connected);
    EXPECT_FALSE(cam->GetPlayerOpen());
    EXPECT_TRUE(cam->LiveSource);
    EXPECT_FALSE(cam->MeasureLayer->isHidden());
    EXPECT_TRUE(cam->positionBar()->isHidden());
    EXPECT_FALSE(cam->ClosePlayer());
}

TEST_F(EngineTest, FormatDialogRestartsThePreviewWithTheChosenSize)
{
    EXPECT_FALSE(cam->VideoFormatDlg()) << "not connected";
    ASSERT_TRUE(connect());
    QSignalSpy cleared(cam, &TVideoCameraDS::measurementDataCleared);
    ModalAnswerer answer([](QWidget* w) {
        auto* dlg = qobject_cast<TVideoFormatDlg*>(w);
        ASSERT_TRUE(dlg);
        dlg->Size_ComboBox->setCurrentIndex(dlg->Size_ComboBox->findText("800 x 600"));
        QTest::mouseClick(dlg->OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(cam->VideoFormatDlg());
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(cam->captureFormat().width, 800);
    EXPECT_TRUE(cam->FormatChanged);
    EXPECT_GE(cleared.count(), 1);
    ASSERT_TRUE(framesShown(3));
    EXPECT_EQ(cam->graph()->liveSize(), QSize(800, 600));
    EXPECT_EQ(cam->VideoWidth, 800);

    // Cancel keeps the format but still restarts.
    QSignalSpy started(cam, &TVideoCameraDS::previewStarted);
    ModalAnswerer cancel([](QWidget* w) {
        QTest::mouseClick(qobject_cast<TVideoFormatDlg*>(w)->CancelBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(cam->VideoFormatDlg());
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(cam->captureFormat().width, 800);
}

TEST_F(EngineTest, SourceDialogShowsTheCameraControls)
{
    EXPECT_FALSE(cam->VideoSourceDlg()) << "not connected";
    ASSERT_TRUE(connect());
    ModalAnswerer answer([](QWidget* w) {
        auto* dlg = qobject_cast<TVideoSourceDlg*>(w);
        ASSERT_TRUE(dlg);
        qobject_cast<QSlider*>(dlg->controlWidget(V4L2_CID_BRIGHTNESS))->setValue(20);
        QTest::mouseClick(dlg->OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(cam->VideoSourceDlg());
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(demo.hub->control(DemoControl::Brightness), 20);
    EXPECT_TRUE(cam->Connected);
    EXPECT_TRUE(framesShown(3)) << "the preview keeps running";
}
