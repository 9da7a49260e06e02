#include "RecordingRig.h"

#include "camera/AviFile.h"
#include "library/AviFrame.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvix;
using namespace orvix::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void putLe32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

} // namespace

TEST(AviFileTest, ReadsTheLayoutOfAFinishedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ramp.avi"));
    ASSERT_TRUE(writeGreyRampAvi(path, 12));
    const AviLayout l = inspectAvi(path);
    EXPECT_TRUE(l.isAvi);
    EXPECT_TRUE(l.finished);
    EXPECT_TRUE(l.hasIndex);
    EXPECT_FALSE(l.extended);
    EXPECT_EQ(l.videoFrames, 12);
    EXPECT_EQ(l.headerFrames, 12);
    EXPECT_EQ(l.riffSize + 8, l.fileSize);
    EXPECT_TRUE(repairInterruptedAvi(path)) << "a finished file needs nothing";
    EXPECT_EQ(readAll(path).size(), l.fileSize);

    const QString text = dir.filePath(QStringLiteral("text.avi"));
    writeAll(text, "RIFF0000WAVEfmt ");
    EXPECT_FALSE(inspectAvi(text).isAvi);
    EXPECT_FALSE(repairInterruptedAvi(text));
    EXPECT_FALSE(inspectAvi(dir.filePath(QStringLiteral("missing.avi"))).isAvi);
}

TEST(AviFileTest, RepairsAFileWhoseRecordingWasCutOff)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("ramp.avi"));
    ASSERT_TRUE(writeGreyRampAvi(source, 20));
    const AviLayout finished = inspectAvi(source);
    QByteArray bytes = readAll(source);

    // What a writer leaves when it is stopped short: placeholder sizes and counts, no index,
    // the last frame half written.
    const int movi = int(finished.moviOffset);
    const int idx1 = bytes.lastIndexOf("idx1");
    ASSERT_GT(idx1, movi);
    const int frameBytes = 160 * 120 * 3 + 8;
    bytes.truncate(idx1 - frameBytes / 2);
    putLe32(bytes, 4, quint32(movi + 12 - 8));
    putLe32(bytes, movi + 4, 4);
    putLe32(bytes, bytes.indexOf("avih") + 8 + 16, 0);
    putLe32(bytes, bytes.indexOf("strh") + 8 + 32, 0);
    const QString cut = dir.filePath(QStringLiteral("cut.avi"));
    writeAll(cut, bytes);

    AviLayout l = inspectAvi(cut);
    EXPECT_TRUE(l.isAvi);
    EXPECT_FALSE(l.finished);
    EXPECT_EQ(l.videoFrames, 19);
    QImage frame;
    EXPECT_FALSE(GetAviFrame(cut, 8, &frame)) << "taken for a recording in progress";

    QString error;
    ASSERT_TRUE(repairInterruptedAvi(cut, &error)) << error.toStdString();
    l = inspectAvi(cut);
    EXPECT_TRUE(l.finished);
    EXPECT_FALSE(l.hasIndex);
    EXPECT_EQ(l.videoFrames, 19);
    EXPECT_EQ(l.headerFrames, 19);
    EXPECT_EQ(l.fileSize, l.dataEnd) << "the half frame is gone";
    EXPECT_EQ(probeVideo(cut).frames, 19);
    ASSERT_TRUE(GetAviFrame(cut, 8, &frame));
    EXPECT_EQ(greyAt(frame), 8 * 5);
    ASSERT_TRUE(GetAviFrame(cut, 18, &frame));
    EXPECT_EQ(greyAt(frame), 18 * 5);

    // Repairing again changes nothing.
    const QByteArray once = readAll(cut);
    EXPECT_TRUE(repairInterruptedAvi(cut));
    EXPECT_EQ(readAll(cut), once);
}
