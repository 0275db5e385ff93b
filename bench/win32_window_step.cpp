// What the Win32 window costs per character: whole runs over one generated
// page of 1 MiB through the real main window, shown, with its real yield (the
// message pump), against the same window with a yield that does nothing. No
// Google Benchmark for mingw: plain timing, the median of the runs.
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

// Nanoseconds per character of one run, the median of runs.
template <typename Window> double MedianNanoseconds(const PageFolder& folder, int runs) {
    Window window({.settings = std::make_shared<FolderSettings>(folder.root.string())});
    window.Show();
    SendMessageW(window.Control(velnor::frmMain_design::Check4), BM_CLICK, 0, 0);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        folder.Reset();
        const auto start = std::chrono::steady_clock::now();
        window.Run().Start();
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        times.push_back(took.count() / static_cast<double>(folder.page.size()));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const PageFolder folder;
    const double real = MedianNanoseconds<velnor::frmMain>(folder, runs);
    const double noPump = MedianNanoseconds<WindowWithoutPump>(folder, runs);
    std::printf("window step, real yield:      %7.1f ns/character (median of %d runs of %zu)\n",
                real, runs, folder.page.size());
    std::printf("window step, no-op yield:      %7.1f ns/character\n", noPump);
    std::printf("the yield's share:             %7.1f ns/character\n", real - noPump);
}
