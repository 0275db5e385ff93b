// What the window adds per character on top of the filter: a whole run over
// one generated page through the real main window (its labels, gauges and
// check boxes), with its real yield and with a yield that does nothing,
// against the command line's fast path over the same page. All write the page
// back the same way, so the difference per character is the step handler, the
// two gauges, the ratio label, the two check-box reads and the yield. Then the
// yield alone with nothing pending, the event-loop pass it spares, and one
// gauge repaint.
//
//   QT_QPA_PLATFORM=offscreen velnor_window_bench [--benchmark_repetitions=5]
//   xvfb-run -a velnor_window_bench    (the same on an X server)

#include "bench/generated_page.h"
#include "bench/no_window.h"
#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "core/settings/settings_store.h"
#include "core/text/cp936_tables.h"
#include "ui/qt/frmMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
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

// The window as on a user's screen.
template <typename MainWindow = velnor::frmMain> std::unique_ptr<MainWindow> Shown() {
    auto window =
        std::make_unique<MainWindow>(velnor::frmMainServices{std::make_shared<MemorySettings>()});
    window->show();
    QCoreApplication::processEvents();
    return window;
}

template <typename MainWindow> void Window(benchmark::State& state) {
    const std::unique_ptr<MainWindow> window = Shown<MainWindow>();
    window->OpenFolder(Folder().root);
    window->template findChild<QWidget*>("Check4")->setProperty("checked", false);
    for (auto _ : state) {
        state.PauseTiming();
        Folder().Reset();
        state.ResumeTiming();
        window->Form().Run().Start();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(Folder().original.size()));
}

void FastPath(benchmark::State& state) {
    velnor::bench::NoWindow seam(Folder().root);
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

// The window's yield with nothing pending, against the event-loop pass it makes.
void Yield(benchmark::State& state) {
    const auto window = Shown();
    for (auto _ : state)
        window->Form().Yield();
}

void EventLoopPass(benchmark::State& state) {
    const auto window = Shown();
    for (auto _ : state)
        QCoreApplication::processEvents();
}

// One more cell or an emptied gauge, repainted at once: some 120 a page.
void GaugeRepaint(benchmark::State& state) {
    const auto window = Shown();
    std::int16_t cells = 0;
    for (auto _ : state) {
        window->Form().SetGaugeCells(velnor::Gauge::FileBar, cells);
        cells = static_cast<std::int16_t>((cells + 1) % 61);
    }
}

BENCHMARK(Window<velnor::frmMain>)->Name("Window/RealYield")->Unit(benchmark::kMillisecond);
BENCHMARK(Window<WindowWithoutEventLoop>)->Name("Window/NoOpYield")->Unit(benchmark::kMillisecond);
BENCHMARK(FastPath)->Unit(benchmark::kMillisecond);
BENCHMARK(Yield);
BENCHMARK(EventLoopPass);
BENCHMARK(GaugeRepaint);

} // namespace

int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
