#include "camera/VideoCameraDS.h"

#include "camera/AviRecorder.h"
#include "camera/CameraControls.h"
#include "camera/CaptureGraph.h"
#include "camera/CompressorCatalog.h"
#include "camera/DeviceList.h"
#include "camera/DevicePool.h"
#include "camera/MediaPlayer.h"
#include "camera/PainterVideoWindow.h"
#include "camera/PictureLayer.h"
#include "camera/VideoFormatDlg.h"
#include "camera/VideoSourceDlg.h"
#include "library/ImageIO.h"
#include "text/ControlRole.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace orvix {

namespace {
bool s_overlayPathAvailable = true;
constexpr int kPositionBarHeight = 12;
constexpr int kPositionFollowMs = 200;
} // namespace

TVideoCameraDS::TVideoCameraDS(DevicePool& pool, QWidget* owner)
    : QWidget(owner), m_pool(pool), m_devices(std::make_unique<DeviceList>()),
      m_graph(std::make_unique<CaptureGraph>())
{
    m_video = new PainterVideoWindow(this);
    WindowlessMode = false;
    m_graph->setFrameSink(m_video);
    connect(m_graph.get(), &CaptureGraph::streamError, this, [this](const QString& reason) {
        // A recording of a camera that is gone is finished at once, so its file is complete
        // whatever the window does next.
        if (IsRecording())
            m_earlyStop = finishRecording() ? 1 : 0;
        m_video->setStreamFailed(true);
        Q_EMIT streamFailed(reason);
    });
    m_recorder = std::make_unique<AviRecorder>();
    connect(m_recorder.get(), &AviRecorder::failed, this, [this](const QString& reason) {
        resetRecordingFlags();
        Q_EMIT recordingFailed(reason);
    });

    resize(400, 300);
    RecordedSize = size();
    m_video->setGeometry(rect());
    m_devices->setIdentifierPair(QStringLiteral("vid_eb1a"), QStringLiteral("pid_5060"));
    m_devices->setSelected(0);

    FrozenImage = new PictureLayer(m_video);
    FrozenImage->setObjectName(QStringLiteral("FrozenImage"));
    FrozenImage->hide();
    RulerLayer = new PictureLayer(this);
    RulerLayer->setObjectName(QStringLiteral("RulerLayer"));
    MeasureLayer = new PictureLayer(this);
    MeasureLayer->setObjectName(QStringLiteral("MeasureLayer"));

    m_flipMode = 3;
    m_video->setFlipMode(m_flipMode);
    createPlayerControls();
}

TVideoCameraDS::~TVideoCameraDS()
{
    // The window goes with the child widgets, after this body: stop feeding it first.
    watchStillButton(false);
    finishRecording(false);
    m_player->setFrameSink(nullptr);
    m_player->close();
    m_graph->setFrameSink(nullptr);
    m_graph->stop();
}

void TVideoCameraDS::SetHandle(QWidget* mainWindow)
{
    m_host = mainWindow;
}

// --- device list -------------------------------------------------------------------

bool TVideoCameraDS::SearchDevice()
{
    return m_devices->fill(m_pool.enumerate());
}

void TVideoCameraDS::GetDeviceIndexName(QStringList& names, QVector<int>& indices) const
{
    m_devices->names(names, indices);
}

void TVideoCameraDS::SetDeviceIndex(int index)
{
    m_devices->setSelected(index);
}
int TVideoCameraDS::GetIndexDevice() const
{
    return m_devices->selected();
}
bool TVideoCameraDS::GetHasDevice() const
{
    return m_devices->hasDevice();
}
int TVideoCameraDS::GetDeviceCount() const
{
    return m_devices->count();
}
const DeviceList& TVideoCameraDS::deviceList() const
{
    return *m_devices;
}

// --- connection ------------------------------------------------------------------

bool TVideoCameraDS::DeviceConnect()
{
    Connected = false;
    if (!StopPreview() || !BuildPreviewGraph() || !StartPreview()) {
        // Nothing half-built stays behind: the device is free again.
        StopPreview();
        return false;
    }
    Connected = true;
    return true;
}

void TVideoCameraDS::DeviceDisConnect()
{
    if (Connected) {
        StopPreview();
        Connected = false;
    } else if (m_graph->isBuilt()) {
        StopPreview();
    }
    m_video->setStreamExpected(false);
    m_video->clearFrame();
}

void TVideoCameraDS::watchStillButton(bool on)
{
    if (!m_source)
        return;
    if (!on) {
        m_source->setStillButtonHandler(m_device, {});
        return;
    }
    QPointer<TVideoCameraDS> self(this);
    m_source->setStillButtonHandler(m_device, [self] {
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self)
                    Q_EMIT self->stillButtonPressed();
            },
            Qt::QueuedConnection);
    });
}

bool TVideoCameraDS::StopPreview()
{
    finishRecording(); // before its pipeline goes, so the file gets its end
    watchStillButton(false);
    m_graph->stop();
    m_video->setStreamExpected(false);
    m_video->update();
    return true;
}

bool TVideoCameraDS::resolveDevice()
{
    const VideoDeviceInfo d = m_devices->device(m_devices->selected());
    m_source = d.devicePath.isEmpty() ? nullptr : m_pool.sourceFor(d);
    if (!m_source)
        return false;
    if (d.node != m_device.node || d.devicePath != m_device.devicePath)
        m_format = VideoFormat(); // a new camera starts from the default format
    m_device = d;
    return true;
}

bool TVideoCameraDS::BuildPreviewGraph()
{
    WindowlessMode = true;
    if (!resolveDevice())
        return false;
    GetResolution();
    PrevLiveWidth = VideoWidth;
    PrevLiveHeight = VideoHeight;
    return true;
}

void TVideoCameraDS::setSizes(int width, int height)
{
    VideoWidth = LiveWidth = ByResolutionWidth = width;
    VideoHeight = LiveHeight = ByResolutionHeight = height;
}

bool TVideoCameraDS::GetResolution()
{
    if (!m_source)
        return false;
    const QSize live = m_graph->state() == 3 ? m_graph->liveSize() : QSize();
    if (live.isValid())
        setSizes(live.width(), live.height());
    else
        setSizes(m_format.width, m_format.height);
    return true;
}

bool TVideoCameraDS::InitCapFilters()
{
    if (!m_source)
        return false;
    VideoFormat f = m_format; // rate and pixel format stay as they are
    f.width = 640;
    f.height = 480;
    if (!m_source->acceptsFormat(m_device, f))
        return false;
    m_format = f;
    setSizes(f.width, f.height);
    PrevLiveWidth = f.width;
    PrevLiveHeight = f.height;
    return true;
}

bool TVideoCameraDS::SetCaptureFormat(const VideoFormat& format)
{
    if (!m_source || !m_source->acceptsFormat(m_device, format))
        return false;
    m_format = format;
    return true;
}

std::vector<VideoFormat> TVideoCameraDS::deviceFormats() const
{
    return m_source ? m_source->formats(m_device) : std::vector<VideoFormat>();
}

bool TVideoCameraDS::startGraphInternal()
{
    if (!m_source)
        return false;
    QString error;
    GstElement* source = m_source->createSourceElement(m_device, m_format, &error);
    if (!source || !m_graph->build(source, &error))
        return false;
    if (!CheckFilterGraphIsPlay())
        return false;
    LiveSource = true;
    RecordingOrPlaying = false;
    m_video->setStreamFailed(false);
    m_video->setStreamExpected(true);
    SetFlipMode(m_flipMode);
    watchStillButton(true);
    graphMode = GraphMode::Preview;
    Q_EMIT previewStarted();
    return true;
}

bool TVideoCameraDS::StartPreview()
{
    if (!InitCapFilters())
        return false;
    return startGraphInternal();
}

bool TVideoCameraDS::StopGraph()
{
    finishRecording();
    watchStillButton(false);
    m_graph->stop();
    m_video->setStreamExpected(false);
    m_video->update();
    if (CompressorInGraph)
        CompressorInGraph = false;
    WindowlessMode = true;
    return true;
}

bool TVideoCameraDS::BuilderGraph()
{
    if (!m_source)
        return false;
    GetResolution();
    if (VideoWidth != PrevLiveWidth) {
        Q_EMIT measurementDataCleared();
        PrevLiveWidth = VideoWidth;
        PrevLiveHeight = VideoHeight;
        FormatChanged = true;
        RulerRedrawDue = true;
    }
    return true;
}

bool TVideoCameraDS::StartGraph()
{
    return startGraphInternal();
}

bool TVideoCameraDS::CheckFilterGraphIsPlay()
{
    if (m_graph->play())
        return true;
    Q_EMIT messageRequested(QStringLiteral("CannotStartVideo_MsgBox"),
                            QStringLiteral("AttentionTitle_MsgBox"), 1);
    return false;
}

// --- display ---------------------------------------------------------------------

bool TVideoCameraDS::SetFlipMode(int mode)
{
    if (mode < 0 || mode >= 4)
        return false;
    m_flipMode = mode;
    m_video->setFlipMode(mode);
    return true;
}

bool TVideoCameraDS::CheckVMR_Functuon()
{
    return s_overlayPathAvailable;
}

void TVideoCameraDS::setOverlayPathAvailable(bool available)
{
    s_overlayPathAvailable = available;
}

bool TVideoCameraDS::VMR9RepaintVideoAtWindowless()
{
    if (!WindowlessMode)
        return true;
    if (m_video->repaintVideo())
        return true;
    if (graphMode != GraphMode::Preview)
        return false;
    return StopGraph() && BuilderGraph() && StartGraph();
}

bool TVideoCameraDS::FilterGraph_Pause(bool fromFile, const QString& fileName)
{
    ClearOverlayBitmap();
    // The pause waits for its state change; no fixed delays are needed around it.
    m_graph->pause();

    QImage picture;
    if (!fromFile) {
        picture = m_video->currentImage();
    } else if (QFileInfo::exists(fileName)) {
        // Only the two picture kinds the program writes, by their extension.
        const QString ext = QFileInfo(fileName).suffix().toUpper();
        if (ext == QLatin1String("BMP") || ext == QLatin1String("JPG"))
            picture = loadPicture(fileName).image;
    }
    // Nothing to show (no frame, missing, damaged or other file): stay live.
    if (picture.isNull()) {
        m_graph->play();
        return false;
    }
    FrozenImage->setPicture(picture);
    VideoWidth = picture.width();
    VideoHeight = picture.height();

    FrozenImage->show();
    MeasureLayer->show();
    m_video->update();
    m_video->repaint();
    if (!CalibrationWindowActive)
        RulerLayer->show();
    RulerLayer->reparent(m_video);
    MeasureLayer->reparent(m_video);
    Q_EMIT measurementDataCleared();
    FrozenImage->raise();
    RulerLayer->raise();
    MeasureLayer->raise();
    FrozenImage->repaint();
    return true;
}

bool TVideoCameraDS::FilterGraph_Play()
{
    FrozenImage->hide();
    MeasureLayer->hide();
    RulerLayer->reparent(this);
    MeasureLayer->reparent(this);
    RulerLayer->raise();
    MeasureLayer->raise();
    VideoWidth = LiveWidth;
    VideoHeight = LiveHeight;
    bool ok = true;
    if (GetFilterGraphState() != 3)
        ok = m_graph->play();
    Q_EMIT measurementDataCleared();
    return ok;
}

int TVideoCameraDS::GetFilterGraphState() const
{
    return m_graph->state();
}

void TVideoCameraDS::ResizeVideoWindow(int width, int height)
{
    RecordedSize = size();
    const QScreen* s = screen();
    const QSize screenSize = s ? s->size() : QSize(width, height);
    QWidget* parent = parentWidget();
    if ((width > screenSize.width() || height > screenSize.height()) && parent) {
        if (!m_alignToParent)
            parent->installEventFilter(this);
        m_alignToParent = true;
        setGeometry(parent->rect());
    } else {
        if (m_alignToParent && parent)
            parent->removeEventFilter(this);
        m_alignToParent = false;
        resize(width, height);
    }
}

bool TVideoCameraDS::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_video && event->type() == QEvent::ContextMenu && m_playerOpen) {
        m_playerMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (m_alignToParent && watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void TVideoCameraDS::resizeEvent(QResizeEvent* event)
{
    layoutChildren();
    QWidget::resizeEvent(event);
}

void TVideoCameraDS::layoutChildren()
{
    // The position bar sits at the bottom; the video fills the rest.
    const int bar = m_positionBar && !m_positionBar->isHidden() ? kPositionBarHeight : 0;
    m_video->setGeometry(0, 0, width(), std::max(0, height() - bar));
    if (bar)
        m_positionBar->setGeometry(0, height() - bar, width(), bar);
}

void TVideoCameraDS::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_playerOpen) {
        m_playerMenu->popup(event->globalPos());
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}

// --- overlay -----------------------------------------------------------------------

void TVideoCameraDS::SetOverlayBitmap(const QImage& picture, QRgb colorKey, float alpha,
                                      const QRectF& dest)
{
    m_video->setOverlay(picture, colorKey, alpha, dest);
}

void TVideoCameraDS::ClearOverlayBitmap()
{
    m_video->clearOverlay();
}

// --- frames ------------------------------------------------------------------------

bool TVideoCameraDS::GrabLastFrame(QImage& out) const
{
    const VideoFrame frame = m_graph->lastFrame();
    if (frame.isNull())
        return false;
    QImage img = frame.image().convertToFormat(QImage::Format_RGB888).copy();
    switch (m_flipMode) {
    case 0:
        img = img.mirrored(true, false);
        break;
    case 1:
        img = img.mirrored(true, false).mirrored(false, true);
        break;
    case 2:
        img = img.mirrored(false, true);
        break;
    default:
        break;
    }
    out = img;
    return true;
}

bool TVideoCameraDS::GetStreamImage(QImage& out) const
{
    const QImage img = m_video->currentImage();
    if (!img.isNull())
        out = img;
    return true;
}

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

// --- release -----------------------------------------------------------------------

void TVideoCameraDS::ReleaseFilters()
{
    // The pipeline holds its own references; nothing is kept outside it between starts.
}

void TVideoCameraDS::FreeCapFilters()
{
    watchStillButton(false);
    m_source = nullptr;
}

void TVideoCameraDS::DeleteTSysDevEnum()
{
    finishRecording(false);
    FreeCapFilters();
    m_graph->stop();
    m_video->setStreamExpected(false);
    m_video->clearFrame();
    FrozenImage->clearPicture();
}

} // namespace orvix
