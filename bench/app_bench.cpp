// Start-up of the main window (without the fixed splash) and the idle pass, each beside a
// baseline measured in the same run.

#include "app/main.h"
#include "camera/DemoCamera.h"
#include "camera/DevicePool.h"
#include "camera/MediaInit.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

using namespace orvix;

namespace {

MainFormOptions options(const QString& profile)
{
    MainFormOptions o;
    o.programDir = QCoreApplication::applicationDirPath();
    o.profileFolder = profile;
    return o;
}

// Baseline: an empty main window of the same size shown on the same platform.
void BM_Startup_BaselineEmptyWindow(benchmark::State& state)
{
    for (auto _ : state) {
        QMainWindow w;
        w.resize(806, 600);
        w.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&w));
    }
}
BENCHMARK(BM_Startup_BaselineEmptyWindow)->Unit(benchmark::kMillisecond);

// The main window from construction to shown, for a user whose settings exist (the first
// start also creates the data tree; both are measured).
void BM_Startup_MainWindow(benchmark::State& state)
{
    const bool firstStart = state.range(0) != 0;
    QTemporaryDir home;
    DevicePool pool;
    pool.addSource(std::make_shared<DemoCameraHub>(1, true));
    {
        TMainForm warm(pool, options(home.path()));
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir fresh;
        const QString profile = firstStart ? fresh.path() : home.path();
        state.ResumeTiming();
        TMainForm w(pool, options(profile));
        w.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&w));
        state.PauseTiming();
        w.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Startup_MainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

struct Connected {
    QTemporaryDir home;
    DevicePool pool;
    std::unique_ptr<TMainForm> form;
    Connected()
    {
        pool.addSource(std::make_shared<DemoCameraHub>(1, true));
        form = std::make_unique<TMainForm>(pool, options(home.path()));
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        form->Connect_BtnClick();
        form->CaptureImage_BtnClick();
        form->ui.action("ChangeModeTB_Draw")->trigger();
    }
};

// Baseline: reading the flags the pass reads, without touching a widget.
void BM_IdlePass_BaselineFlagReads(benchmark::State& state)
{
    Connected c;
    for (auto _ : state) {
        const AppFlags& f = c.form->flags;
        benchmark::DoNotOptimize(f.DeviceConnected && !f.PlayerOpen && c.form->hasStill() &&
                                 c.form->UnsavedLevel() > 1 && c.form->VmrAvailable);
    }
}
BENCHMARK(BM_IdlePass_BaselineFlagReads);

// The idle pass with every toolbar built, connected, a still shown and Draw mode on.
void BM_IdlePass_UpdateActions(benchmark::State& state)
{
    Connected c;
    for (auto _ : state)
        c.form->UpdateActions();
    state.counters["goal_us"] = 50;
}
BENCHMARK(BM_IdlePass_UpdateActions)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    initMedia(&argc, &argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
