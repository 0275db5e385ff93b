#include "cli/terminal_seam.h"

#include "core/io/stream_io.h"

#include <algorithm>
#include <cctype>

namespace velnor::cli {
namespace {

bool IsYes(std::string answer) {
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto first = answer.find_first_not_of(" \t\r");
    auto last = answer.find_last_not_of(" \t\r");
    if (first == std::string::npos) {
        return false;
    }
    answer = answer.substr(first, last - first + 1);
    return answer == "y" || answer == "yes";
}

} // namespace

TerminalSeam::TerminalSeam(SeamSettings settings, const CliStreams& streams, RunProgress* progress,
                           Clock clock)
    : settings_(std::move(settings)), streams_(streams), progress_(progress),
      clock_(std::move(clock)) {}

MessageAnswer TerminalSeam::ShowMessage(const MessageBoxRequest& request) {
    switch (request.buttons) {
    case MessageButtons::YesNo:
        return Ask(request) ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::OkCancel:
        return Ask(request) ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::Ok:
        break;
    }
    // Errors in the command's voice; the restore's closing notice as it stands.
    Say(request.icon == MessageIcon::Exclamation ? request.text : "velnor-cli: " + request.text);
    return MessageAnswer::Ok;
}

bool TerminalSeam::Ask(const MessageBoxRequest& request) {
    bool yes = false;
    if (settings_.assumeYes) {
        yes = true;
    } else if (streams_.inIsTerminal) {
        if (progress_) {
            progress_->Clear();
        }
        io::WriteAll(streams_.err, request.text + " [y/N] ", "standard error");
        const auto asked = clock_();
        std::string answer;
        yes = io::ReadLine(streams_.in, answer) && IsYes(answer);
        answerWait_ += clock_() - asked;
    } else {
        Say("velnor-cli: " + request.text +
            " -- answered no: no terminal to ask (pass --yes to answer yes)");
    }
    return yes;
}

void TerminalSeam::Say(const std::string& line) {
    if (progress_) {
        progress_->Clear();
    }
    io::WriteAll(streams_.err, line + "\n", "standard error");
}

} // namespace velnor::cli
