#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace picgen {

// Builds a Windows icon container. Images below 256 px are stored as 32-bit DIBs with an
// AND mask (read by every icon loader); the 256 px image is stored as PNG, as Windows
// itself does, because a 256 px DIB would be a quarter of a megabyte.
QByteArray buildIco(const QList<QImage>& images);

} // namespace picgen
