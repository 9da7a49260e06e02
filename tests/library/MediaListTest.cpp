#include "library/MediaList.h"
#include "LibraryTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

using namespace orvix;
using namespace orvix::test;

namespace {

void touch(const QString& path)
{
    ASSERT_TRUE(writeBytes(path, "x")) << path.toStdString();
}

QString name(const QString& path)
{
    return path.section('/', -1);
}

} // namespace

TEST(MediaList, SixFilesMakeTwoPages)
{
    QTemporaryDir dir;
    for (int i = 1; i <= 6; ++i)
        touch(dir.filePath(QStringLiteral("Bmp_%1.bmp").arg(i)));
    MediaList list(ListKind::Bmp, dir.path());
    const FileListDate& s = list.refresh();
    EXPECT_EQ(list.fileCount(), 6);
    EXPECT_EQ(s.lastPage, 1);
    EXPECT_EQ(s.lastSlot, 0);
    EXPECT_EQ(list.counterText(), "001/002");
    EXPECT_EQ(name(s.slotPaths[0]), "Bmp_1.bmp");
    EXPECT_EQ(s.slotPaths[0], dir.filePath("Bmp_1.bmp"));

    EXPECT_FALSE(list.previousPage());
    ASSERT_TRUE(list.nextPage());
    EXPECT_EQ(list.counterText(), "002/002");
    EXPECT_EQ(name(s.slotPaths[0]), "Bmp_6.bmp");
    for (int n = 1; n < kSlotsPerPage; ++n)
        EXPECT_TRUE(s.slotPaths[n].isEmpty());
    EXPECT_FALSE(list.nextPage());
    EXPECT_EQ(s.currentPage, 1);
    ASSERT_TRUE(list.previousPage());
    EXPECT_EQ(s.currentPage, 0);
}

TEST(MediaList, MissingOrEmptyFolderListsNothing)
{
    MediaList missing(ListKind::Jpg, "/nonexistent/orvix/folder");
    const FileListDate& s = missing.refresh();
    EXPECT_EQ(missing.fileCount(), 0);
    EXPECT_EQ(s.lastPage, 0);
    EXPECT_EQ(missing.counterText(), "001/001");
    for (const QString& p : s.slotPaths)
        EXPECT_TRUE(p.isEmpty());
    EXPECT_FALSE(missing.nextPage());
}

TEST(MediaList, PendingNewFileOpensItsPage)
{
    QTemporaryDir dir;
    for (int i = 0; i < 15; ++i)
        touch(dir.filePath(QStringLiteral("Bmp_2024%1.bmp").arg(i, 2, 10, QLatin1Char('0'))));
    MediaList list(ListKind::Bmp, dir.path());
    list.refresh();
    ASSERT_TRUE(list.nextPage());
    EXPECT_EQ(list.counterText(), "002/003");

    const QString saved = dir.filePath("Bmp_202499.bmp");
    touch(saved);
    list.setPendingNewFile(saved);
    const FileListDate& s = list.refresh();
    EXPECT_FALSE(list.hasPendingNewFile());
    EXPECT_EQ(s.pendingIndex, 15);
    EXPECT_EQ(s.currentPage, 3);
    EXPECT_EQ(list.counterText(), "004/004");
    EXPECT_EQ(s.slotPaths[0], saved);

    // A pending file that is not there opens the first page.
    list.setPendingNewFile(dir.filePath("Bmp_missing.bmp"));
    list.refresh();
    EXPECT_EQ(list.state().pendingIndex, -1);
    EXPECT_EQ(list.state().currentPage, 0);

    // The same file spelled with "//" is still found.
    list.setPendingNewFile(dir.path() + "//./Bmp_202407.bmp");
    list.refresh();
    EXPECT_EQ(list.state().pendingIndex, 7);
    EXPECT_EQ(list.state().currentPage, 1);
}

TEST(MediaList, DeletingFilesClampsThePage)
{
    QTemporaryDir dir;
    for (int i = 0; i < 11; ++i)
        touch(dir.filePath(QStringLiteral("a%1.avi").arg(i, 2, 10, QLatin1Char('0'))));
    MediaList list(ListKind::Avi, dir.path());
    list.refresh();
    list.nextPage();
    list.nextPage();
    EXPECT_EQ(list.counterText(), "003/003");
    QFile::remove(dir.filePath("a10.avi"));
    list.refresh();
    EXPECT_EQ(list.counterText(), "002/002");
    EXPECT_EQ(name(list.state().slotPaths[4]), "a09.avi");
}

TEST(MediaList, MatchesExtensionsWithoutCaseAndSortsWithoutCase)
{
    QTemporaryDir dir;
    for (const char* f : {"b.JPG", "a.jpeg", "C.Jpg", "d.jpg.txt", "e.bmp", "f.JPEG", ".hidden.jpg",
                          "with space ü 图.jpg"})
        touch(dir.filePath(f));
    MediaList list(ListKind::Jpg, dir.path());
    list.refresh();
    QStringList names;
    for (const QString& p : findMediaFiles(dir.path(), ListKind::Jpg))
        names << name(p);
    EXPECT_EQ(names, (QStringList{".hidden.jpg", "a.jpeg", "b.JPG", "C.Jpg", "f.JPEG",
                                  "with space ü 图.jpg"}));
    EXPECT_EQ(list.fileCount(), 6);
    EXPECT_EQ(list.counterText(), "001/002");
    EXPECT_EQ(findMediaFiles(dir.path(), ListKind::Bmp).size(), 1);
    EXPECT_TRUE(findMediaFiles(dir.path(), ListKind::Avi).isEmpty());
}

TEST(MediaList, OnlyRegularFilesAndLinksToThem)
{
    QTemporaryDir dir;
    touch(dir.filePath("real.bmp"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.bmp")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("real.bmp"), dir.filePath("link.bmp")));
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere.bmp"), dir.filePath("dangling.bmp")));
    QStringList names;
    for (const QString& p : findMediaFiles(dir.path(), ListKind::Bmp))
        names << name(p);
    EXPECT_EQ(names, (QStringList{"link.bmp", "real.bmp"}));
}

TEST(MediaList, FiveThousandFiles)
{
    QTemporaryDir dir;
    for (int i = 0; i < 5000; ++i)
        touch(dir.filePath(QStringLiteral("Jpg_%1.jpg").arg(i, 5, 10, QLatin1Char('0'))));
    MediaList list(ListKind::Jpg, dir.path());
    list.refresh();
    EXPECT_EQ(list.fileCount(), 5000);
    EXPECT_EQ(list.state().lastPage, 999);
    EXPECT_EQ(list.state().lastSlot, 4);
    EXPECT_EQ(list.counterText(), "001/1000");
    list.setPendingNewFile(dir.filePath("Jpg_04999.jpg"));
    list.refresh();
    EXPECT_EQ(list.counterText(), "1000/1000");
    EXPECT_EQ(name(list.state().slotPaths[4]), "Jpg_04999.jpg");
}
