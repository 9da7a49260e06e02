#include "library/ThumbnailPage.h"
#include "LibraryTestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvix;
using namespace orvix::test;
using State = SlotPicture::State;

namespace {

QImage flat(QColor c, QSize size = QSize(64, 48))
{
    QImage img(size, QImage::Format_RGB888);
    img.fill(c);
    return img;
}

} // namespace

TEST(ThumbnailPage, PicturesUnreadableFilesAndEmptySlots)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("a.jpg"), qtJpeg(flat(Qt::red, {1600, 1200}))));
    ASSERT_TRUE(writeBytes(dir.filePath("b.jpg"), "not a picture"));
    ASSERT_TRUE(writeBytes(dir.filePath("c.jpeg"), qtJpeg(flat(Qt::blue))));
    MediaList list(ListKind::Jpg, dir.path());
    list.refresh();
    ThumbnailLoader loader;
    const PagePictures page = loader.loadPage(list);

    EXPECT_EQ(page[0].state, State::Thumbnail);
    EXPECT_EQ(page[0].path, dir.filePath("a.jpg"));
    EXPECT_EQ(page[0].picture.size(), QSize(128, 96));
    EXPECT_GT(page[0].picture.pixelColor(64, 48).red(), 200);
    EXPECT_EQ(page[1].state, State::Unreadable);
    EXPECT_EQ(page[1].path, dir.filePath("b.jpg")) << "kept so that it can still be deleted";
    EXPECT_TRUE(page[1].picture.isNull());
    EXPECT_FALSE(page[1].error.isEmpty());
    EXPECT_EQ(page[2].state, State::Thumbnail);
    EXPECT_GT(page[2].picture.pixelColor(64, 48).blue(), 200);
    for (int n : {3, 4}) {
        EXPECT_EQ(page[n].state, State::Empty);
        EXPECT_TRUE(page[n].path.isEmpty());
        EXPECT_TRUE(page[n].picture.isNull());
    }
}

TEST(ThumbnailPage, CacheServesUnchangedFilesAndNoticesChangedOnes)
{
    QTemporaryDir dir;
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("p%1.bmp").arg(i)),
                               qtBmp(flat(QColor(i * 30, 0, 0)))));
    MediaList list(ListKind::Bmp, dir.path());
    list.refresh();
    ThumbnailLoader loader;
    loader.loadPage(list);
    EXPECT_EQ(loader.decodeCount(), 5);
    loader.loadPage(list);
    EXPECT_EQ(loader.decodeCount(), 5);
    list.nextPage();
    loader.loadPage(list);
    EXPECT_EQ(loader.decodeCount(), 7);
    list.previousPage();

    // Rewritten with another size: decoded again and shown with its new picture.
    ASSERT_TRUE(writeBytes(dir.filePath("p0.bmp"), qtBmp(flat(Qt::green, {100, 40}))));
    const PagePictures page = loader.loadPage(list);
    EXPECT_EQ(loader.decodeCount(), 8);
    EXPECT_GT(page[0].picture.pixelColor(10, 10).green(), 200);
    loader.clearCache();
    loader.loadPage(list);
    EXPECT_EQ(loader.decodeCount(), 13);
}

TEST(ThumbnailPage, VideosShowFrameEightOrThePlaceholder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeGreyAvi(dir.filePath("a long.avi"), 12, true, 320, 240));
    ASSERT_TRUE(writeGreyAvi(dir.filePath("b short.avi"), 5, true, 320, 240));
    ASSERT_TRUE(writeBytes(dir.filePath("c broken.avi"), QByteArray(4096, 'x')));
    const QString placeholderPath = dir.filePath("Recording.bmp");
    ASSERT_TRUE(writeBytes(placeholderPath, qtBmp(flat(Qt::yellow, {40, 30}))));

    MediaList list(ListKind::Avi, dir.path());
    list.refresh();
    ThumbnailLoader loader(placeholderPath);
    const PagePictures page = loader.loadPage(list);
    ASSERT_EQ(page[0].state, State::Thumbnail) << page[0].error.toStdString();
    EXPECT_EQ(page[0].picture.size(), QSize(128, 96));
    EXPECT_NEAR(qGreen(page[0].picture.pixel(64, 48)), greyOf(8), 4);
    for (int n : {1, 2}) {
        EXPECT_EQ(page[n].state, State::Placeholder) << n;
        EXPECT_EQ(page[n].picture.size(), QSize(128, 96));
        const QColor c = page[n].picture.pixelColor(64, 48);
        EXPECT_GT(c.red(), 200);
        EXPECT_LT(c.blue(), 60);
    }
    EXPECT_EQ(page[3].state, State::Empty);

    // Without a placeholder file the slot still gets a picture.
    ThumbnailLoader bare(dir.filePath("missing.bmp"));
    EXPECT_EQ(bare.loadPage(list)[1].picture.size(), QSize(128, 96));
}
