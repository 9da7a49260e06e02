#pragma once
// The built-in demo microscope camera. It is listed like a supported USB camera (its path
// carries vid_eb1a and pid_5060), streams a stage micrometer at a known scale through the
// same pipelines as a real camera, has picture controls, a snapshot button, zoom and light,
// and can be plugged, unplugged and made to fail by tests. Offered only with --demo and by
// test fixtures.

#include "camera/DemoRenderer.h"
#include "camera/DeviceSource.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace orvix {

enum class DemoFault {
    None,
    StartFails,     // the pipeline cannot go to PLAYING (the device cannot be opened)
    FormatRejected, // the capture format cannot be set
    NoFrames,       // streams, but never delivers a frame
};

enum class DemoControl { Brightness, Contrast, Exposure, AutoExposure, Zoom, Light, LightOn };

struct DemoControlRange {
    int minimum;
    int maximum;
    int step;
    int defaultValue;
};

namespace detail {
struct DemoCameraState;
}

class DemoCameraHub : public IVideoDeviceSource {
public:
    static constexpr int kMaxCameras = 4;
    static constexpr const char* kFriendlyName = "Orvix Demo Microscope";

    explicit DemoCameraHub(int cameras = 1, bool pluggedAtStart = true);
    ~DemoCameraHub() override;

    // IVideoDeviceSource
    QString kind() const override { return QStringLiteral("demo"); }
    bool isVirtual() const override { return true; }
    std::vector<VideoDeviceInfo> enumerate() override;
    bool ownsDevice(const VideoDeviceInfo& device) const override;
    bool acceptsFormat(const VideoDeviceInfo& device, const VideoFormat& format) const override;
    std::vector<VideoFormat> formats(const VideoDeviceInfo& device) const override;
    GstElement* createSourceElement(const VideoDeviceInfo& device, const VideoFormat& format,
                                    QString* error) override;
    void setHotplugHandler(HotplugHandler handler) override;
    bool setStillButtonHandler(const VideoDeviceInfo& device,
                               std::function<void()> handler) override;

    // The entry of demo camera n ("usb#vid_eb1a&pid_5060#demo-<n+1>#demo:<n>").
    static VideoDeviceInfo deviceInfo(int camera = 0);
    // 640x480, 800x600, 1280x960, 1600x1200 at 30 fps.
    static std::vector<VideoFormat> offeredFormats();
    static DemoControlRange controlRange(DemoControl control);

    int cameraCount() const { return int(m_cameras.size()); }

    // Hotplug, reported through the handler like a real camera. Unplugging a streaming
    // camera ends its stream with an error, as a pulled USB camera does.
    void plug(int camera = 0);
    void unplug(int camera = 0);
    bool isPlugged(int camera = 0) const;

    void setFault(DemoFault fault, int camera = 0);
    DemoFault fault(int camera = 0) const;

    // Cells drift while motion is on; off makes every frame the same picture.
    void setMotion(bool on, int camera = 0);

    // Picture controls. A value outside the range is refused.
    int control(DemoControl control, int camera = 0) const;
    bool setControl(DemoControl control, int value, int camera = 0);
    DemoPictureSettings pictureSettings(int camera = 0) const;
    // Scale of the picture at this width with the current zoom.
    double pixelsPerMm(int width, int camera = 0) const;

    // The camera's own snapshot button. Returns whether a handler took the press.
    void setSnapshotHandler(std::function<void()> handler, int camera = 0);
    bool pressSnapshotButton(int camera = 0);

    // Streams that exist now (elements not yet destroyed) and frames delivered so far.
    int activeStreams(int camera = 0) const;
    quint64 framesDelivered(int camera = 0) const;
    // Frames the pacing thread could not deliver on time.
    quint64 framesLate(int camera = 0) const;

private:
    detail::DemoCameraState* state(int camera) const;
    int cameraOf(const VideoDeviceInfo& device) const;

    std::vector<std::shared_ptr<detail::DemoCameraState>> m_cameras;
    HotplugHandler m_handler;
};

} // namespace orvix
