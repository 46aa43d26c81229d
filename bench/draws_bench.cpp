// The per-ray work without any output, split as a run splits it between the drawing
// thread and the workers, for the common options.

#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"
#include "generation/ray_run.h"

namespace lumiva {
namespace {

RunParameters benchParameters(int variant) {
    RunSettings s;
    s.angularType = AngularType::Lambertian;
    s.naX = s.naY = 0.99;
    s.xSize = s.ySize = 1;
    if (variant == 1) {
        s.shape = Shape::Elliptical;
        s.angularSmoothing = true;
    }
    if (variant == 2) {
        s.angularType = AngularType::Gaussian;
        s.naLimits = NaLimits::Rectangle;
        s.naX = 0.3;
    }
    return convertRunParameters(s);
}

// The part of a ray that stays on the drawing thread, in the one sequence: the point and
// the direction's attempts.
void BM_Draw(benchmark::State& state) {
    const RunParameters p = benchParameters(static_cast<int>(state.range(0)));
    // As a long run: the grid table where many attempts need the aperture test's
    // trigonometry (variant 2).
    std::optional<GridTrigonometry> grid;
    if (!p.angularSmoothing && exactlyTestedShare(p) >= RunEngine().tabulateShare) grid.emplace(p);
    const PointSampler points(p);
    const DirectionSampler directions(p, grid ? &*grid : nullptr);
    RandomSource random(1);
    SobolStream sobol;
    for (auto _ : state) {
        if (sobol.seed() > 1000000000) sobol = SobolStream();
        benchmark::DoNotOptimize(points.draw(random, sobol));
        benchmark::DoNotOptimize(directions.draw(random, sobol));
    }
    state.SetItemsProcessed(state.iterations());
}

// The part the workers take: completing the direction and weighing it.
void BM_Complete(benchmark::State& state) {
    const RunParameters p = benchParameters(static_cast<int>(state.range(0)));
    const DirectionSampler directions(p);
    RandomSource random(1);
    SobolStream sobol;
    std::vector<DirectionDraw> drawn(4096);
    for (DirectionDraw& d : drawn) d = directions.draw(random, sobol);
    const Distribution none;
    const FluxWeighting flux(p, none, none);
    std::size_t i = 0;
    for (auto _ : state) {
        const EmissionDirection d = completeDirection(drawn[i++ % drawn.size()]);
        benchmark::DoNotOptimize(flux.weightOf(d));
    }
    state.SetItemsProcessed(state.iterations());
}

// 0: Lambertian, rectangle emitter; 1: elliptical emitter with angular smoothing;
// 2: Gaussian with unequal rectangle limits.
BENCHMARK(BM_Draw)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Complete)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace lumiva
