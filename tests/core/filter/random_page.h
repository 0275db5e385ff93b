#pragma once

#include <random>
#include <string>
#include <vector>

namespace velnor::test {

// Markup-heavy random pages in code page 936: delimiters, blanks, line ends,
// GBK pairs, bytes that are no character and lone lead bytes, at the end too.
inline std::string RandomPage(std::mt19937& rng, int maxPieces) {
    static const std::vector<std::string> pieces = {
        "<",         "<",      ">",      "<%",   "%>",      "%",        " ",         "  ",
        "\t",        "\r\n",   "\n",     "\r",   "<script", "<SCRIPT>", "</script>", "script>",
        "<div a=1>", "</div>", "x",      "word", "< %",     "<\r\n%",   "\xD6\xD0",  "\xB0\xA1",
        "\x81@",     "\x81s",  "cript>", "\x81", "\x80",    "\xFF",     "\x81\x7F",  "\x81 ",
        "Script>",   "s",      "\xFE",   "="};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string page;
    for (int k = std::uniform_int_distribution<int>(0, maxPieces)(rng); k > 0; --k)
        page += pieces[pick(rng)];
    return page;
}

} // namespace velnor::test
