#include "core/about/file_exists.h"
#include "core/text/utf8.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velnor::test {
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

// Hidden files count as missing, as folders do: on Windows by their
// attributes, elsewhere by a name starting with ".".
TEST(OrdinaryFileExists, OnlyVisibleOrdinaryFilesCount) {
    TempTree tree;
    for (const char* name : {"folder/tool", "系统信息", ".hidden", "hidden", "system"})
        tree.WriteFile(name, "x");
#ifdef _WIN32
    SetFileAttributesW(tree.Path("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.Path("system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const std::u16string hidden[] = {u"hidden", u"system"};
#else
    const std::u16string hidden[] = {u".hidden"};
#endif
    const std::u16string root = tree.Root().u16string() + u"/";
    EXPECT_EQ(Ask(root + u"folder/tool"), Answer::Yes);
    // "\" separates names as in registry paths
    EXPECT_EQ(Ask(root + u"folder\\tool"), Answer::Yes);
    EXPECT_EQ(Ask(root + u"系统信息"), Answer::Yes);
    for (const std::u16string& name : hidden)
        EXPECT_EQ(Ask(root + name), Answer::No);
    EXPECT_EQ(Ask(root + u"folder"), Answer::No);
    EXPECT_EQ(Ask(root + u"absent"), Answer::No);
    // Cut at the NUL, this would name the tool.
    EXPECT_EQ(Ask(root + u"folder/tool" + u'\0' + u".old"), Answer::Malformed);
    EXPECT_EQ(Ask(root + u"folder/\xD800"), Answer::Malformed);
    EXPECT_EQ(Ask(u""), Answer::Malformed);
}

#ifndef _WIN32
// A symbolic link counts as what it leads to.
TEST(OrdinaryFileExists, ALinkCountsAsWhatItLeadsTo) {
    TempTree folder;
    folder.WriteFile("folder/tool", "x");
    const std::pair<const char*, const char*> links[] = {{"to-tool", "folder/tool"},
                                                         {"to-folder", "folder"},
                                                         {"dangling", "gone"},
                                                         {"loop-a", "loop-b"},
                                                         {"loop-b", "loop-a"}};
    for (const auto& [link, target] : links)
        std::filesystem::create_symlink(folder.Path(target), folder.Path(link));
    const std::u16string root = folder.Path("").u16string() + u"/";
    const std::pair<std::u16string, Answer> cases[] = {
        {u"to-tool", Answer::Yes},
        {u"to-folder", Answer::No},
        {u"dangling", Answer::No},
        {u"loop-a", Answer::CannotTell},
    };
    for (const auto& [path, answer] : cases)
        EXPECT_EQ(Ask(root + path), answer) << Utf16ToUtf8(path);
}
#endif

} // namespace
} // namespace velnor::test
