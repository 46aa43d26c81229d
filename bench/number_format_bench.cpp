// The exponent form, the hot path of every ray set, against the C library's "%e".

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "output/number_format.h"

namespace lumiva {
namespace {

// What a ray line holds: grid coordinates in mm, direction cosines, fluxes.
std::vector<double> rayValues() {
    std::mt19937 random(1);
    std::vector<double> values;
    for (int i = 0; i < 4096; ++i) {
        const double g = ((random() >> 1) % 100000 + 1) / 100000.0;
        values.push_back(0.5 - g);
        values.push_back(std::sin(g * 6.283185307179586) * 0.7);
        values.push_back(std::cos(g));
        values.push_back(100 * std::exp(-2 * g * g));
    }
    return values;
}

std::vector<double> wholeRange() {
    std::mt19937_64 random(2);
    std::vector<double> values;
    while (values.size() < 16384) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v)) values.push_back(v);
    }
    return values;
}

template <typename Format>
void run(benchmark::State& state, const std::vector<double>& values, Format format) {
    char text[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(format(values[i], text));
        benchmark::ClobberMemory();
        if (++i == values.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FormatExponent_RayValues(benchmark::State& state) {
    run(state, rayValues(), [](double v, char* out) { return formatExponent(v, out); });
}
void BM_Snprintf_RayValues(benchmark::State& state) {
    run(state, rayValues(), [](double v, char* out) { return std::snprintf(out, 64, "%e", v); });
}
void BM_FormatExponent_WholeRange(benchmark::State& state) {
    run(state, wholeRange(), [](double v, char* out) { return formatExponent(v, out); });
}
void BM_Snprintf_WholeRange(benchmark::State& state) {
    run(state, wholeRange(), [](double v, char* out) { return std::snprintf(out, 64, "%e", v); });
}

BENCHMARK(BM_FormatExponent_RayValues);
BENCHMARK(BM_Snprintf_RayValues);
BENCHMARK(BM_FormatExponent_WholeRange);
BENCHMARK(BM_Snprintf_WholeRange);

}  // namespace
}  // namespace lumiva
