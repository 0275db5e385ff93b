// What the window adds per character on top of the filter: a whole run over
// one generated page through the real main window (its labels, gauges and
// check boxes) with a yield that does nothing, against the command line's
// fast path over the same page. Both write the page back the same way, so the
// difference per character is the step handler, the two gauges, the ratio
// label and the two check-box reads, without the toolkit's event-loop pass.
//
//   QT_QPA_PLATFORM=offscreen velnor_window_bench [--benchmark_repetitions=5]

#include "bench/generated_page.h"
#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/settings/settings_store.h"
#include "ui/qt/directory_list.h"
#include "ui/qt/frmMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class MemorySettings : public velnor::SettingsStore {
public:
    std::string Read(const std::string&, const std::string&, const std::string&,
                     const std::string& fallback) const override {
        return fallback;
    }
    void Write(const std::string&, const std::string&, const std::string&,
               const std::string&) override {}
};

// The real window, less the event-loop pass at each yield.
class WindowWithoutEventLoop : public velnor::frmMain {
public:
    using frmMain::frmMain;
    void Yield() override {}
};

struct PageFolder {
    PageFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "velnor-bench-XXXXXX";
        root = mkdtemp(pattern.data());
        original = velnor::bench::GeneratedPage(1u << 20);
        Reset();
    }
    ~PageFolder() { std::filesystem::remove_all(root); }
    // Every run starts from the same page.
    void Reset() const { std::ofstream(root / "page.htm", std::ios::binary) << original; }

    std::filesystem::path root;
    std::string original;
};

const PageFolder& Folder() {
    static const PageFolder folder;
    return folder;
}

void Window(benchmark::State& state) {
    WindowWithoutEventLoop window(velnor::frmMainServices{std::make_shared<MemorySettings>()});
    window.findChild<velnor::DirectoryList*>("Dir1")->SetPath(Folder().root);
    window.findChild<QWidget*>("Check4")->setProperty("checked", false);
    for (auto _ : state) {
        state.PauseTiming();
        Folder().Reset();
        state.ResumeTiming();
        window.Run().Start();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(Folder().original.size()));
}

class NoWindow : public velnor::WindowSeam {
public:
    std::filesystem::path FolderPath() const override { return Folder().root; }
    bool BackupTicked() const override { return false; }
    std::string ExtensionText() const override { return "htm"; }
    bool RemoveSpacesTicked() const override { return true; }
    bool RemoveBreaksTicked() const override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRatio(std::int16_t) override {}
    void SetGaugeCells(velnor::Gauge, std::int16_t) override {}
    void Yield() override {}
    velnor::MessageAnswer ShowMessage(const velnor::MessageBoxRequest&) override {
        std::abort(); // a failed run would measure nothing
    }
};

void FastPath(benchmark::State& state) {
    NoWindow seam;
    velnor::RunDriver driver(
        seam, [] { return velnor::MakeFileSystem(); }, velnor::RunSettings{false, false});
    for (auto _ : state) {
        state.PauseTiming();
        Folder().Reset();
        state.ResumeTiming();
        driver.Start();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(Folder().original.size()));
}

BENCHMARK(Window)->Unit(benchmark::kMillisecond);
BENCHMARK(FastPath)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
