// A whole run over one folder, as the command line makes it, for the crash
// test to kill part-way: velnor_run_child FOLDER. Exits 1 after an error box.

#include "core/files/file_system.h"
#include "core/run/run_driver.h"
#include "tests/support/scripted_window.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velnor_run_child FOLDER\n");
        return 2;
    }
    velnor::test::ScriptedWindow window;
    window.Folder = argv[1];
    velnor::RunDriver(window, [] { return velnor::MakeFileSystem(); }, {false, false}).Start();
    for (const velnor::MessageBoxRequest& box : window.Messages)
        std::fprintf(stderr, "%s\n", box.text.c_str());
    return window.Messages.empty() ? 0 : 1;
}
