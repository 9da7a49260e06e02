#pragma once

#include <QString>

namespace orvix {

enum class GraphMode { Preview = 0, Recording = 1, Player = 2 };

// One video input device as the device search sees it.
struct VideoDeviceInfo {
    QString devicePath;   // carries "vid_xxxx&pid_xxxx" (lower-case hex) for USB cameras
    QString friendlyName; // empty when the device reports none
    QString node;         // "/dev/video0", or "demo:N" for the demo camera
};

// Capture stream format.
struct VideoFormat {
    int width = 640;
    int height = 480;
    int fpsNum = 30;
    int fpsDen = 1;
    QString pixelFormat; // empty: whatever the device delivers
};

} // namespace orvix
