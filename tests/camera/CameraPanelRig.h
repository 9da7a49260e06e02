#pragma once
// Test rig: the engine panel on a shown host window, over a pool with the demo camera.

#include "DemoRig.h"
#include "TestSupport.h"

#include "camera/CaptureGraph.h"
#include "camera/VideoCameraDS.h"
#include "camera/VideoWindow.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace orvix::test {

class CameraPanelTest : public ::testing::Test {
protected:
    explicit CameraPanelTest(int cameras = 1) : rig(cameras)
    {
        host.resize(800, 600);
        cam = new TVideoCameraDS(rig.pool, &host);
        cam->SetHandle(&host);
        host.show();
    }
    ~CameraPanelTest() override { delete cam; }

    bool connect() { return cam->SearchDevice() && cam->DeviceConnect(); }
    bool framesShown(quint64 n = 3)
    {
        const quint64 start = cam->videoWindow()->framesPainted();
        return waitFor([&] { return cam->videoWindow()->framesPainted() >= start + n; });
    }

    DemoRig rig;
    QWidget host;
    TVideoCameraDS* cam = nullptr;
};

} // namespace orvix::test
