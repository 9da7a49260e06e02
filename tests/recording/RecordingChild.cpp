// A process that records from the demo camera, for the tests that kill a recording or let it
// run out of file space. Reports on standard output, one fact a line.
//
//   recording_child record <file> [encoder]   records until it is killed; "written N" lines
//   recording_child limit <file> <bytes>      files may not grow beyond bytes; records until
//                                             the write fails, then checks the preview

#include "camera/AviRecorder.h"
#include "camera/CaptureGraph.h"
#include "camera/DemoCamera.h"
#include "camera/MediaInit.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/resource.h>

using namespace orvix;

namespace {

struct Counter : FrameSink {
    void pushFrame(const VideoFrame&) override { n.fetch_add(1); }
    std::atomic<quint64> n{0};
};

void say(const char* fmt, quint64 v)
{
    std::printf(fmt, static_cast<unsigned long long>(v));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const bool limit = std::strcmp(argv[1], "limit") == 0;
    if (limit) {
        if (argc < 4)
            return 2;
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead of killing
        rlimit r{};
        r.rlim_cur = r.rlim_max = rlim_t(std::strtoull(argv[3], nullptr, 10));
        if (setrlimit(RLIMIT_FSIZE, &r) != 0)
            return 3;
    }
    initMedia(&argc, &argv);
    QCoreApplication app(argc, argv);

    auto hub = std::make_shared<DemoCameraHub>(1);
    CaptureGraph graph;
    Counter preview;
    graph.setFrameSink(&preview);
    QString error;
    GstElement* source =
        hub->createSourceElement(DemoCameraHub::deviceInfo(0), VideoFormat(), &error);
    if (!source || !graph.build(source, &error) || !graph.play())
        return 4;
    AviRecorder recorder;
    const QString encoder = !limit && argc > 3 ? QString::fromUtf8(argv[3]) : QString();
    if (!recorder.start(graph, QString::fromLocal8Bit(argv[2]), encoder, &error)) {
        std::printf("start failed %s\n", error.toUtf8().constData());
        return 5;
    }
    std::printf("started\n");
    std::fflush(stdout);

    QTimer report;
    QObject::connect(&report, &QTimer::timeout,
                     [&] { say("written %llu\n", recorder.framesWritten()); });
    report.start(20);

    int rc = 0;
    quint64 previewAtFailure = 0;
    if (limit) {
        QObject::connect(&recorder, &AviRecorder::failed, [&](const QString& reason) {
            std::printf("failed %s\n", reason.toUtf8().constData());
            std::fflush(stdout);
            previewAtFailure = preview.n.load();
            // The preview must go on without the recording.
            auto* check = new QTimer(&app);
            QObject::connect(check, &QTimer::timeout, [&, check] {
                if (graph.hasFailed()) {
                    std::printf("preview failed\n");
                    rc = 6;
                    app.quit();
                } else if (preview.n.load() >= previewAtFailure + 15) {
                    say("preview %llu\n", preview.n.load() - previewAtFailure);
                    app.quit();
                }
            });
            check->start(20);
        });
        QTimer::singleShot(60000, &app, [&] {
            std::printf("timeout\n");
            rc = 7;
            app.quit();
        });
    }
    app.exec();
    say("written %llu\n", recorder.framesWritten());
    say("recording %llu\n", recorder.isRecording() ? 1 : 0);
    graph.setFrameSink(nullptr);
    graph.stop();
    return rc;
}
