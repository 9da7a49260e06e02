// The media strip: the three lists with their thumbnails, opening, deleting and printing
// files, and the 500 ms housekeeping timer.

#include "app/main.h"

#include "app/GlyphButton.h"
#include "camera/VideoCameraDS.h"
#include "library/ImageIO.h"
#include "library/MediaStrip.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

namespace orvix {

void TMainForm::FileList(int kind)
{
    MediaList& list = m_lists[size_t(kind)];
    list.setFolder(settings.folder(ListKind(kind)));
    list.refresh();
    showPage(kind);
}

void TMainForm::showPage(int kind)
{
    const PagePictures pics = m_thumbs.loadPage(m_lists[size_t(kind)]);
    MediaTab& tab = ui.PageControl1->tab(kind);
    for (size_t n = 0; n < pics.size(); ++n) {
        ThumbnailSlot* slot = tab.slots[n];
        const SlotPicture& p = pics[n];
        if (p.state == SlotPicture::State::Empty)
            slot->clearSlot();
        else
            slot->showFile(p.path, QPixmap::fromImage(p.picture));
    }
    tab.counter->setText(m_lists[size_t(kind)].counterText());
}

void TMainForm::PageControl1Change(int index)
{
    if (index == 0 || index == 1) {
        savePictureDialog();
        FileList(index);
    } else if (index == 2) {
        FileList(2);
    }
}

void TMainForm::ListPage(int kind, int step)
{
    if (ui.PageControl1->currentIndex() != kind)
        return;
    MediaList& list = m_lists[size_t(kind)];
    if (step > 0 ? list.nextPage() : list.previousPage())
        showPage(kind);
}

void TMainForm::ListImage_TimerTimer()
{
    const int active = ui.PageControl1->currentIndex();
    if (active >= 0 && active < 3)
        ui.PageControl1->tab(active).counter->setText(m_lists[size_t(active)].counterText());
    if (QScreen* s = QApplication::primaryScreen()) {
        const QSize now = s->size();
        if (now != m_screenSize)
            m_screenSize = now; // recorded for the enlarged layouts, which are not offered yet
    }
    if (m_stillPinArrived) {
        CaptureContext = true;
        StillFrameArrived = true;
        CaptureToStill();
        CaptureContext = false;
        StillFrameArrived = false;
        m_stillPinArrived = false;
    }
}

// ---------------------------------------------------------------------------------------
// Opening pictures

void TMainForm::Initial_And_Reset_ImageList()
{
    undoRing.reset(m_still);
    ProcessingPending = false;
    if (QClipboard* cb = QApplication::clipboard())
        cb->clear();
}

namespace {
// Loads a picture for the still view; shows the error the way file errors are shown.
QImage loadForStill(const QString& path)
{
    const PictureResult r = loadPicture(path);
    if (!r.ok()) {
        ShowMessageBox(msgText(QStringLiteral("CannotOpenImage_MsgBox")) + QStringLiteral("\n") +
                           QDir::toNativeSeparators(path) + QStringLiteral(": ") + r.error,
                       msgText(QStringLiteral("ErrorTitle_MsgBox")), ButtonsOk, IconError);
    }
    return r.image;
}
} // namespace

bool TMainForm::OpenBmpFileCom(const QString& path)
{
    const QImage picture = loadForStill(path);
    if (picture.isNull())
        return false;
    setStill(picture, path);
    Initial_And_Reset_ImageList();
    ProcessingPending = false;
    return true;
}

bool TMainForm::OpenJpgFileCom(const QString& path)
{
    return OpenBmpFileCom(path);
}

void TMainForm::slotDoubleClick(int kind, int slot)
{
    const QString path = ui.PageControl1->tab(kind).slots[size_t(slot)]->path();
    if (path.isEmpty())
        return;
    if (kind == 2) {
        Q_EMIT playVideoRequested(path);
        return;
    }
    offerToSaveStill();
    OpenBmpFileCom(path);
}

void TMainForm::slotContextPopup(int kind, int slot)
{
    ThumbnailSlot* s = ui.PageControl1->tab(kind).slots[size_t(slot)];
    contextRecord.path = s->path();
    contextRecord.kind = ui.PageControl1->currentIndex();
    contextRecord.thumbnail = kind < 2 ? s->pixmap().toImage() : QImage();
    if (kind < 2 && contextRecord.thumbnail.isNull())
        contextRecord.thumbnail = QImage(1, 1, QImage::Format_RGB888); // unreadable: still openable
}

void TMainForm::OpenFile1Click()
{
    if (contextRecord.kind == 2) {
        if (!contextRecord.path.isEmpty())
            Q_EMIT playVideoRequested(contextRecord.path);
        return;
    }
    if (contextRecord.thumbnail.isNull())
        return;
    offerToSaveStill();
    OpenBmpFileCom(contextRecord.path);
    contextRecord.thumbnail = QImage();
    ProcessingPending = false;
}

namespace {
bool moveToTrash(const QString& path)
{
    if (QFile::moveToTrash(path))
        return true;
    ShowMessageBox(msgText(QStringLiteral("CannotDeleteFile_MsgBox")) + QStringLiteral("\n") +
                       QDir::toNativeSeparators(path),
                   msgText(QStringLiteral("ErrorTitle_MsgBox")), ButtonsOk, IconError);
    return false;
}
} // namespace

void TMainForm::DeleteFile1Click()
{
    if (contextRecord.kind == 2 && flags.PlayerOpen)
        Q_EMIT playerCloseRequested();
    if (!contextRecord.path.isEmpty()) {
        if (showMessage(QStringLiteral("WhetherDeleteImage_MsgBox"),
                        QStringLiteral("AttentionTitle_MsgBox"), ButtonsOkCancel,
                        IconInfo) == ResultOk) {
            moveToTrash(contextRecord.path);
            contextRecord.path.clear();
        }
    }
    if (contextRecord.kind == 0 || contextRecord.kind == 1) {
        ProcessingPending = false;
        undoRing.setUnsavedLevel(1);
        setStill(QImage(), QString());
    }
    FileList(contextRecord.kind);
}

void TMainForm::DeleteImage()
{
    if (showMessage(QStringLiteral("WhetherDeleteImage_MsgBox"),
                    QStringLiteral("AttentionTitle_MsgBox"), ButtonsOkCancel, IconInfo) != ResultOk)
        return;
    ProcessingPending = false;
    undoRing.setUnsavedLevel(1);
    const QString path = ui.Image1->toolTip();
    if (!path.isEmpty())
        moveToTrash(path);
    setStill(QImage(), QString());
    FileList(0);
    FileList(1);
}

QFileDialog* TMainForm::openPictureDialog()
{
    if (!m_openPictureDialog) {
        m_openPictureDialog = new QFileDialog(this);
        m_openPictureDialog->setObjectName(QStringLiteral("OpenPictureDialog1"));
        m_openPictureDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_openPictureDialog->setFileMode(QFileDialog::ExistingFile);
        m_openPictureDialog->setNameFilters(
            {QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("JPEG Image File (*.jpg)")});
    }
    return m_openPictureDialog;
}

QFileDialog* TMainForm::openVideoDialog()
{
    if (!m_openVideoDialog) {
        m_openVideoDialog = new QFileDialog(this);
        m_openVideoDialog->setObjectName(QStringLiteral("OpenDialog1"));
        m_openVideoDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_openVideoDialog->setFileMode(QFileDialog::ExistingFile);
        m_openVideoDialog->setNameFilters({QStringLiteral("Audio Video Interleave  (*.avi)")});
        m_openVideoDialog->setDefaultSuffix(QStringLiteral("avi"));
    }
    return m_openVideoDialog;
}

void TMainForm::OpenFileClick()
{
    if (EnlargedView && ui.PageControl1->currentIndex() == 2)
        ui.PageControl1->setCurrentIndex(1);
    const int tab = ui.PageControl1->currentIndex();
    if (tab == 2) {
        QFileDialog* d = openVideoDialog();
        d->setDirectory(settings.DataRoot + QStringLiteral("DATA/Video"));
        d->selectFile(QString());
        if (d->exec() == QDialog::Accepted && !d->selectedFiles().isEmpty())
            Q_EMIT playVideoRequested(d->selectedFiles().constFirst());
        return;
    }
    offerToSaveStill();
    QFileDialog* d = openPictureDialog();
    const QStringList filters = d->nameFilters();
    d->selectNameFilter(filters.value(tab == 0 ? 0 : 1));
    d->setDirectory(settings.DataRoot + (tab == 0 ? QStringLiteral("DATA/Image/Bmp/")
                                                  : QStringLiteral("DATA/Image/Jpg/")));
    d->selectFile(QString());
    if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty())
        return;
    const QString chosen = d->selectedFiles().constFirst();
    if (d->selectedNameFilter() == filters.value(0))
        OpenBmpFileCom(chosen);
    else
        OpenJpgFileCom(chosen);
}

// ---------------------------------------------------------------------------------------
// Printing

void TMainForm::PrintSetClick()
{
    if (!m_printer)
        m_printer = new QPrinter(QPrinter::HighResolution);
    QPageSetupDialog d(m_printer, this);
    d.exec();
}

bool TMainForm::printStill(QPrinter& printer)
{
    if (m_still.isNull())
        return false;
    const double s = printer.resolution() / 96.0;
    QPainter p;
    if (!p.begin(&printer))
        return false;
    p.drawImage(QRect(0, 0, int(m_still.width() * s), int(m_still.height() * s)), m_still);
    return p.end();
}

void TMainForm::PrintImageClick()
{
    if (!m_printer)
        m_printer = new QPrinter(QPrinter::HighResolution);
    QPrintDialog d(m_printer, this);
    d.setOption(QAbstractPrintDialog::PrintSelection, true);
    if (d.exec() == QDialog::Accepted)
        printStill(*m_printer);
}

} // namespace orvix
