// Stills: taking the current frame into the still view and the one save operation.

#include "app/main.h"

#include "app/GlyphButton.h"
#include "camera/VideoCameraDS.h"
#include "library/ImageIO.h"
#include "library/MediaStrip.h"
#include "library/SaveNaming.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

namespace orvix {

namespace {
const QString kBmpFilter = QStringLiteral("Bitmaps (*.bmp)");
const QString kJpgFilter = QStringLiteral("JPEG Image File (*.jpg)");
} // namespace

void TMainForm::setStill(const QImage& picture, const QString& hint)
{
    m_still = picture;
    if (picture.isNull())
        ui.Image1->clear();
    else
        ui.Image1->setPixmap(QPixmap::fromImage(picture));
    ui.Image1->setToolTip(hint);
}

bool TMainForm::VideoSnapShot(QImage& picture)
{
    if (m_engine->RecordingOrPlaying)
        return m_engine->GetStreamImage(picture);
    if (!m_engine->Connected)
        return false;
    if (SnapshotFromRenderer)
        return m_engine->GetStreamImage(picture);
    return m_engine->GrabLastFrame(picture);
}

void TMainForm::CaptureImage_BtnClick()
{
    CaptureContext = true;
    StillFrameArrived = false;
    CaptureToStill();
    CaptureContext = false;
}

void TMainForm::CaptureToStill()
{
    if (!StillFrameArrived) {
        QImage picture = m_still;
        if (!VideoSnapShot(picture) || picture.isNull()) {
            showMessage(QStringLiteral("CannotSnapShot_MsgBox"),
                        QStringLiteral("ErrorTitle_MsgBox"), ButtonsOk, IconError);
            return;
        }
        setStill(picture, ui.Image1->toolTip());
    } else {
        setStill(m_stillPinFrame, ui.Image1->toolTip());
        m_stillPinFrame = QImage();
    }
    CaptureImageCom();
}

void TMainForm::CaptureImageCom()
{
    const bool autoSave = ui.action("AutoSave")->isChecked();
    if (autoSave && CaptureContext)
        Save_ImageFile(m_still);
    ui.Image1->setToolTip(QString());
    undoRing.reset(m_still);
    ProcessingPending = false;
    if (!autoSave)
        undoRing.setUnsavedLevel(2);
}

QFileDialog* TMainForm::savePictureDialog()
{
    if (!m_saveDialog) {
        m_saveDialog = new QFileDialog(this);
        m_saveDialog->setObjectName(QStringLiteral("SavePictureDialog1"));
        m_saveDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_saveDialog->setFileMode(QFileDialog::AnyFile);
        m_saveDialog->setNameFilters({kBmpFilter, kJpgFilter});
        m_saveDialog->setDefaultSuffix(QStringLiteral("bmp"));
        // The file type chosen in the dialog shows the matching list.
        connect(m_saveDialog, &QFileDialog::filterSelected, this, [this](const QString& f) {
            const bool jpg = f == kJpgFilter;
            m_saveDialog->setDefaultSuffix(jpg ? QStringLiteral("jpg") : QStringLiteral("bmp"));
            ui.PageControl1->setCurrentIndex(jpg ? 1 : 0);
        });
    }
    return m_saveDialog;
}

bool TMainForm::Save_ImageFile(const QImage& picture, bool measurement)
{
    if (picture.isNull())
        return false;
    SaveRequest req;
    req.activeTab = ui.PageControl1->currentIndex();
    req.measurement = measurement;
    req.rulerVertical = RulerVerticalValue;
    req.rulerHorizontal = RulerHorizontalValue;
    req.bmpFolder = settings.CurrentBmpPath;
    req.jpgFolder = settings.CurrentJpgPath;
    req.when = QDateTime::currentDateTime();
    const SavePlan plan = planSave(req);
    if (!measurement && plan.switchToJpgTab)
        ui.PageControl1->setCurrentIndex(1);

    SaveTarget target;
    if (ui.action("AutoSave")->isChecked() && CaptureContext) {
        target = automaticSave(plan);
    } else {
        QFileDialog* d = savePictureDialog();
        d->selectNameFilter(plan.filterIndex == 2 ? kJpgFilter : kBmpFilter);
        d->setDefaultSuffix(plan.filterIndex == 2 ? QStringLiteral("jpg") : QStringLiteral("bmp"));
        d->setDirectory(plan.dialogFolder);
        d->selectFile(plan.suggestedName);
        if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty())
            return false;
        target = decideDialogSave(d->selectedFiles().constFirst(), plan);
        if (!target)
            return false;
    }

    const IoResult written = target.format == SaveFormat::Jpeg
                                 ? saveJpeg(target.path, picture, m_jpegQuality)
                                 : saveBmp(target.path, picture);
    if (!written) {
        ShowMessageBox(msgText(QStringLiteral("CannotSaveImage_MsgBox")) + QStringLiteral("\n") +
                           written.error,
                       msgText(QStringLiteral("ErrorTitle_MsgBox")), ButtonsOk, IconError);
        return false;
    }
    ui.Image1->setToolTip(target.path);
    const int kind = listKindOf(target.format);
    m_lists[size_t(kind)].setPendingNewFile(target.path);
    if (ui.PageControl1->currentIndex() != kind)
        ui.PageControl1->setCurrentIndex(kind); // refreshes that list
    else
        FileList(kind);
    undoRing.reset(m_still);
    return true;
}

void TMainForm::SaveImage_BtnClick()
{
    // A pending processing result becomes the base picture once it is saved.
    ProcessingPending = false;
    Save_ImageFile(m_still);
}

void TMainForm::SaveFileClick()
{
    Save_ImageFile(m_still);
}

void TMainForm::setJpegQuality(int quality)
{
    m_jpegQuality = quality;
    ui.action("NHeight_Q")->setChecked(quality == 100);
    ui.action("NMiddle_Q")->setChecked(quality == 90);
    ui.action("NLow_Q")->setChecked(quality == 80);
}

void TMainForm::stillButtonPressed()
{
    // A press is ignored while the previous one waits for the timer.
    if (!m_engine->LiveSource || m_stillPinArrived)
        return;
    QImage frame;
    if (m_engine->GrabLastFrame(frame)) {
        m_stillPinFrame = frame;
        m_stillPinArrived = true;
    }
}

} // namespace orvix
