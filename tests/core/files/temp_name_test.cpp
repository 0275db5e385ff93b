#include "core/files/temp_name.h"
#include "core/text/path_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velnor::test {
namespace {

EntryName Name(const std::string& utf8) {
    return PathFromUtf8(utf8).native();
}

TEST(TempName, OnlyNamesTheProgramMadeForThatVeryTargetAreItsOwn) {
    const EntryName made = TempNameFor(Name("page.htm"));
    EXPECT_TRUE(IsTempName(made));
    EXPECT_TRUE(IsTempNameOf(made, Name("page.htm")));
    EXPECT_FALSE(IsTempNameOf(made, Name("page.html")));
    EXPECT_NE(TempNameFor(Name("page.htm")), made);
    // a user's names of the same shape, and the made one changed in any letter
    for (const std::string& user :
         {std::string(".page.htm.velnor-custom"), std::string(".site.bak.velnor-Ab12Cd"),
          std::string(".page.htm.velnor-AAAAAAAAAAAAAAAA"), std::string("page.htm")})
        EXPECT_FALSE(IsTempName(Name(user))) << user;
    for (std::size_t i = made.size() - 16; i < made.size(); ++i) {
        EntryName changed = made;
        changed[i] = changed[i] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(IsTempName(changed)) << i;
    }
    // names cut to fit in 255 characters: two long targets that share their
    // start still get names of their own, each one's alone
    const EntryName first = Name(std::string(250, 's') + "1.bak");
    const EntryName cut = TempNameFor(first);
    EXPECT_LE(cut.size(), 255u);
    EXPECT_TRUE(IsTempNameOf(cut, first));
    EXPECT_FALSE(IsTempNameOf(cut, Name(std::string(250, 's') + "2.bak")));
}

} // namespace
} // namespace velnor::test
