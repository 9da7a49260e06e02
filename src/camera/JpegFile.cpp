#include "camera/JpegFile.h"

#include <QFile>

#include <turbojpeg.h>

namespace orvix {

namespace {
// Larger pictures than any camera delivers are refused rather than allocated.
constexpr int kMaxSide = 20000;
} // namespace

QImage readJpegFile(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(f.errorString());
    const QByteArray data = f.readAll();
    if (data.isEmpty())
        return fail(QStringLiteral("The file is empty"));

    tjhandle tj = tjInitDecompress();
    if (!tj)
        return fail(QStringLiteral("The JPEG decoder cannot be created"));
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (tjDecompressHeader3(tj, bytes, static_cast<unsigned long>(data.size()), &w, &h, &subsamp,
                            &colorspace) != 0 ||
        w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        const QString why = QString::fromUtf8(tjGetErrorStr2(tj));
        tjDestroy(tj);
        return fail(why.isEmpty() ? QStringLiteral("Not a JPEG picture") : why);
    }
    QImage img(w, h, QImage::Format_RGB888);
    if (img.isNull()) {
        tjDestroy(tj);
        return fail(QStringLiteral("Out of memory"));
    }
    const int r = tjDecompress2(tj, bytes, static_cast<unsigned long>(data.size()), img.bits(), w,
                                int(img.bytesPerLine()), h, TJPF_RGB, TJFLAG_ACCURATEDCT);
    // A warning (for example a truncated file) still leaves a picture worth showing.
    if (r != 0 && tjGetErrorCode(tj) == TJERR_FATAL) {
        const QString why = QString::fromUtf8(tjGetErrorStr2(tj));
        tjDestroy(tj);
        return fail(why);
    }
    tjDestroy(tj);
    return img;
}

} // namespace orvix
