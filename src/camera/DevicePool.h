#pragma once
// All video device sources of the program behind one device type. Enumerates them in a
// stable order (real devices first, then built-in ones) and turns their hotplug reports
// into the three notifications the main window follows: an added device is an arrival
// followed by a nodes-changed pass, a removed one is a removal complete.

#include "camera/CameraTypes.h"
#include "camera/DeviceSource.h"

#include <QObject>

#include <memory>
#include <vector>

namespace orvix {

class DemoCameraHub;

class DevicePool : public QObject {
    Q_OBJECT
public:
    explicit DevicePool(QObject* parent = nullptr);
    ~DevicePool() override;

    // The pool of the program: the V4L2 cameras and, with withDemo, the demo camera.
    static std::unique_ptr<DevicePool> createDefault(bool withDemo);

    void addSource(std::shared_ptr<IVideoDeviceSource> source);
    const std::vector<std::shared_ptr<IVideoDeviceSource>>& sources() const { return m_sources; }
    // The demo camera when it is offered, else nullptr.
    DemoCameraHub* demoHub() const;

    std::vector<VideoDeviceInfo> enumerate() const;
    IVideoDeviceSource* sourceFor(const VideoDeviceInfo& device) const;

Q_SIGNALS:
    void deviceArrival();
    void deviceNodesChanged();
    void deviceRemovalComplete();

private:
    void onHotplug(HotplugKind kind);

    std::vector<std::shared_ptr<IVideoDeviceSource>> m_sources;
};

} // namespace orvix
