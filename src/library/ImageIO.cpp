#include "library/ImageIO.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace orvix {

namespace {

constexpr qint64 kChunk = 1 << 20;

// One TurboJPEG instance per thread and direction: creating them costs more than a thumbnail.
struct TjDeleter {
    void operator()(void* h) const
    {
        if (h)
            tjDestroy(h);
    }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

tjhandle compressor()
{
    thread_local TjHandle handle(tjInitCompress());
    return handle.get();
}

tjhandle decompressor()
{
    thread_local TjHandle handle(tjInitDecompress());
    return handle.get();
}

QString tjError(tjhandle h)
{
    return QString::fromLocal8Bit(tjGetErrorStr2(h));
}

QString tooLarge(qint64 w, qint64 h, const LoadLimits& limits)
{
    return QStringLiteral("The picture declares %1 x %2 pixels, more than the %3 megapixels that "
                          "can be opened.")
        .arg(w)
        .arg(h)
        .arg(limits.maxPixels / 1'000'000.0, 0, 'g', 4);
}

quint32 le32(const uchar* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}
quint16 le16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}

struct BmpHeader {
    qint64 width = 0;
    qint64 height = 0;
    qint64 neededBytes = 0; // 0 when the layout is compressed and its length unknown
    QString error;
};

// The declared size and length of a bitmap, read before Qt allocates anything. Qt's reader
// also accepts a file whose pixel rows stop early and leaves the rest of the picture
// undefined; for the uncompressed layouts the needed length is known, so it is checked here.
BmpHeader parseBmpHeader(QByteArrayView data)
{
    BmpHeader h;
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    if (data.size() < 26) {
        h.error = QStringLiteral("The bitmap header is incomplete.");
        return h;
    }
    const quint32 offBits = le32(p + 10);
    const quint32 headerSize = le32(p + 14);
    qint64 bpp = 0, compression = 0;
    if (headerSize == 12) {
        h.width = le16(p + 18);
        h.height = le16(p + 20);
        bpp = le16(p + 24);
    } else {
        if (data.size() < 34) {
            h.error = QStringLiteral("The bitmap header is incomplete.");
            return h;
        }
        h.width = qint32(le32(p + 18));
        h.height = qint32(le32(p + 22));
        bpp = le16(p + 28);
        compression = le32(p + 30);
    }
    h.height = std::abs(h.height);
    if (h.width <= 0 || h.height <= 0) {
        h.error = QStringLiteral("The bitmap declares no pixels.");
        return h;
    }
    const bool rle = compression == 1 || compression == 2;
    // Sizes beyond any limit are refused by the caller; skip the length so it cannot overflow.
    if (!rle && bpp > 0 && bpp <= 64 && h.width * h.height < (qint64(1) << 40))
        h.neededBytes = qint64(offBits) + ((h.width * bpp + 31) / 32) * 4 * h.height;
    return h;
}

PictureResult decodeBmp(QByteArrayView data, const LoadLimits& limits, QSize minSize)
{
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
        return {{}, QStringLiteral("The file is not a Windows bitmap.")};
    const BmpHeader header = parseBmpHeader(data);
    if (!header.error.isEmpty())
        return {{}, header.error};
    if (header.width * header.height > limits.maxPixels)
        return {{}, tooLarge(header.width, header.height, limits)};
    if (header.neededBytes > data.size())
        return {{}, QStringLiteral("The bitmap is truncated.")};
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoTransform(false);
    const QSize declared = reader.size();
    if (!declared.isValid())
        return {{}, QStringLiteral("The bitmap header is damaged.")};
    if (qint64(declared.width()) * declared.height() > limits.maxPixels)
        return {{}, tooLarge(declared.width(), declared.height(), limits)};
    if (minSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(minSize);
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("The bitmap cannot be read: %1").arg(reader.errorString())};
    if (image.format() != QImage::Format_RGB888)
        image = image.convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        return {{}, QStringLiteral("Not enough memory for the picture.")};
    return {image, {}};
}

// Decoded size for a thumbnail: the smallest libjpeg-turbo scale whose result covers minSize.
tjscalingfactor thumbnailScale(int width, int height, QSize minSize)
{
    tjscalingfactor best{1, 1};
    if (!minSize.isValid())
        return best;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    qint64 bestArea = qint64(width) * height;
    for (int i = 0; factors && i < count; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if (w < minSize.width() || h < minSize.height())
            continue;
        if (qint64(w) * h < bestArea) {
            bestArea = qint64(w) * h;
            best = factors[i];
        }
    }
    return best;
}

PictureResult decodeJpeg(QByteArrayView data, const LoadLimits& limits, QSize minSize)
{
    tjhandle tj = decompressor();
    if (!tj)
        return {{}, QStringLiteral("The JPEG decoder cannot be started.")};
    auto* src = reinterpret_cast<const unsigned char*>(data.data());
    const auto srcSize = static_cast<unsigned long>(data.size());
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj, src, srcSize, &width, &height, &subsamp, &colorspace) != 0)
        return {{}, QStringLiteral("The JPEG header is damaged: %1").arg(tjError(tj))};
    if (width <= 0 || height <= 0)
        return {{}, QStringLiteral("The JPEG picture declares no pixels.")};
    if (qint64(width) * height > limits.maxPixels)
        return {{}, tooLarge(width, height, limits)};

    const tjscalingfactor sf = thumbnailScale(width, height, minSize);
    const int outW = TJSCALED(width, sf);
    const int outH = TJSCALED(height, sf);
    QImage image(outW, outH, QImage::Format_RGB888);
    if (image.isNull())
        return {{}, QStringLiteral("Not enough memory for the picture.")};
    // A warning (premature end, corrupt data) fails the decode: such a file is damaged, and
    // the scan limit keeps crafted progressive files from taking minutes.
    int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (minSize.isValid())
        flags |= TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE;
    if (tjDecompress2(tj, src, srcSize, image.bits(), outW, int(image.bytesPerLine()), outH,
                      TJPF_RGB, flags) != 0)
        return {{}, QStringLiteral("The JPEG picture is damaged: %1").arg(tjError(tj))};
    return {image, {}};
}

QString describeFolderProblem(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return QStringLiteral("The folder \"%1\" does not exist.").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("\"%1\" is not a folder.").arg(folder.filePath());
    if (target.isDir())
        return QStringLiteral("\"%1\" is a folder.").arg(path);
    return {};
}

} // namespace

namespace {

// The device an encoder writes into: every write goes through the chunk writer to the save
// file, so a failure anywhere stops the encoder.
class ChunkDevice : public QIODevice {
public:
    ChunkDevice(QFileDevice& file, const ChunkWriter& writer) : m_file(file), m_writer(writer)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        for (qint64 done = 0; done < len;) {
            const qint64 part = qMin(kChunk, len - done);
            const qint64 n =
                m_writer ? m_writer(m_file, data + done, part) : m_file.write(data + done, part);
            if (n <= 0) {
                m_failed = true;
                return -1;
            }
            done += n;
        }
        return len;
    }

private:
    QFileDevice& m_file;
    const ChunkWriter& m_writer;
    bool m_failed = false;
};

using Producer = std::function<QString(QIODevice& out)>; // returns an error text

IoResult saveAtomically(const QString& path, const Producer& produce, const ChunkWriter& writer)
{
    if (path.isEmpty())
        return {false, QStringLiteral("No file name was given.")};
    if (QString problem = describeFolderProblem(path); !problem.isEmpty())
        return {false, QStringLiteral("Cannot save \"%1\": %2").arg(path, problem)};

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, QStringLiteral("Cannot save \"%1\": the folder cannot be written to "
                                      "(it may be read-only): %2")
                           .arg(path, file.errorString())};
    ChunkDevice device(file, writer);
    const QString produceError = produce(device);
    if (device.failed() || !produceError.isEmpty()) {
        const QString why = file.error() != QFileDevice::NoError ? file.errorString()
                            : device.failed() ? QStringLiteral("the disk may be full")
                                              : produceError;
        file.cancelWriting(); // the temporary file goes with the object
        return {false, QStringLiteral("Cannot save \"%1\": %2").arg(path, why)};
    }
    if (!file.commit())
        return {false, QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString())};
    return {true, {}};
}

void putLe32(char* p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up Windows bitmap, the layout Qt's writer produces for deep pictures, written
// from the BGR rows Qt converts to in one pass. Qt's own writer goes pixel by pixel through a
// 32-bit copy and takes about three times as long as writing the bytes.
QString writeBmp24(QIODevice& out, const QImage& image)
{
    const QImage bgr = image.format() == QImage::Format_BGR888
                           ? image
                           : image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        return QStringLiteral("Not enough memory for the picture.");
    const qint64 w = bgr.width(), h = bgr.height();
    const qint64 rowBytes = w * 3;
    const qint64 stride = (rowBytes + 3) / 4 * 4;
    if (54 + stride * h > 0xFFFFFFFFLL)
        return QStringLiteral("The picture is too large for a bitmap file.");

    char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    putLe32(header + 2, quint32(54 + stride * h));
    putLe32(header + 10, 54);
    putLe32(header + 14, 40);
    putLe32(header + 18, quint32(w));
    putLe32(header + 22, quint32(h));
    header[26] = 1;  // planes
    header[28] = 24; // bits per pixel
    putLe32(header + 34, quint32(stride * h));
    putLe32(header + 38, quint32(qMax(0, bgr.dotsPerMeterX())));
    putLe32(header + 42, quint32(qMax(0, bgr.dotsPerMeterY())));
    if (out.write(header, sizeof header) != qint64(sizeof header))
        return out.errorString();

    const qint64 rowsPerChunk = qMax<qint64>(1, kChunk / stride);
    QByteArray chunk(qsizetype(rowsPerChunk * stride), '\0'); // padding bytes stay zero
    for (qint64 y = h - 1; y >= 0;) {
        qint64 rows = 0;
        for (; rows < rowsPerChunk && y >= 0; ++rows, --y)
            std::memcpy(chunk.data() + rows * stride, bgr.constScanLine(int(y)), size_t(rowBytes));
        if (out.write(chunk.constData(), rows * stride) != rows * stride)
            return out.errorString();
    }
    return {};
}

} // namespace

IoResult writeFileAtomically(const QString& path, QByteArrayView data, const ChunkWriter& writer)
{
    return saveAtomically(
        path,
        [data](QIODevice& out) {
            return out.write(data.data(), data.size()) == data.size() ? QString()
                                                                      : out.errorString();
        },
        writer);
}

QByteArray encodeBmp(const QImage& image, QString* error)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("There is no picture to save.");
        return {};
    }
    QByteArray bytes;
    bytes.reserve(54 + (qint64(image.width()) * 3 + 3) / 4 * 4 * image.height());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QString why = writeBmp24(buffer, image); !why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    return bytes;
}

QByteArray encodeJpeg(const QImage& image, int quality, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (image.isNull())
        return fail(QStringLiteral("There is no picture to save."));
    QImage src = image;
    int pixelFormat = TJPF_RGB;
    switch (image.format()) {
    case QImage::Format_RGB888:
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: // little-endian 0xAARRGGBB: bytes B, G, R, A
        pixelFormat = TJPF_BGRX;
        break;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        pixelFormat = TJPF_RGBX;
        break;
    default:
        src = image.convertToFormat(QImage::Format_RGB888);
        break;
    }
    tjhandle tj = compressor();
    if (!tj)
        return fail(QStringLiteral("The JPEG encoder cannot be started."));
    // 4:2:0 as the IJG library does by default: the files match what the camera's software
    // always wrote, and colour detail finer than two pixels is below what the sensor resolves.
    unsigned long size = tjBufSize(src.width(), src.height(), TJSAMP_420);
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    if (tjCompress2(tj, src.constBits(), src.width(), int(src.bytesPerLine()), src.height(),
                    pixelFormat, &dst, &size, TJSAMP_420, qBound(1, quality, 100),
                    TJFLAG_NOREALLOC) != 0)
        return fail(QStringLiteral("The picture cannot be compressed: %1").arg(tjError(tj)));
    out.truncate(qsizetype(size));
    return out;
}

IoResult saveBmp(const QString& path, const QImage& image, const ChunkWriter& writer)
{
    if (image.isNull())
        return {false,
                QStringLiteral("Cannot save \"%1\": there is no picture to save.").arg(path)};
    // Encoded straight into the save file: no second copy of the file in memory.
    return saveAtomically(
        path, [&image](QIODevice& out) { return writeBmp24(out, image); }, writer);
}

IoResult saveJpeg(const QString& path, const QImage& image, int quality, const ChunkWriter& writer)
{
    if (QString problem = describeFolderProblem(path); !problem.isEmpty())
        return {false, QStringLiteral("Cannot save \"%1\": %2").arg(path, problem)};
    QString error;
    const QByteArray bytes = encodeJpeg(image, quality, &error);
    if (bytes.isEmpty())
        return {false, QStringLiteral("Cannot save \"%1\": %2").arg(path, error)};
    return writeFileAtomically(path, bytes, writer);
}

PictureKind kindFromExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return PictureKind::Bmp;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

PictureKind kindFromContent(QByteArrayView data)
{
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M')
        return PictureKind::Bmp;
    if (data.size() >= 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 &&
        uchar(data[2]) == 0xFF)
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

PictureResult decodePicture(QByteArrayView data, PictureKind kind, const LoadLimits& limits,
                            QSize minSize)
{
    if (data.isEmpty())
        return {{}, QStringLiteral("The file is empty.")};
    const PictureKind actual = kindFromContent(data);
    if (kind == PictureKind::Unknown)
        kind = actual;
    if (actual != kind) {
        return {{},
                kind == PictureKind::Bmp ? QStringLiteral("The file is not a Windows bitmap.")
                                         : QStringLiteral("The file is not a JPEG picture.")};
    }
    switch (kind) {
    case PictureKind::Bmp:
        return decodeBmp(data, limits, minSize);
    case PictureKind::Jpeg:
        return decodeJpeg(data, limits, minSize);
    case PictureKind::Unknown:
        break;
    }
    return {{}, QStringLiteral("The file is neither a Windows bitmap nor a JPEG picture.")};
}

namespace {

PictureResult readAndDecode(const QString& path, const LoadLimits& limits, QSize minSize)
{
    auto withPath = [&path](PictureResult r) {
        if (!r.ok())
            r.error = QStringLiteral("\"%1\": %2").arg(path, r.error);
        return r;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return withPath({{}, QStringLiteral("The file does not exist.")});
    if (!info.isFile())
        return withPath({{}, QStringLiteral("This is not a file.")});
    if (info.size() > limits.maxFileBytes)
        return withPath({{}, QStringLiteral("The file is too large to be a picture.")});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return withPath(
            {{}, QStringLiteral("The file cannot be opened: %1").arg(file.errorString())});
    // One byte more than was measured shows a file that grew past the limit meanwhile.
    const QByteArray bytes = file.read(qMin(file.size(), limits.maxFileBytes) + 1);
    if (bytes.size() > limits.maxFileBytes)
        return withPath({{}, QStringLiteral("The file is too large to be a picture.")});
    return withPath(decodePicture(bytes, kindFromExtension(path), limits, minSize));
}

} // namespace

PictureResult loadPicture(const QString& path, const LoadLimits& limits)
{
    return readAndDecode(path, limits, QSize());
}

PictureResult loadThumbnail(const QString& path, QSize size, const LoadLimits& limits)
{
    if (!size.isValid() || size.isEmpty())
        size = QSize(128, 96);
    PictureResult r = readAndDecode(path, limits, size);
    if (!r.ok())
        return r;
    if (r.image.size() != size)
        r.image = r.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (r.image.format() != QImage::Format_RGB888)
        r.image = r.image.convertToFormat(QImage::Format_RGB888);
    return r;
}

} // namespace orvix
