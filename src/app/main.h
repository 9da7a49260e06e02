#pragma once
// The main window: composes the camera engine, the settings, the interface text, the media
// strip and the dialogs, and runs the start-up, connection and shutdown sequences.

#include "app/Globalvar.h"
#include "app/MainFormUi.h"
#include "app/UserSettings.h"

#include <QMainWindow>

#include <memory>

class QAction;

namespace orvix {

class DevicePool;
class TVideoCameraDS;
class TMessageBoxDlg;
class TAboutOrvixDlg;
class TSelectImageDirectorDlg;

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
    int UnsavedLevel = 0;

Q_SIGNALS:
    // A list of the media strip must be rebuilt (0 BMP, 1 JPG, 2 AVI).
    void listRefreshRequested(int kind);
    // The still must be saved (answer to the save question).
    void saveRequested();
    void languageChanged();
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
    void placeOuterSize(int w, int h);

    DevicePool& m_pool;
    MainFormOptions m_options;
    TVideoCameraDS* m_engine = nullptr;
    TMessageBoxDlg* m_msgBox = nullptr;
    TAboutOrvixDlg* m_about = nullptr;
    TSelectImageDirectorDlg* m_dirDlg = nullptr;
    bool m_closed = false;
    bool m_idleQueued = false;
};

} // namespace orvix
