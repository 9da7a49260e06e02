#pragma once
// Real cameras: V4L2 capture nodes found through udev (or a sysfs tree), streamed with
// v4l2src.

#include "camera/DeviceSource.h"
#include "camera/SysfsVideo.h"

#include <memory>

#include <map>

namespace orvix {

class EvdevStillButton;

class UdevHotplugMonitor;

class V4l2DeviceSource : public IVideoDeviceSource {
public:
    // sysfsRoot other than "/sys" reads that tree instead of asking udev (tests); the probe
    // answers VIDIOC_QUERYCAP for a node. Hotplug is followed only on the real system.
    explicit V4l2DeviceSource(QString sysfsRoot = QStringLiteral("/sys"),
                              CaptureProbe probe = queryV4l2Capture);
    ~V4l2DeviceSource() override;

    QString kind() const override { return QStringLiteral("v4l2"); }
    std::vector<VideoDeviceInfo> enumerate() override;
    bool ownsDevice(const VideoDeviceInfo& device) const override;
    bool acceptsFormat(const VideoDeviceInfo& device, const VideoFormat& format) const override;
    std::vector<VideoFormat> formats(const VideoDeviceInfo& device) const override;
    GstElement* createSourceElement(const VideoDeviceInfo& device, const VideoFormat& format,
                                    QString* error) override;
    void setHotplugHandler(HotplugHandler handler) override;
    // The camera's snapshot button through its input device (KEY_CAMERA).
    bool setStillButtonHandler(const VideoDeviceInfo& device,
                               std::function<void()> handler) override;

    bool hotplugActive() const;

private:
    QString m_sysfsRoot;
    CaptureProbe m_probe;
    HotplugHandler m_handler;
    std::unique_ptr<UdevHotplugMonitor> m_monitor;
    std::map<QString, std::unique_ptr<EvdevStillButton>> m_buttons; // by video node
};

} // namespace orvix
