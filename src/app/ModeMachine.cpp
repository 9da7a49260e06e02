// The work modes of the main window: the live view's modes chosen on the mode switch, the
// still view's viewing, editing and processing states, the keyboard shortcuts, and the idle
// pass that derives every button's and toolbar's state from the flags.

#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/VideoCameraDS.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>

namespace orvix {

// ---------------------------------------------------------------------------------------
// Live-view modes

void TMainForm::ChangeModeTB_ChangeReset()
{
    // The toolbar still shown is the mode being left.
    if (ui.Cross_ToolBar->isVisible())
        return; // the reticles stay on the overlay until a mode clears it
    if (ui.DrawRuler_ToolBar->isVisible()) {
        const bool toOverlay = ui.action("ChangeModeTB_Compare")->isChecked() ||
                               ui.action("ChangeModeTB_Cross")->isChecked();
        if (toOverlay)
            m_engine->ClearOverlayBitmap();
        if (FrameFrozen) {
            FrameFrozen = false;
            m_engine->FilterGraph_Play();
        }
    }
}

void TMainForm::ChangeModeTB_CompareClick()
{
    ChangeModeTB_ChangeReset();
    MeasureDataCleared = true;
    m_engine->unsetCursor();
    m_engine->ClearOverlayBitmap();
    OverlayModeActive = true;
}

void TMainForm::ChangeModeTB_CrossClick()
{
    ChangeModeTB_ChangeReset();
    MeasureDataCleared = true;
    m_engine->unsetCursor();
    m_engine->ClearOverlayBitmap();
    OverlayModeActive = true;
}

void TMainForm::ChangeModeTB_VideoCtrlClick()
{
    ChangeModeTB_ChangeReset();
}

void TMainForm::ChangeModeTB_DrawClick()
{
    ChangeModeTB_ChangeReset();
    m_engine->unsetCursor();
    OverlayModeActive = false;
}

void TMainForm::ChangeModeTB_DeviceCtrlClick()
{
    ChangeModeTB_ChangeReset();
}

// ---------------------------------------------------------------------------------------
// Still-view states

void TMainForm::EntryImageEdit()
{
    if (ProcessingActive)
        ExitImageProcess();
    EditorActive = true;
    undoRing.reset(m_still);
    setButtonGlyph(ui.EditorImage_Btn, QStringLiteral("exitedit.bmp"));
    ui.EditorImage_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("EditorImageExit_Btn")]);
    ui.ToolBar_ImageEdit1->move(400, 364);
    ui.ToolBar_ImageEdit2->move(400, 392);
    ui.ToolBar_ImageEdit1->show();
    ui.ToolBar_ImageEdit2->show();
    ui.ToolBar_ImageEdit1->raise();
    ui.ToolBar_ImageEdit2->raise();
}

void TMainForm::ExitImageEdit()
{
    if (!EditorActive)
        return;
    EditorActive = false;
    ui.ToolBar_ImageEdit1->hide();
    ui.ToolBar_ImageEdit2->hide();
    setButtonGlyph(ui.EditorImage_Btn, QStringLiteral("edit.bmp"));
    ui.EditorImage_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("EditorImage_Btn")]);
}

void TMainForm::EditorImage_BtnClick()
{
    if (!EditorActive) {
        EntryImageEdit();
        return;
    }
    if (UnsavedLevel() > 1 && showMessage(QStringLiteral("WhetherSaveImage_MsgBox"),
                                          QStringLiteral("AttentionTitle_MsgBox"), ButtonsOkCancel,
                                          IconQuestion) == ResultOk)
        Save_ImageFile(m_still);
    ExitImageEdit();
}

void TMainForm::EntryImageProcess()
{
    if (EditorActive)
        ExitImageEdit();
    ProcessingActive = true;
    ProcessingPending = false;
    setButtonGlyph(ui.ImageProcess_Btn, QStringLiteral("imageprocessexit.bmp"));
    ui.ImageProcess_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("ImageProcessExit_Btn")]);
    ui.ToolBar_ImageProcess->move(400, 364);
    ui.ToolBar_ImageProcess->show();
    ui.ToolBar_ImageProcess->raise();
}

void TMainForm::ExitImageProcess()
{
    if (!ProcessingActive)
        return;
    if (ProcessingPending &&
        showMessage(QStringLiteral("WhetherModifyImage"), QStringLiteral("AttentionTitle_MsgBox"),
                    ButtonsOkCancel, IconQuestion) != ResultOk)
        ProcessingPending = false;
    ProcessingActive = false;
    ui.ToolBar_ImageProcess->hide();
    setButtonGlyph(ui.ImageProcess_Btn, QStringLiteral("imageprocess.bmp"));
    ui.ImageProcess_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("ImageProcess_Btn")]);
}

void TMainForm::ImageProcess_BtnClick()
{
    if (ProcessingActive)
        ExitImageProcess();
    else
        EntryImageProcess();
}

// ---------------------------------------------------------------------------------------
// Keyboard

namespace {
bool isTextEntry(QWidget* w)
{
    if (!w)
        return false;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
        qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w))
        return true;
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->isEditable();
    return false;
}
} // namespace

bool TMainForm::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, e);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this)
        return QMainWindow::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    // Keys typed into a text box belong to it.
    if (isTextEntry(QApplication::focusWidget()))
        return false;
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // menu shortcuts and menu navigation
    return e->type() == QEvent::KeyPress ? FormKeyDown(k) : FormKeyUp(k);
}

bool TMainForm::FormKeyDown(QKeyEvent* e)
{
    if (ui.RichEdit_TextOut->isVisible() || KeyLatched)
        return !ui.RichEdit_TextOut->isVisible() && KeyLatched; // a held key acts once
    if (e->isAutoRepeat())
        return true;
    switch (e->key()) {
    case Qt::Key_Space:
        if (EditorActive && (UnsavedLevel() > 2 || ProcessingPending))
            WhetherSaveImageMessage();
        CaptureImage_BtnClick();
        break;
    case Qt::Key_V:
        Q_EMIT recordToggleRequested();
        break;
    default:
        break;
    }
    KeyLatched = true;
    return true;
}

bool TMainForm::FormKeyUp(QKeyEvent* e)
{
    if (ui.RichEdit_TextOut->isVisible() || !KeyLatched)
        return false;
    if (e->isAutoRepeat())
        return true;
    KeyLatched = false;
    return true;
}

// ---------------------------------------------------------------------------------------
// Idle pass: reads flags and sizes and sets properties; opens no files, draws nothing.

namespace {
inline void setShown(QWidget* w, bool v)
{
    if (w->isHidden() == v)
        w->setVisible(v);
}
inline void setActionEnabled(QAction* a, bool v)
{
    if (a->isEnabled() != v)
        a->setEnabled(v);
}
} // namespace

void TMainForm::UpdateActions()
{
    const bool hasPicture = hasStill();
    // 2.-4.
    setShown(ui.Connect_Btn, flags.DeviceFound);
    setShown(ui.CaptureImage_Btn, (flags.DeviceConnected || flags.PlayerOpen) &&
                                      m_engine->GetCanSnapShot() && !FrameFrozen);
    setShown(ui.RecordVideo_Btn, flags.DeviceConnected);
    // 5.-6.
    const bool unsaved = UnsavedLevel() > 1 || ProcessingPending;
    if (!EnlargedView) {
        setShown(ui.SaveImage_Btn, hasPicture && unsaved);
        for (GlyphButton* b :
             {ui.EditorImage_Btn, ui.DelViewVideo_Btn, ui.ImageProcess_Btn, ui.PrinterImage_Btn})
            setShown(b, hasPicture);
        setActionEnabled(ui.action("SaveFile"), hasPicture);
        setActionEnabled(ui.action("PrintImage"), hasPicture);
        setActionEnabled(ui.action("OpenFile"), true);
    } else {
        setShown(ui.SaveImage_Btn, false);
        for (GlyphButton* b :
             {ui.EditorImage_Btn, ui.DelViewVideo_Btn, ui.ImageProcess_Btn, ui.PrinterImage_Btn})
            setShown(b, false);
        setActionEnabled(ui.action("SaveFile"), false);
        setActionEnabled(ui.action("PrintImage"), false);
        setActionEnabled(ui.action("OpenFile"), false);
    }
    setShown(ui.LogoImage_RW, !hasPicture);
    // A still view without a picture has nothing to edit or process.
    if (!hasPicture && EditorActive)
        ExitImageEdit();
    if (!hasPicture && ProcessingActive) {
        ProcessingPending = false;
        ExitImageProcess();
    }
    // 8.
    setActionEnabled(ui.action("VideoFormat"), flags.DeviceConnected);
    setActionEnabled(ui.action("VideoSource"), flags.DeviceConnected);
    // 9.
    if (ui.MideaPlay_ToolBar->isVisible() && PlayerEnded) {
        setActionEnabled(ui.action("MediaPlay_Btn"), true);
        setActionEnabled(ui.action("MediaPause_Btn"), false);
        setActionEnabled(ui.action("MediaStop_Btn"), false);
    }
    // 12. Mode toolbars.
    QAction* devCtrlItem = ui.action("NDevCtrlToolbar");
    const bool live = flags.DeviceConnected && !flags.PlayerOpen;
    if (!live) {
        for (QToolBar* tb : {ui.ChangeMode_ToolBar, ui.Cross_ToolBar, ui.Compare_ToolBar,
                             ui.VideoCtrl_ToolBar, ui.DrawRuler_ToolBar})
            setShown(tb, false);
        if (!flags.DeviceFound || flags.PlayerOpen) {
            DevCtrlAvailable = false;
            setActionEnabled(devCtrlItem, false);
        } else if (!DevCtrlAvailable) {
            DevCtrlAvailable = true;
            setActionEnabled(devCtrlItem, true);
        }
        setShown(ui.DeviceControl_ToolBar, devCtrlItem->isChecked());
    } else {
        setShown(ui.ChangeMode_ToolBar, true);
        QAction* cross = ui.action("ChangeModeTB_Cross");
        QAction* compare = ui.action("ChangeModeTB_Compare");
        QAction* video = ui.action("ChangeModeTB_VideoCtrl");
        QAction* draw = ui.action("ChangeModeTB_Draw");
        QAction* device = ui.action("ChangeModeTB_DeviceCtrl");
        if (!VmrAvailable) {
            for (QAction* a : {cross, compare, draw}) {
                if (a->isChecked()) {
                    // Leave the overlay modes without running their click actions.
                    ui.changeModeGroup->setExclusive(false);
                    a->setChecked(false);
                    ui.changeModeGroup->setExclusive(true);
                }
                setActionEnabled(a, false);
            }
            if (!device->isChecked() && !video->isChecked())
                video->setChecked(true);
        }
        QToolBar* shown = nullptr;
        if (cross->isChecked())
            shown = ui.Cross_ToolBar;
        else if (compare->isChecked())
            shown = ui.Compare_ToolBar;
        else if (video->isChecked())
            shown = ui.VideoCtrl_ToolBar;
        else if (draw->isChecked())
            shown = ui.DrawRuler_ToolBar;
        else if (device->isChecked())
            shown = ui.DeviceControl_ToolBar;
        for (QToolBar* tb : {ui.Compare_ToolBar, ui.Cross_ToolBar, ui.VideoCtrl_ToolBar,
                             ui.DrawRuler_ToolBar, ui.DeviceControl_ToolBar}) {
            bool v = tb == shown;
            if (v &&
                (tb == ui.Cross_ToolBar || tb == ui.Compare_ToolBar || tb == ui.DrawRuler_ToolBar))
                v = VmrAvailable;
            setShown(tb, v);
        }
    }
    // 15. Enlarged-layout controls.
    GlyphButton* orientButtons[4] = {ui.RightOthersButton, ui.RightSelfButton, ui.LeftOthersButton,
                                     ui.LeftSelfButton};
    if (flags.DeviceConnected && EnlargedView) {
        for (GlyphButton* b : orientButtons)
            setShown(b, VmrAvailable);
        for (QLabel* p : ui.orientationPanels)
            setShown(p, true);
        setShown(ui.NormalSizeButton, true);
        setShown(ui.NormalSizePanel, true);
    } else {
        for (GlyphButton* b : orientButtons)
            setShown(b, false);
        if (!EnlargedView && flags.DeviceConnected)
            for (QLabel* p : ui.orientationPanels)
                setShown(p, false);
        if (!EnlargedView) {
            setShown(ui.NormalSizeButton, false);
            setShown(ui.NormalSizePanel, false);
        }
    }
    // 16.
    setShown(ui.FullWindowPanel, EnlargedView);
    // 17.
    if (flags.PlayerOpen)
        for (QAction* a : ui.mediaFlipGroup->actions())
            setActionEnabled(a, VmrAvailable);
    // 19.
    QAction* mag = ui.action("Mag_Show");
    const bool magShown = flags.DeviceConnected && !flags.PlayerOpen && !OverlayModeActive;
    if (mag->isVisible() != magShown)
        mag->setVisible(magShown);
}

} // namespace orvix
