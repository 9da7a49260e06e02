// Stills and the media strip through the main window: snapshots, saving, opening,
// deleting, paging and printing.

#include "TestSupport.h"
#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/VideoCameraDS.h"
#include "library/ImageIO.h"
#include "library/MediaStrip.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

using namespace orvix;

namespace {

struct Stills {
    test::TempHome home;
    QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    DevicePool pool;
    std::shared_ptr<DemoCameraHub> hub = std::make_shared<DemoCameraHub>(1, true);
    std::unique_ptr<TMainForm> form;

    Stills()
    {
        qputenv("LANG", "en_US.UTF-8");
        QDir().mkpath(home.path() + "/xdg");
        qputenv("XDG_DATA_HOME", (home.path() + "/xdg").toUtf8()); // the trash lives here
        pool.addSource(hub);
        MainFormOptions o;
        o.programDir = test::programDir();
        form = std::make_unique<TMainForm>(pool, o);
    }
    ~Stills()
    {
        form.reset();
        qputenv("XDG_DATA_HOME", oldXdg);
    }
    void connect()
    {
        form->Connect_BtnClick();
        ASSERT_TRUE(form->flags.DeviceConnected);
        QImage f;
        ASSERT_TRUE(test::waitFor([&] { return form->engine()->GrabLastFrame(f); }));
    }
    QStringList files(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    void setAutoSave(bool on)
    {
        if (form->ui.action("AutoSave")->isChecked() != on)
            form->ui.action("AutoSave")->trigger();
    }
};

// Answers the next message box with OK and keeps its text.
struct Answer {
    QString text;
    test::ModalAnswerer a;
    explicit Answer(bool ok = true)
        : a([this, ok](QWidget* w) {
              auto* box = qobject_cast<TMessageBoxDlg*>(w);
              ASSERT_NE(box, nullptr) << w->metaObject()->className();
              text = box->TntMessage_Text->text();
              (ok ? box->OKBtn : box->CancelBtn)->click();
          })
    {
    }
};

// Answers the next file dialog with a path.
struct FileAnswer {
    test::ModalAnswerer a;
    explicit FileAnswer(const QString& path)
        : a([path](QWidget* w) {
              auto* d = qobject_cast<QFileDialog*>(w);
              ASSERT_NE(d, nullptr) << w->metaObject()->className();
              // The name field is what the dialog reads when it is accepted.
              auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
              ASSERT_NE(edit, nullptr);
              edit->setText(path);
              QMetaObject::invokeMethod(d, "accept");
          })
    {
    }
};

void writePicture(const QString& path, QSize size = QSize(64, 48))
{
    QImage img(size, QImage::Format_RGB888);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(path.endsWith(".jpg", Qt::CaseInsensitive) ? bool(saveJpeg(path, img, 90))
                                                           : bool(saveBmp(path, img)));
}

} // namespace

TEST(Stills, SnapshotWithoutAFrameShowsTheMessageAndKeepsTheView)
{
    Stills s;
    Answer a;
    s.form->CaptureImage_BtnClick();
    EXPECT_EQ(a.text, msgText("CannotSnapShot_MsgBox"));
    EXPECT_FALSE(s.form->hasStill());
}

TEST(Stills, SnapshotAppliesTheFlipAndLeavesTheStillUnsaved)
{
    Stills s;
    s.connect();
    s.form->CaptureImage_BtnClick();
    ASSERT_TRUE(s.form->hasStill());
    EXPECT_EQ(s.form->still().size(), QSize(640, 480));
    EXPECT_EQ(s.form->UnsavedLevel(), 2);
    EXPECT_TRUE(s.form->ui.Image1->toolTip().isEmpty());
    s.form->UpdateActions();
    EXPECT_FALSE(s.form->ui.SaveImage_Btn->isHidden());
    EXPECT_TRUE(s.form->ui.LogoImage_RW->isHidden());

    // Mirrored capture: the still is the raw frame mirrored left to right.
    s.hub->setMotion(false);
    s.form->engine()->SetFlipMode(3);
    s.form->CaptureImage_BtnClick();
    const QImage plain = s.form->still();
    s.form->engine()->SetFlipMode(0);
    s.form->CaptureImage_BtnClick();
    EXPECT_EQ(s.form->still(), plain.mirrored(true, false));
}

TEST(Stills, AutoSaveWritesGeneratedNamesAndOpensTheListAtTheNewFile)
{
    Stills s;
    s.connect();
    s.setAutoSave(true);
    s.form->ui.PageControl1->setCurrentIndex(0);
    s.form->CaptureImage_BtnClick();
    const QStringList bmps = s.files(s.form->settings.CurrentBmpPath);
    ASSERT_EQ(bmps.size(), 1);
    EXPECT_TRUE(QRegularExpression("^Bmp_\\d{14}\\.bmp$").match(bmps[0]).hasMatch())
        << bmps[0].toStdString();
    EXPECT_EQ(s.form->UnsavedLevel(), 1);
    EXPECT_TRUE(s.form->ui.Image1->toolTip().isEmpty()); // hint empty after an automatic capture
    const QImage back(s.form->settings.CurrentBmpPath + "/" + bmps[0]);
    EXPECT_EQ(back.size(), QSize(640, 480));
    EXPECT_EQ(back.depth() == 24 || back.format() == QImage::Format_RGB32, true);
    EXPECT_EQ(s.form->ui.PageControl1->tab(0).slots[0]->path(),
              s.form->settings.CurrentBmpPath + "/" + bmps[0]);

    // From the AVI tab the capture goes to the JPG list, which is then shown.
    s.form->ui.PageControl1->setCurrentIndex(2);
    s.form->CaptureImage_BtnClick();
    EXPECT_EQ(s.form->ui.PageControl1->currentIndex(), 1);
    const QStringList jpgs = s.files(s.form->settings.CurrentJpgPath);
    ASSERT_EQ(jpgs.size(), 1);
    EXPECT_TRUE(jpgs[0].startsWith("Jpg_"));
    EXPECT_FALSE(loadPicture(s.form->settings.CurrentJpgPath + "/" + jpgs[0]).image.isNull());
}

TEST(Stills, DialogSaveRedirectsAJpegChosenInTheBmpFolder)
{
    Stills s;
    s.connect();
    s.form->CaptureImage_BtnClick();
    s.form->ui.PageControl1->setCurrentIndex(0);
    {
        FileAnswer f(s.form->settings.DefaultBmpPath + "/mine.jpg");
        EXPECT_TRUE(s.form->Save_ImageFile(s.form->still()));
    }
    EXPECT_TRUE(s.files(s.form->settings.DefaultBmpPath).isEmpty());
    const QStringList jpgs = s.files(s.form->settings.CurrentJpgPath);
    ASSERT_EQ(jpgs.size(), 1);
    EXPECT_TRUE(jpgs[0].startsWith("Jpg_"));
    EXPECT_EQ(s.form->ui.Image1->toolTip(), s.form->settings.CurrentJpgPath + "/" + jpgs[0]);
    EXPECT_EQ(s.form->UnsavedLevel(), 1);
    EXPECT_EQ(s.form->ui.PageControl1->currentIndex(), 1);

    // Another extension saves nothing and leaves the still unsaved.
    s.form->CaptureImage_BtnClick();
    {
        FileAnswer f(s.form->settings.DefaultBmpPath + "/mine.png");
        EXPECT_FALSE(s.form->Save_ImageFile(s.form->still()));
    }
    EXPECT_EQ(s.form->UnsavedLevel(), 2);
}

TEST(Stills, SavingIntoAMissingFolderReportsAndKeepsTheStillUnsaved)
{
    Stills s;
    s.connect();
    s.form->CaptureImage_BtnClick();
    const QString gone = s.home.path() + "/gone";
    QDir().mkpath(gone);
    s.form->settings.CurrentBmpPath = gone;
    QDir(gone).removeRecursively();
    s.setAutoSave(true);
    s.form->ui.PageControl1->setCurrentIndex(0);
    Answer a;
    s.form->CaptureImage_BtnClick();
    EXPECT_TRUE(a.text.startsWith(msgText("CannotSaveImage_MsgBox"))) << a.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST(Stills, OpeningPicturesFromTheStripAndAskingBeforeLosingAStill)
{
    Stills s;
    const QString bmpDir = s.form->settings.CurrentBmpPath;
    writePicture(bmpDir + "/a.bmp", QSize(320, 240));
    QFile bad(bmpDir + "/b.bmp");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM this is not a bitmap");
    bad.close();
    s.form->FileList(0);
    MediaTab& tab = s.form->ui.PageControl1->tab(0);
    ASSERT_EQ(tab.slots[0]->path(), bmpDir + "/a.bmp");
    EXPECT_EQ(tab.slots[1]->path(), bmpDir + "/b.bmp");
    EXPECT_TRUE(tab.slots[2]->path().isEmpty());

    s.form->slotDoubleClick(0, 0);
    ASSERT_TRUE(s.form->hasStill());
    EXPECT_EQ(s.form->still().size(), QSize(320, 240));
    EXPECT_EQ(s.form->ui.Image1->toolTip(), bmpDir + "/a.bmp");
    EXPECT_EQ(s.form->UnsavedLevel(), 1);

    // The damaged file gives an error message; the shown still stays.
    {
        Answer a;
        s.form->slotDoubleClick(0, 1);
        EXPECT_TRUE(a.text.startsWith(msgText("CannotOpenImage_MsgBox")));
    }
    EXPECT_EQ(s.form->still().size(), QSize(320, 240));

    // An unsaved still is offered for saving first (declined here).
    s.form->undoRing.setUnsavedLevel(2);
    {
        Answer cancel(false);
        s.form->slotDoubleClick(0, 0);
        EXPECT_EQ(cancel.text, msgText("WhetherSaveImage_MsgBox"));
    }
}

TEST(Stills, DeleteMovesToTheTrashAndEmptiesTheStillEvenWhenCancelled)
{
    Stills s;
    const QString bmpDir = s.form->settings.CurrentBmpPath;
    writePicture(bmpDir + "/a.bmp");
    s.form->FileList(0);
    s.form->slotDoubleClick(0, 0);
    ASSERT_TRUE(s.form->hasStill());

    s.form->slotContextPopup(0, 0);
    {
        Answer cancel(false);
        s.form->DeleteFile1Click();
    }
    EXPECT_TRUE(QFileInfo::exists(bmpDir + "/a.bmp"));
    EXPECT_FALSE(s.form->hasStill()); // cancelling still empties the view

    s.form->slotContextPopup(0, 0);
    {
        Answer ok(true);
        s.form->DeleteFile1Click();
    }
    EXPECT_FALSE(QFileInfo::exists(bmpDir + "/a.bmp"));
    EXPECT_TRUE(QFileInfo::exists(s.home.path() + "/xdg/Trash/files/a.bmp"));
    EXPECT_TRUE(s.form->ui.PageControl1->tab(0).slots[0]->path().isEmpty());
}

TEST(Stills, PagingAndCounterOfSixFiles)
{
    Stills s;
    const QString jpgDir = s.form->settings.CurrentJpgPath;
    for (int i = 0; i < 6; ++i)
        writePicture(jpgDir + QString("/p%1.JPG").arg(i));
    s.form->ui.PageControl1->setCurrentIndex(1);
    s.form->ListImage_TimerTimer();
    MediaTab& tab = s.form->ui.PageControl1->tab(1);
    EXPECT_EQ(tab.counter->text(), "001/002");
    EXPECT_FALSE(tab.slots[4]->pixmap().isNull());
    EXPECT_EQ(tab.slots[4]->pixmap().size(), QSize(128, 96));
    tab.pageRight->click();
    s.form->ListImage_TimerTimer();
    EXPECT_EQ(tab.counter->text(), "002/002");
    EXPECT_EQ(tab.slots[0]->path(), jpgDir + "/p5.JPG");
    EXPECT_TRUE(tab.slots[1]->path().isEmpty());
    tab.pageRight->click(); // last page: nothing happens
    EXPECT_EQ(tab.slots[0]->path(), jpgDir + "/p5.JPG");
    // Paging another tab's pager does nothing while it is not shown.
    s.form->ListPage(0, +1);
    EXPECT_EQ(s.form->mediaList(0).state().currentPage, 0);
}

TEST(Stills, PrintsTheStillAtPrinterResolution)
{
    Stills s;
    const QString bmp = s.form->settings.CurrentBmpPath + "/a.bmp";
    writePicture(bmp, QSize(96, 48));
    ASSERT_TRUE(s.form->OpenBmpFileCom(bmp));
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = s.home.path() + "/out.pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(s.form->printStill(printer));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_TRUE(data.contains("/Count 1"));
}

TEST(Stills, JpegQualityItemsMoveTheCheckMark)
{
    Stills s;
    EXPECT_EQ(s.form->jpegQuality(), 90);
    EXPECT_TRUE(s.form->ui.action("NMiddle_Q")->isChecked());
    s.form->ui.action("NHeight_Q")->trigger();
    EXPECT_EQ(s.form->jpegQuality(), 100);
    EXPECT_TRUE(s.form->ui.action("NHeight_Q")->isChecked());
    EXPECT_FALSE(s.form->ui.action("NMiddle_Q")->isChecked());
    s.form->ui.action("NLow_Q")->trigger();
    EXPECT_EQ(s.form->jpegQuality(), 80);
}

TEST(Stills, TheCamerasSnapshotButtonCapturesWithinHalfASecond)
{
    Stills s;
    s.connect();
    s.setAutoSave(true);
    s.form->ui.PageControl1->setCurrentIndex(0);
    ASSERT_TRUE(s.hub->pressSnapshotButton());
    EXPECT_TRUE(test::waitFor([&] { return s.form->hasStill(); }, 5000));
    EXPECT_TRUE(
        test::waitFor([&] { return s.files(s.form->settings.CurrentBmpPath).size() == 1; }, 5000));
    EXPECT_EQ(s.form->UnsavedLevel(), 1);
}
