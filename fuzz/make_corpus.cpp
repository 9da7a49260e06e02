// Writes the seed corpus of the picture fuzzers: small valid pictures in the layouts the
// loaders meet, and a few broken ones.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

namespace {

QImage picture(int w, int h, QImage::Format format)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 16, y * 16, (x ^ y) * 8));
    return img.convertToFormat(format);
}

QByteArray encode(const QImage& img, const char* format, int quality = -1, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(img);
    return bytes;
}

bool put(const QString& dir, const char* name, const QByteArray& bytes)
{
    QFile f(dir + QLatin1Char('/') + QLatin1String(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString bmp = root + QStringLiteral("/bmp"), jpeg = root + QStringLiteral("/jpeg");
    QDir().mkpath(bmp);
    QDir().mkpath(jpeg);
    bool ok = true;

    const QByteArray rgb24 = encode(picture(7, 5, QImage::Format_RGB32), "bmp");
    QByteArray topDown = rgb24;
    const qint32 minusFive = -5;
    memcpy(topDown.data() + 22, &minusFive, 4);
    ok &= put(bmp, "rgb24.bmp", rgb24);
    ok &= put(bmp, "topdown.bmp", topDown);
    ok &= put(bmp, "indexed8.bmp", encode(picture(9, 4, QImage::Format_Indexed8), "bmp"));
    ok &= put(bmp, "mono.bmp", encode(picture(17, 3, QImage::Format_Mono), "bmp"));
    ok &= put(bmp, "argb32.bmp", encode(picture(3, 3, QImage::Format_ARGB32), "bmp"));
    ok &= put(bmp, "truncated.bmp", rgb24.left(rgb24.size() - 7));
    ok &= put(bmp, "header.bmp", rgb24.left(40));

    const QByteArray base = encode(picture(16, 16, QImage::Format_RGB32), "jpg", 90);
    ok &= put(jpeg, "baseline.jpg", base);
    ok &=
        put(jpeg, "progressive.jpg", encode(picture(24, 8, QImage::Format_RGB32), "jpg", 75, true));
    ok &= put(jpeg, "gray.jpg", encode(picture(8, 8, QImage::Format_Grayscale8), "jpg", 50));
    ok &= put(jpeg, "odd.jpg", encode(picture(13, 7, QImage::Format_RGB32), "jpg", 100));
    ok &= put(jpeg, "truncated.jpg", base.left(base.size() / 2));
    return ok ? 0 : 1;
}
