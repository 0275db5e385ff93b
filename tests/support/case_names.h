#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace velnor::test {

// The names of a parameterised test's cases, in the order of its table, as
// INSTANTIATE_TEST_SUITE_P's last argument: CaseNames({"Empty", "OneByte"}),
// in parentheses, which keep the macro from splitting the list at its commas.
// Without them ctest names each case after its printed parameters, whose
// pointers change from one run to the next.
class CaseNames {
public:
    CaseNames(std::initializer_list<const char*> names) : names_(names.begin(), names.end()) {}

    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        // A case left without a name gets none, which GoogleTest refuses
        // before any test runs, naming the table's file and line.
        return info.index < names_.size() ? names_[info.index] : std::string();
    }

private:
    std::vector<std::string> names_;
};

} // namespace velnor::test
