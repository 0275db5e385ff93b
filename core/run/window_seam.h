#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velnor {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Critical, Exclamation };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string text; // UTF-8, as the user sees it
    std::string title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer defaultButton = MessageAnswer::Ok;
};

enum class Gauge { FileBar, PackBar }; // sp1, sp2

// Thrown out of Yield() when the window has closed during a run: the run stops
// at that yield. Deliberately not a std::exception, so the run's error path
// (which shows a message box) never catches it.
struct RunAbandoned {};

// Everything a run, a search, a backup and a restore read from or write to the
// main window. The window implements it with its controls, the command line
// with the terminal, the tests with a scripted fake.
class WindowSeam {
public:
    virtual ~WindowSeam() = default;

    virtual std::filesystem::path FolderPath() const = 0; // Dir1
    virtual bool BackupTicked() const = 0;                // Check4
    virtual std::string ExtensionText() const = 0;        // Text1, UTF-8
    virtual bool RemoveSpacesTicked() const = 0;          // Check1, read at every step
    virtual bool RemoveBreaksTicked() const = 0;          // Check2, read at every step

    virtual void SetStatus(const std::string& caption) = 0; // lbstate
    // yasuoLv: the percentage's digits and "%".
    virtual void SetRatio(std::int16_t percent) = 0;
    // sp1 or sp2: that many cells lit, repainted at once.
    virtual void SetGaugeCells(Gauge gauge, std::int16_t cells) = 0;

    // Lets pending window events run; may throw RunAbandoned.
    virtual void Yield() = 0;
    virtual MessageAnswer ShowMessage(const MessageBoxRequest& request) = 0;
};

} // namespace velnor
