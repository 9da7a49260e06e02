#include "camera/SysfsVideo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace orvix {

namespace {

QString readAttr(const QString& dir, const char* name)
{
    QFile f(dir + QLatin1Char('/') + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(4096)).trimmed();
}

// idVendor/idProduct as four lower-case hex digits; empty when not hex.
QString normaliseId(const QString& raw)
{
    bool ok = false;
    const uint v = raw.toUInt(&ok, 16);
    if (!ok || v > 0xffff)
        return {};
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0'));
}

} // namespace

CaptureProbeResult queryV4l2Capture(const QString& node)
{
    CaptureProbeResult r;
    const QByteArray path = QFile::encodeName(node);
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return r;
    r.opened = true;
    v4l2_capability cap{};
    if (::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
        const quint32 caps =
            (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
        r.canCapture = (caps & V4L2_CAP_VIDEO_CAPTURE) != 0;
        r.card = QString::fromUtf8(
            reinterpret_cast<const char*>(cap.card),
            int(strnlen(reinterpret_cast<const char*>(cap.card), sizeof cap.card)));
    }
    ::close(fd);
    return r;
}

std::optional<UsbParentInfo> findUsbParent(const QString& videoSysPath, const QString& stopAt)
{
    QString dir = QFileInfo(videoSysPath).canonicalFilePath();
    if (dir.isEmpty())
        return std::nullopt;
    const QString stop = stopAt.isEmpty() ? QString() : QFileInfo(stopAt).canonicalFilePath();
    // The video node itself is never the USB device; start with its parent.
    while (true) {
        const int slash = dir.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return std::nullopt;
        dir.truncate(slash);
        if (!stop.isEmpty() && !(dir + QLatin1Char('/')).startsWith(stop + QLatin1Char('/')))
            return std::nullopt;
        if (QFileInfo::exists(dir + "/idVendor") && QFileInfo::exists(dir + "/idProduct")) {
            UsbParentInfo u;
            u.sysPath = dir;
            u.vendorId = normaliseId(readAttr(dir, "idVendor"));
            u.productId = normaliseId(readAttr(dir, "idProduct"));
            if (u.vendorId.isEmpty() || u.productId.isEmpty())
                return std::nullopt;
            const QString bus = readAttr(dir, "busnum");
            const QString devpath = readAttr(dir, "devpath");
            u.port = (!bus.isEmpty() && !devpath.isEmpty())
                         ? bus + QLatin1Char('-') + devpath
                         : dir.mid(dir.lastIndexOf(QLatin1Char('/')) + 1);
            u.manufacturer = readAttr(dir, "manufacturer");
            u.serial = readAttr(dir, "serial");
            return u;
        }
    }
}

QString buildDevicePath(const std::optional<UsbParentInfo>& usb, const QString& sysName,
                        const QString& node)
{
    if (usb)
        return QStringLiteral("usb#vid_%1&pid_%2#%3#%4")
            .arg(usb->vendorId, usb->productId, usb->port, node);
    return QStringLiteral("v4l2#%1#%2").arg(sysName, node);
}

QString nodeFromSysfs(const QString& videoSysPath, const QString& devRoot)
{
    QFile f(videoSysPath + "/uevent");
    if (f.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (const QByteArray& line : lines)
            if (line.startsWith("DEVNAME="))
                return devRoot + QLatin1Char('/') + QString::fromUtf8(line.mid(8)).trimmed();
    }
    return devRoot + QLatin1Char('/') + QFileInfo(videoSysPath).fileName();
}

std::optional<VideoDeviceInfo> describeVideoNode(const QString& videoSysPath, const QString& node,
                                                 const CaptureProbe& probe, const QString& stopAt)
{
    const CaptureProbeResult caps = probe(node);
    if (!caps.canCapture)
        return std::nullopt;
    VideoDeviceInfo info;
    info.node = node;
    info.devicePath = buildDevicePath(findUsbParent(videoSysPath, stopAt),
                                      QFileInfo(videoSysPath).fileName(), node);
    info.friendlyName = caps.card;
    if (info.friendlyName.isEmpty())
        info.friendlyName = readAttr(QFileInfo(videoSysPath).canonicalFilePath(), "name");
    return info;
}

int videoNodeNumber(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("(\\d+)$"));
    const auto m = re.match(name);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

std::vector<VideoDeviceInfo>
scanSysfsVideoDevices(const QString& sysfsRoot, const CaptureProbe& probe, const QString& devRoot)
{
    QDir classDir(sysfsRoot + "/class/video4linux");
    QStringList entries = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    std::sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        const int na = videoNodeNumber(a), nb = videoNodeNumber(b);
        return na != nb ? na < nb : a < b;
    });
    std::vector<VideoDeviceInfo> out;
    for (const QString& e : entries) {
        const QString sys = classDir.filePath(e);
        if (auto info = describeVideoNode(sys, nodeFromSysfs(sys, devRoot), probe, sysfsRoot))
            out.push_back(*info);
    }
    return out;
}

std::optional<HotplugKind> classifyUevent(const QString& action, const QString& subsystem,
                                          const QString& devtype)
{
    const bool relevant =
        (subsystem == QLatin1String("usb") && devtype == QLatin1String("usb_device")) ||
        subsystem == QLatin1String("video4linux");
    if (!relevant)
        return std::nullopt;
    if (action == QLatin1String("add"))
        return HotplugKind::Added;
    if (action == QLatin1String("remove"))
        return HotplugKind::Removed;
    return std::nullopt;
}

} // namespace orvix
