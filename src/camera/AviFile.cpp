#include "camera/AviFile.h"

#include <QFile>

#include <cstring>

namespace orvix {

namespace {

quint32 le32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | (quint32(u[1]) << 8) | (quint32(u[2]) << 16) | (quint32(u[3]) << 24);
}

struct Fields {
    qint64 totalFramesAt = -1; // main header
    qint64 lengthAt = -1;      // stream header of the first video stream
    qint64 odmlFramesAt = -1;  // extended header
    int videoStream = -1;
};

bool readAt(QFile& f, qint64 at, char* out, qint64 n)
{
    return f.seek(at) && f.read(out, n) == n;
}

// The header list: where the frame counts live and which stream is the video.
void parseHeader(QFile& f, qint64 begin, qint64 end, Fields& fields, int& stream)
{
    qint64 at = begin;
    char h[12];
    while (at + 8 <= end && readAt(f, at, h, 8)) {
        const quint32 size = le32(h + 4);
        if (std::memcmp(h, "LIST", 4) == 0) {
            if (!readAt(f, at + 8, h + 8, 4))
                return;
            const qint64 listEnd = std::min<qint64>(end, at + 8 + size);
            if (std::memcmp(h + 8, "strl", 4) == 0) {
                parseHeader(f, at + 12, listEnd, fields, stream);
                ++stream;
            } else {
                parseHeader(f, at + 12, listEnd, fields, stream);
            }
        } else if (std::memcmp(h, "avih", 4) == 0 && size >= 20) {
            fields.totalFramesAt = at + 8 + 16;
        } else if (std::memcmp(h, "strh", 4) == 0 && size >= 36) {
            char type[4];
            if (readAt(f, at + 8, type, 4) && std::memcmp(type, "vids", 4) == 0 &&
                fields.videoStream < 0) {
                fields.videoStream = stream;
                fields.lengthAt = at + 8 + 32;
            }
        } else if (std::memcmp(h, "dmlh", 4) == 0 && size >= 4) {
            fields.odmlFramesAt = at + 8;
        }
        at += 8 + qint64(size) + (size & 1);
    }
}

bool isVideoChunk(const char* id, int stream)
{
    if (stream < 0 || stream > 99)
        return false;
    const char tens = char('0' + stream / 10);
    const char ones = char('0' + stream % 10);
    return id[0] == tens && id[1] == ones &&
           ((id[2] == 'd' && id[3] == 'b') || (id[2] == 'd' && id[3] == 'c'));
}

AviLayout inspect(QFile& f, Fields& fields)
{
    AviLayout l;
    l.fileSize = f.size();
    char h[12];
    if (!readAt(f, 0, h, 12) || std::memcmp(h, "RIFF", 4) != 0 ||
        std::memcmp(h + 8, "AVI ", 4) != 0)
        return l;
    l.riffSize = le32(h + 4);
    qint64 at = 12;
    bool haveHeader = false;
    bool haveIndex = false;
    while (at + 8 <= l.fileSize && readAt(f, at, h, 8)) {
        const quint32 size = le32(h + 4);
        if (std::memcmp(h, "LIST", 4) == 0 && readAt(f, at + 8, h + 8, 4)) {
            if (std::memcmp(h + 8, "hdrl", 4) == 0) {
                int stream = 0;
                parseHeader(f, at + 12, std::min<qint64>(l.fileSize, at + 8 + size), fields,
                            stream);
                haveHeader = true;
            } else if (std::memcmp(h + 8, "movi", 4) == 0) {
                l.moviOffset = at;
                break;
            }
        }
        at += 8 + qint64(size) + (size & 1);
    }
    if (!haveHeader || l.moviOffset < 0)
        return l;
    l.isAvi = true;
    if (fields.totalFramesAt >= 0 && readAt(f, fields.totalFramesAt, h, 4))
        l.headerFrames = le32(h);

    // The chunks themselves, whatever the list's size field says: a cut-off file still
    // carries the writer's placeholder there.
    at = l.moviOffset + 12;
    l.dataEnd = at;
    while (at + 8 <= l.fileSize && readAt(f, at, h, 8)) {
        if (std::memcmp(h, "idx1", 4) == 0) {
            haveIndex = true;
            break;
        }
        if (std::memcmp(h, "RIFF", 4) == 0) {
            l.extended = true;
            break;
        }
        const quint32 size = le32(h + 4);
        const qint64 next = at + 8 + qint64(size) + (size & 1);
        if (next > l.fileSize + ((size & 1) ? 1 : 0))
            break; // cut off by the end of the file
        if (isVideoChunk(h, fields.videoStream))
            ++l.videoFrames;
        at = std::min(next, l.fileSize);
        l.dataEnd = at;
    }
    l.hasIndex = haveIndex;
    l.finished = l.riffSize + 8 >= l.dataEnd && l.riffSize + 8 <= l.fileSize + 1;
    return l;
}

bool writeLe32(QFile& f, qint64 at, qint64 value)
{
    const quint32 v = quint32(value);
    const char b[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                       char((v >> 24) & 0xff)};
    return f.seek(at) && f.write(b, 4) == 4;
}

} // namespace

AviLayout inspectAvi(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    Fields fields;
    return inspect(f, fields);
}

bool repairInterruptedAvi(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return fail(QStringLiteral("The file cannot be opened for repair."));
    Fields fields;
    const AviLayout l = inspect(f, fields);
    if (!l.isAvi)
        return fail(QStringLiteral("The file is not an AVI file."));
    if (l.finished)
        return true;
    if (l.extended)
        return fail(QStringLiteral("Files of more than one part are left as they are."));
    if (l.dataEnd > 0xFFFFFFF0LL)
        return fail(QStringLiteral("The file is too large for a single part."));
    if (l.dataEnd < l.fileSize && !f.resize(l.dataEnd))
        return fail(QStringLiteral("The cut-off last frame cannot be removed."));
    bool ok = writeLe32(f, 4, l.dataEnd - 8) &&
              writeLe32(f, l.moviOffset + 4, l.dataEnd - l.moviOffset - 8);
    for (qint64 at : {fields.totalFramesAt, fields.lengthAt, fields.odmlFramesAt})
        if (at >= 0)
            ok = ok && writeLe32(f, at, l.videoFrames);
    ok = ok && f.flush();
    if (!ok)
        return fail(QStringLiteral("The header of the file cannot be written."));
    return true;
}

} // namespace orvix
