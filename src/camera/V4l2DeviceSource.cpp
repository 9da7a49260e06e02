#include "camera/V4l2DeviceSource.h"

#include "camera/EvdevStillButton.h"

#include "camera/UdevHotplugMonitor.h"

#include <QFile>

#include <gst/gst.h>
#include <libudev.h>

#include <algorithm>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace orvix {

namespace {

struct SizeRange {
    QString fourcc;
    int minW, maxW, stepW, minH, maxH, stepH;
};

QString fourccText(quint32 f)
{
    char s[5] = {char(f & 0xff), char((f >> 8) & 0xff), char((f >> 16) & 0xff),
                 char((f >> 24) & 0xff), 0};
    return QString::fromLatin1(s).trimmed();
}

int xioctl(int fd, unsigned long req, void* arg)
{
    int r;
    do {
        r = ::ioctl(fd, req, arg);
    } while (r < 0 && errno == EINTR);
    return r;
}

// Formats, sizes and frame rates the node lists; false when it cannot be asked.
bool probeFormats(const QString& node, std::vector<VideoFormat>& sizes,
                  std::vector<SizeRange>& ranges)
{
    const QByteArray path = QFile::encodeName(node);
    const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool any = false;
    v4l2_fmtdesc fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (fmt.index = 0; xioctl(fd, VIDIOC_ENUM_FMT, &fmt) == 0; ++fmt.index) {
        any = true;
        const QString fourcc = fourccText(fmt.pixelformat);
        v4l2_frmsizeenum fs{};
        fs.pixel_format = fmt.pixelformat;
        for (fs.index = 0; xioctl(fd, VIDIOC_ENUM_FRAMESIZES, &fs) == 0; ++fs.index) {
            if (fs.type != V4L2_FRMSIZE_TYPE_DISCRETE) {
                ranges.push_back({fourcc, int(fs.stepwise.min_width), int(fs.stepwise.max_width),
                                  int(std::max(1u, fs.stepwise.step_width)),
                                  int(fs.stepwise.min_height), int(fs.stepwise.max_height),
                                  int(std::max(1u, fs.stepwise.step_height))});
                break;
            }
            VideoFormat vf;
            vf.width = int(fs.discrete.width);
            vf.height = int(fs.discrete.height);
            vf.pixelFormat = fourcc;
            v4l2_frmivalenum iv{};
            iv.pixel_format = fmt.pixelformat;
            iv.width = fs.discrete.width;
            iv.height = fs.discrete.height;
            bool rate = false;
            for (iv.index = 0; xioctl(fd, VIDIOC_ENUM_FRAMEINTERVALS, &iv) == 0; ++iv.index) {
                if (iv.type != V4L2_FRMIVAL_TYPE_DISCRETE || iv.discrete.numerator == 0)
                    break;
                vf.fpsNum = int(iv.discrete.denominator);
                vf.fpsDen = int(iv.discrete.numerator);
                sizes.push_back(vf);
                rate = true;
            }
            if (!rate)
                sizes.push_back(vf);
        }
    }
    ::close(fd);
    return any;
}

// withRate: the device lists the format's frame rate for this size, so it can be asked for;
// otherwise the driver picks its own rate.
GstCaps* capsFor(const VideoFormat& f, bool withRate)
{
    auto sized = [&f, withRate](const char* media) {
        GstStructure* s = gst_structure_new(media, "width", G_TYPE_INT, f.width, "height",
                                            G_TYPE_INT, f.height, nullptr);
        if (withRate && f.fpsNum > 0 && f.fpsDen > 0)
            gst_structure_set(s, "framerate", GST_TYPE_FRACTION, f.fpsNum, f.fpsDen, nullptr);
        return s;
    };
    GstCaps* caps = gst_caps_new_empty();
    const QString pf = f.pixelFormat.toUpper();
    if (pf.isEmpty() || pf == QLatin1String("MJPG") || pf == QLatin1String("JPEG"))
        gst_caps_append_structure(caps, sized("image/jpeg"));
    if (pf.isEmpty() || (pf != QLatin1String("MJPG") && pf != QLatin1String("JPEG"))) {
        GstStructure* raw = sized("video/x-raw");
        if (pf == QLatin1String("YUYV"))
            gst_structure_set(raw, "format", G_TYPE_STRING, "YUY2", nullptr);
        // Raw first: no decoding when the camera can deliver it.
        GstCaps* rawCaps = gst_caps_new_full(raw, nullptr);
        caps = gst_caps_merge(rawCaps, caps);
    }
    return caps;
}

void onDecodedPad(GstElement*, GstPad* pad, gpointer convert)
{
    GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(convert), "sink");
    if (!gst_pad_is_linked(sink))
        gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

} // namespace

V4l2DeviceSource::V4l2DeviceSource(QString sysfsRoot, CaptureProbe probe)
    : m_sysfsRoot(std::move(sysfsRoot)), m_probe(std::move(probe))
{
    if (m_sysfsRoot == QLatin1String("/sys"))
        m_monitor = std::make_unique<UdevHotplugMonitor>();
    if (m_monitor)
        QObject::connect(m_monitor.get(), &UdevHotplugMonitor::hotplug, [this](HotplugKind kind) {
            if (m_handler)
                m_handler(kind);
        });
}

V4l2DeviceSource::~V4l2DeviceSource() = default;

bool V4l2DeviceSource::hotplugActive() const
{
    return m_monitor && m_monitor->isActive();
}

void V4l2DeviceSource::setHotplugHandler(HotplugHandler handler)
{
    m_handler = std::move(handler);
}

std::vector<VideoDeviceInfo> V4l2DeviceSource::enumerate()
{
    if (m_sysfsRoot != QLatin1String("/sys"))
        return scanSysfsVideoDevices(m_sysfsRoot, m_probe);

    udev* u = udev_new();
    if (!u)
        return scanSysfsVideoDevices(m_sysfsRoot, m_probe);
    std::vector<std::pair<int, VideoDeviceInfo>> found;
    udev_enumerate* en = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(en, "video4linux");
    udev_enumerate_scan_devices(en);
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        const char* sysPath = udev_list_entry_get_name(entry);
        udev_device* dev = udev_device_new_from_syspath(u, sysPath);
        if (!dev)
            continue;
        const char* devnode = udev_device_get_devnode(dev);
        if (devnode) {
            const QString sys = QString::fromUtf8(sysPath);
            if (auto info = describeVideoNode(sys, QString::fromUtf8(devnode), m_probe))
                found.emplace_back(videoNodeNumber(sys), *info);
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(en);
    udev_unref(u);
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<VideoDeviceInfo> out;
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}

bool V4l2DeviceSource::ownsDevice(const VideoDeviceInfo& device) const
{
    return device.node.startsWith(QLatin1String("/dev/"));
}

std::vector<VideoFormat> V4l2DeviceSource::formats(const VideoDeviceInfo& device) const
{
    std::vector<VideoFormat> sizes;
    std::vector<SizeRange> ranges;
    probeFormats(device.node, sizes, ranges);
    for (const SizeRange& r : ranges) {
        // Offer the usual sizes a stepwise driver accepts.
        static const int common[][2] = {{640, 480},  {800, 600},   {1280, 720},
                                        {1280, 960}, {1600, 1200}, {1920, 1080}};
        for (const auto& c : common)
            if (c[0] >= r.minW && c[0] <= r.maxW && (c[0] - r.minW) % r.stepW == 0 &&
                c[1] >= r.minH && c[1] <= r.maxH && (c[1] - r.minH) % r.stepH == 0) {
                VideoFormat vf;
                vf.width = c[0];
                vf.height = c[1];
                vf.pixelFormat = r.fourcc;
                sizes.push_back(vf);
            }
    }
    return sizes;
}

bool V4l2DeviceSource::acceptsFormat(const VideoDeviceInfo& device, const VideoFormat& format) const
{
    std::vector<VideoFormat> sizes;
    std::vector<SizeRange> ranges;
    // A node that cannot be asked (busy, no enumeration) is left to caps negotiation.
    if (!probeFormats(device.node, sizes, ranges) || (sizes.empty() && ranges.empty()))
        return true;
    const QString pf = format.pixelFormat.toUpper();
    for (const VideoFormat& s : sizes)
        if (s.width == format.width && s.height == format.height &&
            (pf.isEmpty() || s.pixelFormat.toUpper() == pf))
            return true;
    for (const SizeRange& r : ranges)
        if (format.width >= r.minW && format.width <= r.maxW && format.height >= r.minH &&
            format.height <= r.maxH && (pf.isEmpty() || r.fourcc.toUpper() == pf))
            return true;
    return false;
}

GstElement* V4l2DeviceSource::createSourceElement(const VideoDeviceInfo& device,
                                                  const VideoFormat& format, QString* error)
{
    GstElement* src = gst_element_factory_make("v4l2src", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    if (!src || !filter || !decode || !convert) {
        for (GstElement* e : {src, filter, decode, convert})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        if (error)
            *error = QStringLiteral("GStreamer V4L2 or decoder elements are missing");
        return nullptr;
    }
    GstElement* bin = gst_bin_new(nullptr);
    g_object_set(src, "device", device.node.toUtf8().constData(), nullptr);
    bool rateListed = false;
    for (const VideoFormat& f : formats(device))
        if (f.width == format.width && f.height == format.height &&
            f.fpsNum * format.fpsDen == format.fpsNum * f.fpsDen)
            rateListed = true;
    GstCaps* caps = capsFor(format, rateListed);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(bin), src, filter, decode, convert, nullptr);
    gst_element_link_many(src, filter, decode, nullptr);
    g_signal_connect(decode, "pad-added", G_CALLBACK(onDecodedPad), convert);
    GstPad* out = gst_element_get_static_pad(convert, "src");
    gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
    gst_object_unref(out);
    return bin;
}

bool V4l2DeviceSource::setStillButtonHandler(const VideoDeviceInfo& device,
                                             std::function<void()> handler)
{
    if (!handler) {
        m_buttons.erase(device.node);
        return true;
    }
    const QString name = device.node.section(QLatin1Char('/'), -1);
    const QString videoSys = m_sysfsRoot + QStringLiteral("/class/video4linux/") + name;
    const QString node = findStillButtonNode(m_sysfsRoot, videoSys, nodeHasCameraKey);
    if (node.isEmpty())
        return false;
    auto button = std::make_unique<EvdevStillButton>();
    if (!button->open(node, std::move(handler)))
        return false;
    m_buttons[device.node] = std::move(button);
    return true;
}

} // namespace orvix
