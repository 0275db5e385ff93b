#pragma once

#include <cstddef>
#include <functional>

namespace velnor::test {

// A window of either toolkit, counting its yields and able to act at each one.
template <typename Window> class ProbedWindowOf : public Window {
public:
    using Window::Window;

    void Yield() override {
        ++Yields;
        if (OnYield)
            OnYield(Yields);
        Window::Yield();
    }

    std::size_t Yields = 0;
    std::function<void(std::size_t)> OnYield;
};

} // namespace velnor::test
