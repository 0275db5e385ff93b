// A whole dry run (read, decode, compact, encode; nothing written) over one
// generated page of a few megabytes, through the window's step path and
// through the command line's fast path. Their difference per character is
// what the step handler, the two gauges, the ratio label, the options source
// and a yield that does nothing cost together.
//
//   velnor_run_bench [--benchmark_repetitions=5]

#include "bench/generated_page.h"
#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/text/cp936_tables.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Keeps what the labels would show; the event loop is not run.
class LabelWindow : public velnor::WindowSeam {
public:
    explicit LabelWindow(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::filesystem::path FolderPath() const override { return folder_; }
    bool BackupTicked() const override { return false; }
    std::string ExtensionText() const override { return "htm|html|asp"; }
    bool RemoveSpacesTicked() const override { return spaces_; }
    bool RemoveBreaksTicked() const override { return breaks_; }
    void SetStatus(const std::string& caption) override { status_ = caption; }
    void SetRatio(std::int16_t percent) override { ratio_ = percent; }
    void SetGaugeCells(velnor::Gauge gauge, std::int16_t cells) override {
        (gauge == velnor::Gauge::FileBar ? fileBar_ : packBar_) = cells;
    }
    void Yield() override { benchmark::ClobberMemory(); }
    velnor::MessageAnswer ShowMessage(const velnor::MessageBoxRequest& request) override {
        std::abort(); // a failed run would measure nothing
        return request.defaultButton;
    }

private:
    std::filesystem::path folder_;
    bool spaces_ = true;
    bool breaks_ = true;
    std::string status_;
    std::int16_t ratio_ = 0, fileBar_ = 0, packBar_ = 0;
};

struct PageFolder {
    PageFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velnor-bench-XXXXXX");
        root = mkdtemp(pattern.data());
        const std::string bytes = velnor::bench::GeneratedPage(4u << 20);
        std::ofstream(root / "page.htm", std::ios::binary) << bytes;
        size = bytes.size();
    }
    ~PageFolder() { std::filesystem::remove_all(root); }

    std::filesystem::path root;
    std::size_t size = 0;
};

const PageFolder& Folder() {
    static const PageFolder folder;
    return folder;
}

void DryRun(benchmark::State& state, bool reportSteps) {
    LabelWindow window(Folder().root);
    velnor::RunDriver driver(
        window, [] { return velnor::MakeFileSystem(); }, velnor::RunSettings{reportSteps, true});
    for (auto _ : state)
        driver.Start();
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(Folder().size));
}

void StepPath(benchmark::State& state) {
    DryRun(state, true);
}
void FastPath(benchmark::State& state) {
    DryRun(state, false);
}

} // namespace

BENCHMARK(StepPath)->Unit(benchmark::kMillisecond);
BENCHMARK(FastPath)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
