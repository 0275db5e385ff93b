// What the Win32 window costs per character: whole runs over one generated
// page of 1 MiB through the real main window, shown, with its real yield (the
// message pump), against the same window with a yield that does nothing and
// against the same run, step by step, with no window at all (reading, the
// filter, writing and flushing the page). No Google Benchmark for mingw:
// plain timing, the median of the runs.
//
//   DISPLAY=:1 wine build-win/bin/velnor_win32_window_bench.exe [runs]

#include "bench/generated_page.h"
#include "bench/no_window.h"
#include "core/files/file_system.h"
#include "core/settings/settings_store.h"
#include "core/text/cp936_tables.h"
#include "ui/win32/frmMain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
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

// This process's processor time, user and kernel, in nanoseconds: other
// programs on a busy machine do not stretch it (the Wine and X servers' share
// is left out).
double ProcessorNanoseconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto count = [](const FILETIME& time) {
        return double(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
    };
    return (count(kernel) + count(user)) * 100.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Nanoseconds per character of each run: wall clock and processor time.
struct Timings {
    std::vector<double> wall;
    std::vector<double> processor;

    void Time(const PageFolder& folder, velnor::RunDriver& driver) {
        folder.Reset();
        const double characters = static_cast<double>(folder.page.size());
        const double processorStart = ProcessorNanoseconds();
        const auto start = std::chrono::steady_clock::now();
        driver.Start();
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        wall.push_back(took.count() / characters);
        processor.push_back((ProcessorNanoseconds() - processorStart) / characters);
    }
};

template <typename Window> std::unique_ptr<Window> OpenWindow(const PageFolder& folder) {
    auto window = std::make_unique<Window>(
        velnor::frmMainServices{std::make_shared<FolderSettings>(folder.root.string())});
    window->Show();
    SendMessageW(window->Control(velnor::frmMain_design::Check4), BM_CLICK, 0, 0);
    return window;
}

} // namespace

int main(int argc, char** argv) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const PageFolder folder;
    const auto real = OpenWindow<velnor::frmMain>(folder);
    const auto noPump = OpenWindow<WindowWithoutPump>(folder);
    velnor::bench::NoWindow seam(folder.root);
    velnor::RunDriver none(seam, [] { return velnor::MakeFileSystem(); });
    // Taken in turn, so that a busy spell of the machine weighs on all three alike.
    Timings timings[3];
    for (int run = 0; run < runs; ++run) {
        timings[0].Time(folder, real->Form().Run());
        timings[1].Time(folder, noPump->Form().Run());
        timings[2].Time(folder, none);
    }
    double wall[3];
    double processor[3];
    for (int at = 0; at < 3; ++at) {
        wall[at] = Median(timings[at].wall);
        processor[at] = Median(timings[at].processor);
    }
    std::printf("ns/character, medians of %d runs of a %zu-byte page: wall clock, processor\n",
                runs, folder.page.size());
    const auto line = [](const char* what, double wallTime, double processorTime) {
        std::printf("  %-34s %7.1f %7.1f\n", what, wallTime, processorTime);
    };
    line("run in the window, real yield", wall[0], processor[0]);
    line("run in the window, no-op yield", wall[1], processor[1]);
    line("the same steps, no window", wall[2], processor[2]);
    line("the window's step, real yield", wall[0] - wall[2], processor[0] - processor[2]);
    line("of which the yield", wall[0] - wall[1], processor[0] - processor[1]);
}
