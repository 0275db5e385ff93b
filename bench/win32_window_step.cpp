// What the Win32 window costs per character: whole runs over one generated
// page of 1 MiB through the real main window, shown, with its real yield (the
// message pump), against the same window with a yield that does nothing and
// against the same run, step by step, with no window at all (reading, the
// filter, writing and flushing the page). No Google Benchmark for mingw:
// plain timing, the median of the runs.
//
//   DISPLAY=:1 wine build-win/bin/velnor_win32_window_bench.exe [runs]

#include "bench/generated_page.h"
#include "core/files/file_system.h"
#include "core/settings/settings_store.h"
#include "ui/win32/frmMain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FolderSettings : public velnor::SettingsStore {
public:
    explicit FolderSettings(std::string folder) : folder_(std::move(folder)) {}
    std::string Read(const std::string&, const std::string&, const std::string&,
                     const std::string&) const override {
        return folder_;
    }
    void Write(const std::string&, const std::string&, const std::string&,
               const std::string&) override {}

private:
    std::string folder_;
};

class WindowWithoutPump : public velnor::frmMain {
public:
    using frmMain::frmMain;
    void Yield() override {}
};

// The same steps with nothing behind them.
class NoWindow : public velnor::WindowSeam {
public:
    explicit NoWindow(fs::path folder) : folder_(std::move(folder)) {}
    fs::path FolderPath() const override { return folder_; }
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

private:
    fs::path folder_;
};

struct PageFolder {
    PageFolder() : page(velnor::bench::GeneratedPage(1u << 20)) {
        root =
            fs::temp_directory_path() / ("velnor-bench-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(root);
    }
    ~PageFolder() { fs::remove_all(root); }
    void Reset() const { std::ofstream(root / "page.htm", std::ios::binary) << page; }

    fs::path root;
    std::string page;
};

struct Timing {
    double median; // nanoseconds per character
    double least;  // the fastest run: what other programs on the machine did not slow down
};

// Nanoseconds per character of one run, over several runs.
Timing Nanoseconds(const PageFolder& folder, int runs, velnor::RunDriver& driver) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        folder.Reset();
        const auto start = std::chrono::steady_clock::now();
        driver.Start();
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        times.push_back(took.count() / static_cast<double>(folder.page.size()));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

template <typename Window> Timing WindowNanoseconds(const PageFolder& folder, int runs) {
    Window window({.settings = std::make_shared<FolderSettings>(folder.root.string())});
    window.Show();
    SendMessageW(window.Control(velnor::frmMain_design::Check4), BM_CLICK, 0, 0);
    return Nanoseconds(folder, runs, window.Run());
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const PageFolder folder;
    const Timing real = WindowNanoseconds<velnor::frmMain>(folder, runs);
    const Timing noPump = WindowNanoseconds<WindowWithoutPump>(folder, runs);
    NoWindow seam(folder.root);
    velnor::RunDriver driver(seam, [] { return velnor::MakeFileSystem(); });
    const Timing none = Nanoseconds(folder, runs, driver);
    std::printf("ns/character, %d runs of a %zu-byte page: median (fastest)\n", runs,
                folder.page.size());
    const auto line = [](const char* what, double median, double least) {
        std::printf("  %-34s %7.1f (%7.1f)\n", what, median, least);
    };
    line("run in the window, real yield", real.median, real.least);
    line("run in the window, no-op yield", noPump.median, noPump.least);
    line("the same steps, no window", none.median, none.least);
    line("the window's step, real yield", real.median - none.median, real.least - none.least);
    line("of which the yield", real.median - noPump.median, real.least - noPump.least);
}
