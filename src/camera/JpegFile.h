#pragma once
// JPEG files through libjpeg-turbo.

#include <QImage>
#include <QString>

namespace orvix {

// Decodes a JPEG file into a 24-bit image; a null image (and the reason) when the file
// cannot be read or is not a usable JPEG.
QImage readJpegFile(const QString& path, QString* error = nullptr);

} // namespace orvix
