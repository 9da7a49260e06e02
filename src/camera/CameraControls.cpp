#include "camera/CameraControls.h"

#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace orvix {

// --- V4L2 ---------------------------------------------------------------------------

V4l2CameraControls::V4l2CameraControls(const QString& node)
{
    m_fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd >= 0) {
        const int fd = m_fd;
        m_io = [fd](unsigned long req, void* arg) { return ::ioctl(fd, req, arg); };
    }
}

V4l2CameraControls::V4l2CameraControls(Ioctl io) : m_io(std::move(io)) {}

V4l2CameraControls::~V4l2CameraControls()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int V4l2CameraControls::request(unsigned long req, void* arg) const
{
    if (!m_io) {
        errno = ENODEV;
        return -1;
    }
    int r;
    do {
        r = m_io(req, arg);
    } while (r < 0 && errno == EINTR);
    return r;
}

std::vector<CameraControl> V4l2CameraControls::controls() const
{
    std::vector<CameraControl> out;
    auto add = [this, &out](const v4l2_queryctrl& q) {
        if ((q.flags & V4L2_CTRL_FLAG_DISABLED) != 0)
            return;
        CameraControl c;
        switch (q.type) {
        case V4L2_CTRL_TYPE_INTEGER:
            c.type = CameraControlType::Integer;
            break;
        case V4L2_CTRL_TYPE_BOOLEAN:
            c.type = CameraControlType::Boolean;
            break;
        case V4L2_CTRL_TYPE_MENU:
        case V4L2_CTRL_TYPE_INTEGER_MENU:
            c.type = CameraControlType::Menu;
            break;
        case V4L2_CTRL_TYPE_BUTTON:
            c.type = CameraControlType::Button;
            break;
        default:
            return; // classes, strings, 64-bit and compound controls are not shown
        }
        c.id = q.id;
        const char* name = reinterpret_cast<const char*>(q.name);
        c.name = QString::fromUtf8(name, int(strnlen(name, sizeof q.name)));
        c.minimum = q.minimum;
        c.maximum = q.maximum;
        c.step = q.step > 0 ? q.step : 1;
        c.defaultValue = q.default_value;
        c.inactive = (q.flags & (V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_GRABBED)) != 0;
        c.readOnly = (q.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
        if (c.type == CameraControlType::Menu) {
            for (int i = q.minimum; i <= q.maximum && i - q.minimum < 256; ++i) {
                v4l2_querymenu m{};
                m.id = q.id;
                m.index = quint32(i);
                if (request(VIDIOC_QUERYMENU, &m) != 0)
                    continue; // gaps in a menu are allowed
                QString item;
                if (q.type == V4L2_CTRL_TYPE_INTEGER_MENU) {
                    item = QString::number(qlonglong(m.value));
                } else {
                    const char* n = reinterpret_cast<const char*>(m.name);
                    item = QString::fromUtf8(n, int(strnlen(n, sizeof m.name)));
                }
                c.menu.push_back({i, item});
            }
            if (c.menu.empty())
                return;
        }
        if (c.type != CameraControlType::Button && (q.flags & V4L2_CTRL_FLAG_WRITE_ONLY) == 0) {
            int v = 0;
            c.value = get(q.id, &v) ? v : c.defaultValue;
        } else {
            c.value = c.defaultValue;
        }
        out.push_back(std::move(c));
    };

    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    bool next = false;
    while (request(VIDIOC_QUERYCTRL, &q) == 0) {
        next = true;
        add(q);
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    if (next)
        return out;
    // Drivers without NEXT_CTRL: the user and camera classes one id at a time.
    for (quint32 id = V4L2_CID_BASE; id < V4L2_CID_LASTP1; ++id) {
        v4l2_queryctrl one{};
        one.id = id;
        if (request(VIDIOC_QUERYCTRL, &one) == 0)
            add(one);
    }
    for (quint32 id = V4L2_CID_CAMERA_CLASS_BASE; id < V4L2_CID_CAMERA_CLASS_BASE + 64; ++id) {
        v4l2_queryctrl one{};
        one.id = id;
        if (request(VIDIOC_QUERYCTRL, &one) == 0)
            add(one);
    }
    return out;
}

bool V4l2CameraControls::get(quint32 id, int* value) const
{
    v4l2_control c{};
    c.id = id;
    if (request(VIDIOC_G_CTRL, &c) != 0)
        return false;
    if (value)
        *value = c.value;
    return true;
}

bool V4l2CameraControls::set(quint32 id, int value)
{
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return request(VIDIOC_S_CTRL, &c) == 0;
}

// --- demo camera ----------------------------------------------------------------------

namespace {

// The demo's automatic exposure is on or off; a UVC camera shows it as a menu of two modes.
constexpr int kExposureManual = V4L2_EXPOSURE_MANUAL;
constexpr int kExposureAuto = V4L2_EXPOSURE_APERTURE_PRIORITY;

struct DemoMapping {
    quint32 id;
    DemoControl control;
    const char* name;
    CameraControlType type;
};

const DemoMapping kDemoControls[] = {
    {V4L2_CID_BRIGHTNESS, DemoControl::Brightness, "Brightness", CameraControlType::Integer},
    {V4L2_CID_CONTRAST, DemoControl::Contrast, "Contrast", CameraControlType::Integer},
    {V4L2_CID_EXPOSURE_AUTO, DemoControl::AutoExposure, "Exposure, Auto", CameraControlType::Menu},
    {V4L2_CID_EXPOSURE_ABSOLUTE, DemoControl::Exposure, "Exposure (Absolute)",
     CameraControlType::Integer},
};

const DemoMapping* demoMapping(quint32 id)
{
    for (const DemoMapping& m : kDemoControls)
        if (m.id == id)
            return &m;
    return nullptr;
}

} // namespace

DemoCameraControls::DemoCameraControls(std::shared_ptr<DemoCameraHub> hub, int camera)
    : m_hub(std::move(hub)), m_camera(camera)
{
}

std::vector<CameraControl> DemoCameraControls::controls() const
{
    std::vector<CameraControl> out;
    const bool automatic = m_hub->control(DemoControl::AutoExposure, m_camera) != 0;
    for (const DemoMapping& m : kDemoControls) {
        CameraControl c;
        c.id = m.id;
        c.name = QString::fromLatin1(m.name);
        c.type = m.type;
        const DemoControlRange r = DemoCameraHub::controlRange(m.control);
        if (m.control == DemoControl::AutoExposure) {
            c.minimum = kExposureManual;
            c.maximum = kExposureAuto;
            c.defaultValue = r.defaultValue ? kExposureAuto : kExposureManual;
            c.menu = {{kExposureManual, QStringLiteral("Manual Mode")},
                      {kExposureAuto, QStringLiteral("Aperture Priority Mode")}};
        } else {
            c.minimum = r.minimum;
            c.maximum = r.maximum;
            c.step = r.step;
            c.defaultValue = r.defaultValue;
        }
        get(m.id, &c.value);
        c.inactive = m.control == DemoControl::Exposure && automatic;
        out.push_back(std::move(c));
    }
    return out;
}

bool DemoCameraControls::get(quint32 id, int* value) const
{
    const DemoMapping* m = demoMapping(id);
    if (!m || !m_hub->isPlugged(m_camera))
        return false;
    int v = m_hub->control(m->control, m_camera);
    if (m->control == DemoControl::AutoExposure)
        v = v ? kExposureAuto : kExposureManual;
    if (value)
        *value = v;
    return true;
}

bool DemoCameraControls::set(quint32 id, int value)
{
    const DemoMapping* m = demoMapping(id);
    if (!m || !m_hub->isPlugged(m_camera))
        return false;
    if (m->control == DemoControl::AutoExposure) {
        if (value != kExposureManual && value != kExposureAuto)
            return false;
        value = value == kExposureAuto ? 1 : 0;
    }
    return m_hub->setControl(m->control, value, m_camera);
}

// --- lookup -----------------------------------------------------------------------------

std::unique_ptr<ICameraControls> cameraControlsFor(const DevicePool& pool,
                                                   const VideoDeviceInfo& device)
{
    for (const auto& source : pool.sources()) {
        if (!source->ownsDevice(device))
            continue;
        if (auto hub = std::dynamic_pointer_cast<DemoCameraHub>(source)) {
            bool ok = false;
            const int camera = device.node.section(QLatin1Char(':'), 1).toInt(&ok);
            if (!ok || camera < 0 || camera >= hub->cameraCount())
                return nullptr;
            return std::make_unique<DemoCameraControls>(hub, camera);
        }
        if (source->kind() == QLatin1String("v4l2")) {
            auto controls = std::make_unique<V4l2CameraControls>(device.node);
            if (!controls->isOpen())
                return nullptr;
            return controls;
        }
        return nullptr;
    }
    return nullptr;
}

} // namespace orvix
