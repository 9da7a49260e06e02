#pragma once
// Shared body of the picture fuzzers: full decode and thumbnail decode of the same bytes, with
// the checks a caller relies on.

#include "library/ImageIO.h"

#include <cstdint>
#include <cstdlib>

namespace orvix::fuzz {

inline void decodeBoth(const uint8_t* data, size_t size, PictureKind kind)
{
    // Lower than the program's limit so that each input stays fast; the guard is the same.
    LoadLimits limits;
    limits.maxPixels = 16'000'000;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const PictureResult full = decodePicture(bytes, kind, limits);
    if (full.ok() == !full.error.isEmpty())
        std::abort(); // exactly one of picture and error
    if (full.ok() && (full.image.format() != QImage::Format_RGB888 ||
                      qint64(full.image.width()) * full.image.height() > limits.maxPixels))
        std::abort();

    const PictureResult thumb = decodePicture(bytes, kind, limits, QSize(128, 96));
    if (thumb.ok() != full.ok())
        std::abort(); // the thumbnail path accepts exactly what the full path accepts
    if (thumb.ok()) {
        const QImage slot = thumb.image.scaled(128, 96);
        if (slot.size() != QSize(128, 96))
            std::abort();
    }
}

} // namespace orvix::fuzz
