#include "app/MainFormUi.h"

#include "app/GlyphButton.h"
#include "library/MediaStrip.h"
#include "text/ControlRole.h"
#include "text/LanguageTable.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>

namespace orvix {

const std::array<const char*, 10> kMainButtonFiles = {
    "connect",     "capture",   "Save",         "edit",    "delete",
    "videorecord", "playvideo", "imageprocess", "printer", "exit"};
const std::array<const char*, 10> kMainButtonNames = {
    "Connect_Btn",      "CaptureImage_Btn", "SaveImage_Btn", "EditorImage_Btn",
    "DelViewVideo_Btn", "RecordVideo_Btn",  "PlayVideo_Btn", "ImageProcess_Btn",
    "PrinterImage_Btn", "Exit_Btn"};

QAction* MainFormUi::action(const char* name) const
{
    return actions.value(QString::fromLatin1(name));
}

QMenu* MainFormUi::menu(const char* name) const
{
    return menus.value(QString::fromLatin1(name));
}

void MainFormUi::setupUi(QMainWindow* window)
{
    client = new QWidget(window);
    client->setObjectName(QStringLiteral("ClientArea"));
    window->setCentralWidget(client);

    // Backdrops first, so the buttons lie above them.
    for (int i = 0; i < 10; ++i) {
        auto* panel = new QLabel(client);
        panel->setObjectName(QStringLiteral("Image%1_Bitbtn").arg(i + 1));
        panel->setProperty("panelName", QStringLiteral("Panel%1_Bitbtn").arg(i + 1));
        panel->setGeometry(80 * i, 0, 80, 60);
        panel->setScaledContents(true);
        backdropPanels[size_t(i)] = panel;
    }
    for (int i = 0; i < 10; ++i) {
        auto* b = named(new GlyphButton(client), kMainButtonNames[size_t(i)], ControlRole::BitBtn);
        b->setGeometry(80 * i, 0, 80, 60);
        mainButtons[size_t(i)] = b;
    }
    Connect_Btn = mainButtons[0];
    CaptureImage_Btn = mainButtons[1];
    SaveImage_Btn = mainButtons[2];
    EditorImage_Btn = mainButtons[3];
    DelViewVideo_Btn = mainButtons[4];
    RecordVideo_Btn = mainButtons[5];
    PlayVideo_Btn = mainButtons[6];
    ImageProcess_Btn = mainButtons[7];
    PrinterImage_Btn = mainButtons[8];
    Exit_Btn = mainButtons[9];

    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(400, 64, 400, 300);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 400, 300);
    Image1->setScaledContents(true);
    LogoImage_RW = new QLabel(Panel1);
    LogoImage_RW->setObjectName(QStringLiteral("LogoImage_RW"));
    LogoImage_RW->setGeometry(0, 0, 400, 300);
    LogoImage_RW->setScaledContents(true);
    RichEdit_TextOut = new QTextEdit(Panel1);
    RichEdit_TextOut->setObjectName(QStringLiteral("RichEdit_TextOut"));
    RichEdit_TextOut->hide();

    FullWindowPanel = new QWidget(client);
    FullWindowPanel->setObjectName(QStringLiteral("FullWindowPanel"));
    FullWindowPanel->hide();

    auto orientation = [this](const char* name) {
        auto* b = new GlyphButton(client);
        b->setObjectName(QString::fromLatin1(name));
        b->resize(80, 60);
        b->hide();
        return b;
    };
    static const char* panelNames[4] = {"RightOthersPanel", "RightSelfPanel", "LeftOthersPanel",
                                        "LeftSelfPanel"};
    for (int i = 0; i < 4; ++i) {
        auto* p = new QLabel(client);
        p->setObjectName(QString::fromLatin1(panelNames[i]));
        p->resize(80, 60);
        p->setScaledContents(true);
        p->hide();
        orientationPanels[size_t(i)] = p;
    }
    RightOthersButton = orientation("RightOthersButton");
    RightSelfButton = orientation("RightSelfButton");
    LeftOthersButton = orientation("LeftOthersButton");
    LeftSelfButton = orientation("LeftSelfButton");
    NormalSizePanel = new QLabel(client);
    NormalSizePanel->setObjectName(QStringLiteral("NormalSizePanel"));
    NormalSizePanel->resize(80, 60);
    NormalSizePanel->setScaledContents(true);
    NormalSizePanel->hide();
    NormalSizeButton = orientation("NormalSizeButton");

    PageControl1 = new MediaStrip(client);
    PageControl1->setGeometry(0, 400, 801, 153);

    // Menus.
    MainMenu1 = window->menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto addMenu = [this](QWidget* parent, const char* name, const char* caption) {
        auto* m =
            named(new QMenu(QString::fromLatin1(caption), parent), name, ControlRole::MenuItem);
        menus.insert(QString::fromLatin1(name), m);
        if (auto* bar = qobject_cast<QMenuBar*>(parent))
            bar->addMenu(m);
        else if (auto* pm = qobject_cast<QMenu*>(parent))
            pm->addMenu(m);
        return m;
    };
    auto addItem = [this, window](QMenu* m, const char* name, const char* caption,
                                  const QKeySequence& key = {}) {
        auto* a =
            named(new QAction(QString::fromLatin1(caption), m ? static_cast<QObject*>(m) : window),
                  name, ControlRole::MenuItem);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        if (m)
            m->addAction(a);
        actions.insert(QString::fromLatin1(name), a);
        return a;
    };
    auto addSeparator = [&](QMenu* m, const char* name) {
        QAction* a = addItem(m, name, "-");
        a->setSeparator(true);
        return a;
    };

    QMenu* file = addMenu(MainMenu1, "File", "File");
    addItem(file, "OpenFile", "Open File", QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, "SaveFile", "Save File", QKeySequence(Qt::CTRL | Qt::Key_S));
    addSeparator(file, "NDash1");
    addItem(file, "PrintSet", "Printer Setting");
    addItem(file, "PrintImage", "Print...", QKeySequence(Qt::CTRL | Qt::Key_P));
    addSeparator(file, "NDash2");
    addItem(file, "Exit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_E));

    QMenu* setting = addMenu(MainMenu1, "Setting", "Setting");
    addMenu(setting, "DevicesEnum", "Devices");
    addSeparator(setting, "NDash4");
    addItem(setting, "VideoFormat", "Video Format");
    addItem(setting, "VideoSource", "Video Sourec");
    addItem(setting, "VideoCompress", "Video Compress");
    addSeparator(setting, "NDash3");
    QMenu* quality = addMenu(setting, "JPG_Quality", "JPG Quility");
    qualityGroup = new QActionGroup(window);
    for (auto [name, caption] : {std::pair{"NHeight_Q", "Height"}, std::pair{"NMiddle_Q", "Middle"},
                                 std::pair{"NLow_Q", "Low"}}) {
        QAction* a = addItem(quality, name, caption);
        a->setCheckable(true);
        qualityGroup->addAction(a);
    }
    action("NMiddle_Q")->setChecked(true);
    addItem(setting, "AutoSave", "Auto Save")->setCheckable(true);

    QMenu* size = addMenu(MainMenu1, "WindowSize", "Window");
    windowSizeGroup = new QActionGroup(window);
    struct SizeItem {
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    const SizeItem sizes[] = {
        {"NNormal_Screen", "Normal", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"N640_480_Screen", "640*480", QKeySequence(Qt::CTRL | Qt::Key_F1)},
        {"N800_600_Screen", "800*600", QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {"N1024_768_Screen", "1024*768", QKeySequence(Qt::CTRL | Qt::Key_F3)},
        {"N1280_800_Screen", "1280*800", QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {"N1280_960_Screen", "1280*960", QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {"N1600_1200_Screen", "1600*1200", QKeySequence(Qt::CTRL | Qt::Key_F6)},
        {"NFull_Screen_4_3", "Full Screen (4:3)", QKeySequence(Qt::CTRL | Qt::Key_F7)},
        {"NFull_Screen", "Full Screen", QKeySequence(Qt::CTRL | Qt::Key_F8)},
        {"NBy_Resolution", "By Resolution", QKeySequence(Qt::CTRL | Qt::Key_R)},
    };
    for (const SizeItem& s : sizes) {
        QAction* a = addItem(size, s.name, s.caption, s.key);
        a->setCheckable(true);
        windowSizeGroup->addAction(a);
    }
    action("NNormal_Screen")->setChecked(true);
    // The enlarged layouts are not offered yet: only the Normal layout exists.
    for (const SizeItem& s : sizes)
        action(s.name)->setEnabled(QLatin1String(s.name) == QLatin1String("NNormal_Screen"));
    addSeparator(size, "NDash5");
    addItem(size, "NDevCtrlToolbar", "Device Control Toolbar", QKeySequence(Qt::CTRL | Qt::Key_D))
        ->setCheckable(true);

    QMenu* tool = addMenu(MainMenu1, "Tool", "Tool");
    QMenu* dirs = addMenu(tool, "OpenDirector", "Open Director");
    addItem(dirs, "BmpDir", "BMP", QKeySequence(Qt::CTRL | Qt::Key_B));
    addItem(dirs, "JpgDir", "JPG", QKeySequence(Qt::CTRL | Qt::Key_J));
    addItem(dirs, "AviDir", "AVI", QKeySequence(Qt::CTRL | Qt::Key_A));
    addItem(tool, "RestoreDefaultPath", "Restore Default Path");

    QMenu* lang = addMenu(MainMenu1, "Language", "Language");
    languageGroup = new QActionGroup(window);
    int count = 0;
    const LanguageEntry* langs = LanguageTable::entries(&count);
    for (int i = 0; i < count; ++i) {
        QAction* a = addItem(lang, langs[i].menuItem, langs[i].initialText);
        a->setCheckable(true);
        a->setData(QString::fromLatin1(langs[i].name));
        languageGroup->addAction(a);
    }

    QAction* about = addItem(nullptr, "About", "About");
    MainMenu1->addAction(about);
    QAction* mag = addItem(nullptr, "Mag_Show", "nX");
    MainMenu1->addAction(mag);
    mag->setVisible(false);

    // The media strip's pop-up menu.
    QMenu* listPopup = new QMenu(window);
    listPopup->setObjectName(QStringLiteral("PopupMenu_ListView"));
    menus.insert(QStringLiteral("PopupMenu_ListView"), listPopup);
    addItem(listPopup, "OpenFile1", "Open File");
    addItem(listPopup, "DeleteFile1", "Delete File");
}

} // namespace orvix
