#include "core/text/lower_case.h"

#include <gtest/gtest.h>

namespace velnor::test {
namespace {

TEST(LowerCase, EveryLetterWithOneSmallFormTakesItAndNothingElseChanges) {
    const std::pair<char16_t, char16_t> cases[] = {
        {u'A', u'a'},   {u'Z', u'z'},      {u'a', u'a'},           {u'@', u'@'}, {u'[', u'['},
        {u'Ä', u'ä'},   {u'Þ', u'þ'},      {u'×', u'×'},           {u'Ā', u'ā'}, {u'ā', u'ā'},
        {u'Ÿ', u'ÿ'},   {u'Σ', u'σ'},      {u'Д', u'д'},           {u'Ա', u'ա'}, {u'ẞ', u'ß'},
        {u'Ａ', u'ａ'}, {u'\u212A', u'k'}, {u'\u0130', u'\u0130'}, // İ: two characters small
        {u'中', u'中'},
    };
    for (const auto& [capital, small] : cases)
        EXPECT_EQ(LowerCase(capital), small) << int(capital);
}

} // namespace
} // namespace velnor::test
