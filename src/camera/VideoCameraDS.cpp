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
