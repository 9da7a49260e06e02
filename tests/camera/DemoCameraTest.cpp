#include "DemoRig.h"
#include "TestSupport.h"

#include "camera/DemoRenderer.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace orvix;
using orvix::test::DemoRig;
using orvix::test::meanGreen;
using orvix::test::waitFor;

namespace {

QImage staticPicture(QSize size, DemoPictureSettings s = {})
{
    DemoRenderer r;
    r.configure(size, s);
    return r.staticLayer();
}

// Counts 0.01 mm ticks found along a row where only short ticks reach.
void expectScaleAt(QSize size, int zoom, double ppm)
{
    DemoPictureSettings s;
    s.zoom = zoom;
    const QImage img = staticPicture(size, s);
    const DemoScaleGeometry g = demoScaleGeometry(size, zoom);
    EXPECT_DOUBLE_EQ(g.pixelsPerMm, ppm);
    const int y = g.baselineY - g.shortTick / 2;
    int visible = 0;
    for (int i = 0; i <= 100; ++i) {
        const int x = g.tickLeft(i);
        if (x < 0 || x + g.tickWidth > size.width())
            continue;
        ++visible;
        EXPECT_LT(qGreen(img.pixel(x, y)), 80) << "tick " << i;
        // Half a division further on there is bright field again.
        const int gapX = int(std::lround(x + g.tickWidth / 2.0 + ppm * 0.005));
        if (gapX < size.width()) {
            EXPECT_GT(qGreen(img.pixel(gapX, y)), 140) << "gap after tick " << i;
        }
    }
    EXPECT_GT(visible, 10);
}

} // namespace

TEST(DemoPicture, StageMicrometerHasTheKnownScale)
{
    expectScaleAt(QSize(640, 480), 100, 500.0);
    expectScaleAt(QSize(1600, 1200), 100, 1250.0);
    expectScaleAt(QSize(800, 600), 100, 625.0);
    expectScaleAt(QSize(640, 480), 200, 1000.0); // zoom doubles the magnification
    EXPECT_DOUBLE_EQ(kDemoPixelsPerMm, 500.0);
}

TEST(DemoPicture, TicksOfTenthsAreLongerAndTheFieldIsVignetted)
{
    const QSize size(640, 480);
    const QImage img = staticPicture(size);
    const DemoScaleGeometry g = demoScaleGeometry(size);
    const int y = g.baselineY - (g.shortTick + g.mediumTick) / 2; // above short ticks
    EXPECT_LT(qGreen(img.pixel(g.tickLeft(10), y)), 80);
    EXPECT_LT(qGreen(img.pixel(g.tickLeft(5), y)), 80);
    EXPECT_GT(qGreen(img.pixel(g.tickLeft(3), y)), 140);
    EXPECT_GT(qGreen(img.pixel(320, 60)), qGreen(img.pixel(2, 2)) + 40);
}

TEST(DemoPicture, ControlsChangeThePicture)
{
    const QSize size(640, 480);
    const QRect field(300, 40, 40, 40);
    const double base = meanGreen(staticPicture(size), field);

    DemoPictureSettings s;
    s.brightness = -40;
    EXPECT_NEAR(meanGreen(staticPicture(size, s), field), base - 40, 1.5);

    s = {};
    s.light = 50;
    EXPECT_LT(meanGreen(staticPicture(size, s), field), base * 0.6);
    s.lightOn = false;
    s.light = 100;
    EXPECT_LT(meanGreen(staticPicture(size, s), field), 40);

    s = {};
    s.autoExposure = false;
    s.exposure = 78; // half the nominal time
    EXPECT_LT(meanGreen(staticPicture(size, s), field), base * 0.6);
    s.autoExposure = true; // auto ignores the manual time
    EXPECT_NEAR(meanGreen(staticPicture(size, s), field), base, 0.5);

    s = {};
    s.contrast = 0;
    EXPECT_NEAR(meanGreen(staticPicture(size, s), field), 128, 1.0);
}

TEST(DemoPicture, CellsDriftOnlyWhileMotionIsOn)
{
    DemoRenderer r;
    DemoPictureSettings s;
    r.configure(QSize(640, 480), s);
    EXPECT_NE(r.frame(0, 30), r.frame(300, 30));
    EXPECT_NE(r.frame(0, 30), r.staticLayer()); // the cells are drawn over the field
    s.motion = false;
    r.configure(QSize(640, 480), s);
    EXPECT_EQ(r.frame(0, 30), r.frame(300, 30));
}

TEST(DemoHub, ListsASupportedCameraWithItsControls)
{
    DemoCameraHub hub(2);
    const auto devices = hub.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].devicePath, "usb#vid_eb1a&pid_5060#demo-1#demo:0");
    EXPECT_EQ(devices[1].node, "demo:1");
    EXPECT_EQ(devices[0].friendlyName, "Orvix Demo Microscope");
    EXPECT_TRUE(hub.ownsDevice(devices[1]));

    VideoFormat f;
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1280, 960}, {1600, 1200}}) {
        f.width = w;
        f.height = h;
        EXPECT_TRUE(hub.acceptsFormat(devices[0], f)) << w;
    }
    f.width = 1024;
    f.height = 768;
    EXPECT_FALSE(hub.acceptsFormat(devices[0], f));

    const DemoControlRange b = DemoCameraHub::controlRange(DemoControl::Brightness);
    EXPECT_EQ(hub.control(DemoControl::Brightness), b.defaultValue);
    EXPECT_TRUE(hub.setControl(DemoControl::Brightness, b.maximum));
    EXPECT_FALSE(hub.setControl(DemoControl::Brightness, b.maximum + 1));
    EXPECT_EQ(hub.control(DemoControl::Brightness), b.maximum);
    EXPECT_EQ(hub.control(DemoControl::Brightness, 1), b.defaultValue); // per camera

    EXPECT_DOUBLE_EQ(hub.pixelsPerMm(640), 500.0);
    EXPECT_TRUE(hub.setControl(DemoControl::Zoom, 300));
    EXPECT_DOUBLE_EQ(hub.pixelsPerMm(640), 1500.0);
}

TEST(DemoHub, SnapshotButtonCallsTheHandler)
{
    DemoCameraHub hub;
    EXPECT_FALSE(hub.pressSnapshotButton());
    int presses = 0;
    hub.setSnapshotHandler([&presses] { ++presses; });
    EXPECT_TRUE(hub.pressSnapshotButton());
    EXPECT_EQ(presses, 1);
    hub.unplug();
    EXPECT_FALSE(hub.pressSnapshotButton());
    EXPECT_EQ(presses, 1);
}

TEST(DemoHub, PlugAndUnplugReachThePoolAsDeviceNotifications)
{
    DemoRig rig(1, false);
    QStringList seen;
    QObject::connect(&rig.pool, &DevicePool::deviceArrival, [&] { seen << "arrival"; });
    QObject::connect(&rig.pool, &DevicePool::deviceNodesChanged, [&] { seen << "nodes"; });
    QObject::connect(&rig.pool, &DevicePool::deviceRemovalComplete, [&] { seen << "removal"; });

    EXPECT_TRUE(rig.pool.enumerate().empty());
    rig.hub->plug();
    EXPECT_TRUE(seen.isEmpty()); // delivered from the event loop, like system messages
    ASSERT_TRUE(waitFor([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, QStringList({"arrival", "nodes"}));
    EXPECT_EQ(rig.pool.enumerate().size(), 1u);

    rig.hub->plug(); // already plugged: nothing happens
    rig.hub->unplug();
    ASSERT_TRUE(waitFor([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen.last(), "removal");
    EXPECT_TRUE(rig.pool.enumerate().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 3);
}

namespace {
class FixedSource : public IVideoDeviceSource {
public:
    QString kind() const override { return "fixed"; }
    std::vector<VideoDeviceInfo> enumerate() override
    {
        return {VideoDeviceInfo{"usb#vid_046d&pid_0825#1-1#/dev/video0", "Webcam", "/dev/video0"}};
    }
    bool ownsDevice(const VideoDeviceInfo& d) const override { return d.node == "/dev/video0"; }
    bool acceptsFormat(const VideoDeviceInfo&, const VideoFormat&) const override { return true; }
    std::vector<VideoFormat> formats(const VideoDeviceInfo&) const override { return {}; }
    GstElement* createSourceElement(const VideoDeviceInfo&, const VideoFormat&, QString*) override
    {
        return nullptr;
    }
    void setHotplugHandler(HotplugHandler) override {}
};
} // namespace

TEST(DevicePool, ListsRealDevicesBeforeTheDemoCamera)
{
    DemoRig rig;
    rig.pool.addSource(std::make_shared<FixedSource>()); // added later, still listed first
    const auto devices = rig.pool.enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].friendlyName, "Webcam");
    EXPECT_EQ(devices[1].node, "demo:0");
    EXPECT_EQ(rig.pool.sourceFor(devices[1]), rig.hub.get());
    EXPECT_EQ(rig.pool.demoHub(), rig.hub.get());
    EXPECT_EQ(rig.pool.sourceFor(VideoDeviceInfo{"x", "y", "/dev/video9"}), nullptr);

    auto plain = DevicePool::createDefault(false);
    EXPECT_EQ(plain->demoHub(), nullptr);
    auto demo = DevicePool::createDefault(true);
    ASSERT_NE(demo->demoHub(), nullptr);
    EXPECT_EQ(demo->enumerate().back().node, "demo:0");
}
