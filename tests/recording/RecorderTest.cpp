#include "RecordingRig.h"

#include "camera/AviFile.h"
#include "camera/AviRecorder.h"
#include "camera/CompressorCatalog.h"
#include "camera/MediaPlayer.h"
#include "library/AviFrame.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvix;
using namespace orvix::test;

namespace {

constexpr quint64 kFramesToRecord = 45; // 1.5 s at 30 fps

bool recordFrames(AviRecorder& r, quint64 n)
{
    return waitFor([&] { return r.framesWritten() >= n; }, 30000);
}

} // namespace

TEST(AviRecorderTest, RecordsRawVideoWithEveryFrameWhileThePreviewRuns)
{
    QTemporaryDir dir;
    LiveGraph live;
    ASSERT_TRUE(live.running());
    live.hub->setMotion(false); // every frame the same picture
    const QString path = dir.filePath(QStringLiteral("raw.avi"));
    AviRecorder rec;
    QString error;
    ASSERT_TRUE(rec.start(live.graph, path, {}, &error)) << error.toStdString();
    EXPECT_TRUE(rec.isRecording());
    EXPECT_EQ(rec.fileName(), path);
    ASSERT_TRUE(recordFrames(rec, kFramesToRecord));
    EXPECT_TRUE(live.previewAdvances(10)) << "the preview stalls while recording";
    const QImage live0 = live.graph.lastFrame().image().convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(rec.stop());
    EXPECT_FALSE(rec.isRecording());
    EXPECT_FALSE(rec.stop()) << "a second stop has nothing to stop";

    const ProbeResult probe = probeVideo(path);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec, QStringLiteral("rawvideo"));
    EXPECT_EQ(probe.width, 640);
    EXPECT_EQ(probe.height, 480);
    EXPECT_EQ(quint64(probe.frames), rec.framesWritten());
    EXPECT_GE(rec.framesReceived(), rec.framesWritten());

    const AviLayout layout = inspectAvi(path);
    EXPECT_TRUE(layout.finished);
    EXPECT_TRUE(layout.hasIndex);
    EXPECT_EQ(quint64(layout.headerFrames), rec.framesWritten());

    // The picture itself, as another reader and as the program's own reader see it:
    // upright, colours in place.
    EXPECT_LT(meanDifference(decodeWithFfmpeg(path, 8, QSize(640, 480)), live0), 0.5);
    QImage frame8;
    ASSERT_TRUE(GetAviFrame(path, 8, &frame8));
    EXPECT_LT(meanDifference(frame8, live0), 0.5);
    EXPECT_TRUE(live.previewAdvances(5)) << "the preview stops with the recording";
}

TEST(AviRecorderTest, RecordsMotionJpegThroughTheChosenCompressor)
{
    QString factory;
    const int index = mjpegCompressorIndex(&factory);
    ASSERT_GT(index, 0) << "no Motion JPEG compressor is installed";
    const std::optional<CompressorInfo> chosen = CompressorCatalog::find(index);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->factory, factory);

    QTemporaryDir dir;
    LiveGraph live;
    ASSERT_TRUE(live.running());
    live.hub->setMotion(false);
    const QString path = dir.filePath(QStringLiteral("mjpeg.avi"));
    AviRecorder rec;
    QString error;
    ASSERT_TRUE(rec.start(live.graph, path, chosen->factory, &error)) << error.toStdString();
    EXPECT_EQ(rec.encoder(), factory);
    ASSERT_TRUE(recordFrames(rec, kFramesToRecord));
    const QImage live0 = live.graph.lastFrame().image().convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(rec.stop());

    const ProbeResult probe = probeVideo(path);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec, QStringLiteral("mjpeg"));
    EXPECT_EQ(quint64(probe.frames), rec.framesWritten());
    EXPECT_LT(QFileInfo(path).size(), qint64(rec.framesWritten()) * 640 * 480)
        << "the video is not compressed";
    const double ffmpegDiff = meanDifference(decodeWithFfmpeg(path, 8, QSize(640, 480)), live0);
    EXPECT_GE(ffmpegDiff, 0);
    EXPECT_LT(ffmpegDiff, 6.0);
    QImage frame8;
    ASSERT_TRUE(GetAviFrame(path, 8, &frame8));
    EXPECT_LT(meanDifference(frame8, live0), 6.0);
}

TEST(AviRecorderTest, RefusesToStartWhenItCannot)
{
    QTemporaryDir dir;
    AviRecorder rec;
    QString error;

    {
        CaptureGraph idle; // nothing built
        EXPECT_FALSE(rec.start(idle, dir.filePath(QStringLiteral("a.avi")), {}, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.avi"))));
    }

    LiveGraph live;
    ASSERT_TRUE(live.running());
    error.clear();
    EXPECT_FALSE(rec.start(live.graph, dir.filePath(QStringLiteral("missing/b.avi")), {}, &error));
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    const QString c = dir.filePath(QStringLiteral("c.avi"));
    EXPECT_FALSE(rec.start(live.graph, c, QStringLiteral("no_such_encoder"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no_such_encoder")));
    EXPECT_FALSE(QFile::exists(c));

    // A compressor the multiplexer takes, but which cannot encode this picture size.
    const std::vector<CompressorInfo> all = CompressorCatalog::enumerate();
    const bool haveDv = std::any_of(all.begin(), all.end(), [](const CompressorInfo& i) {
        return i.factory == QLatin1String("avenc_dvvideo");
    });
    if (haveDv) {
        error.clear();
        const QString d = dir.filePath(QStringLiteral("d.avi"));
        EXPECT_FALSE(rec.start(live.graph, d, QStringLiteral("avenc_dvvideo"), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(d));
    }
    EXPECT_FALSE(rec.isRecording());
    EXPECT_FALSE(live.graph.hasFailed()) << "a refused recording took the preview down";
    EXPECT_TRUE(live.previewAdvances(5));

    // After all that, a recording still works, and only one at a time.
    const QString e = dir.filePath(QStringLiteral("e.avi"));
    ASSERT_TRUE(rec.start(live.graph, e, {}, &error)) << error.toStdString();
    EXPECT_FALSE(rec.start(live.graph, dir.filePath(QStringLiteral("f.avi")), {}, &error));
    ASSERT_TRUE(recordFrames(rec, 3));
    EXPECT_TRUE(rec.stop());
    EXPECT_EQ(quint64(probeVideo(e).frames), rec.framesWritten());
}

TEST(AviRecorderTest, TornDownPipelineStillLeavesAReadableFile)
{
    QTemporaryDir dir;
    auto live = std::make_unique<LiveGraph>();
    ASSERT_TRUE(live->running());
    const QString path = dir.filePath(QStringLiteral("teardown.avi"));
    AviRecorder rec;
    ASSERT_TRUE(rec.start(live->graph, path));
    ASSERT_TRUE(recordFrames(rec, 10));
    live.reset(); // the graph goes away under the recording, without an end of stream
    EXPECT_FALSE(rec.stop());
    EXPECT_FALSE(rec.lastError().isEmpty());
    const AviLayout layout = inspectAvi(path);
    EXPECT_TRUE(layout.finished) << "the file was not repaired";
    // At most the frame being written when the pipeline went is missing.
    EXPECT_GE(quint64(layout.videoFrames) + 1, rec.framesWritten());
    EXPECT_GE(layout.videoFrames, 9);
    EXPECT_EQ(probeVideo(path).frames, layout.videoFrames);
    MediaPlayer player;
    QString why;
    EXPECT_TRUE(player.open(path, &why)) << why.toStdString();
}

// --- a full disk ---------------------------------------------------------------------

// --- other processes: a write limit and a killed recording ----------------------------------

namespace {

struct ChildRun {
    QStringList lines;
    quint64 lastWritten = 0;
};

quint64 lastWritten(const QStringList& lines)
{
    quint64 n = 0;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("written ")))
            n = l.mid(8).toULongLong();
    return n;
}

} // namespace

TEST(AviRecorderTest, WriteErrorInAnotherProcessKeepsWhatWasWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("limit.avi"));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(ORVIX_RECORDING_CHILD),
                {QStringLiteral("limit"), path, QString::number(10 * 1024 * 1024)});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split('\n');
    EXPECT_EQ(child.exitCode(), 0) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("failed ")).size() == 1)
        << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("recording 0")));
    EXPECT_FALSE(lines.filter(QStringLiteral("preview ")).isEmpty())
        << "the preview did not go on after the write error";

    const AviLayout layout = inspectAvi(path);
    EXPECT_TRUE(layout.finished);
    EXPECT_GT(layout.videoFrames, 3);
    EXPECT_LE(quint64(layout.videoFrames), lastWritten(lines));
    EXPECT_EQ(probeVideo(path).frames, layout.videoFrames);
}

TEST(AviRecorderTest, KilledRecordingLosesAtMostTheLastSecond)
{
    for (const QString& encoder : {QString(), QStringLiteral("mjpeg")}) {
        QString factory;
        if (!encoder.isEmpty() && mjpegCompressorIndex(&factory) < 0)
            continue;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("killed.avi"));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args = {QStringLiteral("record"), path};
        if (!encoder.isEmpty())
            args << factory;
        child.start(QStringLiteral(ORVIX_RECORDING_CHILD), args);
        ASSERT_TRUE(child.waitForStarted());
        QStringList lines;
        // Two seconds of video, then the process dies without any chance to finish the file.
        const bool enough = waitFor(
            [&] {
                child.waitForReadyRead(50);
                while (child.canReadLine())
                    lines << QString::fromUtf8(child.readLine()).trimmed();
                return lastWritten(lines) >= 60 || child.state() == QProcess::NotRunning;
            },
            60000);
        ASSERT_TRUE(enough);
        ASSERT_EQ(child.state(), QProcess::Running) << lines.join('|').toStdString();
        const quint64 reported = lastWritten(lines);
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));

        const ProbeResult probe = probeVideo(path);
        ASSERT_TRUE(probe.ok);
        std::printf(
            "[ killed   ] %s: %lld frames readable, %llu reported written before the kill\n",
            encoder.isEmpty() ? "raw" : "mjpeg", probe.frames,
            static_cast<unsigned long long>(reported));
        EXPECT_GE(probe.frames + 30, qint64(reported)) << "more than a second was lost";

        // The same file repaired is a finished file every reader takes.
        ASSERT_TRUE(repairInterruptedAvi(path));
        const AviLayout layout = inspectAvi(path);
        EXPECT_TRUE(layout.finished);
        EXPECT_EQ(probeVideo(path).frames, layout.videoFrames);
        EXPECT_GE(layout.videoFrames + 30, qint64(reported));
    }
}
