#include "core/about/file_exists.h"
#include "core/text/utf8.h"
#include "tests/support/temp_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace velnor {
namespace {

enum class Answer { Yes, No, CannotTell, Malformed };

Answer Ask(const std::u16string& path) {
    try {
        return OrdinaryFileExists(path) ? Answer::Yes : Answer::No;
    } catch (const std::system_error&) {
        return Answer::CannotTell;
    } catch (const std::invalid_argument&) {
        return Answer::Malformed;
    }
}

TEST(OrdinaryFileExists, OnlyVisibleOrdinaryFilesCountAndLinksAsWhatTheyLeadTo) {
    test::TempTree folder;
    std::filesystem::create_directory(folder.Path("folder"));
    for (const char* name : {"folder/tool", ".hidden"})
        folder.WriteFile(name, "x");
    const std::pair<const char*, const char*> links[] = {{"to-tool", "folder/tool"},
                                                         {"to-folder", "folder"},
                                                         {"dangling", "gone"},
                                                         {"loop-a", "loop-b"},
                                                         {"loop-b", "loop-a"}};
    for (const auto& [link, target] : links)
        std::filesystem::create_symlink(folder.Path(target), folder.Path(link));
    const std::u16string root = folder.Path("").u16string() + u"/";
    const std::pair<std::u16string, Answer> cases[] = {
        {u"folder/tool", Answer::Yes},
        {u"folder\\tool", Answer::Yes}, // "\" separates names as in registry paths
        {u"to-tool", Answer::Yes},
        {u"folder", Answer::No},
        {u".hidden", Answer::No},
        {u"absent", Answer::No},
        {u"to-folder", Answer::No},
        {u"dangling", Answer::No},
        {u"loop-a", Answer::CannotTell},
        // Cut at the NUL, this would name the tool.
        {u"folder/tool" + std::u16string(1, u'\0') + u".old", Answer::Malformed},
        {u"folder/\xD800", Answer::Malformed},
    };
    for (const auto& [path, answer] : cases)
        EXPECT_EQ(Ask(root + path), answer) << Utf16ToUtf8(path);
    EXPECT_EQ(Ask(u""), Answer::Malformed);
}

} // namespace
} // namespace velnor
