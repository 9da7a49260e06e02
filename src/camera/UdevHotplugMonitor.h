#pragma once
// Follows USB devices and video nodes coming and going: a udev monitor on the "usb" and
// "video4linux" subsystems, read on the owning thread's event loop.

#include "camera/DeviceSource.h"

#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace orvix {

class UdevHotplugMonitor : public QObject {
    Q_OBJECT
public:
    explicit UdevHotplugMonitor(QObject* parent = nullptr);
    ~UdevHotplugMonitor() override;

    // False when the monitor could not be opened (no udev, no netlink access).
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void hotplug(orvix::HotplugKind kind);

private:
    void onReadable();

    struct udev* m_udev = nullptr;
    struct udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace orvix
