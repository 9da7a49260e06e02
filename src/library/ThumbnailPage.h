#pragma once
// The five slot pictures of one page of the media strip, ready to be shown: thumbnails of
// pictures, frame 8 of videos (or the placeholder picture), or nothing for an empty slot.
// Decoded slots are kept in a small cache keyed by path, modification time and size, so
// paging back and forth and refreshing after a save decode only what changed.

#include "library/MediaList.h"

#include <QCache>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>

namespace orvix {

struct SlotPicture {
    enum class State {
        Empty,       // no file in this slot
        Thumbnail,   // picture holds the file's thumbnail
        Placeholder, // a video without a usable frame: picture holds the placeholder
        Unreadable,  // a picture file that cannot be decoded: no picture, the path is kept
    };
    State state = State::Empty;
    QString path;   // file shown (the slot's hint); empty for an empty slot
    QImage picture; // exactly slotSize, 24-bit RGB; null for Empty and Unreadable
    QString error;  // why a placeholder is shown or the file is unreadable
};

using PagePictures = std::array<SlotPicture, kSlotsPerPage>;

class ThumbnailLoader {
public:
    static constexpr int kVideoFrameIndex = 8;

    // placeholderPath: the picture shown for a video without a usable frame (the program
    // folder's Bitmap/ShowMap/Recording.bmp). A missing placeholder becomes a plain grey
    // picture.
    explicit ThumbnailLoader(QString placeholderPath = {}, int cacheEntries = 60,
                             QSize slotSize = QSize(128, 96));

    void setPlaceholderPath(const QString& path);
    QSize slotSize() const { return m_slotSize; }

    // The pictures for the slot paths of a refreshed list.
    PagePictures loadPage(const MediaList& list);
    PagePictures loadSlots(ListKind kind, const std::array<QString, kSlotsPerPage>& paths);

    // The placeholder stretched to the slot size.
    QImage placeholder();

    void clearCache() { m_cache.clear(); }
    int cachedEntries() const { return int(m_cache.size()); }
    // Slots decoded (not taken from the cache) since construction.
    int decodeCount() const { return m_decodes; }

    // Time allowed for one video frame.
    void setVideoTimeoutMs(int ms) { m_videoTimeoutMs = ms; }

private:
    SlotPicture decode(ListKind kind, const QString& path) const;

    QString m_placeholderPath;
    QImage m_placeholder;
    QSize m_slotSize;
    int m_videoTimeoutMs = 1500;
    int m_decodes = 0;
    QCache<QString, SlotPicture> m_cache;
};

} // namespace orvix
