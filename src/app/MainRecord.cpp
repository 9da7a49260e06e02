// Recording the live video and playing videos in the live view, and the camera's format,
// source and compressor commands.

#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/SelectFilter.h"
#include "camera/VideoCameraDS.h"
#include "library/MediaStrip.h"
#include "library/SaveNaming.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QToolBar>

namespace orvix {

// ---------------------------------------------------------------------------------------
// Recording

QFileDialog* TMainForm::recordDialog()
{
    if (!m_recordDialog) {
        m_recordDialog = new QFileDialog(this);
        m_recordDialog->setObjectName(QStringLiteral("SaveDialog1"));
        m_recordDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_recordDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_recordDialog->setNameFilters({QStringLiteral("Audio Video Interleave  (*.avi)")});
        m_recordDialog->setDefaultSuffix(QStringLiteral("avi"));
    }
    return m_recordDialog;
}

void TMainForm::RecordVideo_BtnClick()
{
    if (flags.VideoRecording)
        stopRecording();
    else
        startRecording();
}

void TMainForm::startRecording()
{
    if (!flags.DeviceConnected)
        return;
    const QString name = QStringLiteral("Video_") + longTimeStamp(QDateTime::currentDateTime());
    QString path;
    if (ui.action("AutoSave")->isChecked()) {
        path = settings.CurrentAviPath + QLatin1Char('/') + name + QStringLiteral(".avi");
    } else {
        QFileDialog* d = recordDialog();
        d->setDirectory(settings.CurrentAviPath);
        d->selectFile(name);
        if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty())
            return;
        path = d->selectedFiles().constFirst();
    }
    if (!m_engine->VideoCaptureAvi(path)) {
        showMessage(QStringLiteral("CannotRecordVideo_MsgBox"), QStringLiteral("ErrorTitle_MsgBox"),
                    ButtonsOk, IconError);
        return;
    }
    m_lists[2].setPendingNewFile(path);
    if (ui.PageControl1->currentIndex() != 2)
        ui.PageControl1->setCurrentIndex(2);
    else
        FileList(2);
    flags.VideoRecording = true;
    setButtonGlyph(ui.RecordVideo_Btn, QStringLiteral("stopvideo.bmp"));
    ui.RecordVideo_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("RecordStopVideo_Btn")]);
}

void TMainForm::stopRecording()
{
    if (!flags.VideoRecording)
        return;
    m_engine->VideoCaptureAviStop();
    setButtonGlyph(ui.RecordVideo_Btn, QStringLiteral("videorecord.bmp"));
    ui.RecordVideo_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("RecordVideo_Btn")]);
    flags.VideoRecording = false;
    if (ui.PageControl1->currentIndex() != 2)
        ui.PageControl1->setCurrentIndex(2);
    else
        FileList(2);
}

void TMainForm::recordingEnded()
{
    // The engine has already ended the recording and kept what was written.
    if (!flags.VideoRecording)
        return;
    setButtonGlyph(ui.RecordVideo_Btn, QStringLiteral("videorecord.bmp"));
    ui.RecordVideo_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("RecordVideo_Btn")]);
    flags.VideoRecording = false;
    FileList(2);
}

void TMainForm::recordingFailed(const QString& reason)
{
    const bool wasRecording = flags.VideoRecording;
    recordingEnded();
    if (!wasRecording)
        return;
    ShowMessageBox(msgText(QStringLiteral("RecordingInterrupted_MsgBox")) + QStringLiteral("\n") +
                       reason,
                   msgText(QStringLiteral("ErrorTitle_MsgBox")), ButtonsOk, IconError);
}

// ---------------------------------------------------------------------------------------
// Player

void TMainForm::PlayVideo_BtnClick()
{
    if (flags.PlayerOpen) {
        ExitMediaPlayer();
        return;
    }
    QFileDialog* d = openVideoDialog();
    d->setDirectory(settings.CurrentAviPath);
    d->selectFile(QString());
    if (d->exec() == QDialog::Accepted && !d->selectedFiles().isEmpty())
        PlayerVideoCom(d->selectedFiles().constFirst());
    if (ui.PageControl1->currentIndex() != 2)
        ui.PageControl1->setCurrentIndex(2);
    else
        FileList(2);
}

void TMainForm::PlayerVideoCom(const QString& path)
{
    if (flags.DeviceConnected)
        Connect_BtnClick(); // disconnects, stopping a recording first
    if (flags.VideoRecording)
        stopRecording();
    if (flags.PlayerOpen)
        ExitMediaPlayer();
    if (!m_engine->OpenPlayer(path)) {
        showMessage(QStringLiteral("CannotPlayVideo_MsgBox"), QStringLiteral("ErrorTitle_MsgBox"),
                    ButtonsOk, IconError);
        return;
    }
    ui.NoCameraPanel->hide();
    ui.MideaPlay_ToolBar->show();
    ui.MideaPlay_ToolBar->raise();
    setButtonGlyph(ui.PlayVideo_Btn, QStringLiteral("stopplay.bmp"));
    ui.PlayVideo_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("StopPlayVideo_Btn")]);
    ui.action("MediaPlay_Btn")->setEnabled(false);
    ui.action("MediaPause_Btn")->setEnabled(true);
    ui.action("MediaStop_Btn")->setEnabled(true);
    ui.action("MediaRightOthers_Btn")->setChecked(true);
    PlayerEnded = false;
    flags.PlayerOpen = true;
}

void TMainForm::ExitMediaPlayer()
{
    if (ui.MideaPlay_ToolBar->isHidden() && !flags.PlayerOpen)
        return;
    flags.PlayerOpen = false;
    setButtonGlyph(ui.PlayVideo_Btn, QStringLiteral("playvideo.bmp"));
    ui.PlayVideo_Btn->setToolTip(texts().ButtonHintData[QStringLiteral("PlayVideo_Btn")]);
    ui.MideaPlay_ToolBar->hide();
    ui.action("MediaRewind_Btn")->setChecked(false);
    PlayerEnded = false;
    if (!m_engine->ClosePlayer()) {
        ui.NoCameraPanel->show();
        ui.NoCameraPanel->raise();
    }
}

void TMainForm::MediaPlay_BtnClick()
{
    if (!ui.action("MediaPlay_Btn")->isEnabled())
        return;
    PlayerEnded = false;
    m_engine->VideoPlay();
    syncMediaButtons();
}

void TMainForm::MediaPause_BtnClick()
{
    if (!ui.action("MediaPause_Btn")->isEnabled())
        return;
    m_engine->VideoPause();
    syncMediaButtons();
}

void TMainForm::MediaStop_BtnClick()
{
    if (!ui.action("MediaStop_Btn")->isEnabled())
        return;
    m_engine->VideoStop();
    ui.action("MediaRewind_Btn")->setChecked(false);
    syncMediaButtons();
}

void TMainForm::MediaRewind_BtnClick()
{
    m_engine->ReVideoPlay();
}

void TMainForm::wirePlayerAndRecorder()
{
    connect(ui.RecordVideo_Btn, &GlyphButton::clicked, this, &TMainForm::RecordVideo_BtnClick);
    connect(ui.PlayVideo_Btn, &GlyphButton::clicked, this, &TMainForm::PlayVideo_BtnClick);
    connect(this, &TMainForm::recordToggleRequested, this, &TMainForm::RecordVideo_BtnClick);
    connect(this, &TMainForm::recordingStopRequested, this, &TMainForm::stopRecording);
    connect(this, &TMainForm::playerCloseRequested, this, &TMainForm::ExitMediaPlayer);
    connect(this, &TMainForm::playVideoRequested, this, &TMainForm::PlayerVideoCom);
    connect(m_engine, &TVideoCameraDS::recordingFailed, this, &TMainForm::recordingFailed);
    connect(m_engine, &TVideoCameraDS::recordingEnded, this, [this] { recordingEnded(); });
    connect(m_engine, &TVideoCameraDS::playerEnded, this, [this] {
        PlayerEnded = true;
        syncMediaButtons();
    });
    connect(m_engine, &TVideoCameraDS::playerStateChanged, this, &TMainForm::syncMediaButtons);
    connect(m_engine, &TVideoCameraDS::playerStopped, this,
            [this] { ui.action("MediaRewind_Btn")->setChecked(false); });
    connect(m_engine, &TVideoCameraDS::playbackFailed, this, [this](const QString&) {
        syncMediaButtons();
        showMessage(QStringLiteral("CannotPlayVideo_MsgBox"), QStringLiteral("ErrorTitle_MsgBox"),
                    ButtonsOk, IconError);
    });
    connect(m_engine, &TVideoCameraDS::playerExitRequested, this, &TMainForm::ExitMediaPlayer);
    connect(ui.action("MediaPlay_Btn"), &QAction::triggered, this, &TMainForm::MediaPlay_BtnClick);
    connect(ui.action("MediaPause_Btn"), &QAction::triggered, this,
            &TMainForm::MediaPause_BtnClick);
    connect(ui.action("MediaStop_Btn"), &QAction::triggered, this, &TMainForm::MediaStop_BtnClick);
    connect(ui.action("MediaRewind_Btn"), &QAction::triggered, this,
            &TMainForm::MediaRewind_BtnClick);
    connect(ui.action("MediaExit_Btn"), &QAction::triggered, this, &TMainForm::ExitMediaPlayer);
    // The player's orientation buttons: as delivered, upside down, mirrored, both.
    const std::pair<const char*, int> flips[] = {{"MediaRightOthers_Btn", 3},
                                                 {"MediaRightSelf_Btn", 2},
                                                 {"MediaLeftOthers_Btn", 0},
                                                 {"MediaLeftSelf_Btn", 1}};
    for (const auto& [name, mode] : flips)
        connect(ui.action(name), &QAction::triggered, this,
                [this, mode = mode] { m_engine->SetFlipMode(mode); });
    connect(ui.action("VideoFormat"), &QAction::triggered, this, &TMainForm::VideoFormatClick);
    connect(ui.action("VideoSource"), &QAction::triggered, this, &TMainForm::VideoSourceClick);
    connect(ui.action("VideoCompress"), &QAction::triggered, this, &TMainForm::VideoCompressClick);
}

void TMainForm::syncMediaButtons()
{
    // The engine's pop-up menu and the toolbar show the same state.
    ui.action("MediaPlay_Btn")->setEnabled(m_engine->PlayerCanPlay());
    ui.action("MediaPause_Btn")->setEnabled(m_engine->PlayerCanPause());
    ui.action("MediaStop_Btn")->setEnabled(m_engine->PlayerCanStop());
}

// ---------------------------------------------------------------------------------------
// Camera format, source and compressor

void TMainForm::VideoFormatClick()
{
    m_engine->SetHandle(this);
    // A frozen or loaded frame is released first; the format applies to the live video.
    FrameFrozen = false;
    m_engine->FilterGraph_Play();
    m_engine->VideoFormatDlg();
    m_engine->FormatChanged = false;
}

void TMainForm::VideoSourceClick()
{
    m_engine->SetHandle(this);
    m_engine->VideoSourceDlg();
}

void TMainForm::VideoCompressClick()
{
    if (!m_compressDlg)
        m_compressDlg = new TCompressorFilterDlg(this);
    m_compressDlg->exec();
    m_engine->SetCompressorIndex(m_compressDlg->resultIndex(m_engine->GetCompressorIndex()));
}

} // namespace orvix
