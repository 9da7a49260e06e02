// Recording cost: 640 x 480 at 30 fps from the demo camera into an AVI file, raw and Motion
// JPEG, through the engine (capture graph with its preview branches plus the recording
// branch) against a bare pipeline writing the same file from the same source. The frames in
// each file are counted by ffprobe; CPU time is the process's, per frame in the file.
//
//   bench_recording [--record_seconds=60] [benchmark flags]

#include "camera/AviRecorder.h"
#include "camera/CaptureGraph.h"
#include "camera/CompressorCatalog.h"
#include "camera/DemoCamera.h"
#include "camera/MediaInit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <atomic>
#include <cstring>
#include <ctime>

using namespace orvix;

namespace {

double g_seconds = 60;

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

void pump(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 framesInFile(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
             QStringLiteral("-select_streams"), QStringLiteral("v:0"),
             QStringLiteral("-show_entries"), QStringLiteral("stream=nb_read_frames"),
             QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed().toLongLong();
}

// The encoder of the variant: none, or the catalog's Motion JPEG compressor.
QString encoderFor(int variant)
{
    if (variant == 0)
        return {};
    for (const CompressorInfo& c : CompressorCatalog::enumerate())
        if (c.factory == QLatin1String("avenc_mjpeg") || c.factory == QLatin1String("jpegenc"))
            return c.factory;
    return QStringLiteral("-");
}

struct Sink : FrameSink {
    void pushFrame(const VideoFrame&) override { n.fetch_add(1); }
    std::atomic<quint64> n{0};
};

void report(benchmark::State& state, const QString& path, double cpu, double wall, quint64 produced)
{
    const qint64 frames = framesInFile(path);
    state.counters["frames_in_file"] = double(frames);
    state.counters["frames_expected"] = std::floor(wall * 30.0);
    state.counters["frames_produced"] = double(produced);
    state.counters["cpu_ms_per_frame"] = frames > 0 ? 1000.0 * cpu / double(frames) : 0.0;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
    QFile::remove(path);
}

GstPadProbeReturn countBuffer(GstPad*, GstPadProbeInfo*, gpointer counter)
{
    static_cast<std::atomic<quint64>*>(counter)->fetch_add(1);
    return GST_PAD_PROBE_OK;
}

void BM_Baseline_BarePipelineToAvi(benchmark::State& state)
{
    const QString encoder = encoderFor(int(state.range(0)));
    if (encoder == QLatin1String("-")) {
        state.SkipWithError("no Motion JPEG encoder");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("baseline.avi"));
    DemoCameraHub hub;
    for (auto _ : state) {
        const QString stage =
            encoder.isEmpty()
                ? QStringLiteral("video/x-raw,format=BGR")
                : QStringLiteral("video/x-raw,colorimetry=(string)1:4:0:0 ! ") + encoder;
        const QString tail = QStringLiteral("queue ! videoconvert ! %1 ! avimux ! filesink "
                                            "buffer-mode=2 sync=false location=\"%2\"")
                                 .arg(stage, path);
        GError* err = nullptr;
        GstElement* chain = gst_parse_bin_from_description(tail.toUtf8().constData(), TRUE, &err);
        if (err) {
            state.SkipWithError(err->message);
            g_error_free(err);
            return;
        }
        GstElement* pipeline = gst_pipeline_new("baseline");
        GstElement* src =
            hub.createSourceElement(DemoCameraHub::deviceInfo(0), VideoFormat(), nullptr);
        gst_bin_add_many(GST_BIN(pipeline), src, chain, nullptr);
        gst_element_link(src, chain);
        std::atomic<quint64> frames{0};
        GstPad* pad = gst_element_get_static_pad(chain, "sink");
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, countBuffer, &frames, nullptr);
        gst_object_unref(pad);

        const double c0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        pump(g_seconds);
        gst_element_send_event(pipeline, gst_event_new_eos());
        GstBus* bus = gst_element_get_bus(pipeline);
        if (GstMessage* m = gst_bus_timed_pop_filtered(
                bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
            gst_message_unref(m);
        gst_object_unref(bus);
        const double w = wall.nsecsElapsed() * 1e-9;
        const double cpu = cpuSeconds() - c0;
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        report(state, path, cpu, w, frames.load());
    }
}

void BM_Engine_RecordWithPreview(benchmark::State& state)
{
    const QString encoder = encoderFor(int(state.range(0)));
    if (encoder == QLatin1String("-")) {
        state.SkipWithError("no Motion JPEG encoder");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("engine.avi"));
    DemoCameraHub hub;
    for (auto _ : state) {
        Sink preview;
        CaptureGraph graph;
        graph.setFrameSink(&preview);
        if (!graph.build(
                hub.createSourceElement(DemoCameraHub::deviceInfo(0), VideoFormat(), nullptr)) ||
            !graph.play()) {
            state.SkipWithError("the preview did not start");
            return;
        }
        AviRecorder recorder;
        const double c0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QString error;
        if (!recorder.start(graph, path, encoder, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        pump(g_seconds);
        recorder.stop();
        const double w = wall.nsecsElapsed() * 1e-9;
        const double cpu = cpuSeconds() - c0;
        const quint64 received = recorder.framesReceived();
        graph.setFrameSink(nullptr);
        graph.stop();
        report(state, path, cpu, w, received);
    }
}

} // namespace

BENCHMARK(BM_Baseline_BarePipelineToAvi)
    ->ArgName("mjpeg")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Engine_RecordWithPreview)
    ->ArgName("mjpeg")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Our own flag first: benchmark::Initialize rejects what it does not know.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* flag = "--record_seconds=";
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            g_seconds = std::max(1.0, std::atof(argv[i] + std::strlen(flag)));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    initMedia(&argc, &argv);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
