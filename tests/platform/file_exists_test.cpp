#include "platform/file_exists.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace velnor {
namespace {

class OrdinaryFileExistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdU16String();
        std::filesystem::create_directory(Native(u"/folder"));
        Touch(u"/folder/tool");
        Touch(u"/.hidden");
        Touch(u"/系统信息");
    }

    std::filesystem::path Native(const std::u16string& relative) const {
        return std::filesystem::path(root_ + relative);
    }
    void Touch(const std::u16string& relative) const { std::ofstream(Native(relative)) << "x"; }
    bool Exists(const std::u16string& relative) const {
        return OrdinaryFileExists(root_ + relative);
    }

    QTemporaryDir dir_;
    std::u16string root_;
};

TEST_F(OrdinaryFileExistsTest, OnlyVisibleOrdinaryFilesCount) {
    EXPECT_TRUE(Exists(u"/folder/tool"));
    EXPECT_TRUE(Exists(u"/系统信息"));
    EXPECT_FALSE(Exists(u"/folder"));
    EXPECT_FALSE(Exists(u"/.hidden"));
    EXPECT_FALSE(Exists(u"/absent"));
    EXPECT_FALSE(Exists(u"/absent/tool"));
    EXPECT_FALSE(Exists(u"/folder/tool/below")); // a file on the way
}

TEST_F(OrdinaryFileExistsTest, BackslashSeparatesNamesAsInRegistryPaths) {
    EXPECT_TRUE(Exists(u"\\folder\\tool"));
    EXPECT_TRUE(Exists(u"/folder\\tool"));
}

TEST_F(OrdinaryFileExistsTest, LinksCountAsWhatTheyLeadTo) {
    std::filesystem::create_symlink(Native(u"/folder/tool"), Native(u"/to-tool"));
    std::filesystem::create_symlink(Native(u"/folder"), Native(u"/to-folder"));
    std::filesystem::create_symlink(Native(u"/gone"), Native(u"/dangling"));
    EXPECT_TRUE(Exists(u"/to-tool"));
    EXPECT_FALSE(Exists(u"/to-folder"));
    EXPECT_FALSE(Exists(u"/dangling"));
}

TEST_F(OrdinaryFileExistsTest, PathTheSystemCannotFollowIsAnError) {
    std::filesystem::create_symlink(Native(u"/loop-b"), Native(u"/loop-a"));
    std::filesystem::create_symlink(Native(u"/loop-a"), Native(u"/loop-b"));
    EXPECT_THROW(Exists(u"/loop-a"), std::system_error);
    EXPECT_THROW(Exists(u"/" + std::u16string(300, u'n')), std::system_error);
}

TEST_F(OrdinaryFileExistsTest, MalformedPathIsAnError) {
    EXPECT_THROW(OrdinaryFileExists(u""), std::invalid_argument);
    // Cut at the NUL, this would name the existing tool.
    EXPECT_THROW(OrdinaryFileExists(root_ + u"/folder/tool" + u'\0' + u".old"),
                 std::invalid_argument);
    EXPECT_THROW(OrdinaryFileExists(root_ + u"/folder/" + char16_t(0xDCFF)), std::invalid_argument);
    EXPECT_THROW(OrdinaryFileExists(root_ + u"/folder/" + char16_t(0xD800)), std::invalid_argument);
}

} // namespace
} // namespace velnor
