#include "tests/support/scripted_window.h"

namespace velnor::test {

void ScriptedWindow::AbandonAtYield(std::size_t n) {
    OnYield = [n](std::size_t yield) {
        if (yield == n)
            throw RunAbandoned{};
    };
}

std::string ScriptedWindow::GaugeCaption(Gauge gauge) const {
    ++GaugeReads;
    return gauge == Gauge::FileBar ? FileBarCaption : PackBarCaption;
}

void ScriptedWindow::SetGaugeCaption(Gauge gauge, const std::string& caption) {
    (gauge == Gauge::FileBar ? FileBarCaption : PackBarCaption) = caption;
    GaugeSets.emplace_back(gauge, caption);
}

void ScriptedWindow::Yield() {
    ++Yields;
    if (OnYield)
        OnYield(Yields);
}

MessageAnswer ScriptedWindow::ShowMessage(const MessageBoxRequest& request) {
    Messages.push_back(request);
    if (OnMessage)
        OnMessage(request);
    if (answers_.empty())
        return request.defaultButton;
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

} // namespace velnor::test
