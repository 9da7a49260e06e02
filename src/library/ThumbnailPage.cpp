#include "library/ThumbnailPage.h"

#include "library/AviFrame.h"
#include "library/ImageIO.h"

#include <QFileInfo>

#include <future>
#include <vector>

namespace orvix {

namespace {

QString cacheKey(const QString& path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1|%2|%3")
        .arg(path)
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.size());
}

} // namespace

ThumbnailLoader::ThumbnailLoader(QString placeholderPath, int cacheEntries, QSize slotSize)
    : m_placeholderPath(std::move(placeholderPath)), m_slotSize(slotSize),
      m_cache(qMax(kSlotsPerPage, cacheEntries))
{
}

void ThumbnailLoader::setPlaceholderPath(const QString& path)
{
    m_placeholderPath = path;
    m_placeholder = QImage();
    m_cache.clear();
}

QImage ThumbnailLoader::placeholder()
{
    if (m_placeholder.isNull()) {
        PictureResult r = loadThumbnail(m_placeholderPath, m_slotSize);
        if (r.ok()) {
            m_placeholder = r.image;
        } else {
            m_placeholder = QImage(m_slotSize, QImage::Format_RGB888);
            m_placeholder.fill(QColor(128, 128, 128));
        }
    }
    return m_placeholder;
}

SlotPicture ThumbnailLoader::decode(ListKind kind, const QString& path) const
{
    SlotPicture slot;
    slot.path = path;
    if (kind == ListKind::Avi) {
        AviFrameResult r = readAviFrame(path, kVideoFrameIndex, m_videoTimeoutMs);
        if (!r.ok()) {
            slot.state = SlotPicture::State::Placeholder;
            slot.error = r.error;
            return slot;
        }
        slot.state = SlotPicture::State::Thumbnail;
        slot.picture = r.frame.scaled(m_slotSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB888);
        return slot;
    }
    PictureResult r = loadThumbnail(path, m_slotSize);
    if (!r.ok()) {
        slot.state = SlotPicture::State::Unreadable;
        slot.error = r.error;
        return slot;
    }
    slot.state = SlotPicture::State::Thumbnail;
    slot.picture = r.image;
    return slot;
}

PagePictures ThumbnailLoader::loadPage(const MediaList& list)
{
    return loadSlots(list.kind(), list.state().slotPaths);
}

PagePictures ThumbnailLoader::loadSlots(ListKind kind,
                                        const std::array<QString, kSlotsPerPage>& paths)
{
    PagePictures page;
    std::array<QString, kSlotsPerPage> keys;
    std::vector<int> misses;
    for (int n = 0; n < kSlotsPerPage; ++n) {
        if (paths[n].isEmpty())
            continue;
        keys[n] = cacheKey(paths[n]);
        if (const SlotPicture* hit = m_cache.object(keys[n]))
            page[n] = *hit;
        else
            misses.push_back(n);
    }

    // Decoding is independent per file (its own decoder instance or pipeline), so the misses
    // of a page run side by side.
    if (misses.size() == 1) {
        page[misses[0]] = decode(kind, paths[misses[0]]);
    } else if (!misses.empty()) {
        std::vector<std::future<SlotPicture>> jobs;
        jobs.reserve(misses.size());
        for (int n : misses)
            jobs.push_back(std::async(std::launch::async,
                                      [this, kind, p = paths[n]] { return decode(kind, p); }));
        for (size_t i = 0; i < misses.size(); ++i)
            page[misses[i]] = jobs[i].get();
    }
    m_decodes += int(misses.size());

    for (int n : misses)
        m_cache.insert(keys[n], new SlotPicture(page[n]));
    for (SlotPicture& slot : page)
        if (slot.state == SlotPicture::State::Placeholder && slot.picture.isNull())
            slot.picture = placeholder();
    return page;
}

} // namespace orvix
