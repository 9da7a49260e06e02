#include "RecordingRig.h"

#include "camera/MediaPlayer.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvix;
using namespace orvix::test;

namespace {

constexpr int kFrames = 40; // 1.33 s at 30 fps
constexpr qint64 kFrameNs = 1'000'000'000 / 30;

class LastFrameSink : public FrameSink {
public:
    void pushFrame(const VideoFrame& f) override
    {
        std::lock_guard lock(m);
        last = f;
        ++count;
        if (greyAt(f.image()) == 0)
            ++firstFrames;
    }
    int lastGrey()
    {
        std::lock_guard lock(m);
        return greyAt(last.image());
    }
    std::mutex m;
    VideoFrame last;
    int count = 0;
    int firstFrames = 0;
};

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_ramp = s_dir->filePath(QStringLiteral("ramp.avi"));
        ASSERT_TRUE(writeGreyRampAvi(s_ramp, kFrames));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override { player.setFrameSink(&sink); }
    void TearDown() override { player.setFrameSink(nullptr); }

    // A copy of the ramp file changed by edit.
    QString variant(const QString& name, const std::function<void(QByteArray&)>& edit)
    {
        QFile in(s_ramp);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray bytes = in.readAll();
        edit(bytes);
        const QString path = s_dir->filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        return path;
    }

    static QTemporaryDir* s_dir;
    static QString s_ramp;
    LastFrameSink sink;
    MediaPlayer player;
};

QTemporaryDir* PlayerTest::s_dir = nullptr;
QString PlayerTest::s_ramp;

} // namespace

TEST_F(PlayerTest, OpensPausedOnTheFirstFrame)
{
    QString error;
    ASSERT_TRUE(player.open(s_ramp, &error)) << error.toStdString();
    EXPECT_TRUE(player.isOpen());
    EXPECT_EQ(player.fileName(), s_ramp);
    EXPECT_EQ(player.state(), MediaPlayer::State::Paused);
    EXPECT_EQ(player.videoSize(), QSize(160, 120));
    EXPECT_DOUBLE_EQ(player.frameRate(), 30.0);
    EXPECT_NEAR(double(player.duration()), double(kFrames * kFrameNs), double(kFrameNs));
    EXPECT_EQ(sink.lastGrey(), 0);
    EXPECT_FALSE(player.endOfStream());
    player.close();
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.state(), MediaPlayer::State::Closed);
    EXPECT_FALSE(player.play());
}

TEST_F(PlayerTest, PlaysEveryFrameToTheEndThenStopsOnFrame8)
{
    ASSERT_TRUE(player.open(s_ramp));
    QSignalSpy ended(&player, &MediaPlayer::endOfStreamReached);
    ASSERT_TRUE(player.play());
    EXPECT_EQ(player.state(), MediaPlayer::State::Playing);
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }, 20000));
    EXPECT_TRUE(player.endOfStream());
    EXPECT_EQ(sink.lastGrey(), (kFrames - 1) * 5);
    EXPECT_GE(player.framesDelivered(), quint64(kFrames)); // the first one twice: cued, then played

    ASSERT_TRUE(player.stop());
    EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    EXPECT_EQ(greyAt(player.stopPicture()), 8 * 5);
    EXPECT_EQ(sink.lastGrey(), 0) << "the first frame is cued";
    EXPECT_LT(player.position(), kFrameNs);
    EXPECT_TRUE(player.endOfStream()) << "only playing clears the end state";

    ASSERT_TRUE(player.play());
    EXPECT_FALSE(player.endOfStream());
    ASSERT_TRUE(waitFor([&] { return ended.count() == 2; }, 20000));
}

TEST_F(PlayerTest, PlaysMotionJpeg)
{
    QString factory;
    if (mjpegCompressorIndex(&factory) < 0)
        GTEST_SKIP() << "no Motion JPEG encoder";
    const QString path = s_dir->filePath(QStringLiteral("ramp-mjpeg.avi"));
    ASSERT_TRUE(writeGreyRampAvi(path, 20, QSize(160, 120), 30, factory));
    QSignalSpy ended(&player, &MediaPlayer::endOfStreamReached);
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }, 20000));
    EXPECT_NEAR(sink.lastGrey(), 19 * 5, 4);
    ASSERT_TRUE(player.stop());
    EXPECT_NEAR(greyAt(player.stopPicture()), 8 * 5, 4);
}

TEST_F(PlayerTest, RefusesWhatIsNotAPlayableAviFile)
{
    const QString empty = variant(QStringLiteral("empty.avi"), [](QByteArray& b) { b.clear(); });
    const QString garbage = variant(QStringLiteral("garbage.avi"), [](QByteArray& b) {
        for (int i = 0; i < b.size(); ++i)
            b[i] = char(QRandomGenerator::global()->bounded(256));
    });
    const QString text = variant(QStringLiteral("text.avi"), [](QByteArray& b) {
        b = QByteArray("This is not a video.\n").repeated(1000);
    });
    const QString picture = s_dir->filePath(QStringLiteral("picture.avi"));
    {
        QImage img(64, 48, QImage::Format_RGB888);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(picture, "PNG"));
    }
    const QString headerOnly =
        variant(QStringLiteral("header.avi"), [](QByteArray& b) { b.truncate(1024); });
    const QString cutInHalf =
        variant(QStringLiteral("half.avi"), [](QByteArray& b) { b.truncate(b.size() / 2); });
    const QString badHeader = variant(QStringLiteral("badheader.avi"), [](QByteArray& b) {
        const int strf = b.indexOf("strf");
        ASSERT_GT(strf, 0);
        b.replace(strf + 8, 40, QByteArray(40, char(0xff)));
    });
    const QString noStream = variant(QStringLiteral("nostream.avi"), [](QByteArray& b) {
        const int strh = b.indexOf("strh");
        ASSERT_GT(strh, 0);
        b.replace(strh + 8, 4, "txts");
    });

    for (const QString& path : {empty, garbage, text, picture, headerOnly, cutInHalf, badHeader,
                                noStream, s_dir->filePath(QStringLiteral("missing.avi"))}) {
        QString error;
        EXPECT_FALSE(player.open(path, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_FALSE(player.isOpen());
        EXPECT_FALSE(player.play());
        EXPECT_FALSE(player.stop());
    }
    // And a good file still opens afterwards.
    EXPECT_TRUE(player.open(s_ramp));
}

TEST_F(PlayerTest, DamagedFramesDuringPlaybackAreReportedNotFatal)
{
    QString factory;
    if (mjpegCompressorIndex(&factory) < 0)
        GTEST_SKIP() << "no Motion JPEG encoder";
    const QString good = s_dir->filePath(QStringLiteral("damage-src.avi"));
    ASSERT_TRUE(writeGreyRampAvi(good, 30, QSize(160, 120), 30, factory));
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    // Wreck the second half of the frame data, headers and index untouched.
    const int movi = bytes.indexOf("movi");
    const int idx1 = bytes.lastIndexOf("idx1");
    ASSERT_GT(idx1, movi);
    for (int i = movi + (idx1 - movi) / 2; i < idx1; ++i)
        if (bytes.mid(i, 4) != "00dc")
            bytes[i] = char(i * 31);
    const QString damaged = s_dir->filePath(QStringLiteral("damaged.avi"));
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    QSignalSpy ended(&player, &MediaPlayer::endOfStreamReached);
    QSignalSpy failed(&player, &MediaPlayer::playbackFailed);
    ASSERT_TRUE(player.open(damaged));
    ASSERT_TRUE(player.play());
    // Either the decoder skips the broken frames to the end, or the player reports it.
    ASSERT_TRUE(waitFor([&] { return ended.count() + failed.count() > 0; }, 20000));
    if (failed.count()) {
        EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    }
    player.close();
}
