#include "library/ImageIO.h"
#include "LibraryTestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDevice>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <turbojpeg.h>
#include <unistd.h>

using namespace orvix;
using namespace orvix::test;

namespace {

// Mean absolute difference per channel: what lossy coding leaves, unlike a swapped channel or a
// shifted picture.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

// A small tmpfs over a folder, for a real full or read-only file system. Needs root and the
// right to mount; otherwise ok() is false.
class ScratchMount {
public:
    ScratchMount(const QString& dir, const char* options) : m_dir(QFile::encodeName(dir))
    {
        m_ok = geteuid() == 0 && ::mount("tmpfs", m_dir.constData(), "tmpfs", 0, options) == 0;
    }
    ~ScratchMount()
    {
        if (m_ok)
            ::umount2(m_dir.constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }
    bool makeReadOnly()
    {
        return ::mount(nullptr, m_dir.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray m_dir;
    bool m_ok = false;
};

} // namespace

// --- saving -----------------------------------------------------------------------------

TEST(ImageSave, BmpIsATwentyFourBitBitmapQtReadsBack)
{
    QTemporaryDir dir;
    const QImage picture = testPicture(37, 21); // odd width: rows need padding
    const QString path = dir.filePath("Bmp_x.bmp");
    const IoResult r = saveBmp(path, picture);
    ASSERT_TRUE(r.ok) << r.error.toStdString();

    const QByteArray bytes = readBytes(path);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(uchar(bytes[28]) | (uchar(bytes[29]) << 8), 24) << "bits per pixel";
    EXPECT_EQ(bytes.size(), 54 + ((37 * 3 + 3) / 4 * 4) * 21);

    QImageReader reader(path);
    const QImage back = reader.read();
    ASSERT_FALSE(back.isNull());
    // Byte for byte what Qt's own bitmap writer makes of the same picture.
    EXPECT_EQ(bytes, qtBmp(picture));
}

TEST(ImageSave, JpegIsReadableByOtherDecodersAtTheChosenQuality)
{
    QTemporaryDir dir;
    const QImage picture = testPicture(160, 120);
    const QString hi = dir.filePath("hi.jpg"), lo = dir.filePath("lo.jpg");
    ASSERT_TRUE(saveJpeg(hi, picture, 100).ok);
    ASSERT_TRUE(saveJpeg(lo, picture, 80).ok);
    EXPECT_GT(QFileInfo(hi).size(), QFileInfo(lo).size());

    const QImage back = QImageReader(hi, "jpg").read(); // Qt's own JPEG reader
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_LT(meanDifference(back, picture), 3.0);
    EXPECT_EQ(back.pixelColor(5, 5).red() > 200, true) << "channel order";

    const QByteArray bytes = readBytes(lo);
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, sub = -1, cs = -1;
    ASSERT_EQ(tjDecompressHeader3(tj, reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size(), &w, &h, &sub, &cs),
              0);
    tjDestroy(tj);
    EXPECT_EQ(sub, TJSAMP_420);
    EXPECT_EQ(w, 160);
}

TEST(ImageSave, AcceptsTheFormatsAStillComesIn)
{
    QTemporaryDir dir;
    for (QImage::Format f :
         {QImage::Format_RGB32, QImage::Format_RGBX8888, QImage::Format_Grayscale8}) {
        const QImage picture = testPicture(32, 24).convertToFormat(f);
        const QString path = dir.filePath(QStringLiteral("f%1.jpg").arg(int(f)));
        ASSERT_TRUE(saveJpeg(path, picture, 90).ok) << int(f);
        const QImage back = QImageReader(path).read();
        ASSERT_FALSE(back.isNull());
        EXPECT_LT(meanDifference(back.convertToFormat(QImage::Format_RGB888),
                                 picture.convertToFormat(QImage::Format_RGB888)),
                  15.0)
            << int(f); // dithered palette pictures are hard on JPEG; a swapped channel is ~60
        const QString bmp = dir.filePath(QStringLiteral("f%1.bmp").arg(int(f)));
        ASSERT_TRUE(saveBmp(bmp, picture).ok);
        EXPECT_EQ(uchar(readBytes(bmp)[28]), 24);
    }
}

TEST(ImageSave, MissingFolderOrNoPictureIsAClearError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("gone/Bmp_x.bmp");
    IoResult r = saveBmp(path, testPicture(4, 4));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("does not exist")) << r.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    r = saveJpeg(dir.filePath("x.jpg"), QImage(), 90);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(ImageSave, FailedWriteKeepsTheOldFileAndLeavesNoPartialFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Bmp_same.bmp");
    const QByteArray old = qtBmp(testPicture(8, 8));
    ASSERT_TRUE(writeBytes(path, old));

    int calls = 0;
    bool oldFileIntactWhileWriting = true;
    ChunkWriter fillsUp = [&](QFileDevice& file, const char* data, qint64 len) -> qint64 {
        oldFileIntactWhileWriting = oldFileIntactWhileWriting && readBytes(path) == old;
        if (++calls > 1)
            return -1; // the device is full after the first chunk
        return file.write(data, len);
    };
    const IoResult r = saveBmp(path, testPicture(1600, 1200), fillsUp);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("full")) << r.error.toStdString();
    EXPECT_GT(calls, 1);
    EXPECT_TRUE(oldFileIntactWhileWriting);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(entries(dir.path()), QStringList{"Bmp_same.bmp"});

    ASSERT_TRUE(saveBmp(path, testPicture(64, 48)).ok); // and a good save replaces it
    EXPECT_EQ(QImageReader(path).read().size(), QSize(64, 48));
    EXPECT_EQ(entries(dir.path()), QStringList{"Bmp_same.bmp"});
}

TEST(ImageSave, FullDiskReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    ScratchMount tiny(dir.path(), "size=256k");
    if (!tiny.ok())
        GTEST_SKIP() << "cannot mount a small tmpfs here; the simulated full disk covers this";
    const QString path = dir.filePath("Bmp_same.bmp");
    const QByteArray old = qtBmp(testPicture(8, 8));
    ASSERT_TRUE(writeBytes(path, old));
    const IoResult r = saveBmp(path, testPicture(1600, 1200));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("space", Qt::CaseInsensitive)) << r.error.toStdString();
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(entries(dir.path()), QStringList{"Bmp_same.bmp"});
}

TEST(ImageSave, ReadOnlyFolderReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Jpg_same.jpg");
    ScratchMount mounted(dir.path(), "size=1m");
    ASSERT_TRUE(writeBytes(path, "old"));
    if (mounted.ok()) {
        ASSERT_TRUE(mounted.makeReadOnly());
    } else if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else {
        GTEST_SKIP() << "root without the right to mount: no folder is read-only for us";
    }
    const IoResult r = saveJpeg(path, testPicture(64, 48), 90);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("read-only")) << r.error.toStdString();
    EXPECT_EQ(readBytes(path), "old");
}

// --- loading ------------------------------------------------------------------------------

TEST(ImageLoad, ReadsBothFormatsAsTwentyFourBitPictures)
{
    QTemporaryDir dir;
    const QImage picture = testPicture(50, 30);
    ASSERT_TRUE(writeBytes(dir.filePath("a.bmp"), qtBmp(picture)));
    ASSERT_TRUE(writeBytes(dir.filePath("a.JPEG"), qtJpeg(picture, 95)));
    PictureResult bmp = loadPicture(dir.filePath("a.bmp"));
    ASSERT_TRUE(bmp.ok()) << bmp.error.toStdString();
    EXPECT_EQ(bmp.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(bmp.image, picture);
    PictureResult jpg = loadPicture(dir.filePath("a.JPEG"));
    ASSERT_TRUE(jpg.ok()) << jpg.error.toStdString();
    EXPECT_EQ(jpg.image.size(), picture.size());
    EXPECT_LT(meanDifference(jpg.image, picture), 3.0);
}

TEST(ImageLoad, BadFilesGiveAnErrorText)
{
    QTemporaryDir dir;
    const QByteArray jpeg = qtJpeg(testPicture(200, 150));
    const QByteArray bmp = qtBmp(testPicture(200, 150));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.jpg", QByteArray()},
        {"empty.bmp", QByteArray()},
        {"garbage.jpg", QByteArray(5000, '\x5a')},
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"header-only.jpg", jpeg.left(200)},
        {"truncated.bmp", bmp.left(bmp.size() - 100)},
        {"header-only.bmp", bmp.left(30)},
        {"bitmap.jpg", bmp},
        {"jpeg.bmp", jpeg},
        {"text.bmp", "BM but really just text"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(writeBytes(path, c.bytes));
        const PictureResult full = loadPicture(path);
        EXPECT_FALSE(full.ok()) << c.name;
        EXPECT_TRUE(full.error.contains(path)) << c.name << ": " << full.error.toStdString();
        const PictureResult thumb = loadThumbnail(path);
        EXPECT_FALSE(thumb.ok()) << c.name;
        EXPECT_FALSE(thumb.error.isEmpty()) << c.name;
    }
    EXPECT_TRUE(loadPicture(dir.filePath("empty.jpg")).error.contains("empty"));
    EXPECT_TRUE(loadPicture(dir.filePath("bitmap.jpg")).error.contains("not a JPEG"));
    EXPECT_TRUE(loadPicture(dir.filePath("jpeg.bmp")).error.contains("not a Windows bitmap"));
    EXPECT_FALSE(loadPicture(dir.filePath("missing.jpg")).ok());
    EXPECT_FALSE(loadPicture(dir.path()).ok());
}

TEST(ImageLoad, EnormousDeclaredSizesAreRefusedBeforeDecoding)
{
    QTemporaryDir dir;
    const QString jpg = dir.filePath("huge.jpg");
    ASSERT_TRUE(writeBytes(jpg, jpegDeclaring(60000, 60000)));
    QByteArray bmp = qtBmp(testPicture(4, 4));
    const qint32 side = 60000;
    memcpy(bmp.data() + 18, &side, 4);
    memcpy(bmp.data() + 22, &side, 4);
    ASSERT_TRUE(writeBytes(dir.filePath("huge.bmp"), bmp));

    for (const QString& path : {jpg, dir.filePath("huge.bmp")}) {
        const PictureResult full = loadPicture(path);
        EXPECT_FALSE(full.ok());
        EXPECT_TRUE(full.error.contains("megapixels")) << full.error.toStdString();
        EXPECT_TRUE(loadThumbnail(path).error.contains("megapixels"));
    }
    LoadLimits tight;
    tight.maxPixels = 100 * 100;
    EXPECT_FALSE(decodePicture(qtJpeg(testPicture(101, 100)), PictureKind::Jpeg, tight).ok());
    EXPECT_TRUE(decodePicture(qtJpeg(testPicture(100, 100)), PictureKind::Jpeg, tight).ok());
}

TEST(ImageLoad, ThumbnailIsStretchedToTheSlot)
{
    QTemporaryDir dir;
    const QImage portrait = testPicture(300, 600);
    ASSERT_TRUE(writeBytes(dir.filePath("p.jpg"), qtJpeg(portrait, 95)));
    ASSERT_TRUE(writeBytes(dir.filePath("p.bmp"), qtBmp(portrait)));
    ASSERT_TRUE(writeBytes(dir.filePath("tiny.jpg"), qtJpeg(testPicture(20, 10), 95)));
    for (const char* name : {"p.jpg", "p.bmp", "tiny.jpg"}) {
        const PictureResult r = loadThumbnail(dir.filePath(name));
        ASSERT_TRUE(r.ok()) << name << r.error.toStdString();
        EXPECT_EQ(r.image.size(), QSize(128, 96)) << name;
        EXPECT_EQ(r.image.format(), QImage::Format_RGB888);
        // The red block in the top-left quarter stays in the top-left quarter: squeezed, not
        // cropped or turned.
        const QColor tl = r.image.pixelColor(10, 10);
        EXPECT_GT(tl.red(), 180) << name;
        EXPECT_LT(tl.green(), 80) << name;
        const QColor br = r.image.pixelColor(120, 90);
        EXPECT_GT(br.green(), 180) << name;
    }
}
