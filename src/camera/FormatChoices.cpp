#include "camera/FormatChoices.h"

#include <algorithm>

namespace orvix {

FormatChoices::FormatChoices(std::vector<VideoFormat> offered) : m_offered(std::move(offered))
{
    // A format without a rate stands for whatever the device chooses; it is listed as given.
    for (VideoFormat& f : m_offered)
        if (f.fpsNum <= 0 || f.fpsDen <= 0) {
            f.fpsNum = 30;
            f.fpsDen = 1;
        }
}

QStringList FormatChoices::pixelFormats() const
{
    QStringList out;
    for (const VideoFormat& f : m_offered)
        if (!out.contains(f.pixelFormat))
            out.push_back(f.pixelFormat);
    return out;
}

std::vector<QSize> FormatChoices::sizes(const QString& pixelFormat) const
{
    std::vector<QSize> out;
    for (const VideoFormat& f : m_offered) {
        const QSize s(f.width, f.height);
        if (f.pixelFormat == pixelFormat && std::find(out.begin(), out.end(), s) == out.end())
            out.push_back(s);
    }
    std::stable_sort(out.begin(), out.end(), [](QSize a, QSize b) {
        return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
    });
    return out;
}

std::vector<FrameRate> FormatChoices::rates(const QString& pixelFormat, QSize size) const
{
    std::vector<FrameRate> out;
    for (const VideoFormat& f : m_offered) {
        const FrameRate r{f.fpsNum, f.fpsDen};
        if (f.pixelFormat == pixelFormat && QSize(f.width, f.height) == size &&
            std::find(out.begin(), out.end(), r) == out.end())
            out.push_back(r);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const FrameRate& a, const FrameRate& b) { return a.fps() > b.fps(); });
    return out;
}

VideoFormat FormatChoices::nearest(const VideoFormat& wanted) const
{
    if (m_offered.empty())
        return wanted;
    const QStringList pfs = pixelFormats();
    QString pf = wanted.pixelFormat;
    if (!pfs.contains(pf)) {
        // An unset pixel format means "what the device delivers": its first one.
        pf = pfs.front();
    }
    const std::vector<QSize> ss = sizes(pf);
    QSize size(wanted.width, wanted.height);
    if (std::find(ss.begin(), ss.end(), size) == ss.end())
        size = ss.front();
    const std::vector<FrameRate> rs = rates(pf, size);
    FrameRate rate{wanted.fpsNum, wanted.fpsDen};
    if (std::find(rs.begin(), rs.end(), rate) == rs.end())
        rate = rs.front();
    VideoFormat f;
    f.pixelFormat = pf;
    f.width = size.width();
    f.height = size.height();
    f.fpsNum = rate.num;
    f.fpsDen = rate.den;
    return f;
}

QString FormatChoices::rateText(const FrameRate& rate)
{
    const double fps = rate.fps();
    const bool whole = rate.den > 0 && rate.num % rate.den == 0;
    return QStringLiteral("%1 fps").arg(whole ? QString::number(rate.num / rate.den)
                                              : QString::number(fps, 'f', 2));
}

} // namespace orvix
