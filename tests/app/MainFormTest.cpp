// The main window driven as a user would: start, the device menu, connecting, unplugging,
// exit and close, languages and folders.

#include "TestSupport.h"
#include "app/GlyphButton.h"
#include "app/SelectImageDirector.h"
#include "app/SignalBridge.h"
#include "app/main.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/VideoCameraDS.h"
#include "library/MediaStrip.h"
#include "text/About.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

using namespace orvix;

namespace {

struct Fixture {
    test::TempHome home;
    DevicePool pool;
    std::shared_ptr<DemoCameraHub> hub;
    std::unique_ptr<TMainForm> form;

    explicit Fixture(int cameras = 1, bool plugged = true, QByteArray locale = "en_US.UTF-8")
    {
        qputenv("LANG", locale);
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        hub = std::make_shared<DemoCameraHub>(cameras, plugged);
        pool.addSource(hub);
        MainFormOptions o;
        o.programDir = test::programDir();
        form = std::make_unique<TMainForm>(pool, o);
    }
    QString ini() const { return form->settings.settingsPath(); }
    QString iniValue(const char* section, const char* key) const
    {
        QSettings s(ini(), QSettings::IniFormat);
        return s.value(QString::fromLatin1(section) + "/" + key).toString();
    }
    QList<QAction*> deviceItems() const { return form->ui.menu("DevicesEnum")->actions(); }
    bool noCameraShown() const { return !form->ui.NoCameraPanel->isHidden(); }
    void connectOk()
    {
        form->Connect_BtnClick();
        ASSERT_TRUE(form->flags.DeviceConnected);
    }
};

// Presses the given button of the next message box and remembers its text.
struct AnswerBox {
    QString text;
    test::ModalAnswerer answerer;
    explicit AnswerBox(bool ok)
        : answerer([this, ok](QWidget* w) {
              auto* box = qobject_cast<TMessageBoxDlg*>(w);
              ASSERT_NE(box, nullptr);
              text = box->TntMessage_Text->text();
              (ok ? box->OKBtn : box->CancelBtn)->click();
          })
    {
    }
};

} // namespace

TEST(MainForm, StartsWithoutCameraShowingTheNoCameraPanel)
{
    Fixture f(1, false);
    TMainForm& w = *f.form;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Orvix5-CAM Viewer"));
    EXPECT_FALSE(w.flags.DeviceFound);
    EXPECT_TRUE(f.noCameraShown());
    EXPECT_EQ(w.ui.NoCameraLabel->text(), texts().LabelCaptionData["DeviceNotToFound_Lab"]);
    EXPECT_FALSE(w.ui.NoCameraLabel->text().isEmpty());
    EXPECT_FALSE(w.ui.menu("DevicesEnum")->isEnabled());
    EXPECT_TRUE(w.ui.Connect_Btn->isHidden());
    // Every main button and backdrop has its picture, and the backdrops carry the hints.
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_FALSE(w.ui.mainButtons[i]->glyph().isNull()) << i;
        EXPECT_FALSE(w.ui.backdropPanels[i]->pixmap().isNull()) << i;
        EXPECT_FALSE(w.ui.backdropPanels[i]->toolTip().isEmpty()) << i;
        EXPECT_EQ(w.ui.mainButtons[i]->geometry(), QRect(int(80 * i), 0, 80, 60));
    }
    EXPECT_EQ(w.ui.Exit_Btn->toolTip(), texts().ButtonHintData["Exit_Btn"]);
    EXPECT_FALSE(w.ui.LogoImage_RW->pixmap().isNull());
    EXPECT_EQ(w.ui.PageControl1->count(), 3);
    EXPECT_EQ(w.ui.PageControl1->geometry(), QRect(0, 400, 801, 153));
    EXPECT_EQ(w.engine()->geometry(), QRect(0, 64, 400, 300));
    EXPECT_EQ(w.engine()->GetFlipMode(), 3);
}

TEST(MainForm, DevicesMenuListsEveryCameraAndChecksTheLast)
{
    Fixture f(2, true);
    TMainForm& w = *f.form;
    EXPECT_TRUE(w.flags.DeviceFound);
    const QList<QAction*> items = f.deviceItems();
    ASSERT_EQ(items.size(), 2);
    QStringList names;
    QVector<int> indices;
    w.engine()->GetDeviceIndexName(names, indices);
    EXPECT_EQ(items[0]->text(), names[0] + " # 0");
    EXPECT_EQ(items[1]->text(), names[1] + " # 1");
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_EQ(w.engine()->GetIndexDevice(), 1);
    EXPECT_EQ(w.ui.NoCameraLabel->text(), texts().LabelCaptionData["DeviceToFound_Lab"]);

    // Choosing the first camera connects to it; choosing again reconnects.
    items[0]->trigger();
    EXPECT_TRUE(w.flags.DeviceConnected);
    EXPECT_EQ(w.engine()->GetIndexDevice(), 0);
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isChecked());
    items[1]->trigger();
    EXPECT_TRUE(w.flags.DeviceConnected);
    EXPECT_EQ(w.engine()->GetIndexDevice(), 1);
}

TEST(MainForm, ConnectShowsTheLivePictureAndDisconnectRestoresThePanel)
{
    Fixture f;
    TMainForm& w = *f.form;
    w.show();
    f.connectOk();
    EXPECT_FALSE(f.noCameraShown());
    EXPECT_EQ(w.ui.Connect_Btn->glyphFile(), QStringLiteral("disconnect.bmp"));
    EXPECT_EQ(w.ui.Connect_Btn->toolTip(), texts().ButtonHintData["DisConnect_Btn"]);
    EXPECT_EQ(w.engine()->LiveWidth, 640);
    EXPECT_EQ(w.engine()->LiveHeight, 480);
    QImage frame;
    EXPECT_TRUE(test::waitFor([&] { return w.engine()->GrabLastFrame(frame); }));
    EXPECT_EQ(frame.size(), QSize(640, 480));
    w.UpdateActions();
    EXPECT_FALSE(w.ui.RecordVideo_Btn->isHidden());

    w.ui.Connect_Btn->click();
    EXPECT_FALSE(w.flags.DeviceConnected);
    EXPECT_TRUE(f.noCameraShown());
    EXPECT_EQ(w.ui.Connect_Btn->glyphFile(), QStringLiteral("connect.bmp"));
    EXPECT_EQ(w.ui.Connect_Btn->toolTip(), texts().ButtonHintData["Connect_Btn"]);
    // The backdrop keeps its grey picture throughout.
    EXPECT_FALSE(w.ui.backdropPanels[0]->pixmap().isNull());
}

TEST(MainForm, UnplugDisconnectsAndPlugInAnnouncesWithoutConnecting)
{
    Fixture f;
    TMainForm& w = *f.form;
    f.connectOk();
    f.hub->unplug();
    EXPECT_TRUE(test::waitFor([&] { return !w.flags.DeviceFound; }));
    EXPECT_FALSE(w.flags.DeviceConnected);
    EXPECT_TRUE(f.noCameraShown());
    EXPECT_EQ(w.ui.NoCameraLabel->text(), texts().LabelCaptionData["DeviceNotToFound_Lab"]);
    EXPECT_EQ(w.ui.Connect_Btn->glyphFile(), QStringLiteral("connect.bmp"));
    EXPECT_FALSE(w.engine()->Connected);

    f.hub->plug();
    EXPECT_TRUE(test::waitFor([&] { return w.flags.DeviceFound; }));
    EXPECT_FALSE(w.flags.DeviceConnected);
    EXPECT_FALSE(w.ArrivalSeen);
    EXPECT_EQ(w.ui.NoCameraLabel->text(), texts().LabelCaptionData["DeviceToFound_Lab"]);
    EXPECT_EQ(f.deviceItems().size(), 1);
}

TEST(MainForm, FailedStartShowsBothMessagesAndKeepsRunning)
{
    Fixture f;
    TMainForm& w = *f.form;
    f.hub->setFault(DemoFault::StartFails);
    QStringList shown;
    test::ModalAnswerer first([&](QWidget* box) {
        shown << static_cast<TMessageBoxDlg*>(box)->TntMessage_Text->text();
        static_cast<TMessageBoxDlg*>(box)->OKBtn->click();
    });
    // The second message appears after the first is answered.
    QTimer chain;
    std::unique_ptr<test::ModalAnswerer> next;
    QObject::connect(&chain, &QTimer::timeout, [&] {
        if (first.answered() && !next)
            next = std::make_unique<test::ModalAnswerer>([&](QWidget* box) {
                shown << static_cast<TMessageBoxDlg*>(box)->TntMessage_Text->text();
                static_cast<TMessageBoxDlg*>(box)->OKBtn->click();
            });
    });
    chain.start(5);
    w.Connect_BtnClick();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], msgText("CannotStartVideo_MsgBox"));
    EXPECT_EQ(shown[1], msgText("ConnectFailed_MsgBox"));
    EXPECT_FALSE(w.flags.DeviceConnected);
    EXPECT_TRUE(f.noCameraShown());
    // Once the fault is gone, the camera connects.
    f.hub->setFault(DemoFault::None);
    f.connectOk();
}

TEST(MainForm, ExitAsksAndCloseBoxDoesNot)
{
    {
        Fixture f;
        TMainForm& w = *f.form;
        w.show();
        f.connectOk();
        AnswerBox cancel(false);
        w.Exit_BtnClick();
        EXPECT_EQ(cancel.text, msgText("WhetherExitOrvix_MsgBox"));
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.flags.DeviceConnected);
    }
    {
        Fixture f;
        TMainForm& w = *f.form;
        w.show();
        f.connectOk();
        w.ui.action("AutoSave")->trigger();
        AnswerBox ok(true);
        w.ui.action("Exit")->trigger();
        EXPECT_TRUE(ok.answerer.answered());
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.flags.DeviceConnected);
        EXPECT_TRUE(w.flags.AppClosing);
        EXPECT_EQ(f.iniValue("Setting", "DefData.AutoSave"), "1");
    }
    {
        Fixture f;
        TMainForm& w = *f.form;
        w.show();
        f.connectOk();
        w.ui.action("AutoSave")->trigger();
        test::ModalAnswerer none([](QWidget* box) { box->close(); }, 300);
        w.close();
        EXPECT_FALSE(none.answered());
        EXPECT_FALSE(w.flags.DeviceConnected);
        EXPECT_FALSE(w.engine()->Connected);
        EXPECT_EQ(f.iniValue("Setting", "DefData.AutoSave"), "1");
    }
}

TEST(MainForm, FirstStartFollowsTheLocaleAndLaterStartsReadTheSettings)
{
    {
        Fixture f(1, true, "de_DE.UTF-8");
        EXPECT_EQ(f.form->CurrentLanguage, QStringLiteral("German"));
        EXPECT_EQ(f.iniValue("Initial", "DefData.Init"), "1");
        EXPECT_EQ(f.iniValue("Language", "DefData.Language"), "German");
        EXPECT_TRUE(f.form->ui.action("Lang_German")->isChecked());
        EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Orvix5-CAM Viewer"));
        // Switching language changes every text at once and moves the check mark.
        f.form->ui.action("Lang_Spanish")->trigger();
        EXPECT_EQ(f.form->CurrentLanguage, QStringLiteral("Spanish"));
        EXPECT_TRUE(f.form->ui.action("Lang_Spanish")->isChecked());
        EXPECT_FALSE(f.form->ui.action("Lang_German")->isChecked());
        EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Orvix5-CAM Viewer"));
        f.form->close();
        EXPECT_EQ(f.iniValue("Language", "DefData.Language"), "Spanish");
    }
}

TEST(MainForm, UnknownStoredLanguageFallsBackToTheLocale)
{
    test::TempHome home;
    qputenv("LANG", "fr_FR.UTF-8");
    DevicePool pool;
    MainFormOptions o;
    o.programDir = test::programDir();
    {
        TMainForm w(pool, o);
        EXPECT_EQ(w.CurrentLanguage, QStringLiteral("French"));
        w.close();
        QSettings s(w.settings.settingsPath(), QSettings::IniFormat);
        s.setValue("Language/DefData.Language", "Klingon");
        s.sync();
    }
    TMainForm w(pool, o);
    EXPECT_EQ(w.CurrentLanguage, QStringLiteral("French"));
    QSettings s(w.settings.settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Language/DefData.Language").toString(), "French");
}

TEST(MainForm, BrokenLanguageFilesAreNeverHalfApplied)
{
    // A program folder copy whose German file lacks the character set and whose Russian file
    // is missing.
    QTemporaryDir prog;
    const QString src = test::programDir();
    QDir().mkpath(prog.path() + "/Lang");
    for (const char* name : {"English", "German"})
        QFile::copy(src + "/Lang/" + name + ".ini",
                    prog.path() + "/Lang/" + QString(name) + ".ini");
    QDir().mkpath(prog.path() + "/Bitmap");
    {
        QFile g(prog.path() + "/Lang/German.ini");
        ASSERT_TRUE(g.open(QIODevice::ReadWrite));
        QByteArray text = g.readAll();
        text.replace("Font->Charset=0", "Font->Charset=zero");
        g.resize(0);
        g.write(text);
    }
    test::TempHome home;
    qputenv("LANG", "de_DE.UTF-8");
    DevicePool pool;
    MainFormOptions o;
    o.programDir = prog.path();
    TMainForm w(pool, o); // pictures are missing too: the window still comes up
    EXPECT_EQ(w.CurrentLanguage, QStringLiteral("English"));
    EXPECT_TRUE(w.ui.action("Lang_English")->isChecked());
    const QString exitCaption = w.ui.action("Exit")->text();
    EXPECT_FALSE(exitCaption.isEmpty());
    for (const char* item : {"Lang_German", "Lang_Russian"}) {
        AnswerBox ok(true);
        w.ui.action(item)->trigger();
        EXPECT_EQ(ok.text, msgText("LanguageFileDamaged_MsgBox"));
        EXPECT_EQ(w.CurrentLanguage, QStringLiteral("English"));
        EXPECT_TRUE(w.ui.action("Lang_English")->isChecked());
        EXPECT_EQ(w.ui.action("Exit")->text(), exitCaption);
    }
}

TEST(MainForm, FolderButtonsAndRestoreDefaultPath)
{
    Fixture f;
    TMainForm& w = *f.form;
    const QString chosen = f.home.path() + "/pictures";
    QDir().mkpath(chosen);
    test::ModalAnswerer pick([&](QWidget* d) {
        auto* dlg = qobject_cast<TSelectImageDirectorDlg*>(d);
        ASSERT_NE(dlg, nullptr);
        dlg->selectFolder(chosen);
        dlg->OKBtn->click();
    });
    w.ui.PageControl1->tab(1).folderButton->click();
    EXPECT_TRUE(pick.answered());
    EXPECT_EQ(w.settings.CurrentJpgPath, chosen);
    // Cancel changes nothing.
    test::ModalAnswerer cancel(
        [](QWidget* d) { qobject_cast<TSelectImageDirectorDlg*>(d)->CancelBtn->click(); });
    w.ui.PageControl1->tab(1).folderButton->click();
    EXPECT_EQ(w.settings.CurrentJpgPath, chosen);
    w.ui.action("RestoreDefaultPath")->trigger();
    EXPECT_EQ(w.settings.CurrentJpgPath, w.settings.DefaultJpgPath);
    EXPECT_EQ(f.iniValue("ListPath", "DefData.JpgPath"), w.settings.DefaultJpgPath);
}

TEST(MainForm, AboutShowsTheMakerTexts)
{
    Fixture f;
    test::ModalAnswerer ok([](QWidget* d) {
        auto* about = qobject_cast<TAboutOrvixDlg*>(d);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->VersionInfo_Lab->text(), QStringLiteral("Version 2.307.6DBs"));
        EXPECT_FALSE(about->CorporationInfo_Lab->text().isEmpty());
        EXPECT_TRUE(about->WebSiteBtn->text().startsWith("https://"));
        EXPECT_FALSE(about->Image1->pixmap().isNull());
        about->OKBtn->click();
    });
    f.form->ui.action("About")->trigger();
    EXPECT_TRUE(ok.answered());
}

TEST(MainForm, WithoutTheOverlayPathTheWarningShowsOnce)
{
    test::TempHome home;
    DevicePool pool;
    MainFormOptions o;
    o.programDir = test::programDir();
    o.overlayPath = false;
    TMainForm w(pool, o);
    AnswerBox ok(true);
    w.show();
    EXPECT_TRUE(test::waitFor([&] { return ok.answerer.answered(); }));
    EXPECT_EQ(ok.text, msgText("NoSupportVMR_MsgBox"));
    EXPECT_TRUE(w.VmrWarningShown);
    TVideoCameraDS::setOverlayPathAvailable(true);
}

TEST(MainForm, ConnectDisconnectAndPlugCyclesKeepTheFlagsConsistent)
{
    Fixture f;
    TMainForm& w = *f.form;
    for (int i = 0; i < 200; ++i) {
        w.Connect_BtnClick();
        ASSERT_TRUE(w.flags.DeviceConnected) << i;
        ASSERT_TRUE(w.engine()->Connected) << i;
        ASSERT_TRUE(w.ui.NoCameraPanel->isHidden()) << i;
        w.Connect_BtnClick();
        ASSERT_FALSE(w.flags.DeviceConnected) << i;
        ASSERT_FALSE(w.engine()->Connected) << i;
        ASSERT_FALSE(w.ui.NoCameraPanel->isHidden()) << i;
    }
    for (int i = 0; i < 50; ++i) {
        const bool connect = i % 2 == 0;
        if (connect)
            f.connectOk();
        f.hub->unplug();
        ASSERT_TRUE(test::waitFor([&] { return !w.flags.DeviceFound; })) << i;
        ASSERT_FALSE(w.flags.DeviceConnected) << i;
        ASSERT_FALSE(w.engine()->Connected) << i;
        f.hub->plug();
        ASSERT_TRUE(test::waitFor([&] { return w.flags.DeviceFound; })) << i;
        ASSERT_FALSE(w.flags.DeviceConnected) << i;
        ASSERT_EQ(f.deviceItems().size(), 1) << i;
    }
}

TEST(MainForm, SigtermClosesTheWindowTheOrderlyWay)
{
    Fixture f;
    TMainForm& w = *f.form;
    w.show();
    f.connectOk();
    w.ui.action("AutoSave")->trigger();
    SignalBridge bridge;
    QObject::connect(&bridge, &SignalBridge::terminationRequested, &w, [&w](int) { w.close(); });
    ::raise(SIGTERM);
    EXPECT_TRUE(test::waitFor([&] { return !w.isVisible(); }));
    EXPECT_FALSE(w.flags.DeviceConnected);
    EXPECT_EQ(f.iniValue("Setting", "DefData.AutoSave"), "1");
}
