// The exponent form, the hot path of every ray set, against the C library's "%.6e".

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "output/number_format.h"
#include "output/ray_format.h"

namespace lumiva {
namespace {

constexpr std::size_t kValues = 1 << 14;

// What ray lines hold: coordinates on the 1/100000 grid of a sub-millimetre emitter
// (about 1e-4 ... 1 mm), direction cosines in -1 ... 1, zeros, and fluxes.
const std::vector<double>& rayValues() {
    static const std::vector<double> values = [] {
        std::mt19937 random(1);
        std::vector<double> v;
        while (v.size() < kValues) {
            const double g = (random() % 100000 + 1) / 100000.0;
            v.push_back((g - 0.5) * 0.6);
            v.push_back(0.0);
            v.push_back(std::sin(g * 6.283185307179586) * 0.7);
            v.push_back(std::cos(g * 1.5707963267948966));
            v.push_back(100.0 * std::exp(-2 * g * g));
        }
        v.resize(kValues);
        return v;
    }();
    return values;
}

// Random finite doubles of every exponent.
const std::vector<double>& wholeRange() {
    static const std::vector<double> values = [] {
        std::mt19937_64 random(2);
        std::vector<double> v;
        while (v.size() < kValues) {
            const double d = std::bit_cast<double>(random());
            if (std::isfinite(d)) v.push_back(d);
        }
        return v;
    }();
    return values;
}

// Writes the values one after another into a line-sized buffer, as a ray line does.
template <typename Format>
void run(benchmark::State& state, const std::vector<double>& values, Format format) {
    char text[256];
    for (auto _ : state) {
        std::size_t at = 0;
        for (double v : values) {
            at += static_cast<std::size_t>(format(v, text + at)) + 1;
            if (at > 200) at = 0;
        }
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

int ours(double v, char* out) { return formatExponent(v, out); }
int cLibrary(double v, char* out) { return std::snprintf(out, 32, "%.6e", v); }

void BM_FormatExponent_RayValues(benchmark::State& state) { run(state, rayValues(), ours); }
void BM_Snprintf_RayValues(benchmark::State& state) { run(state, rayValues(), cLibrary); }
void BM_FormatExponent_WholeRange(benchmark::State& state) { run(state, wholeRange(), ours); }
void BM_Snprintf_WholeRange(benchmark::State& state) { run(state, wholeRange(), cLibrary); }

// Whole ray lines of seven ray-set values: the form in which a run formats them.
void BM_FormatRayLine(benchmark::State& state) {
    const std::vector<double>& values = rayValues();
    char line[kMaxRayLineChars];
    for (auto _ : state) {
        for (std::size_t i = 0; i + 7 <= values.size(); i += 7) {
            benchmark::DoNotOptimize(
                formatRayLine(*reinterpret_cast<const double(*)[7]>(values.data() + i), line));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * (values.size() / 7) * 7));
}

BENCHMARK(BM_FormatExponent_RayValues);
BENCHMARK(BM_FormatRayLine);
BENCHMARK(BM_Snprintf_RayValues);
BENCHMARK(BM_FormatExponent_WholeRange);
BENCHMARK(BM_Snprintf_WholeRange);

}  // namespace
}  // namespace lumiva
