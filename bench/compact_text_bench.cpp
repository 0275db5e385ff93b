// The filter on a few-megabyte markup page: the byte filter of the command
// line, whole and in blocks, against a plain copy; and the step-by-step filter
// with the report the window's step handler makes, on the decoded text.
//
//   build/bin/velnor_bench [--benchmark_repetitions=5] [PAGE]
//
// PAGE defaults to a generated page; pass /tmp/velnor-corpus/big.html for real pages.

#include "bench/generated_page.h"
#include "core/filter/compact_text.h"
#include "core/filter/page_compactor.h"
#include "core/text/ansi_codec.h"
#include "core/text/cp936_tables.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Page;
std::u16string Text;

std::int16_t Percent(double part, double whole) {
    return std::int16_t(std::nearbyint(part / whole * 100.0));
}

void WholePage(benchmark::State& state) {
    for (auto _ : state) {
        velnor::PageCounts counts;
        auto out = velnor::CompactPage(Page, velnor::RemovalOptions{true, true}, counts);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

// As velnor-cli filter does: one block in, its output out, the buffer reused.
void Blocks(benchmark::State& state) {
    const std::size_t block = std::size_t(state.range(0));
    for (auto _ : state) {
        velnor::PageCompactor compactor(velnor::RemovalOptions{true, true},
                                        velnor::GetCp936Tables());
        std::string out;
        for (std::size_t at = 0; at < Page.size(); at += block) {
            out.clear();
            compactor.Feed(std::string_view(Page).substr(at, block), out);
            benchmark::DoNotOptimize(out.data());
        }
        compactor.Finish(out);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

// The floor: copying the bytes into a new string.
void Copy(benchmark::State& state) {
    for (auto _ : state) {
        std::string out(Page);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
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
            Text,
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
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Page.size()));
}

BENCHMARK(Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(WholePage)->Unit(benchmark::kMillisecond);
BENCHMARK(Blocks)->Arg(64 << 10)->Arg(128 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowReport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    benchmark::Initialize(&argc, argv);
    if (argc > 1) {
        std::ifstream in(argv[1], std::ios::binary);
        Page.assign(std::istreambuf_iterator<char>(in), {});
    } else {
        Page = velnor::bench::GeneratedPage(4 << 20);
    }
    Text = velnor::DecodeAnsi(Page);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
