// Recording and playing videos through the main window.

#include "TestSupport.h"
#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/CaptureGraph.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/VideoCameraDS.h"
#include "library/MediaStrip.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

using namespace orvix;

namespace {

struct Rec {
    test::TempHome home;
    DevicePool pool;
    std::shared_ptr<DemoCameraHub> hub = std::make_shared<DemoCameraHub>(1, true);
    std::unique_ptr<TMainForm> form;

    Rec()
    {
        qputenv("LANG", "en_US.UTF-8");
        pool.addSource(hub);
        MainFormOptions o;
        o.programDir = test::programDir();
        form = std::make_unique<TMainForm>(pool, o);
        form->ui.action("AutoSave")->trigger(); // recordings without the file dialog
    }
    void connect()
    {
        form->Connect_BtnClick();
        ASSERT_TRUE(form->flags.DeviceConnected);
        QImage f;
        ASSERT_TRUE(test::waitFor([&] { return form->engine()->GrabLastFrame(f); }));
    }
    QStringList videos() const
    {
        return QDir(form->settings.CurrentAviPath).entryList({"*.avi"}, QDir::Files, QDir::Name);
    }
    // Waits until n more frames ran through the capture stream (and so into the recording).
    void waitFrames(quint64 n)
    {
        const quint64 start = form->engine()->graph()->framesGrabbed();
        ASSERT_TRUE(
            test::waitFor([&] { return form->engine()->graph()->framesGrabbed() >= start + n; }));
    }
    QString videoPath(int i = 0) const
    {
        return form->settings.CurrentAviPath + "/" + videos().value(i);
    }
    // Records until the file holds some frames, then stops.
    void recordSome()
    {
        form->RecordVideo_BtnClick();
        ASSERT_TRUE(form->flags.VideoRecording);
        waitFrames(20);
        form->RecordVideo_BtnClick();
        ASSERT_FALSE(form->flags.VideoRecording);
    }
};

// Frames ffprobe can read from a file (-1 when it cannot read it at all).
int probeFrames(const QString& path)
{
    QProcess p;
    p.start("ffprobe",
            {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=nb_read_frames", "-of", "default=nokey=1:noprint_wrappers=1", path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return -1;
    bool ok = false;
    const int n = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toInt(&ok);
    return ok ? n : -1;
}

struct Answer {
    QString text;
    test::ModalAnswerer a;
    Answer()
        : a([this](QWidget* w) {
              auto* box = qobject_cast<TMessageBoxDlg*>(w);
              ASSERT_NE(box, nullptr);
              text = box->TntMessage_Text->text();
              box->OKBtn->click();
          })
    {
    }
};

} // namespace

TEST(RecordPlay, AutoSaveRecordingIsNamedFinalisedAndListed)
{
    Rec r;
    r.connect();
    r.recordSome();
    const QStringList files = r.videos();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression("^Video_\\d{14}\\.avi$").match(files[0]).hasMatch());
    EXPECT_GE(probeFrames(r.videoPath()), 20);
    EXPECT_EQ(r.form->ui.PageControl1->currentIndex(), 2);
    EXPECT_EQ(r.form->ui.PageControl1->tab(2).slots[0]->path(), r.videoPath());
    EXPECT_EQ(r.form->ui.RecordVideo_Btn->glyphFile(), QStringLiteral("videorecord.bmp"));
    EXPECT_TRUE(r.form->flags.DeviceConnected); // the preview ran on
    QImage f;
    EXPECT_TRUE(r.form->engine()->GrabLastFrame(f));
}

TEST(RecordPlay, UnplugDuringARecordingStopsItFirstAndKeepsTheFile)
{
    Rec r;
    r.connect();
    r.form->RecordVideo_BtnClick();
    ASSERT_TRUE(r.form->flags.VideoRecording);
    EXPECT_EQ(r.form->ui.RecordVideo_Btn->glyphFile(), QStringLiteral("stopvideo.bmp"));
    r.waitFrames(15);
    r.hub->unplug();
    ASSERT_TRUE(test::waitFor([&] { return !r.form->flags.DeviceFound; }));
    EXPECT_FALSE(r.form->flags.VideoRecording);
    EXPECT_FALSE(r.form->flags.DeviceConnected);
    ASSERT_EQ(r.videos().size(), 1);
    EXPECT_GE(probeFrames(r.videoPath()), 10);
}

TEST(RecordPlay, PlayingDisconnectsAndLeavingShowsTheNoCameraPanel)
{
    Rec r;
    r.connect();
    r.recordSome();
    r.form->ui.action("ChangeModeTB_VideoCtrl")->trigger();
    r.form->UpdateActions();
    ASSERT_FALSE(r.form->ui.VideoCtrl_ToolBar->isHidden());

    r.form->PlayerVideoCom(r.videoPath());
    r.form->UpdateActions();
    EXPECT_TRUE(r.form->flags.PlayerOpen);
    EXPECT_FALSE(r.form->flags.DeviceConnected);
    EXPECT_FALSE(r.form->ui.MideaPlay_ToolBar->isHidden());
    EXPECT_TRUE(r.form->ui.ChangeMode_ToolBar->isHidden());
    EXPECT_TRUE(r.form->ui.VideoCtrl_ToolBar->isHidden());
    EXPECT_TRUE(r.form->ui.NoCameraPanel->isHidden());
    EXPECT_EQ(r.form->ui.PlayVideo_Btn->glyphFile(), QStringLiteral("stopplay.bmp"));
    EXPECT_FALSE(r.form->ui.action("MediaPlay_Btn")->isEnabled());
    EXPECT_TRUE(r.form->ui.action("MediaPause_Btn")->isEnabled());

    r.form->MediaPause_BtnClick();
    EXPECT_TRUE(r.form->ui.action("MediaPlay_Btn")->isEnabled());
    EXPECT_FALSE(r.form->ui.action("MediaPause_Btn")->isEnabled());
    r.form->MediaStop_BtnClick();
    EXPECT_FALSE(r.form->ui.action("MediaStop_Btn")->isEnabled());

    r.form->PlayVideo_BtnClick(); // leaves the player
    r.form->UpdateActions();
    EXPECT_FALSE(r.form->flags.PlayerOpen);
    EXPECT_FALSE(r.form->ui.NoCameraPanel->isHidden());
    EXPECT_TRUE(r.form->ui.MideaPlay_ToolBar->isHidden());
    EXPECT_EQ(r.form->ui.PlayVideo_Btn->glyphFile(), QStringLiteral("playvideo.bmp"));
    // Connecting again returns to the same mode.
    r.connect();
    r.form->UpdateActions();
    EXPECT_FALSE(r.form->ui.VideoCtrl_ToolBar->isHidden());
}

TEST(RecordPlay, ADamagedFileIsRefusedAndTheCameraStaysDisconnected)
{
    Rec r;
    r.connect();
    const QString bad = r.form->settings.CurrentAviPath + "/broken.avi";
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF\x10\x00\x00\x00"
            "AVI LIST garbage garbage garbage");
    f.close();
    Answer a;
    r.form->PlayerVideoCom(bad);
    EXPECT_EQ(a.text, msgText("CannotPlayVideo_MsgBox"));
    EXPECT_FALSE(r.form->flags.PlayerOpen);
    EXPECT_FALSE(r.form->flags.DeviceConnected);
}

TEST(RecordPlay, TheVKeyStartsAndStopsARecordingOnce)
{
    Rec r;
    r.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(r.form.get()));
    r.connect();
    QTest::keyPress(r.form->ui.client, Qt::Key_V);
    EXPECT_TRUE(r.form->flags.VideoRecording);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, QStringLiteral("v"), true);
    QApplication::sendEvent(r.form->ui.client, &repeat);
    EXPECT_TRUE(r.form->flags.VideoRecording);
    QTest::keyRelease(r.form->ui.client, Qt::Key_V);
    r.waitFrames(5);
    QTest::keyPress(r.form->ui.client, Qt::Key_V);
    QTest::keyRelease(r.form->ui.client, Qt::Key_V);
    EXPECT_FALSE(r.form->flags.VideoRecording);
    EXPECT_EQ(r.videos().size(), 1);
}
