#include "camera/DeviceList.h"

#include <gtest/gtest.h>

using orvix::DeviceList;
using orvix::VideoDeviceInfo;

namespace {

VideoDeviceInfo dev(const QString& path, const QString& name = "Cam", const QString& node = "")
{
    return VideoDeviceInfo{path, name, node.isEmpty() ? "/dev/video" + path.right(1) : node};
}

const QString kSupported = "usb#vid_eb1a&pid_5060#1-2#/dev/video0";
const QString kOther = "usb#vid_046d&pid_0825#1-3#/dev/video2";

} // namespace

TEST(DeviceList, MarksOnlyPathsCarryingBothIdentifiers)
{
    DeviceList list;
    EXPECT_FALSE(list.fill({dev(kOther), dev("usb#vid_eb1a&pid_0000#1-4#/dev/video4"),
                            dev("usb#vid_0000&pid_5060#1-5#/dev/video6")}));
    EXPECT_FALSE(list.hasDevice());
    EXPECT_EQ(list.count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.supportedIndex(i), -1);

    EXPECT_TRUE(list.fill({dev(kOther), dev(kSupported)}));
    EXPECT_EQ(list.supportedIndex(0), -1);
    EXPECT_EQ(list.supportedIndex(1), 1);
    EXPECT_EQ(list.selected(), 1);
}

TEST(DeviceList, UpperCaseIdentifiersMatch)
{
    DeviceList list;
    EXPECT_TRUE(list.fill({dev("\\\\?\\USB#VID_EB1A&PID_5060#6&1A2B#{65e8773d}")}));
    EXPECT_EQ(list.supportedIndex(0), 0);
    EXPECT_TRUE(DeviceList::pathMatches("USB#Vid_Eb1A&Pid_5060", "VID_EB1A", "pid_5060"));
}

TEST(DeviceList, EmptyPathsAreKeptButNeverMatch)
{
    DeviceList list;
    list.setIdentifierPair("", ""); // even texts that every path contains
    EXPECT_FALSE(list.fill({dev("", "No Path", "/dev/video0")}));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.device(0).friendlyName, "No Path");
    EXPECT_EQ(list.supportedIndex(0), -1);
}

TEST(DeviceList, MissingNamesGetTheDefaultName)
{
    DeviceList list;
    list.fill({dev(kOther, ""), dev(kSupported, "Scope")});
    EXPECT_EQ(list.device(0).friendlyName, "USB Video Device");
    EXPECT_EQ(list.device(1).friendlyName, "Scope");
}

TEST(DeviceList, LastSupportedCameraIsSelected)
{
    DeviceList list;
    list.setSelected(7);
    ASSERT_TRUE(
        list.fill({dev(kSupported), dev(kOther), dev("usb#vid_eb1a&pid_5060#2-1#/dev/video4")}));
    EXPECT_EQ(list.supportedIndex(0), 0);
    EXPECT_EQ(list.supportedIndex(2), 2);
    EXPECT_EQ(list.selected(), 2);

    QStringList names;
    QVector<int> indices;
    list.names(names, indices);
    ASSERT_EQ(names.size(), 32);
    ASSERT_EQ(indices.size(), 32);
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], -1);
    EXPECT_EQ(indices[2], 2);
    EXPECT_EQ(indices[31], -1);
    EXPECT_TRUE(names[31].isEmpty());
}

TEST(DeviceList, SearchWithoutCameraKeepsTheSelectionAndClearsMarks)
{
    DeviceList list;
    ASSERT_TRUE(list.fill({dev(kOther), dev(kSupported)}));
    EXPECT_FALSE(list.fill({dev(kOther)}));
    EXPECT_EQ(list.supportedIndex(1), -1);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.selected(), 1);
    EXPECT_TRUE(list.device(1).devicePath.isEmpty());
}

TEST(DeviceList, KeepsTheFirst32Devices)
{
    std::vector<VideoDeviceInfo> devices;
    for (int i = 0; i < 40; ++i)
        devices.push_back(dev(QString("usb#vid_1234&pid_%1#1-%1#/dev/video%1").arg(i)));
    devices[31] = dev("usb#vid_eb1a&pid_5060#1-31#/dev/video31");
    devices[35] = dev("usb#vid_eb1a&pid_5060#1-35#/dev/video35");

    DeviceList list;
    EXPECT_TRUE(list.fill(devices));
    EXPECT_EQ(list.count(), 32);
    EXPECT_EQ(list.selected(), 31); // the camera beyond the list is not offered
    EXPECT_EQ(list.supportedIndex(31), 31);
    EXPECT_TRUE(list.device(32).devicePath.isEmpty());
    EXPECT_EQ(list.supportedIndex(32), -1);

    devices[31] = dev(kOther);
    EXPECT_FALSE(list.fill(devices));
}
