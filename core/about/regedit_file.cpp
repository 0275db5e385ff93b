#include "core/about/regedit_file.h"

#include "core/about/registry.h"
#include "core/text/ansi_codec.h"
#include "core/text/utf8.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace velnor {
namespace {

using Text = std::u16string;
using TextView = std::u16string_view;

constexpr std::array<std::u16string_view, 5> RootNames{u"hkey_classes_root", u"hkey_current_user",
                                                       u"hkey_local_machine", u"hkey_users",
                                                       u"hkey_current_config"};

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

TextView Trimmed(TextView text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithFolded(TextView text, TextView lowerPrefix) {
    return text.size() >= lowerPrefix.size() &&
           FoldRegistryName(text.substr(0, lowerPrefix.size())) == lowerPrefix;
}

std::vector<TextView> Split(TextView text, char16_t separator) {
    std::vector<TextView> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == TextView::npos ? TextView::npos : end - start));
        if (end == TextView::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<std::uint32_t> ParseHex(TextView digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char16_t u : digits) {
        std::uint32_t digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

class Parser {
public:
    Parser(std::vector<TextView> lines, std::string sourceName)
        : lines_(std::move(lines)), sourceName_(std::move(sourceName)) {}

    RegeditKeys Parse() {
        if (lines_.empty() || Trimmed(lines_.front()) != u"REGEDIT4")
            Fail(0, "the first line is not \"REGEDIT4\"");
        for (line_ = 1; line_ < lines_.size(); ++line_) {
            const TextView text = Trimmed(lines_[line_]);
            if (text.empty() || text.front() == u';')
                continue;
            if (text.front() == u'[')
                ReadSection(text);
            else if (text.front() == u'"' || text.front() == u'@')
                ReadValue(text);
            else
                Fail("expected a [key] or a \"name\"=value line");
        }
        return std::move(keys_);
    }

private:
    [[noreturn]] void Fail(std::size_t line, const std::string& what) const {
        throw RegeditFileError(sourceName_ + " line " + std::to_string(line + 1) + ": " + what);
    }
    [[noreturn]] void Fail(const std::string& what) const { Fail(line_, what); }

    void ReadSection(TextView text) {
        if (text.back() != u']')
            Fail("a key line must end in \"]\"");
        const TextView path = text.substr(1, text.size() - 2);
        if (!path.empty() && path.front() == u'-')
            Fail("deleting keys is not supported");
        const std::vector<TextView> parts = Split(path, u'\\');
        const Text root = FoldRegistryName(parts.front());
        if (std::find(RootNames.begin(), RootNames.end(), root) == RootNames.end())
            Fail("the key does not start with a root such as HKEY_LOCAL_MACHINE");
        Text folded;
        for (const TextView part : parts) {
            if (part.empty())
                Fail("the key path has an empty name in it");
            if (!folded.empty())
                folded += u'\\';
            folded += FoldRegistryName(part);
            keys_.try_emplace(folded);
        }
        current_ = &keys_[folded];
    }

    void ReadValue(TextView text) {
        if (current_ == nullptr)
            Fail("a value before the first [key]");
        std::size_t pos = 0;
        Text name;
        if (text.front() == u'@')
            pos = 1;
        else
            name = ReadQuoted(text, pos);
        while (pos < text.size() && IsSpace(text[pos]))
            ++pos;
        if (pos >= text.size() || text[pos] != u'=')
            Fail("expected \"=\" after the value's name");
        (*current_)[FoldRegistryName(name)] = ReadData(Trimmed(text.substr(pos + 1)));
    }

    // Reads "..." starting at pos, with \\ and \" escapes; leaves pos after it.
    Text ReadQuoted(TextView text, std::size_t& pos) const {
        Text out;
        for (++pos; pos < text.size(); ++pos) {
            const char16_t c = text[pos];
            if (c == u'"') {
                ++pos;
                return out;
            }
            if (c == u'\\') {
                if (pos + 1 >= text.size() || (text[pos + 1] != u'\\' && text[pos + 1] != u'"'))
                    Fail("only \\\\ and \\\" may follow a backslash in quotes");
                ++pos;
            }
            out += text[pos];
        }
        Fail("the quotes are not closed");
    }

    RegeditValue ReadData(TextView data) {
        if (!data.empty() && data.front() == u'"')
            return ReadText(data);
        if (StartsWithFolded(data, u"dword:"))
            return ReadDword(Trimmed(data.substr(6)));
        if (StartsWithFolded(data, u"hex"))
            return ReadHex(data.substr(3));
        if (data == u"-")
            Fail("deleting values is not supported");
        Fail("the value is not \"text\", dword: or hex:");
    }

    RegeditValue ReadText(TextView data) const {
        std::size_t pos = 0;
        const Text text = ReadQuoted(data, pos);
        if (pos != data.size())
            Fail("text after the closing quote");
        try {
            return {registry_type::Sz, EncodeAnsi(text) + '\0'};
        } catch (const std::invalid_argument& error) {
            Fail(std::string("the text has no ANSI form: ") + error.what());
        }
    }

    RegeditValue ReadDword(TextView digits) const {
        const std::optional<std::uint32_t> value = ParseHex(digits, 8);
        if (!value)
            Fail("dword: takes one to eight hexadecimal digits");
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((*value >> (8 * i)) & 0xFF);
        return {registry_type::Dword, bytes};
    }

    // rest is what follows "hex": ":bytes" or "(type):bytes".
    RegeditValue ReadHex(TextView rest) {
        std::uint32_t type = registry_type::Binary;
        std::size_t colon = 0;
        if (!rest.empty() && rest.front() == u'(') {
            const std::size_t close = rest.find(u')');
            const std::optional<std::uint32_t> parsed =
                close == TextView::npos ? std::nullopt : ParseHex(rest.substr(1, close - 1), 8);
            if (!parsed)
                Fail("hex( must hold the type in hexadecimal and close with \")\"");
            type = *parsed;
            colon = close + 1;
        }
        if (colon >= rest.size() || rest[colon] != u':')
            Fail("expected \":\" after hex");
        return {type, ReadBytes(Text(Trimmed(rest.substr(colon + 1))))};
    }

    // A list that ends in a backslash goes on at the next line.
    std::string ReadBytes(Text list) {
        const std::size_t first = line_;
        while (!list.empty() && list.back() == u'\\') {
            if (line_ + 1 >= lines_.size())
                Fail(first, "the byte list goes on past the end of the file");
            list.pop_back();
            list += Trimmed(lines_[++line_]);
        }
        std::string bytes;
        if (Trimmed(list).empty())
            return bytes;
        for (const TextView token : Split(list, u',')) {
            const std::optional<std::uint32_t> byte = ParseHex(Trimmed(token), 2);
            if (!byte)
                Fail(first, "bytes are written as two hexadecimal digits between commas");
            bytes += static_cast<char>(*byte);
        }
        return bytes;
    }

    std::vector<TextView> lines_;
    std::string sourceName_;
    std::size_t line_ = 0;
    RegeditKeys keys_;
    RegeditValues* current_ = nullptr;
};

} // namespace

std::u16string FoldRegistryName(std::u16string_view name) {
    Text folded(name);
    for (char16_t& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return folded;
}

RegeditKeys ParseRegeditFile(std::string_view utf8, const std::string& sourceName) {
    if (utf8.starts_with("\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    const std::optional<Text> text = Utf8ToUtf16(utf8);
    if (!text)
        throw RegeditFileError(sourceName + ": not UTF-8 text");
    std::vector<TextView> lines = Split(*text, u'\n');
    for (TextView& line : lines)
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
    return Parser(std::move(lines), sourceName).Parse();
}

} // namespace velnor
