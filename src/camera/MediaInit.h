#pragma once

namespace orvix {

// Initialises GStreamer once for the process (safe to call more than once).
void initMedia(int* argc, char*** argv);

} // namespace orvix
