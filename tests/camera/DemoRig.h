#pragma once
// Test rig: a device pool that offers only the demo camera.

#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"

#include <memory>

namespace orvix::test {

struct DemoRig {
    explicit DemoRig(int cameras = 1, bool plugged = true)
        : hub(std::make_shared<DemoCameraHub>(cameras, plugged))
    {
        pool.addSource(hub);
    }
    std::shared_ptr<DemoCameraHub> hub;
    DevicePool pool;
};

// Mean of one channel over a rectangle.
inline double meanGreen(const QImage& img, const QRect& r)
{
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            sum += qGreen(img.pixel(x, y));
    return sum / (double(r.width()) * r.height());
}

} // namespace orvix::test
