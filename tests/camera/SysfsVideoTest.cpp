#include "camera/SysfsVideo.h"
#include "camera/DeviceList.h"
#include "camera/EvdevStillButton.h"
#include "camera/V4l2DeviceSource.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvix;

namespace {

// A small sysfs: a supported camera with a capture node and a metadata node, a webcam
// behind a hub, and a virtual device without a USB parent.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString usb = "devices/pci0000:00/0000:00:14.0/usb1";
        usbDevice(usb, "1d6b", "0002", "1", "0");
        usbDevice(usb + "/1-2", "EB1A", "5060", "1", "2");
        write(usb + "/1-2/manufacturer", "Nexora\n");
        write(usb + "/1-2/serial", "SN0001\n");
        videoNode(usb + "/1-2/1-2:1.0/video4linux/video0", "video0", "USB2.0 Camera");
        videoNode(usb + "/1-2/1-2:1.0/video4linux/video1", "video1", "USB2.0 Camera");
        usbDevice(usb + "/1-4/1-4.3", "046d", "0825", "1", "4.3");
        write(usb + "/1-4/1-4.3/1-4.3:1.0/bInterfaceClass", "0e\n");
        videoNode(usb + "/1-4/1-4.3/1-4.3:1.0/video4linux/video10", "video10", "C270");
        videoNode("devices/virtual/video4linux/video2", "video2", "Dummy video device");

        m_probe["/dev/video0"] = {true, true, "USB2.0 Camera"};
        m_probe["/dev/video1"] = {true, false, "USB2.0 Camera"};
        m_probe["/dev/video2"] = {true, true, ""};
        m_probe["/dev/video10"] = {true, true, "HD Webcam C270"};
    }

    CaptureProbe probe()
    {
        return [this](const QString& node) { return m_probe.value(node); };
    }

    QString root() const { return m_dir.path(); }

    void write(const QString& rel, const QByteArray& text)
    {
        const QString path = root() + "/" + rel;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    void usbDevice(const QString& rel, const char* vid, const char* pid, const char* bus,
                   const char* devpath)
    {
        write(rel + "/idVendor", QByteArray(vid) + "\n");
        write(rel + "/idProduct", QByteArray(pid) + "\n");
        write(rel + "/busnum", QByteArray(bus) + "\n");
        write(rel + "/devpath", QByteArray(devpath) + "\n");
    }

    void videoNode(const QString& rel, const QString& name, const QString& label)
    {
        write(rel + "/uevent", "MAJOR=81\nMINOR=0\nDEVNAME=" + name.toUtf8() + "\n");
        write(rel + "/name", label.toUtf8() + "\n");
        QDir().mkpath(root() + "/class/video4linux");
        ASSERT_TRUE(QFile::link(root() + "/" + rel, root() + "/class/video4linux/" + name));
    }

    QTemporaryDir m_dir;
    QMap<QString, CaptureProbeResult> m_probe;
};

} // namespace

TEST_F(FakeSysfs, ListsCaptureNodesInNodeOrderWithUsbIdentifiers)
{
    const auto devices = scanSysfsVideoDevices(root(), probe());
    ASSERT_EQ(devices.size(), 3u);

    EXPECT_EQ(devices[0].node, "/dev/video0");
    EXPECT_EQ(devices[0].devicePath, "usb#vid_eb1a&pid_5060#1-2#/dev/video0");
    EXPECT_EQ(devices[0].friendlyName, "USB2.0 Camera");

    // No USB parent: listed, but its path names no identifiers.
    EXPECT_EQ(devices[1].node, "/dev/video2");
    EXPECT_EQ(devices[1].devicePath, "v4l2#video2#/dev/video2");
    EXPECT_EQ(devices[1].friendlyName, "Dummy video device"); // the driver gave no card name

    EXPECT_EQ(devices[2].node, "/dev/video10");
    EXPECT_EQ(devices[2].devicePath, "usb#vid_046d&pid_0825#1-4.3#/dev/video10");
    EXPECT_EQ(devices[2].friendlyName, "HD Webcam C270");
}

TEST_F(FakeSysfs, FindsTheNearestUsbDeviceAndItsStrings)
{
    const auto usb = findUsbParent(root() + "/class/video4linux/video0", root());
    ASSERT_TRUE(usb.has_value());
    EXPECT_EQ(usb->vendorId, "eb1a");
    EXPECT_EQ(usb->productId, "5060");
    EXPECT_EQ(usb->port, "1-2");
    EXPECT_EQ(usb->manufacturer, "Nexora");
    EXPECT_EQ(usb->serial, "SN0001");

    EXPECT_FALSE(findUsbParent(root() + "/class/video4linux/video2", root()).has_value());
    EXPECT_FALSE(findUsbParent(root() + "/class/video4linux/missing", root()).has_value());
}

TEST_F(FakeSysfs, DamagedIdentifiersGiveNoUsbParent)
{
    write("devices/pci0000:00/0000:00:14.0/usb1/1-2/idVendor", "not-hex\n");
    EXPECT_FALSE(findUsbParent(root() + "/class/video4linux/video0", root()).has_value());
    const auto devices = scanSysfsVideoDevices(root(), probe());
    ASSERT_FALSE(devices.empty());
    EXPECT_FALSE(devices[0].devicePath.contains("vid_"));
}

TEST_F(FakeSysfs, SourceOverTheTreeFeedsTheDeviceList)
{
    V4l2DeviceSource source(root(), probe());
    const auto devices = source.enumerate();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_TRUE(source.ownsDevice(devices[0]));
    EXPECT_FALSE(source.ownsDevice(VideoDeviceInfo{"x", "y", "demo:0"}));

    DeviceList list;
    EXPECT_TRUE(list.fill(devices));
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.supportedIndex(0), 0);
    EXPECT_EQ(list.supportedIndex(2), -1);
}

TEST(Uevents, AddAndRemoveOfUsbDevicesAndVideoNodesAreHotplug)
{
    EXPECT_EQ(classifyUevent("add", "usb", "usb_device"), HotplugKind::Added);
    EXPECT_EQ(classifyUevent("add", "video4linux", ""), HotplugKind::Added);
    EXPECT_EQ(classifyUevent("remove", "usb", "usb_device"), HotplugKind::Removed);
    EXPECT_EQ(classifyUevent("remove", "video4linux", ""), HotplugKind::Removed);
    EXPECT_FALSE(classifyUevent("add", "usb", "usb_interface").has_value());
    EXPECT_FALSE(classifyUevent("change", "video4linux", "").has_value());
    EXPECT_FALSE(classifyUevent("bind", "usb", "usb_device").has_value());
    EXPECT_FALSE(classifyUevent("add", "input", "").has_value());
}

TEST(DevicePathText, CarriesLowerCaseIdentifiers)
{
    UsbParentInfo u;
    u.vendorId = "eb1a";
    u.productId = "5060";
    u.port = "3-1.2";
    EXPECT_EQ(buildDevicePath(u, "video4", "/dev/video4"),
              "usb#vid_eb1a&pid_5060#3-1.2#/dev/video4");
    EXPECT_EQ(videoNodeNumber("video12"), 12);
    EXPECT_EQ(videoNodeNumber("v4l-subdev"), -1);
}

TEST_F(FakeSysfs, FindsTheSnapshotButtonOfTheSameUsbDevice)
{
    const QString usb = "devices/pci0000:00/0000:00:14.0/usb1";
    auto inputNode = [&](const QString& rel, const QString& name) {
        write(rel + "/uevent", "DEVNAME=input/" + name.toUtf8() + "\n");
        QDir().mkpath(root() + "/class/input");
        ASSERT_TRUE(QFile::link(root() + "/" + rel, root() + "/class/input/" + name));
    };
    // The webcam's button, and two on the supported camera of which only one has the key.
    inputNode(usb + "/1-4/1-4.3/1-4.3:1.0/input/input3/event3", "event3");
    inputNode(usb + "/1-2/1-2:1.0/input/input5/event5", "event5");
    inputNode(usb + "/1-2/1-2:1.0/input/input6/event6", "event6");
    const auto hasKey = [](const QString& node) { return node.endsWith("event6"); };
    EXPECT_EQ(findStillButtonNode(root(), root() + "/class/video4linux/video0", hasKey),
              QStringLiteral("/dev/input/event6"));
    EXPECT_EQ(findStillButtonNode(root(), root() + "/class/video4linux/video10", nullptr),
              QStringLiteral("/dev/input/event3"));
    // A device without a USB parent has no button.
    EXPECT_TRUE(
        findStillButtonNode(root(), root() + "/class/video4linux/video2", nullptr).isEmpty());
    // A node that cannot be opened is not taken for a button.
    EXPECT_FALSE(nodeHasCameraKey(root() + "/no/such/event"));
}
