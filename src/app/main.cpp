#include "app/main.h"

#include "app/GlyphButton.h"
#include "app/ProgramFolder.h"
#include "app/SelectImageDirector.h"
#include "camera/DevicePool.h"
#include "camera/VideoCameraDS.h"
#include "library/MediaStrip.h"
#include "text/About.h"
#include "text/ButtonImages.h"
#include "text/ControlRole.h"
#include "text/InterfaceText.h"
#include "text/LangFile.h"
#include "text/LanguageTable.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <cstdio>

// Resources compiled into the static interface library must be registered by hand.
static void initToolbarResources()
{
    Q_INIT_RESOURCE(toolbar);
}

namespace orvix {

namespace {
const char* const kTitle = "Orvix5-CAM Viewer";
}

TMainForm::TMainForm(DevicePool& pool, const MainFormOptions& options, QWidget* parent)
    : QMainWindow(parent),
      settings(options.profileFolder.isEmpty() ? UserSettings::userProfileFolder()
                                               : options.profileFolder),
      m_pool(pool), m_options(options)
{
    if (m_options.programDir.isEmpty())
        m_options.programDir = ProgramFolder::path();
    setObjectName(QStringLiteral("MainForm"));

    // 1. Designed components; outer size 806 x 600, centred.
    initToolbarResources();
    ui.setupUi(this);
    ui.setupToolbars(this);
    placeOuterSize(806, 600);
    AppActive = true;
    VideoRepainted = true;
    ArrivalSeen = false;

    // 2. Run-time controls: the engine, the no-camera panel with its picture and label.
    m_engine = new TVideoCameraDS(m_pool, ui.client);
    m_engine->SetHandle(this);
    m_engine->move(0, 64);
    m_engine->lower();

    ui.NoCameraPanel = new QWidget(ui.client);
    ui.NoCameraPanel->setObjectName(QStringLiteral("NoCameraPanel"));
    ui.NoCameraPanel->setGeometry(0, 64, 400, 300);
    ui.NoCameraPanel->setAutoFillBackground(true);
    QPalette np = ui.NoCameraPanel->palette();
    np.setColor(QPalette::Window, palette().color(QPalette::Light));
    ui.NoCameraPanel->setPalette(np);
    ui.NoCameraImage = new QLabel(ui.NoCameraPanel);
    ui.NoCameraImage->setObjectName(QStringLiteral("NoCameraImage"));
    ui.NoCameraImage->setGeometry(0, 0, 400, 300);
    ui.NoCameraImage->setAlignment(Qt::AlignCenter);
    ui.NoCameraImage->setPixmap(ButtonImages::loadPicture(
        m_options.programDir, QStringLiteral("Bitmap/ShowMap/LeftWindowMap.bmp")));
    ui.NoCameraLabel = new QLabel(ui.NoCameraPanel);
    ui.NoCameraLabel->setObjectName(QStringLiteral("NoCameraLabel"));
    const int picH =
        ui.NoCameraImage->pixmap().isNull() ? 300 : ui.NoCameraImage->pixmap().height();
    ui.NoCameraLabel->setGeometry(0, picH - 40 - 10, 400, 40);
    ui.NoCameraLabel->setAlignment(Qt::AlignCenter);
    ui.NoCameraLabel->setWordWrap(true);
    ui.NoCameraLabel->setAttribute(Qt::WA_TranslucentBackground);
    QPalette lp = ui.NoCameraLabel->palette();
    lp.setColor(QPalette::WindowText, QColor(0x1F, 0x3A, 0x5F)); // desktop-background blue
    ui.NoCameraLabel->setPalette(lp);
    ui.NoCameraPanel->raise();

    // The windows created at start besides the main window.
    m_msgBox = new TMessageBoxDlg(this);
    setMessageBox(m_msgBox);
    m_about = new TAboutOrvixDlg(m_options.programDir, this);
    m_dirDlg = new TSelectImageDirectorDlg(this);

    // 3. Button pictures.
    LoadMainButtonIcon();
    LoadVideoCtlButtonIcon();
    LoadSubMainButtonIcon();
    ui.LogoImage_RW->setPixmap(ButtonImages::loadPicture(
        m_options.programDir,
        ProgramFolder::cwdResource(QStringLiteral("Bitmap/ShowMap/RightWindowMap.bmp"))));

    // 6.-8. Language items, title, data folders, settings and the language.
    for (QAction* a : ui.languageGroup->actions())
        a->setVisible(true);
    setWindowTitle(QString::fromLatin1(kTitle));
    settings.createFolders();
    settings.load();
    ui.action("AutoSave")->setChecked(settings.DefaultData.AutoSave);
    chooseStartLanguage();

    // 12. Overlay path, taken once.
    TVideoCameraDS::setOverlayPathAvailable(m_options.overlayPath);
    VmrAvailable = TVideoCameraDS::CheckVMR_Functuon();
    VmrWarningShown = false;

    // 9. The three lists.
    m_thumbs.setPlaceholderPath(
        QDir(m_options.programDir).filePath(QStringLiteral("Bitmap/ShowMap/Recording.bmp")));
    for (int kind = 0; kind < 3; ++kind)
        FileList(kind);

    wireActions();
    FormCreate();

    m_screenSize = QApplication::primaryScreen() ? QApplication::primaryScreen()->size() : QSize();
    m_listTimer = new QTimer(this);
    m_listTimer->setObjectName(QStringLiteral("ListImage_Timer"));
    m_listTimer->setInterval(500);
    connect(m_listTimer, &QTimer::timeout, this, &TMainForm::ListImage_TimerTimer);
    m_listTimer->start();

    // The idle pass runs whenever the event loop is about to wait.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &TMainForm::UpdateActions);
    UpdateActions();
}

TMainForm::~TMainForm()
{
    if (!m_closed)
        FormClose();
    QApplication::instance()->removeEventFilter(this);
    setMessageBox(nullptr);
    delete m_printer;
    if (m_engine)
        m_engine->DeleteTSysDevEnum();
}

void TMainForm::placeOuterSize(int w, int h)
{
    // The frame is only known once the window manager has framed the window; until then the
    // window itself takes the outer size.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(w - frame.width(), h - frame.height());
    if (QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - w) / 2, (g.height() - h) / 2);
    }
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!WindowActivated) {
        placeOuterSize(806, 600);
        QTimer::singleShot(0, this, [this] {
            if (!WindowActivated)
                FormActivate();
        });
    }
}

void TMainForm::FormCreate()
{
    // Device notifications come from the pool (udev monitor, demo camera).
    connect(&m_pool, &DevicePool::deviceArrival, this, &TMainForm::onDeviceArrival);
    connect(&m_pool, &DevicePool::deviceNodesChanged, this, &TMainForm::onDeviceNodesChanged);
    connect(&m_pool, &DevicePool::deviceRemovalComplete, this, &TMainForm::onDeviceRemovalComplete);
    flags.DeviceFound = ReSerachDevice();
    setWindowIcon(
        QIcon(QDir(m_options.programDir)
                  .filePath(ProgramFolder::cwdResource(QStringLiteral("Bitmap/Icon.ico")))));
    LabLanguage_CaptionSet();
}

void TMainForm::FormActivate()
{
    WindowActivated = true;
    if (!VmrAvailable && !VmrWarningShown) {
        VmrWarningShown = true;
        showMessage(QStringLiteral("NoSupportVMR_MsgBox"), QStringLiteral("AttentionTitle_MsgBox"),
                    ButtonsOk, IconAttention);
    }
}

// ---------------------------------------------------------------------------------------
// Pictures

void TMainForm::setButtonGlyph(GlyphButton* b, const QString& file)
{
    b->setGlyph(ButtonImages::loadButton(m_options.programDir, file));
    b->setGlyphFile(file);
}

void TMainForm::LoadMainButtonIcon()
{
    for (size_t i = 0; i < 10; ++i)
        setButtonGlyph(ui.mainButtons[i],
                       QString::fromLatin1(kMainButtonFiles[i]) + QStringLiteral(".bmp"));
    for (size_t i = 0; i < 10; ++i)
        ui.backdropPanels[i]->setPixmap(ButtonImages::loadButton(
            m_options.programDir,
            QString::fromLatin1(kMainButtonFiles[i]) + QStringLiteral("_Gray.bmp")));
}

void TMainForm::LoadVideoCtlButtonIcon()
{
    static const char* files[4] = {"rightothers", "rightself", "leftothers", "leftself"};
    GlyphButton* buttons[4] = {ui.RightOthersButton, ui.RightSelfButton, ui.LeftOthersButton,
                               ui.LeftSelfButton};
    for (int i = 0; i < 4; ++i)
        setButtonGlyph(buttons[i], QString::fromLatin1(files[i]) + QStringLiteral(".bmp"));
    for (int i = 0; i < 4; ++i)
        ui.orientationPanels[size_t(i)]->setPixmap(ButtonImages::loadButton(
            m_options.programDir, QString::fromLatin1(files[i]) + QStringLiteral("_Gray.bmp")));
}

void TMainForm::LoadSubMainButtonIcon()
{
    setButtonGlyph(ui.NormalSizeButton, QStringLiteral("returntomain.bmp"));
    ui.NormalSizePanel->setPixmap(
        ButtonImages::loadButton(m_options.programDir, QStringLiteral("returntomain_Gray.bmp")));
}

// ---------------------------------------------------------------------------------------
// Menus and buttons

void TMainForm::wireActions()
{
    connect(ui.Connect_Btn, &GlyphButton::clicked, this, &TMainForm::Connect_BtnClick);
    connect(ui.Exit_Btn, &GlyphButton::clicked, this, &TMainForm::Exit_BtnClick);
    connect(ui.action("Exit"), &QAction::triggered, this, &TMainForm::ExitClick);
    connect(ui.action("About"), &QAction::triggered, this, &TMainForm::AboutClick);
    connect(ui.action("BmpDir"), &QAction::triggered, this, &TMainForm::BmpDirClick);
    connect(ui.action("JpgDir"), &QAction::triggered, this, &TMainForm::JpgDirClick);
    connect(ui.action("AviDir"), &QAction::triggered, this, &TMainForm::AviDirClick);
    connect(ui.action("RestoreDefaultPath"), &QAction::triggered, this,
            &TMainForm::RestoreDefaultPathClick);
    connect(ui.action("AutoSave"), &QAction::triggered, this, &TMainForm::AutoSaveClick);
    connect(ui.CaptureImage_Btn, &GlyphButton::clicked, this, &TMainForm::CaptureImage_BtnClick);
    connect(ui.SaveImage_Btn, &GlyphButton::clicked, this, &TMainForm::SaveImage_BtnClick);
    connect(ui.DelViewVideo_Btn, &GlyphButton::clicked, this, &TMainForm::DeleteImage);
    connect(ui.PrinterImage_Btn, &GlyphButton::clicked, this, &TMainForm::PrintImageClick);
    connect(ui.action("SaveFile"), &QAction::triggered, this, &TMainForm::SaveFileClick);
    connect(ui.action("OpenFile"), &QAction::triggered, this, &TMainForm::OpenFileClick);
    connect(ui.action("PrintSet"), &QAction::triggered, this, &TMainForm::PrintSetClick);
    connect(ui.action("PrintImage"), &QAction::triggered, this, &TMainForm::PrintImageClick);
    connect(ui.action("NHeight_Q"), &QAction::triggered, this, [this] { setJpegQuality(100); });
    connect(ui.action("NMiddle_Q"), &QAction::triggered, this, [this] { setJpegQuality(90); });
    connect(ui.action("NLow_Q"), &QAction::triggered, this, [this] { setJpegQuality(80); });
    connect(ui.action("OpenFile1"), &QAction::triggered, this, &TMainForm::OpenFile1Click);
    connect(ui.action("DeleteFile1"), &QAction::triggered, this, &TMainForm::DeleteFile1Click);
    connect(ui.PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageControl1Change);
    connect(ui.PageControl1, &MediaStrip::pageRequested, this, &TMainForm::ListPage);
    connect(ui.PageControl1, &MediaStrip::slotDoubleClicked, this, &TMainForm::slotDoubleClick);
    connect(ui.PageControl1, &MediaStrip::slotContextRequested, this,
            [this](int kind, int slot, const QPoint& pos) {
                slotContextPopup(kind, slot);
                ui.menu("PopupMenu_ListView")->popup(pos);
            });
    connect(this, &TMainForm::listRefreshRequested, this, &TMainForm::FileList);
    connect(ui.EditorImage_Btn, &GlyphButton::clicked, this, &TMainForm::EditorImage_BtnClick);
    connect(ui.ImageProcess_Btn, &GlyphButton::clicked, this, &TMainForm::ImageProcess_BtnClick);
    connect(ui.action("ChangeModeTB_Compare"), &QAction::triggered, this,
            &TMainForm::ChangeModeTB_CompareClick);
    connect(ui.action("ChangeModeTB_Cross"), &QAction::triggered, this,
            &TMainForm::ChangeModeTB_CrossClick);
    connect(ui.action("ChangeModeTB_VideoCtrl"), &QAction::triggered, this,
            &TMainForm::ChangeModeTB_VideoCtrlClick);
    connect(ui.action("ChangeModeTB_Draw"), &QAction::triggered, this,
            &TMainForm::ChangeModeTB_DrawClick);
    connect(ui.action("ChangeModeTB_DeviceCtrl"), &QAction::triggered, this,
            &TMainForm::ChangeModeTB_DeviceCtrlClick);
    wirePlayerAndRecorder();
    QApplication::instance()->installEventFilter(this);
    connect(m_engine, &TVideoCameraDS::stillButtonPressed, this, &TMainForm::stillButtonPressed);
    connect(ui.PageControl1, &MediaStrip::folderRequested, this,
            [this](int kind) { ListPath_BtnClick(ListKind(kind)); });
    for (QAction* a : ui.languageGroup->actions())
        connect(a, &QAction::triggered, this, [this, a] { LanguageClick(a->data().toString()); });
    connect(m_engine, &TVideoCameraDS::messageRequested, this,
            [this](const QString& key, const QString& title, int icon) {
                showMessage(key, title, ButtonsOk, icon);
            });
    connect(m_engine, &TVideoCameraDS::streamFailed, this, [this](const QString& reason) {
        std::fprintf(stderr, "orvix5-cam-viewer: live video stopped: %s\n", qPrintable(reason));
    });
}

int TMainForm::showMessage(const QString& messageKey, const QString& titleKey, int buttons,
                           int icon)
{
    return m_msgBox->ShowMessageBox(msgText(messageKey), msgText(titleKey), buttons, icon);
}

void TMainForm::AboutClick()
{
    m_about->execCentered();
}

// ---------------------------------------------------------------------------------------
// Exit and close

void TMainForm::WhetherSaveImageMessage()
{
    // At an enlarged size the still belongs to the image view window.
    if (EnlargedView)
        return;
    offerToSaveStill();
}

void TMainForm::offerToSaveStill()
{
    if (!hasStill() || (UnsavedLevel() <= 1 && !ProcessingPending))
        return;
    if (showMessage(QStringLiteral("WhetherSaveImage_MsgBox"),
                    QStringLiteral("AttentionTitle_MsgBox"), ButtonsOkCancel,
                    IconQuestion) == ResultOk)
        Save_ImageFile(m_still);
}

void TMainForm::Exit_BtnClick()
{
    WhetherSaveImageMessage();
    QCoreApplication::processEvents();
    if (showMessage(QStringLiteral("WhetherExitOrvix_MsgBox"),
                    QStringLiteral("AttentionTitle_MsgBox"), ButtonsOkCancel,
                    IconAttention) != ResultOk)
        return;
    QCoreApplication::processEvents();
    close();
    QCoreApplication::processEvents();
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // Closing never asks: the questions belong to the exit command.
    if (!m_closed)
        FormClose();
    e->accept();
}

void TMainForm::FormClose()
{
    m_closed = true;
    settings.SysInfoUserSet();
    ExitMediaPlayer();
    flags.AppClosing = true;
    if (flags.VideoRecording)
        stopRecording();
    disconnectCamera();
}

// ---------------------------------------------------------------------------------------
// Activation and repaint

void TMainForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        repaintCheck();
        AppActive = true;
        VideoRepainted = false;
    } else {
        AppActive = false;
    }
}

void TMainForm::paintEvent(QPaintEvent* e)
{
    QMainWindow::paintEvent(e);
    if (!AppActive || !VideoRepainted) {
        VideoRepainted = true;
        // Not from inside the paint: the check may end the live view.
        QTimer::singleShot(0, this, &TMainForm::repaintCheck);
    }
}

// ---------------------------------------------------------------------------------------
// Folders

void TMainForm::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TMainForm::BmpDirClick()
{
    openFolder(settings.CurrentBmpPath);
}
void TMainForm::JpgDirClick()
{
    openFolder(settings.CurrentJpgPath);
}
void TMainForm::AviDirClick()
{
    openFolder(settings.CurrentAviPath);
}

void TMainForm::RestoreDefaultPathClick()
{
    settings.restoreDefaultFolders();
    settings.SysInfoUserSet();
    Q_EMIT listRefreshRequested(0);
    Q_EMIT listRefreshRequested(1);
    Q_EMIT listRefreshRequested(2);
}

void TMainForm::ListPath_BtnClick(ListKind kind)
{
    m_dirDlg->setKind(kind);
    if (m_dirDlg->execAt(settings.folder(kind)) != QDialog::Accepted)
        return;
    const QString chosen = m_dirDlg->selectedPath();
    if (chosen.isEmpty())
        return;
    settings.setFolder(m_dirDlg->kind(), chosen);
    Q_EMIT listRefreshRequested(int(m_dirDlg->kind()));
}

void TMainForm::AutoSaveClick()
{
    // The action toggles its own check mark; the settings follow it.
    settings.DefaultData.AutoSave = ui.action("AutoSave")->isChecked();
}

// ---------------------------------------------------------------------------------------
// Language

QString TMainForm::GetLocaleInformation(int type) const
{
    if (type != 1)
        return {};
    return LanguageTable::languageIdForLocale(LanguageTable::systemLocaleName());
}

bool TMainForm::CheckLanguageExist(const QString& name) const
{
    const LanguageEntry* e = LanguageTable::byName(name);
    if (!e)
        return false;
    QAction* item = ui.action(e->menuItem);
    return item && item->isVisible();
}

QString TMainForm::GetLocaleLanguage() const
{
    return LanguageTable::forLanguageId(GetLocaleInformation(1),
                                        [this](const QString& n) { return CheckLanguageExist(n); });
}

void TMainForm::SetCheckedLang(const QString& name)
{
    for (QAction* a : ui.languageGroup->actions())
        a->setChecked(a->data().toString() == name);
}

void TMainForm::LanguageClick(const QString& name)
{
    if (name == CurrentLanguage) {
        SetCheckedLang(CurrentLanguage);
        return;
    }
    if (!UpdateInterface(name)) {
        SetCheckedLang(CurrentLanguage);
        showMessage(QStringLiteral("LanguageFileDamaged_MsgBox"),
                    QStringLiteral("ErrorTitle_MsgBox"), ButtonsOk, IconError);
    }
}

void TMainForm::chooseStartLanguage()
{
    auto usable = [this](const QString& name) {
        return CheckLanguageExist(name) &&
               LangFile::load(
                   QDir(m_options.programDir)
                       .filePath(QStringLiteral("Lang/") + name + QStringLiteral(".ini")),
                   name)
                   .ok();
    };
    TDefaultData& d = settings.DefaultData;
    if (d.Init) {
        if (!usable(d.Language)) {
            d.Language = GetLocaleLanguage();
            settings.writeValue(QStringLiteral("Language"), QStringLiteral("DefData.Language"),
                                d.Language);
        }
        CurrentLanguage = d.Language;
    } else {
        d.Language = GetLocaleLanguage();
        CurrentLanguage = d.Language;
    }
    bool applied = UpdateInterface(CurrentLanguage);
    if (!applied && CurrentLanguage != QLatin1String("English")) {
        std::fprintf(stderr, "orvix5-cam-viewer: language %s cannot be used, using English\n",
                     qPrintable(CurrentLanguage));
        applied = UpdateInterface(QStringLiteral("English"));
    }
    if (!applied) {
        // No usable language file: keep the design texts, which are English.
        std::fprintf(stderr, "orvix5-cam-viewer: no usable language file in %s/Lang\n",
                     qPrintable(m_options.programDir));
        CurrentLanguage = QStringLiteral("English");
        settings.CurrentLanguage = CurrentLanguage;
        SetCheckedLang(CurrentLanguage);
    }
    d.Language = CurrentLanguage;
    if (!d.Init) {
        d.Init = true;
        settings.writeValue(QStringLiteral("Initial"), QStringLiteral("DefData.Init"),
                            UserSettings::boolText(true));
        settings.writeValue(QStringLiteral("Language"), QStringLiteral("DefData.Language"),
                            CurrentLanguage);
    }
}

bool TMainForm::UpdateInterface(const QString& language)
{
    // 1. The whole file is checked before anything changes.
    const LangFile file =
        LangFile::load(QDir(m_options.programDir)
                           .filePath(QStringLiteral("Lang/") + language + QStringLiteral(".ini")),
                       language);
    if (!file.ok()) {
        std::fprintf(stderr, "orvix5-cam-viewer: language file %s: %s\n", qPrintable(language),
                     qPrintable(file.statusText()));
        return false;
    }
    // 2.
    SetCheckedLang(language);
    CurrentLanguage = language;
    settings.CurrentLanguage = language;
    settings.DefaultData.Language = language;
    // 3. Interface font; dialogs and the message box follow the application font.
    const QFont font =
        InterfaceText::fontFor(file.charset(), file.fontName(), QApplication::font());
    QApplication::setFont(font);
    setFont(font);
    ui.RichEdit_TextOut->setFont(font);
    // 4.
    setWindowTitle(QString::fromLatin1(kTitle));
    // 5.-6. Captions and hints by role, the engine's menus included.
    InterfaceText::applyRoles(this, file);
    // 7.-9. Text records.
    texts().loadAll(file);
    BtnLanguage_HintSet();
    LabLanguage_CaptionSet();
    // Dialogs take their texts again.
    m_msgBox->MessageBoxDlg_InfoSet();
    m_about->AboutDlg_InfoSet();
    m_dirDlg->PathDlg_InfoSet();
    Q_EMIT languageChanged();
    return true;
}

void TMainForm::BtnLanguage_HintSet()
{
    static const char* hintKeys[10] = {"Connect_Btn",     "CaptureImage_Btn", "SaveImage_Btn",
                                       "EditorImage_Btn", "DelViewVideo_Btn", "RecordVideo_Btn",
                                       "PlayVideo_Btn",   "ImageProcess_Btn", "PrinterImage_Btn",
                                       "Exit_Btn"};
    const TextRecord& h = texts().ButtonHintData;
    for (size_t i = 0; i < 10; ++i) {
        ui.mainButtons[i]->setToolTip(QString());
        ui.backdropPanels[i]->setToolTip(QString());
        const QString hint = h[QString::fromLatin1(hintKeys[i])];
        ui.mainButtons[i]->setToolTip(hint);
        ui.backdropPanels[i]->setToolTip(hint);
    }
    // State-dependent hints of the buttons that swap their picture.
    if (flags.DeviceConnected)
        ui.Connect_Btn->setToolTip(h[QStringLiteral("DisConnect_Btn")]);
    if (flags.VideoRecording)
        ui.RecordVideo_Btn->setToolTip(h[QStringLiteral("RecordStopVideo_Btn")]);
    if (flags.PlayerOpen)
        ui.PlayVideo_Btn->setToolTip(h[QStringLiteral("StopPlayVideo_Btn")]);
    ui.NormalSizeButton->setToolTip(ui.action("NNormal_Screen")->text());
    ui.NormalSizePanel->setToolTip(ui.action("NNormal_Screen")->text());
}

void TMainForm::LabLanguage_CaptionSet()
{
    QFont f = font();
    f.setPointSize(10);
    ui.NoCameraLabel->setFont(f);
    ui.NoCameraLabel->setText(
        texts().LabelCaptionData[flags.DeviceFound ? QStringLiteral("DeviceToFound_Lab")
                                                   : QStringLiteral("DeviceNotToFound_Lab")]);
}

} // namespace orvix
