#pragma once
// Reading V4L2 capture devices out of a sysfs tree: the USB parent's identifiers, the device
// path that carries them and the friendly name. Plain functions over a directory, so they
// run the same on /sys and on a test tree.

#include "camera/CameraTypes.h"
#include "camera/DeviceSource.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace orvix {

// What VIDIOC_QUERYCAP says about a node.
struct CaptureProbeResult {
    bool opened = false;
    bool canCapture = false; // V4L2_CAP_VIDEO_CAPTURE in the node's own capabilities
    QString card;
};
using CaptureProbe = std::function<CaptureProbeResult(const QString& node)>;

// Opens the node and asks the driver.
CaptureProbeResult queryV4l2Capture(const QString& node);

// The usb_device above a video4linux device directory.
struct UsbParentInfo {
    QString sysPath;
    QString vendorId;  // four lower-case hex digits
    QString productId; // four lower-case hex digits
    QString port;      // "<busnum>-<devpath>", e.g. "1-2.3"
    QString manufacturer;
    QString serial;
};

// Walks up from a video4linux device directory (a class link is resolved first) to the
// first directory with idVendor and idProduct. Stops at stopAt (the sysfs root).
std::optional<UsbParentInfo> findUsbParent(const QString& videoSysPath,
                                           const QString& stopAt = QString());

// "usb#vid_xxxx&pid_xxxx#<port>#<node>" for USB devices, "v4l2#<sysname>#<node>" otherwise.
QString buildDevicePath(const std::optional<UsbParentInfo>& usb, const QString& sysName,
                        const QString& node);

// The device node named by the directory's uevent (DEVNAME), below devRoot.
QString nodeFromSysfs(const QString& videoSysPath, const QString& devRoot = "/dev");

// The entry for one video4linux device, or nothing when its node cannot capture.
std::optional<VideoDeviceInfo> describeVideoNode(const QString& videoSysPath, const QString& node,
                                                 const CaptureProbe& probe,
                                                 const QString& stopAt = QString());

// All capture devices below <sysfsRoot>/class/video4linux, ordered by node number.
std::vector<VideoDeviceInfo> scanSysfsVideoDevices(const QString& sysfsRoot,
                                                   const CaptureProbe& probe,
                                                   const QString& devRoot = "/dev");

// The number in "video12", or -1.
int videoNodeNumber(const QString& name);

// How a uevent of the monitored subsystems maps onto hotplug, or nothing for events that
// do not add or remove a USB device or a video node.
std::optional<HotplugKind> classifyUevent(const QString& action, const QString& subsystem,
                                          const QString& devtype);

} // namespace orvix
