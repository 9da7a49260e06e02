#include "camera/MediaInit.h"

#include <gst/gst.h>

#include <mutex>

namespace orvix {

void initMedia(int* argc, char*** argv)
{
    static std::once_flag once;
    std::call_once(once, [argc, argv] {
        if (!gst_is_initialized())
            gst_init(argc, argv);
    });
}

} // namespace orvix
