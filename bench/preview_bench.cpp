// Live preview cost: demo camera -> CaptureGraph -> painted PainterVideoWindow, against a
// bare pipeline from the same demo source into a fakesink. Reports frames per second,
// frames lost between source and screen, and process CPU time per displayed frame.

#include "camera/CaptureGraph.h"
#include "camera/DemoCamera.h"
#include "camera/MediaInit.h"
#include "camera/PainterVideoWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <atomic>
#include <ctime>

using namespace orvix;

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double runSeconds()
{
    bool ok = false;
    const double s = qEnvironmentVariable("ORVIX_BENCH_SECONDS").toDouble(&ok);
    return ok && s > 0 ? s : 5.0;
}

VideoFormat formatFor(int width)
{
    VideoFormat f;
    f.width = width;
    f.height = width * 3 / 4;
    return f;
}

// Runs the event loop for the given time, sleeping while there is nothing to do (a
// processEvents() loop would spin and be counted as preview cost).
void pump(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Measure {
    double wall = 0, cpu = 0;
    quint64 produced = 0, shown = 0;
};

void report(benchmark::State& state, const Measure& m)
{
    state.counters["fps"] = double(m.shown) / m.wall;
    state.counters["dropped"] = double(m.produced > m.shown ? m.produced - m.shown : 0);
    state.counters["cpu_ms_per_frame"] = m.shown ? 1000.0 * m.cpu / double(m.shown) : 0.0;
    state.counters["frames"] = double(m.shown);
}

GstPadProbeReturn countBuffer(GstPad*, GstPadProbeInfo*, gpointer counter)
{
    static_cast<std::atomic<quint64>*>(counter)->fetch_add(1);
    return GST_PAD_PROBE_OK;
}

void BM_Baseline_DemoToFakesink(benchmark::State& state)
{
    DemoCameraHub hub;
    const double seconds = runSeconds();
    Measure m;
    for (auto _ : state) {
        GstElement* pipeline = gst_pipeline_new("baseline");
        GstElement* src = hub.createSourceElement(DemoCameraHub::deviceInfo(0),
                                                  formatFor(int(state.range(0))), nullptr);
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
        gst_bin_add_many(GST_BIN(pipeline), src, sink, nullptr);
        gst_element_link(src, sink);
        std::atomic<quint64> frames{0};
        GstPad* pad = gst_element_get_static_pad(sink, "sink");
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, countBuffer, &frames, nullptr);
        gst_object_unref(pad);
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        pump(0.5); // warm-up: first frames, static picture rendered

        const quint64 f0 = frames, d0 = hub.framesDelivered();
        const double c0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        pump(seconds);
        m.wall = wall.nsecsElapsed() * 1e-9;
        m.cpu = cpuSeconds() - c0;
        m.shown = frames - f0;
        m.produced = hub.framesDelivered() - d0;
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
    report(state, m);
}

void BM_Preview_DemoToPaintedWindow(benchmark::State& state)
{
    DemoCameraHub hub;
    const double seconds = runSeconds();
    Measure m;
    for (auto _ : state) {
        PainterVideoWindow window;
        window.resize(640, 480);
        window.show();
        CaptureGraph graph;
        graph.setFrameSink(&window);
        graph.build(hub.createSourceElement(DemoCameraHub::deviceInfo(0),
                                            formatFor(int(state.range(0))), nullptr));
        if (!graph.play()) {
            state.SkipWithError("preview did not start");
            return;
        }
        pump(0.5);

        const quint64 p0 = window.framesPainted(), d0 = hub.framesDelivered();
        const double c0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        pump(seconds);
        m.wall = wall.nsecsElapsed() * 1e-9;
        m.cpu = cpuSeconds() - c0;
        m.shown = window.framesPainted() - p0;
        m.produced = hub.framesDelivered() - d0;
        graph.setFrameSink(nullptr);
        graph.stop();
    }
    report(state, m);
}

} // namespace

BENCHMARK(BM_Baseline_DemoToFakesink)
    ->Arg(640)
    ->Arg(1600)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview_DemoToPaintedWindow)
    ->Arg(640)
    ->Arg(1600)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    initMedia(&argc, &argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
