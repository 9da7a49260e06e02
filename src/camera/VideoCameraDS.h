#pragma once
// The camera engine panel: the live view of the main window. It owns the one media pipeline
// (preview, later recording and player), the device list, the video window that draws the
// frames, and the three picture layers laid over the video.

#include "camera/CameraTypes.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QSlider;
class QTimer;

namespace orvix {

class AviRecorder;
class MediaPlayer;
struct CompressorInfo;

class DevicePool;
class DeviceList;
class CaptureGraph;
class VideoWindow;
class PictureLayer;
class IVideoDeviceSource;

class TVideoCameraDS : public QWidget {
    Q_OBJECT
public:
    // The pool lists the cameras (real ones and, when offered, the demo camera).
    TVideoCameraDS(DevicePool& pool, QWidget* owner);
    ~TVideoCameraDS() override;

    // Host window: owner of the engine's dialogs and the window the repaint talks to.
    void SetHandle(QWidget* mainWindow);

    // --- device list ---------------------------------------------------------------
    // Lists the video devices and marks the supported ones (vid_eb1a / pid_5060); the last
    // supported one becomes the selected device. True when at least one was found.
    bool SearchDevice();
    // 32 friendly names and 32 supported indices (-1 for unsupported entries).
    void GetDeviceIndexName(QStringList& names, QVector<int>& indices) const;
    void SetDeviceIndex(int index);
    int GetIndexDevice() const;
    bool GetHasDevice() const;
    int GetDeviceCount() const;
    const DeviceList& deviceList() const;

    // --- connection and live preview ----------------------------------------------
    bool DeviceConnect();
    void DeviceDisConnect();
    bool StopPreview();
    bool BuildPreviewGraph();
    bool StartPreview();
    // Restart sequence: keeps the format chosen since the last connect.
    bool StopGraph();
    bool BuilderGraph();
    bool StartGraph();
    bool InitCapFilters(); // sets 640 x 480 on the capture stream
    bool GetResolution();
    // The capture format of the selected camera. SetCaptureFormat is the format page's
    // write: refused when the device does not take it; used by the next restart and kept
    // until the next connect.
    VideoFormat captureFormat() const { return m_format; }
    bool SetCaptureFormat(const VideoFormat& format);
    std::vector<VideoFormat> deviceFormats() const;
    // The device opened by the last connect (empty before).
    VideoDeviceInfo connectedDevice() const { return m_device; }
    // Runs the pipeline; shows "CannotStartVideo_MsgBox" through the message hook on failure.
    bool CheckFilterGraphIsPlay();

    // Flip modes: 0 mirrored, 1 mirrored and upside down, 2 upside down, 3 as delivered.
    bool SetFlipMode(int mode);
    int GetFlipMode() const { return m_flipMode; }

    // Whether the overlay path (picture mixed over the video) works. True in normal use;
    // setOverlayPathAvailable(false) makes it report false so that behaviour can be tested.
    static bool CheckVMR_Functuon();
    static void setOverlayPathAvailable(bool available);

    // Repaint of the video after activation; restarts the preview once when the stream has
    // failed. False when the video cannot be shown any more.
    bool VMR9RepaintVideoAtWindowless();
    bool GetCanSnapShot() const { return WindowlessMode; }

    // Freeze and resume for measurement. With fromFile, the BMP or JPG file is shown instead
    // of the frozen frame.
    bool FilterGraph_Pause(bool fromFile, const QString& fileName);
    bool FilterGraph_Play();
    // 0 uninitialised, 1 stopped, 2 paused, 3 running.
    int GetFilterGraphState() const;

    void ResizeVideoWindow(int width, int height);

    // --- overlay hook -----------------------------------------------------------------
    // The picture is stretched over dest (normalised 0..1 rectangle of the video), pixels of
    // colorKey are transparent, the rest is drawn with the given alpha (0..1).
    void SetOverlayBitmap(const QImage& picture, QRgb colorKey, float alpha,
                          const QRectF& dest = QRectF(0, 0, 1, 1));
    void ClearOverlayBitmap();

    // --- frames ---------------------------------------------------------------------
    // Copy of the last frame of the capture stream (24-bit RGB, flip mode applied in
    // software). False when there is none.
    bool GrabLastFrame(QImage& out) const;
    // The rendered picture: frame at its own size with flip and overlay. Always true; out is
    // left unchanged when the renderer has no picture.
    bool GetStreamImage(QImage& out) const;

    // --- recording --------------------------------------------------------------------
    // Records the live video into path (AVI) while the preview runs on; only when
    // connected. The compressor chosen with SetCompressorIndex is used, none records raw.
    bool VideoCaptureAvi(const QString& path);
    // Ends the recording: the file is finalised (it gets its index). True when it was.
    bool VideoCaptureAviStop();
    // The recording steps: prepare (decide the compressor), check the graph, attach the
    // recording to it, and undo a recording that could not start.
    bool StopCapture();
    bool BuildCaptureGraph();
    bool StartCapture();
    void FailCapture();
    bool IsRecording() const;
    // The file being recorded (empty when none).
    QString RecordingFileName() const;

    // --- compressor -------------------------------------------------------------------
    // 0 = no compressor; n > 0 = the compressor at position n - 1 of a fresh enumeration.
    void SetCompressorIndex(int index) { m_compressorIndex = index; }
    int GetCompressorIndex() const { return m_compressorIndex; }
    // Decides the compressor of the next recording; true when one is used.
    bool FindCompressFilters();

    // --- camera property dialogs ----------------------------------------------------------
    // The format dialog: the preview stops, the chosen format applies to the restart (the
    // restart happens after Cancel too). Only when connected.
    bool VideoFormatDlg();
    // The camera's controls, applied live; the preview runs on. Only when connected and
    // the camera has controls that can be reached.
    bool VideoSourceDlg();

    // --- player -----------------------------------------------------------------------
    // Plays an AVI file in the live view; a connected camera is disconnected first. False
    // when the file cannot be played (the camera stays disconnected).
    bool OpenPlayer(const QString& path);
    // Leaves the player; returns Connected (the camera is not reconnected).
    bool ClosePlayer();
    void VideoPlay();
    void VideoPause();
    // Back to the start; FrozenImage shows frame 8. False when no video is open.
    bool VideoStop();
    // Toggles repeat (the pop-up item's check mark follows).
    void ReVideoPlay();
    bool GetPlayerEndState() const { return m_playerEnd; }
    bool GetPlayerOpen() const { return m_playerOpen; }
    bool GetRepeat() const { return m_repeat; }
    QString PlayerFileName() const { return m_playerFile; }
    // The enabled states of Play, Pause and Stop (pop-up items; the tool bar follows them).
    bool PlayerCanPlay() const;
    bool PlayerCanPause() const;
    bool PlayerCanStop() const;
    // The end of the file (repeat or stop).
    void FilterGraphGraphComplete();
    void PopupVideoPlayClick();
    void PopupVideoPauseClick();
    void PopupVideoStopClick();
    void PopupVideoRePlayClick();
    void PopupVideoExitClick();
    QMenu* playerPopupMenu() const { return m_playerMenu; }
    QSlider* positionBar() const { return m_positionBar; }
    MediaPlayer* player() const { return m_player.get(); }

    // --- release --------------------------------------------------------------------
    void ReleaseFilters();
    void FreeCapFilters();
    void DeleteTSysDevEnum();

    VideoWindow* videoWindow() const { return m_video; }
    CaptureGraph* graph() const { return m_graph.get(); }

    // Graph state.
    bool Connected = false;
    bool WindowlessMode = false;
    bool LiveSource = true;
    bool RecordingOrPlaying = false;
    bool CompressorInGraph = false;
    GraphMode graphMode = GraphMode::Preview;

    // Frame sizes shared with measurement.
    int VideoWidth = 0;
    int VideoHeight = 0;
    int LiveWidth = 0;
    int LiveHeight = 0;
    int PrevLiveWidth = 0;
    int PrevLiveHeight = 0;
    int ByResolutionWidth = 0;
    int ByResolutionHeight = 0;
    bool FormatChanged = false;
    bool RulerRedrawDue = false;
    // Engine size recorded for measurement at construction and before each resize.
    QSize RecordedSize;
    // While the calibration window is active a freeze does not show RulerLayer.
    bool CalibrationWindowActive = false;

    // Picture layers: FrozenImage is a child of the video window, the other two of the panel.
    PictureLayer* FrozenImage = nullptr;
    PictureLayer* MeasureLayer = nullptr;
    PictureLayer* RulerLayer = nullptr;

Q_SIGNALS:
    // The pipeline reported an error while running (for example the camera was pulled out).
    void streamFailed(const QString& reason);
    // A preview (re)start succeeded; measurement redraws its layers on it, and when
    // RulerRedrawDue is set redraws the rulers for the new size and clears the flag.
    void previewStarted();
    // Measurement data must be cleared (new format, freeze, resume).
    void measurementDataCleared();
    // The camera's own snapshot button was pressed while the preview ran (GUI thread).
    void stillButtonPressed();
    // The engine wants a message shown (message key, title key, icon code).
    void messageRequested(const QString& messageKey, const QString& titleKey, int icon);
    // The recording ended on its own (write error such as a full disk, compressor error).
    // It is already stopped, what was written is kept playable, the preview runs on.
    void recordingFailed(const QString& reason);
    // The engine ended the recording itself (camera lost, preview stopped or restarted);
    // the file is finalised as far as possible. VideoCaptureAviStop is not needed then.
    void recordingEnded(const QString& fileName);
    // The player reached the end of the file without repeat; it has been stopped (frame 8).
    void playerEnded();
    // Play, pause or stop changed state (also from the pop-up menu): the tool bar follows
    // PlayerCanPlay / PlayerCanPause / PlayerCanStop.
    void playerStateChanged();
    // The player was stopped: MediaRewind_Btn is released (repeat itself stays on).
    void playerStopped();
    // Decoding failed while playing; the player is stopped.
    void playbackFailed(const QString& reason);
    // The pop-up menu's "Exit": the main window leaves the player.
    void playerExitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createPlayerControls();
    void setPopupStates(bool play, bool pause, bool stop);
    void layoutChildren();
    void followPosition();
    void showFrozen(const QImage& picture);
    QImage flipped(const QImage& picture) const;
    // Finalises a running recording (before the graph goes away); its result. Ended by
    // the engine itself, it tells the window with recordingEnded().
    bool finishRecording(bool byEngine = true);
    void resetRecordingFlags();

    bool resolveDevice();
    void watchStillButton(bool on);
    bool startGraphInternal();
    void setSizes(int width, int height);

    DevicePool& m_pool;
    std::unique_ptr<DeviceList> m_devices;
    std::unique_ptr<CaptureGraph> m_graph;
    VideoWindow* m_video = nullptr;
    QWidget* m_host = nullptr;
    int m_flipMode = 3;
    VideoDeviceInfo m_device;
    IVideoDeviceSource* m_source = nullptr;
    VideoFormat m_format;
    bool m_alignToParent = false;

    // Recording.
    std::unique_ptr<AviRecorder> m_recorder;
    int m_compressorIndex = 0;
    std::unique_ptr<CompressorInfo> m_compressor; // in use by the prepared recording
    bool m_capturePrepared = false;
    QString m_capturePath;
    // A recording the engine had to end itself (camera lost): -1 none, else whether the
    // file was finalised; VideoCaptureAviStop reports it.
    int m_earlyStop = -1;

    // Player.
    std::unique_ptr<MediaPlayer> m_player;
    QMenu* m_playerMenu = nullptr;
    QAction* PopupVideoPlay = nullptr;
    QAction* PopupVideoPause = nullptr;
    QAction* PopupVideoStop = nullptr;
    QAction* PopupVideoRePlay = nullptr;
    QAction* PopupVideoDash1 = nullptr;
    QAction* PopupVideoExit = nullptr;
    QSlider* m_positionBar = nullptr;
    QTimer* m_positionTimer = nullptr;
    QString m_playerFile;
    bool m_playerOpen = false;
    bool m_repeat = false;
    bool m_playerEnd = false;
    bool m_settingPosition = false;
};

} // namespace orvix
