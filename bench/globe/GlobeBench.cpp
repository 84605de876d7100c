// Time to the first frame of the globe (context, data preparation, texture upload,
// display list and drawing) and time of the frames after it, at the sizes the dialog
// gives the globe. Run under xvfb-run so that Mesa's software renderer draws.
#include "globe/GlobeData.h"
#include "globe/GlobeSurfaceFormat.h"
#include "globe/GlobeView.h"

#include "TestData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace skyfetch;

namespace {

// The globe view with a count of the frames it has drawn.
class CountingGlobeView : public CGlobeView {
public:
    int frames = 0;
    double lastRenderSeconds = 0; // the globe's own drawing, without composition

protected:
    void paintGL() override {
        QElapsedTimer timer;
        timer.start();
        CGlobeView::paintGL();
        glFinish();
        lastRenderSeconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        ++frames;
    }
};

// Runs the event loop until the view has drawn one more frame than before, then waits
// until the renderer has finished it. False when no frame came within a second.
bool draw_frame(CountingGlobeView& view, int before) {
    QElapsedTimer limit;
    limit.start();
    while (view.frames <= before) {
        if (limit.elapsed() > 1000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    view.makeCurrent();
    glFinish();
    view.doneCurrent();
    return true;
}

void BM_FirstFrame(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto data = std::make_unique<CGlobeData>();
        auto view = std::make_unique<CountingGlobeView>();
        view->resize(size, size);
        view->SetData(data.get());
        view->m_longitude = 147.25;
        view->m_latitude = -42.75;
        QElapsedTimer timer;
        timer.start();
        view->show();
        const bool drawn = draw_frame(*view, 0);
        const qint64 ns = timer.nsecsElapsed();
        if (!drawn || !view->IsSetUp()) {
            state.SkipWithError("the globe could not set up OpenGL");
            return;
        }
        state.SetIterationTime(static_cast<double>(ns) * 1e-9);
        view->StopAnimation();
    }
}
BENCHMARK(BM_FirstFrame)
    ->Arg(280)
    ->Arg(300)
    ->Arg(330)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_LaterFrame(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    CGlobeData data;
    CountingGlobeView view;
    view.resize(size, size);
    view.SetData(&data);
    view.show();
    const bool drawn = draw_frame(view, 0);
    view.StopAnimation();
    if (!drawn || !view.IsSetUp()) {
        state.SkipWithError("the globe could not set up OpenGL");
        return;
    }
    view.m_longitude = 20;
    view.m_latitude = 10;
    double renderSeconds = 0;
    for (auto _ : state) {
        // Each frame a little further round, as while spinning.
        view.m_spin = GlobeViewState::Wrap180(view.m_spin + 1.5);
        const int before = view.frames;
        QElapsedTimer timer;
        timer.start();
        view.update();
        if (!draw_frame(view, before)) {
            state.SkipWithError("no frame was drawn");
            return;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        renderSeconds += view.lastRenderSeconds;
    }
    state.counters["draw_ms"] =
        benchmark::Counter(renderSeconds * 1e3 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_LaterFrame)
    ->Arg(280)
    ->Arg(300)
    ->Arg(330)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Prepare(benchmark::State& state) {
    for (auto _ : state) {
        CGlobeData data;
        benchmark::DoNotOptimize(data.Prepare());
    }
}
BENCHMARK(BM_Prepare)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "No X display: run under xvfb-run.\n");
        return 1;
    }
    if (!test::register_built_resources()) {
        std::fprintf(stderr, "The built globe data is missing.\n");
        return 1;
    }
    configure_globe_surface_format();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
