#pragma once

#include <cstddef>
#include <iterator>
#include <random>
#include <string>

namespace velnor::bench {

// A markup page of at least `size` bytes, the same on every call: tags, text,
// ASP and script blocks, CR LF and LF line ends, tabs and indentation.
inline std::string GeneratedPage(std::size_t size) {
    static const char* pieces[] = {"<div class=\"section\" id=\"s1\">\r\n",
                                   "  <p>Some running text with words ",
                                   "and more words.</p>\r\n",
                                   "\t<a href=\"x.html\">link</a>\n",
                                   "<% Response.Write x %>\r\n",
                                   "<script type=\"text/javascript\">\r\n",
                                   "  var a = 1;\r\n  f(a);\r\n</script>\r\n",
                                   "</div>\r\n"};
    std::mt19937 random(1);
    std::string bytes;
    while (bytes.size() < size)
        bytes += pieces[random() % std::size(pieces)];
    return bytes;
}

} // namespace velnor::bench
