// CompactText on a few-megabyte markup page, with no report (the command
// line's fast path) and with the report the window's step handler makes.
//
//   build/bin/velnor_bench [--benchmark_repetitions=5] [PAGE]
//
// PAGE defaults to a generated page; pass /tmp/velnor-corpus/big.html for real pages
// (its bytes are widened one to one, which is exact for ASCII).

#include "bench/generated_page.h"
#include "core/filter/compact_text.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::u16string Page;

std::int16_t Percent(double part, double whole) {
    return std::int16_t(std::nearbyint(part / whole * 100.0));
}

void NoReport(benchmark::State& state) {
    for (auto _ : state) {
        velnor::RunCounters counters;
        auto out = velnor::CompactText(Page, velnor::RemovalOptions{true, true}, counters);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

// The floor: copying the text into a new string.
void Copy(benchmark::State& state) {
    for (auto _ : state) {
        std::u16string out(Page);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

// What the window's step handler computes at every character, without the
// window: three percentages, each compared with the last one shown.
void WindowReport(benchmark::State& state) {
    const double length = double(Page.size());
    for (auto _ : state) {
        velnor::RunCounters counters;
        std::int16_t shown[3] = {-1, -1, -1};
        std::int64_t changes = 0;
        auto out = velnor::CompactText(
            Page,
            [] {
                return velnor::RemovalOptions{true, true};
            },
            counters,
            [&](const velnor::StepReport& s) {
                const std::int16_t now[3] = {Percent(s.Position, length),
                                             Percent(s.KeptInFile, length),
                                             Percent(s.KeptInRun, s.ScannedInRun)};
                for (int k = 0; k < 3; ++k)
                    if (now[k] != shown[k]) {
                        shown[k] = now[k];
                        ++changes;
                    }
            });
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(changes);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

BENCHMARK(Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(NoReport)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowReport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        std::ifstream in(argv[1], std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), {}};
        Page.assign(bytes.begin(), bytes.end());
    } else {
        const std::string bytes = velnor::bench::GeneratedPage(4 << 20);
        Page.assign(bytes.begin(), bytes.end());
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
