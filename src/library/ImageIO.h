#pragma once
// Reading and writing still pictures: Windows bitmaps are read by Qt and written as 24-bit
// bitmaps (byte for byte what Qt's writer makes, in a third of its time); JPEG goes through
// libjpeg-turbo. Saves are atomic (QSaveFile: temporary file in the target folder, synced and
// renamed into place); loads check what a file declares before allocating anything for it.

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QFileDevice;

namespace orvix {

struct IoResult {
    bool ok = false;
    QString error; // a sentence for the user when !ok
    explicit operator bool() const { return ok; }
};

struct PictureResult {
    QImage image; // null on failure
    QString error;
    bool ok() const { return !image.isNull(); }
};

struct LoadLimits {
    qint64 maxPixels = 100'000'000;          // larger declared sizes are refused unread
    qint64 maxFileBytes = 512 * 1024 * 1024; // files above this are not read into memory
};

enum class PictureKind { Unknown, Bmp, Jpeg };

// Writes one chunk of a file; returns the bytes written or -1. Tests replace it to simulate a
// device that fills up.
using ChunkWriter = std::function<qint64(QFileDevice& file, const char* data, qint64 len)>;

// Writes data to path through a temporary file in the same folder and an atomic rename: on
// any failure the old file (if any) is untouched and no partial file is left.
IoResult writeFileAtomically(const QString& path, QByteArrayView data,
                             const ChunkWriter& writer = {});

// A 24-bit Windows bitmap file.
IoResult saveBmp(const QString& path, const QImage& image, const ChunkWriter& writer = {});
// A baseline JPEG with 4:2:0 chroma subsampling at the given quality (1..100).
IoResult saveJpeg(const QString& path, const QImage& image, int quality,
                  const ChunkWriter& writer = {});

// Encodings in memory (used by the save functions, also for the clipboard and tests).
QByteArray encodeBmp(const QImage& image, QString* error = nullptr);
QByteArray encodeJpeg(const QImage& image, int quality, QString* error = nullptr);

// The kind a file name's extension says: ".bmp" BMP, ".jpg"/".jpeg" JPEG, others Unknown.
PictureKind kindFromExtension(const QString& path);
// The kind the first bytes say.
PictureKind kindFromContent(QByteArrayView data);

// A whole picture (opened into the still view), 24-bit RGB. The extension must agree with the
// content; a file with another extension is taken for what its content is.
PictureResult loadPicture(const QString& path, const LoadLimits& limits = {});

// The slot picture of the media strip: stretched to exactly size (the aspect is not kept).
// JPEG files use scaled decoding, so only a fraction of a large picture is ever decoded.
PictureResult loadThumbnail(const QString& path, QSize size = QSize(128, 96),
                            const LoadLimits& limits = {});

// Decoding of bytes already in memory. With a valid minSize, a JPEG is decoded at the smallest
// scale whose result still covers minSize (the caller stretches it); BMP ignores minSize.
PictureResult decodePicture(QByteArrayView data, PictureKind kind, const LoadLimits& limits = {},
                            QSize minSize = QSize());

} // namespace orvix
