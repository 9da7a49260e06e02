#include "camera/UdevHotplugMonitor.h"

#include "camera/SysfsVideo.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace orvix {

UdevHotplugMonitor::UdevHotplugMonitor(QObject* parent) : QObject(parent)
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", "usb_device");
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "video4linux", nullptr);
    if (udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevHotplugMonitor::onReadable);
}

UdevHotplugMonitor::~UdevHotplugMonitor()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void UdevHotplugMonitor::onReadable()
{
    // One readable notification can carry several queued events.
    while (udev_device* dev = udev_monitor_receive_device(m_monitor)) {
        auto text = [](const char* s) { return s ? QString::fromUtf8(s) : QString(); };
        const auto kind =
            classifyUevent(text(udev_device_get_action(dev)), text(udev_device_get_subsystem(dev)),
                           text(udev_device_get_devtype(dev)));
        udev_device_unref(dev);
        if (kind)
            Q_EMIT hotplug(*kind);
    }
}

} // namespace orvix
