#pragma once
// Test files for the media library tests, written by tools other than the code under test
// (Qt's writers, GStreamer's muxer) where that is possible.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

namespace orvix::test {

// A picture with a colour ramp and a marker block, so orientation and channel order show.
QImage testPicture(int width, int height);

// Encoded by Qt's own writers.
QByteArray qtJpeg(const QImage& image, int quality = 90);
QByteArray qtBmp(const QImage& image);

bool writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// A JPEG whose frame header claims width x height (the scan data is that of a tiny picture).
QByteArray jpegDeclaring(int width, int height);

// An AVI of `frames` frames at 30 fps, 640 x 480 by default; frame i is a flat grey of
// level greyOf(i). mjpeg: JPEG frames, else raw I420.
int greyOf(int frame);
bool writeGreyAvi(const QString& path, int frames, bool mjpeg, int width = 640, int height = 480);

// An AVI written by videotestsrc, as the brief's generator pipeline does.
bool writeTestSrcAvi(const QString& path, int frames, bool mjpeg);

// An AVI holding only an audio stream.
bool writeAudioOnlyAvi(const QString& path);

} // namespace orvix::test
