#pragma once
// One frame of a video file, for the thumbnails of the AVI list and the player's stop picture:
// a paused decode pipeline seeked to the frame's time, read from an appsink. Bounded in time,
// because the caller is the interface thread.

#include <QImage>
#include <QString>

#include <cstdint>

namespace orvix {

// What the file says about its first video stream.
struct AviFrameInfo {
    int width = 0;
    int height = 0;
    double frameRate = 0;     // frames per second
    double lengthSeconds = 0; // stream length
    int64_t frameCount = 0;   // length x frame rate, truncated
};

struct AviFrameResult {
    QImage frame; // 24-bit RGB, null on failure
    AviFrameInfo info;
    QString error;
    bool ok() const { return !frame.isNull(); }
};

// Frame frameIndex (0-based) of the first video stream. Fails when the file has no video
// stream, fewer frames than frameIndex, cannot be decoded, has no known length (for example
// while it is still being recorded) or does not answer within timeoutMs.
AviFrameResult readAviFrame(const QString& path, int frameIndex, int timeoutMs = 1500);

// The engine's form: true and *out set on success; *out untouched on failure.
bool GetAviFrame(const QString& path, int frameIndex, QImage* out);

} // namespace orvix
