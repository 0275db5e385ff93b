// A whole run over one folder, as the command line makes it, for the crash
// test to kill part-way: velnor_run_child FOLDER. Exits 1 after an error box.

#include "run/file_system.h"
#include "run/run_driver.h"

#include <cstdio>

namespace {

class SilentWindow : public velnor::WindowSeam {
public:
    explicit SilentWindow(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::filesystem::path FolderPath() const override { return folder_; }
    bool BackupTicked() const override { return false; }
    std::string ExtensionText() const override { return "htm|html|asp"; }
    bool RemoveSpacesTicked() const override { return true; }
    bool RemoveBreaksTicked() const override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRatio(const std::string&) override {}
    std::string GaugeCaption(velnor::Gauge) const override { return {}; }
    void SetGaugeCaption(velnor::Gauge, const std::string&) override {}
    void Yield() override {}
    velnor::MessageAnswer ShowMessage(const velnor::MessageBoxRequest& request) override {
        std::fprintf(stderr, "%s\n", request.text.c_str());
        failed = true;
        return request.defaultButton;
    }

    bool failed = false;

private:
    std::filesystem::path folder_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velnor_run_child FOLDER\n");
        return 2;
    }
    SilentWindow window(argv[1]);
    velnor::RunDriver driver(
        window, [] { return velnor::MakeFileSystem(); }, velnor::RunSettings{false, false});
    driver.Start();
    return window.failed ? 1 : 0;
}
