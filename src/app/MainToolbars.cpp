// The toolbars of the main window: the tool row under the live view, the mode switch, the
// player's toolbar and the still view's toolbars.

#include "app/MainFormUi.h"

#include "text/ControlRole.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QToolBar>
#include <QWidget>

namespace orvix {

namespace {

QToolBar* makeToolBar(QWidget* parent, const char* name)
{
    auto* tb = new QToolBar(parent);
    tb->setObjectName(QString::fromLatin1(name));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setIconSize(QSize(20, 20));
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tb->hide();
    return tb;
}

} // namespace

void MainFormUi::setupToolbars(QMainWindow* window)
{
    auto button = [this](QToolBar* tb, const char* name, const char* icon, bool checkable = false) {
        auto* a = named(new QAction(tb), name, ControlRole::ToolButton);
        if (icon)
            a->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(icon))));
        a->setCheckable(checkable);
        tb->addAction(a);
        actions.insert(QString::fromLatin1(name), a);
        return a;
    };
    auto divider = [this](QToolBar* tb, const char* name) {
        auto* a = named(new QAction(tb), name, ControlRole::ToolButton);
        a->setSeparator(true);
        tb->addAction(a);
        actions.insert(QString::fromLatin1(name), a);
        return a;
    };

    Compare_ToolBar = makeToolBar(client, "Compare_ToolBar");
    Cross_ToolBar = makeToolBar(client, "Cross_ToolBar");
    VideoCtrl_ToolBar = makeToolBar(client, "VideoCtrl_ToolBar");
    DrawRuler_ToolBar = makeToolBar(client, "DrawRuler_ToolBar");
    DeviceControl_ToolBar = makeToolBar(client, "DeviceControl_ToolBar");
    MideaPlay_ToolBar = makeToolBar(client, "MideaPlay_ToolBar");

    divider(MideaPlay_ToolBar, "MideaPlayTB_TabDiv1");
    button(MideaPlay_ToolBar, "MediaPlay_Btn", "media-play");
    button(MideaPlay_ToolBar, "MediaPause_Btn", "media-pause");
    button(MideaPlay_ToolBar, "MediaStop_Btn", "media-stop");
    button(MideaPlay_ToolBar, "MediaRewind_Btn", "media-repeat", true);
    divider(MideaPlay_ToolBar, "MideaPlayTB_TabDiv2");
    mediaFlipGroup = new QActionGroup(window);
    for (auto [name, icon] : {std::pair{"MediaRightOthers_Btn", "flip-none"},
                              std::pair{"MediaRightSelf_Btn", "flip-upside-down"},
                              std::pair{"MediaLeftOthers_Btn", "flip-mirrored"},
                              std::pair{"MediaLeftSelf_Btn", "flip-both"}})
        mediaFlipGroup->addAction(button(MideaPlay_ToolBar, name, icon, true));
    action("MediaRightOthers_Btn")->setChecked(true);
    divider(MideaPlay_ToolBar, "MideaPlayTB_TabDiv3");
    button(MideaPlay_ToolBar, "MediaExit_Btn", "media-exit");
    divider(MideaPlay_ToolBar, "MideaPlayTB_TabDiv4");

    ChangeMode_ToolBar = makeToolBar(client, "ChangeMode_ToolBar");
    // Five buttons in 123 pixels: small icons, no padding.
    ChangeMode_ToolBar->setIconSize(QSize(16, 16));
    ChangeMode_ToolBar->setContentsMargins(0, 0, 0, 0);
    ChangeMode_ToolBar->setStyleSheet(
        QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: none; }"
                       "QToolButton { padding: 1px; margin: 0px; }"
                       "QToolBar::separator { width: 3px; }"));
    divider(ChangeMode_ToolBar, "ChangeModeTB_TabDiv1");
    changeModeGroup = new QActionGroup(window);
    changeModeGroup->setExclusive(true);
    for (auto [name, icon] : {std::pair{"ChangeModeTB_Compare", "mode-compare"},
                              std::pair{"ChangeModeTB_Cross", "mode-cross"},
                              std::pair{"ChangeModeTB_VideoCtrl", "mode-video"},
                              std::pair{"ChangeModeTB_Draw", "mode-measure"},
                              std::pair{"ChangeModeTB_DeviceCtrl", "mode-device"}})
        changeModeGroup->addAction(button(ChangeMode_ToolBar, name, icon, true));
    action("ChangeModeTB_Compare")->setChecked(true);
    divider(ChangeMode_ToolBar, "ChangeModeTB_TabDiv2");
    // The two dividers frame the group; at this width they would push a button out.
    action("ChangeModeTB_TabDiv1")->setVisible(false);
    action("ChangeModeTB_TabDiv2")->setVisible(false);

    ToolBar_ImageEdit1 = makeToolBar(client, "ToolBar_ImageEdit1");
    ToolBar_ImageEdit2 = makeToolBar(client, "ToolBar_ImageEdit2");
    ToolBar_ImageProcess = makeToolBar(client, "ToolBar_ImageProcess");

    for (QToolBar* tb : toolRow())
        tb->move(0, 364);
    ChangeMode_ToolBar->setGeometry(277, 392, 123, ChangeMode_ToolBar->sizeHint().height());
    ToolBar_ImageEdit1->move(400, 364);
    ToolBar_ImageEdit2->move(400, 392);
    ToolBar_ImageProcess->move(400, 364);
    for (QToolBar* tb : toolRow())
        tb->resize(400, 28);
    for (QToolBar* tb : {ToolBar_ImageEdit1, ToolBar_ImageEdit2, ToolBar_ImageProcess})
        tb->resize(400, 28);
    ChangeMode_ToolBar->raise();
}

} // namespace orvix
