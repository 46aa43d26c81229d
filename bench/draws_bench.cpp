// The per-ray work without any output: point, direction and flux for the common options.

#include <benchmark/benchmark.h>

#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"

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

void BM_Ray(benchmark::State& state) {
    const RunParameters p = benchParameters(static_cast<int>(state.range(0)));
    RandomSource random(1);
    SobolStream sobol;
    const Distribution none;
    FluxWeighting flux(p, none, none);
    for (auto _ : state) {
        if (sobol.seed() > 1000000000) sobol = SobolStream();
        const EmissionPoint point = drawEmissionPoint(p, random, sobol);
        const EmissionDirection d = drawEmissionDirection(p, random, sobol);
        benchmark::DoNotOptimize(point);
        benchmark::DoNotOptimize(flux.relativeIntensity(d));
    }
    state.SetItemsProcessed(state.iterations());
}
// 0: Lambertian, rectangle emitter; 1: elliptical emitter with angular smoothing;
// 2: Gaussian with unequal rectangle limits.
BENCHMARK(BM_Ray)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace lumiva
