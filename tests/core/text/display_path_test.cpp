#include "core/text/display_path.h"
#include "core/text/path_text.h"
#include "core/text/utf8.h"
#include "tests/support/system_names.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor {
namespace {

TEST(DisplayPath, ShowsEveryNameAsReadableUtf8) {
    EXPECT_EQ(DisplayPath(PathFromUtf8("/站点/页面.htm")), "/站点/页面.htm"); // text stays
    if (!test::NamesAreBytes)
        GTEST_SKIP() << "names are UTF-16 text here, never bytes to be read";
    struct Case {
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"/w/\xC4\xE3\xBA\xC3.htm", "/w/你好.htm"}, // GBK is read as GBK
        {"/站点/\xC4\xE3\xBA\xC3/", "/站点/你好/"}, // name by name
        {"/w/a\xFF"
         "b",
         "/w/a\\xFFb"},          // no character at all
        {"/w/\xC4", "/w/\\xC4"}, // lead byte cut off
        {"\xC4\xE3|\xBA\xC3", "你|好"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayPath(std::filesystem::path(c.bytes)), c.shown) << c.bytes;
}

TEST(DisplayPath, TakesOnlyWellFormedUtf8ForUtf8) {
    for (const char* valid :
         {"", "\xC3\xA9", "\xE4\xBD\xA0", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsValidUtf8(valid)) << valid;
    // overlong forms, a surrogate, past U+10FFFF, cut short, a lone continuation, GBK
    for (const char* invalid : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                "\xE4\xBD", "\x80", "\xC4\xE3\xBA\xC3"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
}

} // namespace
} // namespace velnor
