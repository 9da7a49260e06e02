#pragma once
// The choices of the video format dialog, from the formats a device offers: its pixel
// formats, the sizes of one pixel format and the frame rates of one size.

#include "camera/CameraTypes.h"

#include <QSize>
#include <QStringList>

#include <vector>

namespace orvix {

struct FrameRate {
    int num = 30;
    int den = 1;
    double fps() const { return den > 0 ? double(num) / den : 0; }
    bool operator==(const FrameRate& o) const { return qint64(num) * o.den == qint64(o.num) * den; }
};

class FormatChoices {
public:
    explicit FormatChoices(std::vector<VideoFormat> offered);

    bool isEmpty() const { return m_offered.empty(); }
    // In the device's order.
    QStringList pixelFormats() const;
    // Smallest first.
    std::vector<QSize> sizes(const QString& pixelFormat) const;
    // Fastest first.
    std::vector<FrameRate> rates(const QString& pixelFormat, QSize size) const;

    // The offered format nearest to wanted: the same pixel format, size and rate when the
    // device offers them, else the first offered size and rate of the nearest kind.
    VideoFormat nearest(const VideoFormat& wanted) const;

    // Text of a rate for the list ("30 fps", "7.5 fps").
    static QString rateText(const FrameRate& rate);

private:
    std::vector<VideoFormat> m_offered;
};

} // namespace orvix
