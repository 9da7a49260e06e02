#include "camera/VideoFrame.h"

#include <gst/gst.h>
#include <gst/video/video.h>

namespace orvix {

namespace {

struct Mapping {
    GstSample* sample;
    GstVideoFrame frame;
};

void releaseMapping(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    gst_video_frame_unmap(&m->frame);
    gst_sample_unref(m->sample);
    delete m;
}

} // namespace

VideoFrame VideoFrame::fromSample(GstSample* sample, quint64 sequence)
{
    VideoFrame out;
    if (!sample)
        return out;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_RGB)
        return out;
    auto* m = new Mapping{gst_sample_ref(sample), {}};
    if (!gst_video_frame_map(&m->frame, &info, buffer, GST_MAP_READ)) {
        gst_sample_unref(m->sample);
        delete m;
        return out;
    }
    const auto* data = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&m->frame, 0));
    out.m_image = QImage(data, GST_VIDEO_FRAME_WIDTH(&m->frame), GST_VIDEO_FRAME_HEIGHT(&m->frame),
                         GST_VIDEO_FRAME_PLANE_STRIDE(&m->frame, 0), QImage::Format_RGB888,
                         releaseMapping, m);
    if (out.m_image.isNull()) {
        releaseMapping(m);
        return out;
    }
    out.m_sequence = sequence;
    out.m_pts = GST_BUFFER_PTS_IS_VALID(buffer) ? qint64(GST_BUFFER_PTS(buffer)) : -1;
    return out;
}

} // namespace orvix
