#include "RecordingRig.h"

#include "camera/CameraControls.h"
#include "camera/DevicePool.h"
#include "camera/FormatChoices.h"
#include "camera/V4l2DeviceSource.h"
#include "camera/VideoFormatDlg.h"
#include "camera/VideoSourceDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>
#include <map>

using namespace orvix;
using namespace orvix::test;

namespace {

// A V4L2 device in memory: its controls, menus and values.
struct FakeDevice {
    struct Ctrl {
        v4l2_queryctrl q;
        int value;
        std::map<int, std::string> menu;
        std::map<int, long long> intMenu;
    };
    std::vector<Ctrl> ctrls;
    bool nextCtrl = true;
    int setCalls = 0;

    void add(quint32 id, quint32 type, const char* name, int min, int max, int step, int def,
             quint32 flags = 0)
    {
        Ctrl c{};
        c.q.id = id;
        c.q.type = type;
        std::strncpy(reinterpret_cast<char*>(c.q.name), name, sizeof c.q.name - 1);
        c.q.minimum = min;
        c.q.maximum = max;
        c.q.step = quint32(step);
        c.q.default_value = def;
        c.q.flags = flags;
        c.value = def;
        ctrls.push_back(c);
    }
    Ctrl* find(quint32 id)
    {
        for (Ctrl& c : ctrls)
            if (c.q.id == id)
                return &c;
        return nullptr;
    }

    int io(unsigned long req, void* arg)
    {
        if (req == VIDIOC_QUERYCTRL) {
            auto* q = static_cast<v4l2_queryctrl*>(arg);
            if (q->id & V4L2_CTRL_FLAG_NEXT_CTRL) {
                if (!nextCtrl)
                    return errno = EINVAL, -1;
                const quint32 after = q->id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
                const Ctrl* best = nullptr;
                for (const Ctrl& c : ctrls)
                    if (c.q.id > after && (!best || c.q.id < best->q.id))
                        best = &c;
                if (!best)
                    return errno = EINVAL, -1;
                *q = best->q;
                return 0;
            }
            if (Ctrl* c = find(q->id)) {
                *q = c->q;
                return 0;
            }
            return errno = EINVAL, -1;
        }
        if (req == VIDIOC_QUERYMENU) {
            auto* m = static_cast<v4l2_querymenu*>(arg);
            Ctrl* c = find(m->id);
            if (!c)
                return errno = EINVAL, -1;
            if (auto it = c->menu.find(int(m->index)); it != c->menu.end()) {
                std::strncpy(reinterpret_cast<char*>(m->name), it->second.c_str(),
                             sizeof m->name - 1);
                return 0;
            }
            if (auto it = c->intMenu.find(int(m->index)); it != c->intMenu.end()) {
                m->value = it->second;
                return 0;
            }
            return errno = EINVAL, -1;
        }
        if (req == VIDIOC_G_CTRL || req == VIDIOC_S_CTRL) {
            auto* v = static_cast<v4l2_control*>(arg);
            Ctrl* c = find(v->id);
            if (!c)
                return errno = EINVAL, -1;
            if (req == VIDIOC_G_CTRL) {
                v->value = c->value;
                return 0;
            }
            ++setCalls;
            if (v->value < c->q.minimum || v->value > c->q.maximum)
                return errno = ERANGE, -1;
            c->value = v->value;
            // Manual exposure makes the exposure time active.
            if (v->id == V4L2_CID_EXPOSURE_AUTO)
                if (Ctrl* e = find(V4L2_CID_EXPOSURE_ABSOLUTE))
                    e->q.flags = v->value == V4L2_EXPOSURE_MANUAL ? 0 : V4L2_CTRL_FLAG_INACTIVE;
            return 0;
        }
        return errno = ENOTTY, -1;
    }

    V4l2CameraControls controls()
    {
        return V4l2CameraControls([this](unsigned long r, void* a) { return io(r, a); });
    }

    static FakeDevice uvcLike()
    {
        FakeDevice d;
        d.add(V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls", 0, 0, 0, 0);
        d.add(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 1, 0);
        d.add(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 100, 5, 50);
        d.add(V4L2_CID_HUE, V4L2_CTRL_TYPE_INTEGER, "Hue", 0, 10, 1, 0, V4L2_CTRL_FLAG_DISABLED);
        d.add(V4L2_CID_HFLIP, V4L2_CTRL_TYPE_BOOLEAN, "Horizontal Flip", 0, 1, 1, 0);
        d.add(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 3, 1,
              1);
        d.find(V4L2_CID_POWER_LINE_FREQUENCY)->menu = {{0, "Disabled"}, {1, "50 Hz"}, {3, "Auto"}};
        d.add(V4L2_CID_CAMERA_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "Camera Controls", 0, 0, 0, 0);
        d.add(V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 1, 3);
        d.find(V4L2_CID_EXPOSURE_AUTO)->menu = {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}};
        d.add(V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Exposure Time, Absolute", 3,
              2047, 1, 250, V4L2_CTRL_FLAG_INACTIVE);
        d.add(V4L2_CID_ZOOM_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER_MENU, "Zoom", 0, 1, 1, 0);
        d.find(V4L2_CID_ZOOM_ABSOLUTE)->intMenu = {{0, 100}, {1, 200}};
        d.add(V4L2_CID_PAN_RESET, V4L2_CTRL_TYPE_BUTTON, "Pan, Reset", 0, 0, 0, 0);
        d.add(V4L2_CID_PAN_SPEED, V4L2_CTRL_TYPE_INTEGER64, "Pan Speed", 0, 10, 1, 0);
        return d;
    }
};

const CameraControl* byId(const std::vector<CameraControl>& list, quint32 id)
{
    for (const CameraControl& c : list)
        if (c.id == id)
            return &c;
    return nullptr;
}

} // namespace

TEST(V4l2CameraControlsTest, ListsTheControlsADeviceOffers)
{
    for (bool next : {true, false}) {
        FakeDevice dev = FakeDevice::uvcLike();
        dev.nextCtrl = next;
        dev.find(V4L2_CID_BRIGHTNESS)->value = 12;
        V4l2CameraControls controls = dev.controls();
        const std::vector<CameraControl> list = controls.controls();
        ASSERT_EQ(list.size(), 8u) << "next " << next;

        const CameraControl* b = byId(list, V4L2_CID_BRIGHTNESS);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->name, QStringLiteral("Brightness"));
        EXPECT_EQ(b->type, CameraControlType::Integer);
        EXPECT_EQ(b->minimum, -64);
        EXPECT_EQ(b->maximum, 64);
        EXPECT_EQ(b->defaultValue, 0);
        EXPECT_EQ(b->value, 12);
        EXPECT_EQ(byId(list, V4L2_CID_CONTRAST)->step, 5);
        EXPECT_FALSE(byId(list, V4L2_CID_HUE)) << "disabled controls are not shown";
        EXPECT_FALSE(byId(list, V4L2_CID_USER_CLASS));
        EXPECT_FALSE(byId(list, V4L2_CID_PAN_SPEED));
        EXPECT_EQ(byId(list, V4L2_CID_HFLIP)->type, CameraControlType::Boolean);

        const CameraControl* power = byId(list, V4L2_CID_POWER_LINE_FREQUENCY);
        ASSERT_TRUE(power);
        ASSERT_EQ(power->menu.size(), 3u) << "the gap in the menu is skipped";
        EXPECT_EQ(power->menu[2].value, 3);
        EXPECT_EQ(power->menu[2].name, QStringLiteral("Auto"));
        const CameraControl* zoom = byId(list, V4L2_CID_ZOOM_ABSOLUTE);
        ASSERT_TRUE(zoom);
        ASSERT_EQ(zoom->menu.size(), 2u);
        EXPECT_EQ(zoom->menu[1].name, QStringLiteral("200"));
        EXPECT_TRUE(byId(list, V4L2_CID_EXPOSURE_ABSOLUTE)->inactive);
        EXPECT_EQ(byId(list, V4L2_CID_PAN_RESET)->type, CameraControlType::Button);
    }
}

TEST(V4l2CameraControlsTest, SetsAndReadsValuesAndReportsRefusals)
{
    FakeDevice dev = FakeDevice::uvcLike();
    V4l2CameraControls controls = dev.controls();
    EXPECT_TRUE(controls.set(V4L2_CID_BRIGHTNESS, -20));
    int v = 0;
    ASSERT_TRUE(controls.get(V4L2_CID_BRIGHTNESS, &v));
    EXPECT_EQ(v, -20);
    EXPECT_FALSE(controls.set(V4L2_CID_BRIGHTNESS, 65));
    EXPECT_FALSE(controls.set(0x12345678, 1));
    EXPECT_FALSE(controls.get(0x12345678, &v));

    V4l2CameraControls missing(QStringLiteral("/dev/no-such-video-node"));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.controls().empty());
    EXPECT_FALSE(missing.set(V4L2_CID_BRIGHTNESS, 1));
}

TEST(CameraControlsTest, TheDemoCameraShowsItsPictureControls)
{
    DemoPool rig;
    auto controls = cameraControlsFor(rig.pool, DemoCameraHub::deviceInfo(0));
    ASSERT_TRUE(controls);
    const std::vector<CameraControl> list = controls->controls();
    ASSERT_EQ(list.size(), 4u);
    const CameraControl* b = byId(list, V4L2_CID_BRIGHTNESS);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->minimum, DemoCameraHub::controlRange(DemoControl::Brightness).minimum);
    EXPECT_EQ(b->maximum, DemoCameraHub::controlRange(DemoControl::Brightness).maximum);
    const CameraControl* automatic = byId(list, V4L2_CID_EXPOSURE_AUTO);
    ASSERT_TRUE(automatic);
    EXPECT_EQ(automatic->type, CameraControlType::Menu);
    EXPECT_EQ(automatic->value, int(V4L2_EXPOSURE_APERTURE_PRIORITY));
    EXPECT_TRUE(byId(list, V4L2_CID_EXPOSURE_ABSOLUTE)->inactive);

    EXPECT_TRUE(controls->set(V4L2_CID_BRIGHTNESS, 30));
    EXPECT_EQ(rig.hub->control(DemoControl::Brightness), 30);
    EXPECT_FALSE(controls->set(V4L2_CID_BRIGHTNESS, 300));
    EXPECT_TRUE(controls->set(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
    EXPECT_EQ(rig.hub->control(DemoControl::AutoExposure), 0);
    EXPECT_FALSE(byId(controls->controls(), V4L2_CID_EXPOSURE_ABSOLUTE)->inactive);
    EXPECT_FALSE(controls->set(V4L2_CID_EXPOSURE_AUTO, 2));

    rig.hub->unplug(0);
    EXPECT_FALSE(controls->set(V4L2_CID_BRIGHTNESS, 1));

    VideoDeviceInfo stranger;
    stranger.node = QStringLiteral("demo:7");
    EXPECT_FALSE(cameraControlsFor(rig.pool, stranger));
}

TEST(VideoSourceDialogTest, AppliesControlsLiveAndCancelPutsThemBack)
{
    DemoPool rig;
    auto controls = cameraControlsFor(rig.pool, DemoCameraHub::deviceInfo(0));
    ASSERT_TRUE(controls);
    TVideoSourceDlg dlg(*controls);
    dlg.show();
    auto* brightness = qobject_cast<QSlider*>(dlg.controlWidget(V4L2_CID_BRIGHTNESS));
    auto* exposure = qobject_cast<QSlider*>(dlg.controlWidget(V4L2_CID_EXPOSURE_ABSOLUTE));
    auto* mode = qobject_cast<QComboBox*>(dlg.controlWidget(V4L2_CID_EXPOSURE_AUTO));
    ASSERT_TRUE(brightness && exposure && mode);
    EXPECT_EQ(brightness->value(), 0);
    EXPECT_FALSE(exposure->isEnabled()) << "the automatic mode rules the exposure time";

    brightness->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(brightness, Qt::Key_Right);
    EXPECT_EQ(rig.hub->control(DemoControl::Brightness), 5) << "not applied while moved";

    mode->setCurrentIndex(mode->findText(QStringLiteral("Manual Mode")));
    EXPECT_EQ(rig.hub->control(DemoControl::AutoExposure), 0);
    EXPECT_TRUE(exposure->isEnabled());
    exposure->setValue(400);
    EXPECT_EQ(rig.hub->control(DemoControl::Exposure), 400);

    dlg.reject();
    EXPECT_EQ(rig.hub->control(DemoControl::Brightness), 0);
    EXPECT_EQ(rig.hub->control(DemoControl::AutoExposure), 1);
    EXPECT_EQ(rig.hub->control(DemoControl::Exposure),
              DemoCameraHub::controlRange(DemoControl::Exposure).defaultValue);

    TVideoSourceDlg kept(*controls);
    kept.show();
    qobject_cast<QSlider*>(kept.controlWidget(V4L2_CID_CONTRAST))->setValue(40);
    QTest::mouseClick(kept.OKBtn, Qt::LeftButton);
    EXPECT_EQ(rig.hub->control(DemoControl::Contrast), 40);
}

TEST(VideoSourceDialogTest, ShowsEveryKindOfControl)
{
    FakeDevice dev = FakeDevice::uvcLike();
    V4l2CameraControls controls = dev.controls();
    TVideoSourceDlg dlg(controls);
    dlg.show();
    EXPECT_TRUE(qobject_cast<QSlider*>(dlg.controlWidget(V4L2_CID_CONTRAST)));
    auto* flip = qobject_cast<QCheckBox*>(dlg.controlWidget(V4L2_CID_HFLIP));
    auto* power = qobject_cast<QComboBox*>(dlg.controlWidget(V4L2_CID_POWER_LINE_FREQUENCY));
    auto* reset = qobject_cast<QPushButton*>(dlg.controlWidget(V4L2_CID_PAN_RESET));
    ASSERT_TRUE(flip && power && reset);
    EXPECT_EQ(power->currentText(), QStringLiteral("50 Hz"));
    flip->setFocus();
    QTest::keyClick(flip, Qt::Key_Space);
    EXPECT_EQ(dev.find(V4L2_CID_HFLIP)->value, 1);
    power->setCurrentIndex(power->findText(QStringLiteral("Auto")));
    EXPECT_EQ(dev.find(V4L2_CID_POWER_LINE_FREQUENCY)->value, 3);
    const int before = dev.setCalls;
    QTest::mouseClick(reset, Qt::LeftButton);
    EXPECT_EQ(dev.setCalls, before + 1);
    // Contrast moves in steps of 5.
    qobject_cast<QSlider*>(dlg.controlWidget(V4L2_CID_CONTRAST))->setValue(62);
    EXPECT_EQ(dev.find(V4L2_CID_CONTRAST)->value, 60);
}

// --- formats ----------------------------------------------------------------------------

namespace {

VideoFormat fmt(const char* pf, int w, int h, int num = 30, int den = 1)
{
    VideoFormat f;
    f.pixelFormat = QString::fromLatin1(pf);
    f.width = w;
    f.height = h;
    f.fpsNum = num;
    f.fpsDen = den;
    return f;
}

} // namespace

TEST(FormatChoicesTest, GroupsTheOfferedFormats)
{
    const FormatChoices c({fmt("YUYV", 1280, 960, 15), fmt("YUYV", 640, 480, 30),
                           fmt("YUYV", 640, 480, 15), fmt("MJPG", 1600, 1200, 30),
                           fmt("YUYV", 640, 480, 15), fmt("YUYV", 640, 480, 15, 2)});
    EXPECT_EQ(c.pixelFormats(), QStringList({QStringLiteral("YUYV"), QStringLiteral("MJPG")}));
    const std::vector<QSize> sizes = c.sizes(QStringLiteral("YUYV"));
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], QSize(640, 480));
    const std::vector<FrameRate> rates = c.rates(QStringLiteral("YUYV"), QSize(640, 480));
    ASSERT_EQ(rates.size(), 3u);
    EXPECT_EQ(rates[0].num, 30);
    EXPECT_EQ(FormatChoices::rateText(rates[2]), QStringLiteral("7.50 fps"));
    EXPECT_EQ(FormatChoices::rateText(rates[0]), QStringLiteral("30 fps"));

    const VideoFormat same = c.nearest(fmt("YUYV", 640, 480, 15));
    EXPECT_EQ(same.fpsNum, 15);
    const VideoFormat other = c.nearest(fmt("", 800, 600, 60));
    EXPECT_EQ(other.pixelFormat, QStringLiteral("YUYV"));
    EXPECT_EQ(QSize(other.width, other.height), QSize(640, 480));
    EXPECT_EQ(other.fpsNum, 30);
}

TEST(VideoFormatDialogTest, OffersTheDeviceFormatsAndHandsBackTheChoice)
{
    TVideoFormatDlg dlg(DemoCameraHub::offeredFormats(), fmt("", 640, 480));
    dlg.show();
    EXPECT_EQ(dlg.PixelFormat_ComboBox->count(), 1);
    ASSERT_EQ(dlg.Size_ComboBox->count(), 4);
    EXPECT_EQ(dlg.Size_ComboBox->currentText(), QStringLiteral("640 x 480"));
    EXPECT_EQ(dlg.Rate_ComboBox->currentText(), QStringLiteral("30 fps"));
    dlg.Size_ComboBox->setFocus();
    QTest::keyClick(dlg.Size_ComboBox, Qt::Key_Down);
    EXPECT_EQ(dlg.Size_ComboBox->currentText(), QStringLiteral("800 x 600"));
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const VideoFormat chosen = dlg.chosenFormat();
    EXPECT_EQ(QSize(chosen.width, chosen.height), QSize(800, 600));
    EXPECT_EQ(chosen.pixelFormat, QStringLiteral("RGB3"));
    EXPECT_EQ(chosen.fpsNum, 30);
    EXPECT_TRUE(DemoPool().hub->acceptsFormat(DemoCameraHub::deviceInfo(0), chosen));

    // Rates follow the size.
    TVideoFormatDlg mixed(
        {fmt("YUYV", 640, 480, 30), fmt("YUYV", 1280, 960, 15), fmt("YUYV", 1280, 960, 5)},
        fmt("YUYV", 1280, 960, 5));
    EXPECT_EQ(mixed.Rate_ComboBox->count(), 2);
    EXPECT_EQ(mixed.Rate_ComboBox->currentText(), QStringLiteral("5 fps"));
    mixed.Size_ComboBox->setCurrentIndex(0);
    EXPECT_EQ(mixed.Rate_ComboBox->count(), 1);
    EXPECT_EQ(mixed.chosenFormat().fpsNum, 30);

    TVideoFormatDlg none({}, fmt("", 640, 480));
    EXPECT_FALSE(none.OKBtn->isEnabled());
}
