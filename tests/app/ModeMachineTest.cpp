// The mode machine: which toolbars and buttons the idle pass shows for each state, the mode
// switch, the still view's states and the keyboard.

#include "TestSupport.h"
#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/VideoCameraDS.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

using namespace orvix;

namespace {

struct Modes {
    test::TempHome home;
    DevicePool pool;
    std::shared_ptr<DemoCameraHub> hub = std::make_shared<DemoCameraHub>(1, true);
    std::unique_ptr<TMainForm> form;

    explicit Modes(bool overlay = true)
    {
        qputenv("LANG", "en_US.UTF-8");
        pool.addSource(hub);
        MainFormOptions o;
        o.programDir = test::programDir();
        o.overlayPath = overlay;
        form = std::make_unique<TMainForm>(pool, o);
    }
    ~Modes() { TVideoCameraDS::setOverlayPathAvailable(true); }
    QAction* act(const char* n) { return form->ui.action(n); }
    void connect()
    {
        form->Connect_BtnClick();
        ASSERT_TRUE(form->flags.DeviceConnected);
        form->UpdateActions();
    }
    void click(const char* modeButton)
    {
        act(modeButton)->trigger();
        form->UpdateActions();
    }
    bool shown(QWidget* w) const { return !w->isHidden(); }
    // Which tool toolbars of the live row are shown.
    QStringList shownToolbars() const
    {
        QStringList out;
        for (QToolBar* tb : form->ui.toolRow())
            if (!tb->isHidden())
                out << tb->objectName();
        return out;
    }
};

} // namespace

TEST(Modes, OfflineShowsNoModeToolbarsAndLiveShowsTheModeOfTheDownButton)
{
    Modes m;
    m.form->UpdateActions();
    EXPECT_FALSE(m.shown(m.form->ui.ChangeMode_ToolBar));
    EXPECT_TRUE(m.shownToolbars().isEmpty());
    EXPECT_TRUE(m.act("NDevCtrlToolbar")->isEnabled()); // a camera is present

    m.connect();
    EXPECT_TRUE(m.shown(m.form->ui.ChangeMode_ToolBar));
    EXPECT_EQ(m.shownToolbars(), QStringList{"Compare_ToolBar"});
    EXPECT_EQ(m.form->ui.ChangeMode_ToolBar->geometry().topLeft(), QPoint(277, 392));
    EXPECT_EQ(m.form->ui.ChangeMode_ToolBar->width(), 123);

    const std::pair<const char*, const char*> modes[] = {
        {"ChangeModeTB_Cross", "Cross_ToolBar"},
        {"ChangeModeTB_VideoCtrl", "VideoCtrl_ToolBar"},
        {"ChangeModeTB_Draw", "DrawRuler_ToolBar"},
        {"ChangeModeTB_DeviceCtrl", "DeviceControl_ToolBar"},
        {"ChangeModeTB_Compare", "Compare_ToolBar"}};
    for (const auto& [button, toolbar] : modes) {
        m.click(button);
        EXPECT_EQ(m.shownToolbars(), QStringList{toolbar}) << button;
        EXPECT_EQ(m.form->ui.changeModeGroup->checkedAction(), m.act(button));
    }

    // Disconnecting goes back offline; the mode is kept for the next connection.
    m.click("ChangeModeTB_VideoCtrl");
    m.form->Connect_BtnClick();
    m.form->UpdateActions();
    EXPECT_TRUE(m.shownToolbars().isEmpty());
    m.connect();
    EXPECT_EQ(m.shownToolbars(), QStringList{"VideoCtrl_ToolBar"});
}

TEST(Modes, MagnificationItemFollowsTheOverlayModes)
{
    Modes m;
    m.form->UpdateActions();
    EXPECT_FALSE(m.act("Mag_Show")->isVisible());
    m.connect();
    EXPECT_FALSE(m.act("Mag_Show")->isVisible()); // Compare at start
    m.click("ChangeModeTB_Draw");
    EXPECT_TRUE(m.act("Mag_Show")->isVisible());
    m.click("ChangeModeTB_VideoCtrl");
    EXPECT_TRUE(m.act("Mag_Show")->isVisible());
    m.click("ChangeModeTB_DeviceCtrl");
    EXPECT_TRUE(m.act("Mag_Show")->isVisible());
    m.click("ChangeModeTB_Cross");
    EXPECT_FALSE(m.act("Mag_Show")->isVisible());
}

TEST(Modes, WithoutTheOverlayPathOnlyVideoAndDeviceModesAreOffered)
{
    Modes m(false);
    test::ModalAnswerer warning(
        [](QWidget* w) { static_cast<TMessageBoxDlg*>(w)->OKBtn->click(); });
    m.form->show();
    ASSERT_TRUE(test::waitFor([&] { return warning.answered(); }));
    m.connect();
    for (const char* n : {"ChangeModeTB_Compare", "ChangeModeTB_Cross", "ChangeModeTB_Draw"}) {
        EXPECT_FALSE(m.act(n)->isEnabled()) << n;
        EXPECT_FALSE(m.act(n)->isChecked()) << n;
    }
    EXPECT_TRUE(m.act("ChangeModeTB_VideoCtrl")->isChecked());
    EXPECT_EQ(m.shownToolbars(), QStringList{"VideoCtrl_ToolBar"});
    m.form->UpdateActions(); // the warning is not shown again
    EXPECT_EQ(warning.count(), 1);
}

TEST(Modes, DeviceControlItemIsOfferedOnlyWithACameraPresent)
{
    Modes m;
    m.form->UpdateActions();
    EXPECT_TRUE(m.act("NDevCtrlToolbar")->isEnabled());
    m.hub->unplug();
    ASSERT_TRUE(test::waitFor([&] { return !m.form->flags.DeviceFound; }));
    m.form->UpdateActions();
    EXPECT_FALSE(m.act("NDevCtrlToolbar")->isEnabled());
    EXPECT_FALSE(m.form->DevCtrlAvailable);
    m.hub->plug();
    ASSERT_TRUE(test::waitFor([&] { return m.form->flags.DeviceFound; }));
    m.form->UpdateActions();
    EXPECT_TRUE(m.act("NDevCtrlToolbar")->isEnabled());
    // The toolbar itself follows the item's check mark while offline.
    m.act("NDevCtrlToolbar")->setChecked(true);
    m.form->UpdateActions();
    EXPECT_EQ(m.shownToolbars(), QStringList{"DeviceControl_ToolBar"});
}

TEST(Modes, StillViewMovesBetweenViewingEditingAndProcessing)
{
    Modes m;
    m.connect();
    m.form->CaptureImage_BtnClick();
    m.form->UpdateActions();
    ASSERT_TRUE(m.shown(m.form->ui.EditorImage_Btn));
    EXPECT_EQ(m.form->UnsavedLevel(), 2);

    m.form->ui.EditorImage_Btn->click();
    EXPECT_TRUE(m.form->EditorActive);
    EXPECT_EQ(m.form->UnsavedLevel(), 1); // entering the editor restarts the ring
    EXPECT_EQ(m.form->ui.EditorImage_Btn->glyphFile(), QStringLiteral("exitedit.bmp"));
    EXPECT_EQ(m.form->ui.EditorImage_Btn->toolTip(), texts().ButtonHintData["EditorImageExit_Btn"]);
    EXPECT_TRUE(m.shown(m.form->ui.ToolBar_ImageEdit1));
    EXPECT_EQ(m.form->ui.ToolBar_ImageEdit1->pos(), QPoint(400, 364));
    EXPECT_EQ(m.form->ui.ToolBar_ImageEdit2->pos(), QPoint(400, 392));

    // Processing leaves editing.
    m.form->ui.ImageProcess_Btn->click();
    EXPECT_FALSE(m.form->EditorActive);
    EXPECT_TRUE(m.form->ProcessingActive);
    EXPECT_FALSE(m.shown(m.form->ui.ToolBar_ImageEdit1));
    EXPECT_TRUE(m.shown(m.form->ui.ToolBar_ImageProcess));
    EXPECT_EQ(m.form->ui.ImageProcess_Btn->glyphFile(), QStringLiteral("imageprocessexit.bmp"));
    m.form->ui.ImageProcess_Btn->click();
    EXPECT_FALSE(m.form->ProcessingActive);
    EXPECT_EQ(m.form->ui.ImageProcess_Btn->glyphFile(), QStringLiteral("imageprocess.bmp"));

    // Leaving the editor with unsaved changes asks first.
    m.form->ui.EditorImage_Btn->click();
    m.form->undoRing.record(m.form->still());
    ASSERT_EQ(m.form->UnsavedLevel(), 2);
    QString asked;
    test::ModalAnswerer cancel([&](QWidget* w) {
        auto* box = static_cast<TMessageBoxDlg*>(w);
        asked = box->TntMessage_Text->text();
        box->CancelBtn->click();
    });
    m.form->ui.EditorImage_Btn->click();
    EXPECT_EQ(asked, msgText("WhetherSaveImage_MsgBox"));
    EXPECT_FALSE(m.form->EditorActive);
    EXPECT_EQ(m.form->ui.EditorImage_Btn->glyphFile(), QStringLiteral("edit.bmp"));

    // Deleting the still empties the view and leaves the editor.
    m.form->ui.EditorImage_Btn->click();
    test::ModalAnswerer ok([](QWidget* w) { static_cast<TMessageBoxDlg*>(w)->OKBtn->click(); });
    m.form->DeleteImage();
    m.form->UpdateActions();
    EXPECT_FALSE(m.form->hasStill());
    EXPECT_FALSE(m.form->EditorActive);
    EXPECT_FALSE(m.shown(m.form->ui.EditorImage_Btn));
    EXPECT_TRUE(m.shown(m.form->ui.LogoImage_RW));
}

TEST(Modes, HoldingSpaceTakesOneSnapshotAndTextBoxesKeepTheirKeys)
{
    Modes m;
    m.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m.form.get()));
    m.connect();
    QImage frame;
    ASSERT_TRUE(test::waitFor([&] { return m.form->engine()->GrabLastFrame(frame); }));
    m.hub->setMotion(true);

    auto count = [&] { return m.form->still().cacheKey(); };
    QWidget* target = m.form->ui.client;
    QTest::keyPress(target, Qt::Key_Space);
    const qint64 first = count();
    ASSERT_TRUE(m.form->hasStill());
    // Auto-repeat while held: no further snapshot.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(target, &repeat);
    QTest::keyPress(target, Qt::Key_Space);
    EXPECT_EQ(count(), first);
    QTest::keyRelease(target, Qt::Key_Space);
    QTest::keyPress(target, Qt::Key_Space);
    QTest::keyRelease(target, Qt::Key_Space);
    EXPECT_NE(count(), first);

    // Keys typed into a text box never act as shortcuts.
    const qint64 before = count();
    auto* edit = new QLineEdit(m.form->ui.client);
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(test::waitFor([&] { return edit->hasFocus(); }));
    QTest::keyClick(edit, Qt::Key_Space);
    QTest::keyClick(edit, Qt::Key_V);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(edit->text(), QStringLiteral(" v"));
}
