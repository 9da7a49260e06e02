#include "camera/EvdevStillButton.h"

#include "camera/SysfsVideo.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

namespace orvix {

namespace {
QString canonical(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}
} // namespace

QString findStillButtonNode(const QString& sysfsRoot, const QString& videoSysPath,
                            const std::function<bool(const QString& node)>& hasCameraKey,
                            const QString& devRoot)
{
    const auto usb = findUsbParent(videoSysPath, sysfsRoot);
    if (!usb)
        return {};
    const QString usbDir = canonical(usb->sysPath) + QLatin1Char('/');
    const QDir inputClass(sysfsRoot + QStringLiteral("/class/input"));
    const QStringList events =
        inputClass.entryList({QStringLiteral("event*")}, QDir::Dirs | QDir::System, QDir::Name);
    for (const QString& name : events) {
        // The event device's own directory lies below the USB device it belongs to.
        const QString dir = canonical(inputClass.filePath(name));
        if (!dir.startsWith(usbDir))
            continue;
        const QString node = devRoot + QStringLiteral("/input/") + name;
        if (!hasCameraKey || hasCameraKey(node))
            return node;
    }
    return {};
}

bool nodeHasCameraKey(const QString& node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    libevdev* dev = nullptr;
    bool has = false;
    if (libevdev_new_from_fd(fd, &dev) == 0) {
        has = libevdev_has_event_code(dev, EV_KEY, KEY_CAMERA) == 1;
        libevdev_free(dev);
    }
    ::close(fd);
    return has;
}

EvdevStillButton::EvdevStillButton(QObject* parent) : QObject(parent) {}

EvdevStillButton::~EvdevStillButton()
{
    close();
}

bool EvdevStillButton::open(const QString& node, std::function<void()> handler)
{
    close();
    m_fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    if (libevdev_new_from_fd(m_fd, &m_dev) != 0 ||
        libevdev_has_event_code(m_dev, EV_KEY, KEY_CAMERA) != 1) {
        close();
        return false;
    }
    m_handler = std::move(handler);
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EvdevStillButton::readEvents);
    return true;
}

void EvdevStillButton::close()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_dev)
        libevdev_free(m_dev);
    m_dev = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_handler = {};
}

void EvdevStillButton::readEvents()
{
    if (!m_dev)
        return;
    input_event ev{};
    int flag = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int rc = libevdev_next_event(m_dev, flag, &ev);
        if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            flag = LIBEVDEV_READ_FLAG_SYNC; // drain the resync, presses in it are stale
            continue;
        }
        if (rc == -EAGAIN && flag == LIBEVDEV_READ_FLAG_SYNC) {
            flag = LIBEVDEV_READ_FLAG_NORMAL;
            continue;
        }
        if (rc != LIBEVDEV_READ_STATUS_SUCCESS) {
            if (rc != -EAGAIN) {
                // The device went away (camera unplugged): stop watching it.
                if (m_notifier)
                    m_notifier->setEnabled(false);
            }
            return;
        }
        if (flag == LIBEVDEV_READ_FLAG_NORMAL && ev.type == EV_KEY && ev.code == KEY_CAMERA &&
            ev.value == 1 && m_handler)
            m_handler();
    }
}

} // namespace orvix
