#pragma once
// Application flags shared by the parts of the main window; plain booleans of the GUI thread.

namespace orvix {

struct AppFlags {
    bool DeviceFound = false;     // a supported camera is present
    bool DeviceConnected = false; // the camera is connected and its live preview runs
    bool VideoRecording = false;  // a recording is in progress
    bool PlayerOpen = false;      // the player shows a video file
    bool AppClosing = false;      // the main window is closing
};

} // namespace orvix
