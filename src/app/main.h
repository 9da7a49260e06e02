#pragma once
// The main window: composes the camera engine, the settings, the interface text, the media
// strip and the dialogs, and runs the start-up, connection and shutdown sequences.

#include "app/Globalvar.h"
#include "app/MainFormUi.h"
#include "app/UserSettings.h"
#include "editor/UndoRing.h"
#include "library/MediaList.h"
#include "library/ThumbnailPage.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QKeyEvent;
class QFileDialog;
class QPrinter;
class QTimer;

namespace orvix {

class DevicePool;
class TVideoCameraDS;
class TMessageBoxDlg;
class TAboutOrvixDlg;
class TSelectImageDirectorDlg;
class TCompressorFilterDlg;

struct MainFormOptions {
    QString programDir;      // Bitmap/, Lang/, Sys/
    QString profileFolder;   // empty: USERPROFILE, else HOME
    bool overlayPath = true; // false: behave as a system without the overlay renderer
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(DevicePool& pool, const MainFormOptions& options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- lifecycle ------------------------------------------------------------------
    void FormCreate();
    void Exit_BtnClick();
    void ExitClick() { Exit_BtnClick(); }
    void WhetherSaveImageMessage();
    // Asks to save the still when it has unsaved changes; saves on OK.
    void offerToSaveStill();

    // --- camera ---------------------------------------------------------------------
    bool ReSerachDevice();
    void NewMenuItem();
    void SubDevicesClick(QAction* item);
    void Connect_BtnClick();
    void disconnectCamera();
    void onDeviceArrival();
    void onDeviceNodesChanged();
    void onDeviceRemovalComplete();
    void repaintCheck();

    // --- settings and folders -------------------------------------------------------
    void BmpDirClick();
    void JpgDirClick();
    void AviDirClick();
    void RestoreDefaultPathClick();
    void ListPath_BtnClick(ListKind kind);
    void AutoSaveClick();

    // --- language -------------------------------------------------------------------
    // Applies a language; false (and nothing changed) when its file cannot be used.
    bool UpdateInterface(const QString& language);
    bool CheckLanguageExist(const QString& name) const;
    QString GetLocaleLanguage() const;
    QString GetLocaleInformation(int type) const;
    void SetCheckedLang(const QString& name);
    void LanguageClick(const QString& name);
    void BtnLanguage_HintSet();
    void LabLanguage_CaptionSet();
    void AboutClick();

    // --- stills -------------------------------------------------------------------
    void CaptureImage_BtnClick();
    void CaptureToStill();
    void CaptureImageCom();
    // Snapshot of the engine into picture: raw frame or rendered picture.
    bool VideoSnapShot(QImage& picture);
    // The one save operation for stills; measurement selects the measurement-picture name.
    bool Save_ImageFile(const QImage& picture, bool measurement = false);
    void SaveFileClick();
    void SaveImage_BtnClick();
    void setJpegQuality(int quality);
    int jpegQuality() const { return m_jpegQuality; }
    // The camera's own snapshot button: the next frame becomes a still-pin frame that the
    // 500 ms timer completes.
    void stillButtonPressed();
    // Puts a picture into the still view (empty picture: the view is emptied).
    void setStill(const QImage& picture, const QString& hint);
    QImage still() const { return m_still; }
    bool hasStill() const { return !m_still.isNull(); }
    int UnsavedLevel() const { return undoRing.unsavedLevel(); }

    // --- media library -------------------------------------------------------------
    void FileList(int kind);
    void showPage(int kind);
    void PageControl1Change(int index);
    void ListPage(int kind, int step);
    void ListImage_TimerTimer();
    void slotDoubleClick(int kind, int slot);
    void slotContextPopup(int kind, int slot);
    void OpenFile1Click();
    void DeleteFile1Click();
    void DeleteImage();
    void OpenFileClick();
    bool OpenBmpFileCom(const QString& path);
    bool OpenJpgFileCom(const QString& path);
    void Initial_And_Reset_ImageList();
    void PrintSetClick();
    void PrintImageClick();
    // Prints the still on one page at the printer's resolution (96 dpi pictures).
    bool printStill(QPrinter& printer);
    MediaList& mediaList(int kind) { return m_lists[size_t(kind)]; }
    QFileDialog* savePictureDialog();
    QFileDialog* openPictureDialog();
    QFileDialog* openVideoDialog();
    QTimer* listImageTimer() const { return m_listTimer; }

    // --- recording and player -------------------------------------------------------
    void RecordVideo_BtnClick();
    void startRecording();
    void stopRecording();
    void recordingFailed(const QString& reason);
    void recordingEnded();
    void PlayVideo_BtnClick();
    void PlayerVideoCom(const QString& path);
    void ExitMediaPlayer();
    void MediaPlay_BtnClick();
    void MediaPause_BtnClick();
    void MediaStop_BtnClick();
    void MediaRewind_BtnClick();
    void syncMediaButtons();
    void VideoFormatClick();
    void VideoSourceClick();
    void VideoCompressClick();
    QFileDialog* recordDialog();

    // --- work modes -----------------------------------------------------------------
    void ChangeModeTB_CompareClick();
    void ChangeModeTB_CrossClick();
    void ChangeModeTB_VideoCtrlClick();
    void ChangeModeTB_DrawClick();
    void ChangeModeTB_DeviceCtrlClick();
    void ChangeModeTB_ChangeReset();
    void EditorImage_BtnClick();
    void EntryImageEdit();
    void ExitImageEdit();
    void ImageProcess_BtnClick();
    void EntryImageProcess();
    void ExitImageProcess();
    // Handles a key of the main window; true when it was consumed.
    bool FormKeyDown(QKeyEvent* e);
    bool FormKeyUp(QKeyEvent* e);

    // --- idle pass ------------------------------------------------------------------
    void UpdateActions();

    // Shows a message of the language file in the program's message box.
    int showMessage(const QString& messageKey, const QString& titleKey, int buttons, int icon);

    MainFormUi ui;
    AppFlags flags;
    UserSettings settings;
    QString CurrentLanguage;
    TVideoCameraDS* engine() const { return m_engine; }
    TMessageBoxDlg* messageBoxDlg() const { return m_msgBox; }
    TAboutOrvixDlg* aboutDlg() const { return m_about; }
    TSelectImageDirectorDlg* directorDlg() const { return m_dirDlg; }
    QString programDir() const { return m_options.programDir; }

    // Main-window flags of start-up and repaint.
    bool AppActive = true;
    bool VideoRepainted = true;
    bool VmrAvailable = true;
    bool VmrWarningShown = false;
    bool ArrivalSeen = false;
    bool WindowActivated = false;
    UndoRing undoRing;
    // Mode flags.
    bool EditorActive = false;
    bool ProcessingActive = false;
    bool ReferenceAssigned = false;
    bool OverlayModeActive = true;
    bool DevCtrlAvailable = false;
    bool KeyLatched = false;
    bool MeasureDataCleared = false;
    bool FrameFrozen = false;
    bool PlayerEnded = false;
    bool CaptureContext = false;
    bool StillFrameArrived = false;
    bool ProcessingPending = false;
    bool EnlargedView = false;
    // Snapshots come from the rendered picture (reference comparison) instead of the raw frame.
    bool SnapshotFromRenderer = false;
    // Ruler values for the measurement picture's name.
    int32_t RulerVerticalValue = 0;
    int32_t RulerHorizontalValue = 0;
    // Right-clicked slot of the media strip.
    struct ContextRecord {
        QString path;
        int kind = 0;
        QImage thumbnail;
    } contextRecord;

Q_SIGNALS:
    // A list of the media strip must be rebuilt (0 BMP, 1 JPG, 2 AVI).
    void listRefreshRequested(int kind);
    void languageChanged();
    // A video file is to be played (the media strip and the open command).
    void playVideoRequested(const QString& path);
    // The record key: start or stop a recording.
    void recordToggleRequested();
    // Hooks of the connection for the recording, player and measurement parts.
    void cameraConnected();
    void cameraDisconnecting();
    void cameraRemoved();
    void recordingStopRequested();
    void playerCloseRequested();

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void LoadMainButtonIcon();
    void LoadVideoCtlButtonIcon();
    void LoadSubMainButtonIcon();
    void setButtonGlyph(class GlyphButton* b, const QString& file);
    void setConnectButtonState(bool connected);
    void chooseStartLanguage();
    void applyDesignFont();
    void FormClose();
    void FormActivate();
    void openFolder(const QString& path);
    void wireActions();
    void wirePlayerAndRecorder();
    void placeOuterSize(int w, int h);

    DevicePool& m_pool;
    MainFormOptions m_options;
    TVideoCameraDS* m_engine = nullptr;
    TMessageBoxDlg* m_msgBox = nullptr;
    TAboutOrvixDlg* m_about = nullptr;
    TSelectImageDirectorDlg* m_dirDlg = nullptr;
    QImage m_still;
    QImage m_stillPinFrame; // frame of the camera's snapshot button, until the timer takes it
    bool m_stillPinArrived = false;
    int m_jpegQuality = 90;
    std::array<MediaList, 3> m_lists{MediaList(ListKind::Bmp), MediaList(ListKind::Jpg),
                                     MediaList(ListKind::Avi)};
    ThumbnailLoader m_thumbs;
    QTimer* m_listTimer = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QFileDialog* m_openPictureDialog = nullptr;
    QFileDialog* m_openVideoDialog = nullptr;
    QFileDialog* m_recordDialog = nullptr;
    TCompressorFilterDlg* m_compressDlg = nullptr;
    QPrinter* m_printer = nullptr;
    QSize m_screenSize;
    bool m_closed = false;
    bool m_idleQueued = false;
};

} // namespace orvix
