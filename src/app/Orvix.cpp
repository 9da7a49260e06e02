// The program entry: options, splash, the main window and the event loop.

#include "app/Logo.h"
#include "app/ProgramFolder.h"
#include "app/SignalBridge.h"
#include "app/main.h"
#include "camera/DevicePool.h"
#include "camera/MediaInit.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

void printHelp()
{
    std::printf("Usage: orvix5-cam-viewer [options]\n"
                "Desktop viewer of the Orvix5 USB microscope camera.\n\n"
                "Options:\n"
                "  --demo         offer the built-in demo microscope camera\n"
                "  --no-splash    start without the two-second splash window\n"
                "  --no-overlay   behave as a system without the video overlay path\n"
                "  --version      print the version and exit\n"
                "  -h, --help     print this help and exit\n");
}

} // namespace

int main(int argc, char** argv)
{
    bool demo = false;
    bool splash = true;
    bool overlay = true;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            printHelp();
            return 0;
        }
        if (!std::strcmp(a, "--version")) {
            std::printf("orvix5-cam-viewer %s\n", ORVIX_VERSION);
            return 0;
        }
        if (!std::strcmp(a, "--demo"))
            demo = true;
        else if (!std::strcmp(a, "--no-splash"))
            splash = false;
        else if (!std::strcmp(a, "--no-overlay"))
            overlay = false;
        else if (a[0] == '-' && std::strncmp(a, "-platform", 9) && std::strncmp(a, "--gst", 5)) {
            std::fprintf(stderr, "orvix5-cam-viewer: unknown option %s (see --help)\n", a);
            return 2;
        }
    }

    orvix::initMedia(&argc, &argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvix5-cam-viewer"));
    QApplication::setQuitOnLastWindowClosed(true);
    try {
        if (splash) {
            orvix::TLogoForm logo(orvix::ProgramFolder::path());
            logo.showFor(2000);
        }
        QApplication::setApplicationDisplayName(QString());

        auto pool = orvix::DevicePool::createDefault(demo);
        orvix::MainFormOptions options;
        options.programDir = orvix::ProgramFolder::path();
        options.overlayPath = overlay;
        orvix::TMainForm window(*pool, options);
        orvix::SignalBridge signals;
        QObject::connect(&signals, &orvix::SignalBridge::terminationRequested, &window,
                         [&window](int) { window.close(); });
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Orvix5-CAM Viewer"),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
