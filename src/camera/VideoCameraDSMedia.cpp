// The engine panel's recording, player and camera property dialogs.

#include "camera/VideoCameraDS.h"

#include "camera/AviRecorder.h"
#include "camera/CameraControls.h"
#include "camera/CaptureGraph.h"
#include "camera/CompressorCatalog.h"
#include "camera/DevicePool.h"
#include "camera/MediaPlayer.h"
#include "camera/PainterVideoWindow.h"
#include "camera/PictureLayer.h"
#include "camera/VideoFormatDlg.h"
#include "camera/VideoSourceDlg.h"
#include "text/ControlRole.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSlider>
#include <QTimer>

namespace orvix {

namespace {
constexpr int kPositionBarHeight = 12;
constexpr int kPositionFollowMs = 200;
} // namespace
// --- recording ---------------------------------------------------------------------

bool TVideoCameraDS::IsRecording() const
{
    return m_recorder->isRecording();
}

QString TVideoCameraDS::RecordingFileName() const
{
    return IsRecording() ? m_recorder->fileName() : QString();
}

bool TVideoCameraDS::FindCompressFilters()
{
    std::optional<CompressorInfo> found = CompressorCatalog::find(m_compressorIndex);
    m_compressor = found ? std::make_unique<CompressorInfo>(*found) : nullptr;
    return bool(m_compressor);
}

bool TVideoCameraDS::VideoCaptureAvi(const QString& path)
{
    if (!Connected || m_playerOpen)
        return false;
    if (!StopCapture())
        return false;
    if (!BuildCaptureGraph()) {
        FailCapture();
        return false;
    }
    m_capturePath = path;
    return StartCapture();
}

bool TVideoCameraDS::StopCapture()
{
    // The preview is not taken down: the recording is a branch of the running stream.
    if (m_capturePrepared || IsRecording())
        return false;
    WindowlessMode = true;
    FindCompressFilters();
    m_capturePrepared = true;
    return true;
}

bool TVideoCameraDS::BuildCaptureGraph()
{
    return m_capturePrepared && m_graph->isBuilt() && m_graph->state() == 3 &&
           !m_graph->hasFailed();
}

bool TVideoCameraDS::StartCapture()
{
    if (!m_capturePrepared)
        return false;
    QString error;
    const QString encoder = m_compressor ? m_compressor->factory : QString();
    if (!m_recorder->start(*m_graph, m_capturePath, encoder, &error)) {
        FailCapture();
        return false;
    }
    m_capturePrepared = false;
    m_earlyStop = -1;
    LiveSource = true;
    RecordingOrPlaying = true;
    CompressorInGraph = bool(m_compressor);
    SetFlipMode(m_flipMode);
    graphMode = GraphMode::Recording;
    return true;
}

void TVideoCameraDS::FailCapture()
{
    m_capturePrepared = false;
    CompressorInGraph = false;
    m_compressor.reset();
    // The preview was never taken down; it is restarted only when it has broken meanwhile.
    if (Connected && (m_graph->hasFailed() || m_graph->state() != 3)) {
        if (StopGraph() && BuilderGraph() && StartGraph())
            RecordingOrPlaying = false;
    } else {
        RecordingOrPlaying = false;
    }
}

bool TVideoCameraDS::VideoCaptureAviStop()
{
    if (!IsRecording()) {
        const bool finished = m_earlyStop == 1;
        m_earlyStop = -1;
        return finished;
    }
    return finishRecording(false);
}

bool TVideoCameraDS::finishRecording(bool byEngine)
{
    if (!m_recorder || !m_recorder->isRecording())
        return false;
    const QString file = m_recorder->fileName();
    const bool ok = m_recorder->stop();
    resetRecordingFlags();
    if (byEngine)
        Q_EMIT recordingEnded(file);
    return ok;
}

void TVideoCameraDS::resetRecordingFlags()
{
    CompressorInGraph = false;
    m_compressor.reset();
    if (graphMode == GraphMode::Recording) {
        RecordingOrPlaying = false;
        graphMode = GraphMode::Preview;
    }
}

// --- camera property dialogs ---------------------------------------------------------

bool TVideoCameraDS::VideoFormatDlg()
{
    if (!Connected || !m_source)
        return false;
    StopGraph();
    {
        TVideoFormatDlg dlg(deviceFormats(), m_format, m_host ? m_host : this);
        if (dlg.exec() == QDialog::Accepted)
            SetCaptureFormat(dlg.chosenFormat());
    }
    return BuilderGraph() && StartGraph();
}

bool TVideoCameraDS::VideoSourceDlg()
{
    if (!Connected || !m_source)
        return false;
    std::unique_ptr<ICameraControls> controls = cameraControlsFor(m_pool, m_device);
    if (!controls)
        return false;
    TVideoSourceDlg dlg(*controls, m_host ? m_host : this);
    dlg.exec();
    return true;
}

// --- player ------------------------------------------------------------------------

void TVideoCameraDS::createPlayerControls()
{
    m_player = std::make_unique<MediaPlayer>();
    m_player->setFrameSink(m_video);
    connect(m_player.get(), &MediaPlayer::endOfStreamReached, this,
            &TVideoCameraDS::FilterGraphGraphComplete);
    connect(m_player.get(), &MediaPlayer::restarted, this, [this] { m_playerEnd = false; });
    connect(m_player.get(), &MediaPlayer::playbackFailed, this, [this](const QString& reason) {
        setPopupStates(true, false, false);
        Q_EMIT playerStateChanged();
        Q_EMIT playbackFailed(reason);
    });

    m_playerMenu = new QMenu(this);
    m_playerMenu->setObjectName(QStringLiteral("PopupMenu_Video"));
    auto item = [this](const char* name, const char* caption) {
        auto* a = named(new QAction(QString::fromLatin1(caption), m_playerMenu), name,
                        ControlRole::MenuItem);
        m_playerMenu->addAction(a);
        return a;
    };
    PopupVideoPlay = item("PopupVideoPlay", "Play");
    PopupVideoPause = item("PopupVideoPause", "Pause");
    PopupVideoStop = item("PopupVideoStop", "Stop");
    PopupVideoRePlay = item("PopupVideoRePlay", "RePlay");
    PopupVideoDash1 = item("PopupVideoDash1", "-");
    PopupVideoDash1->setSeparator(true);
    PopupVideoExit = item("PopupVideoExit", "Exit");
    PopupVideoRePlay->setCheckable(true);
    for (int tag = 0; QAction * a : m_playerMenu->actions())
        a->setData(tag++);
    connect(PopupVideoPlay, &QAction::triggered, this, &TVideoCameraDS::PopupVideoPlayClick);
    connect(PopupVideoPause, &QAction::triggered, this, &TVideoCameraDS::PopupVideoPauseClick);
    connect(PopupVideoStop, &QAction::triggered, this, &TVideoCameraDS::PopupVideoStopClick);
    connect(PopupVideoRePlay, &QAction::triggered, this, &TVideoCameraDS::PopupVideoRePlayClick);
    connect(PopupVideoExit, &QAction::triggered, this, &TVideoCameraDS::PopupVideoExitClick);

    m_positionBar = new QSlider(Qt::Horizontal, this);
    m_positionBar->setObjectName(QStringLiteral("PlayerPosition_TrackBar"));
    m_positionBar->setTickPosition(QSlider::TicksBelow);
    m_positionBar->setFocusPolicy(Qt::NoFocus);
    m_positionBar->setStyleSheet(QStringLiteral("QSlider::handle:horizontal { width: 8px; }"));
    m_positionBar->hide();
    connect(m_positionBar, &QSlider::valueChanged, this, [this](int ms) {
        if (!m_settingPosition && m_playerOpen)
            m_player->seek(qint64(ms) * 1'000'000);
    });
    m_positionTimer = new QTimer(this);
    m_positionTimer->setInterval(kPositionFollowMs);
    connect(m_positionTimer, &QTimer::timeout, this, &TVideoCameraDS::followPosition);
    m_video->installEventFilter(this);
}

void TVideoCameraDS::followPosition()
{
    if (!m_playerOpen || m_positionBar->isSliderDown())
        return;
    const qint64 p = m_player->position();
    if (p < 0)
        return;
    m_settingPosition = true;
    m_positionBar->setValue(int(p / 1'000'000));
    m_settingPosition = false;
}

void TVideoCameraDS::setPopupStates(bool play, bool pause, bool stop)
{
    PopupVideoPlay->setEnabled(play);
    PopupVideoPause->setEnabled(pause);
    PopupVideoStop->setEnabled(stop);
}

bool TVideoCameraDS::PlayerCanPlay() const
{
    return m_playerOpen && PopupVideoPlay->isEnabled();
}

bool TVideoCameraDS::PlayerCanPause() const
{
    return m_playerOpen && PopupVideoPause->isEnabled();
}

bool TVideoCameraDS::PlayerCanStop() const
{
    return m_playerOpen && PopupVideoStop->isEnabled();
}

QImage TVideoCameraDS::flipped(const QImage& picture) const
{
    switch (m_flipMode) {
    case 0:
        return picture.mirrored(true, false);
    case 1:
        return picture.mirrored(true, true);
    case 2:
        return picture.mirrored(false, true);
    default:
        return picture;
    }
}

void TVideoCameraDS::showFrozen(const QImage& picture)
{
    if (!picture.isNull())
        FrozenImage->setPicture(picture);
    FrozenImage->show();
    FrozenImage->raise();
    FrozenImage->repaint();
}

bool TVideoCameraDS::OpenPlayer(const QString& path)
{
    if (m_playerOpen)
        return false;
    // The player takes the live view: a camera still connected goes first.
    if (Connected)
        DeviceDisConnect();
    else
        StopPreview();
    LiveSource = false;
    MeasureLayer->hide();
    WindowlessMode = true;
    m_playerFile = path;
    m_video->setStreamFailed(false);
    m_video->setStreamExpected(false);
    QString error;
    if (!m_player->open(path, &error)) {
        // Nothing changes but the camera, which stays disconnected.
        LiveSource = true;
        MeasureLayer->show();
        m_playerFile.clear();
        m_video->clearFrame();
        return false;
    }
    setPopupStates(false, true, true);
    m_settingPosition = true;
    m_positionBar->setRange(0, int(std::max<qint64>(0, m_player->duration()) / 1'000'000));
    m_positionBar->setValue(0);
    m_settingPosition = false;
    m_positionBar->show();
    layoutChildren();
    m_repeat = false;
    PopupVideoRePlay->setChecked(false);
    m_player->setRepeat(false);
    m_playerEnd = false;
    RecordingOrPlaying = true;
    m_playerOpen = true;
    m_player->play();
    m_positionTimer->start();
    graphMode = GraphMode::Player;
    Q_EMIT playerStateChanged();
    return true;
}

bool TVideoCameraDS::ClosePlayer()
{
    if (!m_playerOpen)
        return false;
    VideoStop();
    MeasureLayer->show();
    FrozenImage->hide();
    m_positionTimer->stop();
    FrozenImage->clearPicture();
    m_player->close();
    m_repeat = false;
    PopupVideoRePlay->setChecked(false);
    m_positionBar->hide();
    layoutChildren();
    m_playerOpen = false;
    m_playerEnd = false;
    m_playerFile.clear();
    LiveSource = true;
    RecordingOrPlaying = false;
    graphMode = GraphMode::Preview;
    m_video->clearFrame();
    return Connected;
}

void TVideoCameraDS::VideoPlay()
{
    if (!m_playerOpen)
        return;
    m_player->play();
    FrozenImage->hide();
    m_playerEnd = false;
    setPopupStates(false, true, true);
    Q_EMIT playerStateChanged();
}

void TVideoCameraDS::VideoPause()
{
    if (!m_playerOpen)
        return;
    m_player->pause();
    QImage picture;
    GetStreamImage(picture);
    showFrozen(picture);
    setPopupStates(true, false, true);
    Q_EMIT playerStateChanged();
}

bool TVideoCameraDS::VideoStop()
{
    if (!m_playerOpen)
        return false;
    m_player->stop();
    setPopupStates(true, false, false);
    followPosition();
    // Frame 8 as the video shows it, in the current flip mode.
    showFrozen(flipped(m_player->stopPicture()));
    Q_EMIT playerStopped();
    Q_EMIT playerStateChanged();
    return true;
}

void TVideoCameraDS::ReVideoPlay()
{
    m_repeat = !m_repeat;
    PopupVideoRePlay->setChecked(m_repeat);
    m_player->setRepeat(m_repeat);
}

void TVideoCameraDS::FilterGraphGraphComplete()
{
    // Reached only without repeat: the player starts again by itself with it.
    m_playerEnd = true;
    VideoStop();
    Q_EMIT playerEnded();
}

void TVideoCameraDS::PopupVideoPlayClick()
{
    if (PopupVideoPlay->isEnabled())
        VideoPlay();
}

void TVideoCameraDS::PopupVideoPauseClick()
{
    if (PopupVideoPause->isEnabled())
        VideoPause();
}

void TVideoCameraDS::PopupVideoStopClick()
{
    if (PopupVideoStop->isEnabled())
        VideoStop();
}

void TVideoCameraDS::PopupVideoRePlayClick()
{
    ReVideoPlay();
    Q_EMIT playerStateChanged();
}

void TVideoCameraDS::PopupVideoExitClick()
{
    Q_EMIT playerExitRequested();
    FrozenImage->clearPicture();
}

} // namespace orvix
