#pragma once
// The picture and camera controls of a video device, for the video source dialog: V4L2
// controls on the camera's node, or the demo camera's own controls presented the same way.

#include "camera/CameraTypes.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace orvix {

class DemoCameraHub;
class DevicePool;

enum class CameraControlType { Integer, Boolean, Menu, Button };

struct CameraControlMenuItem {
    int value;
    QString name;
};

struct CameraControl {
    quint32 id = 0; // V4L2 control id
    QString name;
    CameraControlType type = CameraControlType::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    bool inactive = false; // another control (an automatic mode) rules it now
    bool readOnly = false;
    std::vector<CameraControlMenuItem> menu; // menu controls only
};

class ICameraControls {
public:
    virtual ~ICameraControls() = default;
    // Every control the device offers, with its current value, in the device's order.
    virtual std::vector<CameraControl> controls() const = 0;
    virtual bool get(quint32 id, int* value) const = 0;
    // False when the device refuses the value.
    virtual bool set(quint32 id, int value) = 0;
};

// V4L2 controls through VIDIOC_QUERYCTRL, QUERYMENU, G_CTRL and S_CTRL.
class V4l2CameraControls : public ICameraControls {
public:
    // One request on the device: returns 0 or -1 with errno set, as ioctl does.
    using Ioctl = std::function<int(unsigned long request, void* arg)>;

    // Opens the node (closed again with the object).
    explicit V4l2CameraControls(const QString& node);
    // Talks to the device through io (tests use a simulated device).
    explicit V4l2CameraControls(Ioctl io);
    ~V4l2CameraControls() override;

    bool isOpen() const { return bool(m_io); }
    std::vector<CameraControl> controls() const override;
    bool get(quint32 id, int* value) const override;
    bool set(quint32 id, int value) override;

private:
    int request(unsigned long req, void* arg) const;

    int m_fd = -1;
    Ioctl m_io;
};

// The demo camera's picture controls (brightness, contrast, exposure and its automatic
// mode), under the ids and names a UVC camera uses for them.
class DemoCameraControls : public ICameraControls {
public:
    DemoCameraControls(std::shared_ptr<DemoCameraHub> hub, int camera);

    std::vector<CameraControl> controls() const override;
    bool get(quint32 id, int* value) const override;
    bool set(quint32 id, int value) override;

private:
    std::shared_ptr<DemoCameraHub> m_hub;
    int m_camera;
};

// The controls of a device of the pool; nullptr when it has none that can be reached.
std::unique_ptr<ICameraControls> cameraControlsFor(const DevicePool& pool,
                                                   const VideoDeviceInfo& device);

} // namespace orvix
