#include "camera/DemoCamera.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orvix::detail {

class DemoStream;

struct DemoCameraState {
    int index = 0;
    mutable std::mutex mutex;
    bool plugged = true;
    DemoFault fault = DemoFault::None;
    DemoPictureSettings settings;
    std::atomic<int> settingsVersion{0};
    std::function<void()> snapshot;
    std::vector<DemoStream*> streams;
    std::atomic<quint64> delivered{0};
    std::atomic<quint64> late{0};
};

// The streaming side of one source element: renders and pushes frames at the frame rate
// from its own thread while the element is PLAYING.
class DemoStream {
public:
    DemoStream(std::shared_ptr<DemoCameraState> state, GstElement* appsrc, VideoFormat format)
        : m_state(std::move(state)), m_appsrc(appsrc), m_format(format)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->streams.push_back(this);
    }

    ~DemoStream()
    {
        {
            // Unregister first: an unplug must not reach a stream that is going away.
            std::lock_guard lock(m_state->mutex);
            auto& v = m_state->streams;
            v.erase(std::remove(v.begin(), v.end(), this), v.end());
        }
        stop();
    }

    // Whether the device can be opened now; posts the error when not.
    bool open(GstElement* element)
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_state->plugged) {
            GST_ELEMENT_ERROR(element, RESOURCE, NOT_FOUND, ("Device is not present."),
                              ("demo camera %d is unplugged", m_state->index));
            return false;
        }
        if (m_state->fault == DemoFault::StartFails) {
            GST_ELEMENT_ERROR(element, RESOURCE, OPEN_READ, ("Could not open device."),
                              ("demo camera %d refuses to start", m_state->index));
            return false;
        }
        return true;
    }

    void start()
    {
        std::lock_guard lock(m_mutex);
        if (m_thread.joinable())
            return;
        m_stop = false;
        m_thread = std::thread([this] { run(); });
    }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    // Called with the camera's state locked.
    void deviceRemoved()
    {
        m_removed = true;
        GST_ELEMENT_ERROR(m_appsrc, RESOURCE, READ, ("Could not read from resource."),
                          ("demo camera %d was unplugged", m_state->index));
    }

private:
    void run()
    {
        GstVideoInfo info;
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_RGB, guint(m_format.width),
                                  guint(m_format.height));
        GstCaps* caps = gst_video_info_to_caps(&info);
        GstBufferPool* pool = gst_buffer_pool_new();
        GstStructure* config = gst_buffer_pool_get_config(pool);
        gst_buffer_pool_config_set_params(config, caps, guint(GST_VIDEO_INFO_SIZE(&info)), 2, 0);
        gst_buffer_pool_set_config(pool, config);
        gst_caps_unref(caps);
        gst_buffer_pool_set_active(pool, TRUE);

        const double fps = double(m_format.fpsNum) / std::max(1, m_format.fpsDen);
        const auto period = std::chrono::nanoseconds(
            qint64(1e9 * std::max(1, m_format.fpsDen) / std::max(1, m_format.fpsNum)));
        auto next = std::chrono::steady_clock::now();
        int version = -1;
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (m_cv.wait_until(lock, next, [this] { return m_stop; }))
                break;
            lock.unlock();
            DemoFault fault;
            DemoPictureSettings settings;
            {
                std::lock_guard sl(m_state->mutex);
                fault = m_state->fault;
                settings = m_state->settings;
            }
            if (!m_removed && fault != DemoFault::NoFrames) {
                const int v = m_state->settingsVersion.load();
                if (v != version || m_renderer.size().isEmpty()) {
                    m_renderer.configure(QSize(m_format.width, m_format.height), settings);
                    version = v;
                }
                pushFrame(pool, info, fps);
            }
            next += period;
            const auto now = std::chrono::steady_clock::now();
            if (now - next > 2 * period) {
                // Fell behind (the machine was busy): skip rather than burst.
                m_state->late.fetch_add(quint64((now - next) / period));
                next = now;
            }
            lock.lock();
        }
        lock.unlock();
        gst_buffer_pool_set_active(pool, FALSE);
        gst_object_unref(pool);
    }

    void pushFrame(GstBufferPool* pool, const GstVideoInfo& info, double fps)
    {
        GstBuffer* buffer = nullptr;
        if (gst_buffer_pool_acquire_buffer(pool, &buffer, nullptr) != GST_FLOW_OK)
            return;
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
            gst_buffer_unref(buffer);
            return;
        }
        m_renderer.renderFrame(map.data, GST_VIDEO_INFO_PLANE_STRIDE(&info, 0), m_frameIndex, fps);
        gst_buffer_unmap(buffer, &map);
        if (gst_app_src_push_buffer(GST_APP_SRC(m_appsrc), buffer) == GST_FLOW_OK) {
            ++m_frameIndex;
            m_state->delivered.fetch_add(1);
        }
    }

    std::shared_ptr<DemoCameraState> m_state;
    GstElement* m_appsrc; // owned by the element's bin
    VideoFormat m_format;
    DemoRenderer m_renderer;
    quint64 m_frameIndex = 0;
    std::atomic<bool> m_removed{false};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace orvix::detail

// The demo source element: a bin around an appsrc whose pacing follows the bin's state.
struct OrvixDemoSrc {
    GstBin parent;
    orvix::detail::DemoStream* stream;
};
struct OrvixDemoSrcClass {
    GstBinClass parent_class;
};

G_DEFINE_TYPE(OrvixDemoSrc, orvix_demo_src, GST_TYPE_BIN)

static GstStateChangeReturn orvix_demo_src_change_state(GstElement* element,
                                                        GstStateChange transition)
{
    auto* self = reinterpret_cast<OrvixDemoSrc*>(element);
    switch (transition) {
    case GST_STATE_CHANGE_NULL_TO_READY:
        if (!self->stream || !self->stream->open(element))
            return GST_STATE_CHANGE_FAILURE;
        break;
    case GST_STATE_CHANGE_PLAYING_TO_PAUSED:
    case GST_STATE_CHANGE_PAUSED_TO_READY:
        if (self->stream)
            self->stream->stop();
        break;
    default:
        break;
    }
    const GstStateChangeReturn ret =
        GST_ELEMENT_CLASS(orvix_demo_src_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_PLAYING && ret != GST_STATE_CHANGE_FAILURE &&
        self->stream)
        self->stream->start();
    return ret;
}

static void orvix_demo_src_dispose(GObject* object)
{
    auto* self = reinterpret_cast<OrvixDemoSrc*>(object);
    delete self->stream;
    self->stream = nullptr;
    G_OBJECT_CLASS(orvix_demo_src_parent_class)->dispose(object);
}

static void orvix_demo_src_class_init(OrvixDemoSrcClass* klass)
{
    G_OBJECT_CLASS(klass)->dispose = orvix_demo_src_dispose;
    GST_ELEMENT_CLASS(klass)->change_state = orvix_demo_src_change_state;
    gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Orvix demo microscope",
                                          "Source/Video", "Synthetic stage micrometer camera",
                                          "Orvix");
}

static void orvix_demo_src_init(OrvixDemoSrc* self)
{
    self->stream = nullptr;
}

namespace orvix {

using detail::DemoCameraState;

DemoCameraHub::DemoCameraHub(int cameras, bool pluggedAtStart)
{
    cameras = std::clamp(cameras, 1, kMaxCameras);
    for (int i = 0; i < cameras; ++i) {
        auto s = std::make_shared<DemoCameraState>();
        s->index = i;
        s->plugged = pluggedAtStart;
        m_cameras.push_back(std::move(s));
    }
}

DemoCameraHub::~DemoCameraHub() = default;

DemoCameraState* DemoCameraHub::state(int camera) const
{
    if (camera < 0 || camera >= int(m_cameras.size()))
        return nullptr;
    return m_cameras[size_t(camera)].get();
}

VideoDeviceInfo DemoCameraHub::deviceInfo(int camera)
{
    VideoDeviceInfo d;
    d.node = QStringLiteral("demo:%1").arg(camera);
    d.devicePath = QStringLiteral("usb#vid_eb1a&pid_5060#demo-%1#%2").arg(camera + 1).arg(d.node);
    d.friendlyName = QString::fromLatin1(kFriendlyName);
    return d;
}

std::vector<VideoFormat> DemoCameraHub::offeredFormats()
{
    std::vector<VideoFormat> out;
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1280, 960}, {1600, 1200}}) {
        VideoFormat f;
        f.width = w;
        f.height = h;
        f.fpsNum = 30;
        f.fpsDen = 1;
        f.pixelFormat = QStringLiteral("RGB3");
        out.push_back(f);
    }
    return out;
}

DemoControlRange DemoCameraHub::controlRange(DemoControl control)
{
    switch (control) {
    case DemoControl::Brightness:
        return {-64, 64, 1, 0};
    case DemoControl::Contrast:
        return {0, 64, 1, 32};
    case DemoControl::Exposure:
        return {3, 2047, 1, 156};
    case DemoControl::AutoExposure:
        return {0, 1, 1, 1};
    case DemoControl::Zoom:
        return {100, 400, 1, 100};
    case DemoControl::Light:
        return {0, 100, 1, 100};
    case DemoControl::LightOn:
        return {0, 1, 1, 1};
    }
    return {0, 0, 1, 0};
}

int DemoCameraHub::cameraOf(const VideoDeviceInfo& device) const
{
    for (int i = 0; i < cameraCount(); ++i)
        if (device.node == deviceInfo(i).node)
            return i;
    return -1;
}

std::vector<VideoDeviceInfo> DemoCameraHub::enumerate()
{
    std::vector<VideoDeviceInfo> out;
    for (int i = 0; i < cameraCount(); ++i)
        if (isPlugged(i))
            out.push_back(deviceInfo(i));
    return out;
}

bool DemoCameraHub::ownsDevice(const VideoDeviceInfo& device) const
{
    return cameraOf(device) >= 0;
}

bool DemoCameraHub::acceptsFormat(const VideoDeviceInfo& device, const VideoFormat& format) const
{
    const DemoCameraState* s = state(cameraOf(device));
    if (!s)
        return false;
    {
        std::lock_guard lock(s->mutex);
        if (s->fault == DemoFault::FormatRejected)
            return false;
    }
    if (!format.pixelFormat.isEmpty() && format.pixelFormat != QLatin1String("RGB3"))
        return false;
    for (const VideoFormat& f : offeredFormats())
        if (f.width == format.width && f.height == format.height &&
            (format.fpsNum <= 0 || format.fpsNum * f.fpsDen == f.fpsNum * format.fpsDen))
            return true;
    return false;
}

std::vector<VideoFormat> DemoCameraHub::formats(const VideoDeviceInfo& device) const
{
    return ownsDevice(device) ? offeredFormats() : std::vector<VideoFormat>();
}

GstElement* DemoCameraHub::createSourceElement(const VideoDeviceInfo& device,
                                               const VideoFormat& format, QString* error)
{
    const int cam = cameraOf(device);
    if (cam < 0) {
        if (error)
            *error = QStringLiteral("No such demo camera");
        return nullptr;
    }
    if (!isPlugged(cam)) {
        if (error)
            *error = QStringLiteral("The demo camera is not plugged in");
        return nullptr;
    }
    if (!acceptsFormat(device, format)) {
        if (error)
            *error = QStringLiteral("The demo camera does not offer %1 x %2")
                         .arg(format.width)
                         .arg(format.height);
        return nullptr;
    }
    VideoFormat f = format;
    if (f.fpsNum <= 0 || f.fpsDen <= 0) {
        f.fpsNum = 30;
        f.fpsDen = 1;
    }
    GstElement* appsrc = gst_element_factory_make("appsrc", "demo-appsrc");
    if (!appsrc) {
        if (error)
            *error = QStringLiteral("GStreamer appsrc is missing");
        return nullptr;
    }
    auto* bin = static_cast<GstElement*>(g_object_new(orvix_demo_src_get_type(), nullptr));
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_RGB, guint(f.width), guint(f.height));
    GST_VIDEO_INFO_FPS_N(&info) = f.fpsNum;
    GST_VIDEO_INFO_FPS_D(&info) = f.fpsDen;
    GstCaps* caps = gst_video_info_to_caps(&info);
    g_object_set(appsrc, "caps", caps, "is-live", TRUE, "format", GST_FORMAT_TIME, "do-timestamp",
                 TRUE, "block", FALSE, "max-bytes", guint64(GST_VIDEO_INFO_SIZE(&info) * 4),
                 nullptr);
    gst_app_src_set_leaky_type(GST_APP_SRC(appsrc), GST_APP_LEAKY_TYPE_DOWNSTREAM);
    gst_caps_unref(caps);
    gst_bin_add(GST_BIN(bin), appsrc);
    GstPad* pad = gst_element_get_static_pad(appsrc, "src");
    gst_element_add_pad(bin, gst_ghost_pad_new("src", pad));
    gst_object_unref(pad);
    reinterpret_cast<OrvixDemoSrc*>(bin)->stream =
        new detail::DemoStream(m_cameras[size_t(cam)], appsrc, f);
    return bin;
}

void DemoCameraHub::setHotplugHandler(HotplugHandler handler)
{
    m_handler = std::move(handler);
}

bool DemoCameraHub::setStillButtonHandler(const VideoDeviceInfo& device,
                                          std::function<void()> handler)
{
    const int cam = cameraOf(device);
    if (cam < 0)
        return false;
    setSnapshotHandler(std::move(handler), cam);
    return true;
}

void DemoCameraHub::plug(int camera)
{
    DemoCameraState* s = state(camera);
    if (!s)
        return;
    {
        std::lock_guard lock(s->mutex);
        if (s->plugged)
            return;
        s->plugged = true;
    }
    if (m_handler)
        m_handler(HotplugKind::Added);
}

void DemoCameraHub::unplug(int camera)
{
    DemoCameraState* s = state(camera);
    if (!s)
        return;
    {
        std::lock_guard lock(s->mutex);
        if (!s->plugged)
            return;
        s->plugged = false;
        for (detail::DemoStream* stream : s->streams)
            stream->deviceRemoved();
    }
    if (m_handler)
        m_handler(HotplugKind::Removed);
}

bool DemoCameraHub::isPlugged(int camera) const
{
    const DemoCameraState* s = state(camera);
    if (!s)
        return false;
    std::lock_guard lock(s->mutex);
    return s->plugged;
}

void DemoCameraHub::setFault(DemoFault fault, int camera)
{
    if (DemoCameraState* s = state(camera)) {
        std::lock_guard lock(s->mutex);
        s->fault = fault;
    }
}

DemoFault DemoCameraHub::fault(int camera) const
{
    const DemoCameraState* s = state(camera);
    if (!s)
        return DemoFault::None;
    std::lock_guard lock(s->mutex);
    return s->fault;
}

void DemoCameraHub::setMotion(bool on, int camera)
{
    if (DemoCameraState* s = state(camera)) {
        std::lock_guard lock(s->mutex);
        s->settings.motion = on;
        s->settingsVersion.fetch_add(1);
    }
}

int DemoCameraHub::control(DemoControl control, int camera) const
{
    const DemoCameraState* s = state(camera);
    if (!s)
        return 0;
    std::lock_guard lock(s->mutex);
    const DemoPictureSettings& p = s->settings;
    switch (control) {
    case DemoControl::Brightness:
        return p.brightness;
    case DemoControl::Contrast:
        return p.contrast;
    case DemoControl::Exposure:
        return p.exposure;
    case DemoControl::AutoExposure:
        return p.autoExposure ? 1 : 0;
    case DemoControl::Zoom:
        return p.zoom;
    case DemoControl::Light:
        return p.light;
    case DemoControl::LightOn:
        return p.lightOn ? 1 : 0;
    }
    return 0;
}

bool DemoCameraHub::setControl(DemoControl control, int value, int camera)
{
    DemoCameraState* s = state(camera);
    const DemoControlRange r = controlRange(control);
    if (!s || value < r.minimum || value > r.maximum)
        return false;
    std::lock_guard lock(s->mutex);
    DemoPictureSettings& p = s->settings;
    switch (control) {
    case DemoControl::Brightness:
        p.brightness = value;
        break;
    case DemoControl::Contrast:
        p.contrast = value;
        break;
    case DemoControl::Exposure:
        p.exposure = value;
        break;
    case DemoControl::AutoExposure:
        p.autoExposure = value != 0;
        break;
    case DemoControl::Zoom:
        p.zoom = value;
        break;
    case DemoControl::Light:
        p.light = value;
        break;
    case DemoControl::LightOn:
        p.lightOn = value != 0;
        break;
    }
    s->settingsVersion.fetch_add(1);
    return true;
}

DemoPictureSettings DemoCameraHub::pictureSettings(int camera) const
{
    const DemoCameraState* s = state(camera);
    if (!s)
        return {};
    std::lock_guard lock(s->mutex);
    return s->settings;
}

double DemoCameraHub::pixelsPerMm(int width, int camera) const
{
    return demoScaleGeometry(QSize(width, width * 3 / 4), control(DemoControl::Zoom, camera))
        .pixelsPerMm;
}

void DemoCameraHub::setSnapshotHandler(std::function<void()> handler, int camera)
{
    if (DemoCameraState* s = state(camera)) {
        std::lock_guard lock(s->mutex);
        s->snapshot = std::move(handler);
    }
}

bool DemoCameraHub::pressSnapshotButton(int camera)
{
    DemoCameraState* s = state(camera);
    if (!s)
        return false;
    std::function<void()> handler;
    {
        std::lock_guard lock(s->mutex);
        if (!s->plugged)
            return false;
        handler = s->snapshot;
    }
    if (!handler)
        return false;
    handler();
    return true;
}

int DemoCameraHub::activeStreams(int camera) const
{
    const DemoCameraState* s = state(camera);
    if (!s)
        return 0;
    std::lock_guard lock(s->mutex);
    return int(s->streams.size());
}

quint64 DemoCameraHub::framesDelivered(int camera) const
{
    const DemoCameraState* s = state(camera);
    return s ? s->delivered.load() : 0;
}

quint64 DemoCameraHub::framesLate(int camera) const
{
    const DemoCameraState* s = state(camera);
    return s ? s->late.load() : 0;
}

} // namespace orvix
