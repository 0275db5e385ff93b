#include "tests/cli/cli_test_helpers.h"

#include "tests/support/system_words.h"
#include "tests/support/temp_tree.h"

#include <string>

namespace velnor::cli {
namespace {

using velnor::test::Fault;
using velnor::test::SystemWords;

TEST(FilterCommand, ReadsTheFileOrStandardInputAndOnFailureWritesNoOutput) {
    velnor::test::TempTree tree;
    // "<p>中文 字</p>" in GBK: chars counts characters, bytes_in and bytes_out bytes.
    tree.WriteFile("gbk.htm", "<p>\xD6\xD0\xCE\xC4 \xD7\xD6</p>");
    const std::string missing = tree.Path("missing.htm").string();
    const std::string folder = tree.Root().string();
    ExpectInvocation({"filter"}, "<b> x </b>\r\n", 0, Eq("<b>x</b>"), IsEmpty());
    ExpectInvocation({"filter", "--stats", "--keep-spaces", "--keep-breaks"},
                     "<div>a  b\r\n  c</div>", 0, Eq("<div>a  b\r  c</div>"),
                     Eq(StatsLine(20, 18, 19, 20, 19)));
    ExpectInvocation({"filter", "--stats", "-"}, "", 0, IsEmpty(), Eq(StatsLine(0, 0, 0, 0, 0)));
    ExpectInvocation({"filter", "--stats", tree.Path("gbk.htm").string(), "--keep-breaks"},
                     "<u>standard input is not read</u>", 0, Eq("<p>\xD6\xD0\xCE\xC4\xD7\xD6</p>"),
                     Eq(StatsLine(11, 9, 10, 14, 13)));
    ExpectInvocation({"filter", "--stats", missing}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + missing + ": " + SystemWords(Fault::NoSuchFile) + "\n"));
    ExpectInvocation({"filter", folder}, "", 1, IsEmpty(),
                     Eq("velnor-cli: " + folder + ": " + SystemWords(Fault::OpenAFolder) + "\n"));
}

} // namespace
} // namespace velnor::cli
