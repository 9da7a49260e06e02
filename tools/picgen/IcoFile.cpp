#include "IcoFile.h"

#include <QBuffer>
#include <QtEndian>

#include <cstdint>

namespace picgen {

namespace {

void put16(QByteArray& out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void put32(QByteArray& out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

QByteArray pngData(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray dibData(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;

    QByteArray out;
    put32(out, 40);                          // header size
    put32(out, static_cast<quint32>(w));     // width
    put32(out, static_cast<quint32>(2 * h)); // colour rows plus mask rows
    put16(out, 1);                           // planes
    put16(out, 32);                          // bits per pixel
    put32(out, 0);                           // uncompressed
    put32(out, static_cast<quint32>(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);

    // Rows bottom-up, straight (not premultiplied) BGRA.
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            out.append(static_cast<char>(qBlue(p)));
            out.append(static_cast<char>(qGreen(p)));
            out.append(static_cast<char>(qRed(p)));
            out.append(static_cast<char>(qAlpha(p)));
        }
    }
    // AND mask: a set bit marks a transparent pixel for loaders that ignore alpha.
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

} // namespace

QByteArray buildIco(const QList<QImage>& images)
{
    QList<QByteArray> payloads;
    for (const QImage& image : images)
        payloads.append(image.width() >= 256 ? pngData(image) : dibData(image));

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, static_cast<quint16>(images.size()));

    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        out.append(static_cast<char>(image.width() >= 256 ? 0 : image.width()));
        out.append(static_cast<char>(image.height() >= 256 ? 0 : image.height()));
        out.append('\0'); // no palette
        out.append('\0');
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<quint32>(payloads[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.append(payload);
    return out;
}

} // namespace picgen
