#pragma once
// The RIFF structure of an AVI file as far as recording cares: whether the writer finished it,
// how many video frames it holds, and the repair of a file whose recording was cut off (write
// error, program killed). A cut-off file holds complete frames, but its sizes and frame
// counts are the writer's placeholders and it has no index.

#include <QString>

namespace orvix {

struct AviLayout {
    bool isAvi = false;    // RIFF "AVI " with a header list and a movie list
    bool finished = false; // the sizes cover every complete chunk
    bool hasIndex = false;
    bool extended = false; // more than one RIFF part (files beyond 1 GB)
    qint64 fileSize = 0;
    qint64 riffSize = 0;     // as written in the file
    qint64 moviOffset = -1;  // of the "LIST" of the movie list
    qint64 dataEnd = 0;      // end of the last complete chunk of the movie list
    qint64 videoFrames = 0;  // complete chunks of the first video stream
    qint64 headerFrames = 0; // frame count the main header claims
};

AviLayout inspectAvi(const QString& path);

// Makes a cut-off single-part file a finished one without index: drops a chunk cut off by the
// end of the file and writes the sizes and frame counts of what is there. Only header fields
// are rewritten in place, so it works on a full disk. True when the file is finished now
// (also when it already was); false for files it does not handle (not an AVI, extended).
bool repairInterruptedAvi(const QString& path, QString* error = nullptr);

} // namespace orvix
