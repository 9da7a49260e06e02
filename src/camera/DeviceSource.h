#pragma once
// One kind of video input device (V4L2 cameras, the demo camera): lists its devices and
// makes the media source for one of them.

#include "camera/CameraTypes.h"

#include <QString>

#include <functional>
#include <vector>

typedef struct _GstElement GstElement;

namespace orvix {

enum class HotplugKind { Added, Removed };

class IVideoDeviceSource {
public:
    using HotplugHandler = std::function<void(HotplugKind)>;

    virtual ~IVideoDeviceSource() = default;

    // Short name of the kind ("v4l2", "demo").
    virtual QString kind() const = 0;
    // Built-in stand-ins are listed after real devices.
    virtual bool isVirtual() const { return false; }

    // The devices present now, in a stable order.
    virtual std::vector<VideoDeviceInfo> enumerate() = 0;
    virtual bool ownsDevice(const VideoDeviceInfo& device) const = 0;

    // Whether the device takes this capture format (the stream-configuration write).
    virtual bool acceptsFormat(const VideoDeviceInfo& device, const VideoFormat& format) const = 0;
    // Formats the device offers, for the format page.
    virtual std::vector<VideoFormat> formats(const VideoDeviceInfo& device) const = 0;

    // A new element (floating reference) with one "src" pad delivering raw video of the
    // format, or nullptr with the reason in error.
    virtual GstElement* createSourceElement(const VideoDeviceInfo& device,
                                            const VideoFormat& format, QString* error) = 0;

    // Called on the thread that owns the source whenever one of its devices comes or goes.
    virtual void setHotplugHandler(HotplugHandler handler) = 0;

    // The device's own snapshot button: handler runs on every press (on any thread) until
    // replaced; an empty handler stops it. False when the device has no such button here.
    virtual bool setStillButtonHandler(const VideoDeviceInfo& device, std::function<void()> handler)
    {
        (void)device;
        (void)handler;
        return false;
    }
};

} // namespace orvix
