#include "run/display_path.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor {
namespace {

TEST(DisplayPathTest, ShowsEveryNameAsReadableUtf8) {
    struct Case {
        std::string Bytes;
        std::string Shown;
    };
    const Case cases[] = {
        {"/w/page.htm", "/w/page.htm"},
        {"/站点/页面.htm", "/站点/页面.htm"},       // UTF-8 stays
        {"/w/\xC4\xE3\xBA\xC3.htm", "/w/你好.htm"}, // GBK is read as GBK
        {"/站点/\xC4\xE3\xBA\xC3/", "/站点/你好/"}, // name by name
        {"/w/a\xFF"
         "b",
         "/w/a\\xFFb"},          // no character at all
        {"/w/\xC4", "/w/\\xC4"}, // lead byte cut off
        {"\xC4\xE3|\xBA\xC3", "你|好"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayPath(std::filesystem::path(c.Bytes)), c.Shown) << c.Bytes;
    }
}

TEST(DisplayPathTest, RecognisesOnlyWellFormedUtf8) {
    struct Case {
        std::string Bytes;
        bool Valid;
    };
    const Case cases[] = {
        {"", true},
        {"plain", true},
        {"\xC3\xA9", true},          // é
        {"\xE4\xBD\xA0", true},      // 你
        {"\xF0\x9F\x98\x80", true},  // four bytes
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\xAF", false},         // overlong "/"
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\xE4\xBD", false},         // cut short
        {"\x80", false},             // lone continuation
        {"\xC4\xE3\xBA\xC3", false}, // GBK
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.Bytes), c.Valid) << c.Bytes;
    }
}

} // namespace
} // namespace velnor
