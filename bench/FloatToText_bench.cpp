// FloatToText against snprintf("%.15g") on the same values, the coordinates and sizes that
// the command writer formats.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "util/MyFunc.h"

namespace {

constexpr size_t kValueCount = 4096;

std::vector<double> MakeValues(const std::string& kind) {
    std::mt19937_64 rng(407);
    std::vector<double> values(kValueCount);
    for (double& v : values) {
        if (kind == "integers") {
            v = static_cast<double>(std::uniform_int_distribution<int>(-100000, 100000)(rng));
        } else if (kind == "coordinates") {
            // Drawing coordinates with a few decimal places, as the dialog computes them.
            v = std::uniform_int_distribution<int>(-10000000, 10000000)(rng) / 1000.0;
        } else if (kind == "full") {
            // Results of arithmetic, all 15 digits significant.
            v = std::uniform_real_distribution<double>(-1000.0, 1000.0)(rng);
        } else {
            // Tiny and huge magnitudes in scientific notation.
            v = std::uniform_real_distribution<double>(1.0, 10.0)(rng) *
                std::pow(10.0, std::uniform_int_distribution<int>(-30, 30)(rng));
        }
    }
    return values;
}

void BM_FloatToText(benchmark::State& state, const std::string& kind) {
    const std::vector<double> values = MakeValues(kind);
    size_t i = 0;
    for (auto _ : state) {
        std::u16string text = FloatToText(values[i]);
        benchmark::DoNotOptimize(text);
        i = (i + 1) % kValueCount;
    }
    state.SetItemsProcessed(state.iterations());
}

// The baseline: the C library's general format, into a fixed buffer without a result string.
void BM_Snprintf(benchmark::State& state, const std::string& kind) {
    const std::vector<double> values = MakeValues(kind);
    size_t i = 0;
    char buf[64];
    for (auto _ : state) {
        const int len = std::snprintf(buf, sizeof buf, "%.15g", values[i]);
        benchmark::DoNotOptimize(len);
        benchmark::DoNotOptimize(buf);
        i = (i + 1) % kValueCount;
    }
    state.SetItemsProcessed(state.iterations());
}

// The writers' form: appending to one line that is reused.
void BM_AppendFloatText(benchmark::State& state, const std::string& kind) {
    const std::vector<double> values = MakeValues(kind);
    size_t i = 0;
    std::u16string line;
    for (auto _ : state) {
        line.clear();
        AppendFloatText(line, values[i]);
        benchmark::DoNotOptimize(line);
        i = (i + 1) % kValueCount;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(BM_FloatToText, integers, std::string("integers"));
BENCHMARK_CAPTURE(BM_Snprintf, integers, std::string("integers"));
BENCHMARK_CAPTURE(BM_FloatToText, coordinates, std::string("coordinates"));
BENCHMARK_CAPTURE(BM_Snprintf, coordinates, std::string("coordinates"));
BENCHMARK_CAPTURE(BM_FloatToText, full, std::string("full"));
BENCHMARK_CAPTURE(BM_Snprintf, full, std::string("full"));
BENCHMARK_CAPTURE(BM_FloatToText, scientific, std::string("scientific"));
BENCHMARK_CAPTURE(BM_Snprintf, scientific, std::string("scientific"));
BENCHMARK_CAPTURE(BM_AppendFloatText, coordinates, std::string("coordinates"));
