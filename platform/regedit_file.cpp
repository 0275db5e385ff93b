#include "platform/regedit_file.h"

#include "platform/ansi_codec.h"
#include "platform/registry.h"

#include <QStringDecoder>
#include <QStringList>

#include <array>
#include <optional>

namespace velnor {
namespace {

constexpr std::array<const char*, 5> RootNames{"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                               "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                               "HKEY_CURRENT_CONFIG"};

bool IsRootName(const QString& name) {
    for (const char* root : RootNames) {
        if (name.compare(QLatin1String(root), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<std::uint32_t> ParseHex(QStringView digits, qsizetype maxDigits) {
    if (digits.isEmpty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        std::uint32_t digit = 0;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else if (u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

class Parser {
public:
    Parser(QStringList lines, std::string sourceName)
        : lines_(std::move(lines)), sourceName_(std::move(sourceName)) {}

    RegeditKeys Parse() {
        if (lines_.isEmpty() || lines_.front().trimmed() != QLatin1String("REGEDIT4")) {
            Fail(0, "the first line is not \"REGEDIT4\"");
        }
        for (line_ = 1; line_ < lines_.size(); ++line_) {
            const QString text = lines_[line_].trimmed();
            if (text.isEmpty() || text.startsWith(u';')) {
                continue;
            }
            if (text.startsWith(u'[')) {
                ReadSection(text);
            } else if (text.startsWith(u'"') || text.startsWith(u'@')) {
                ReadValue(text);
            } else {
                Fail("expected a [key] or a \"name\"=value line");
            }
        }
        return std::move(keys_);
    }

private:
    [[noreturn]] void Fail(qsizetype line, const std::string& what) const {
        throw RegeditFileError(sourceName_ + " line " + std::to_string(line + 1) + ": " + what);
    }
    [[noreturn]] void Fail(const std::string& what) const { Fail(line_, what); }

    void ReadSection(const QString& text) {
        if (!text.endsWith(u']')) {
            Fail("a key line must end in \"]\"");
        }
        const QString path = text.mid(1, text.size() - 2);
        if (path.startsWith(u'-')) {
            Fail("deleting keys is not supported");
        }
        const QStringList parts = path.split(u'\\');
        if (!IsRootName(parts.front())) {
            Fail("the key does not start with a root such as HKEY_LOCAL_MACHINE");
        }
        QString folded;
        for (const QString& part : parts) {
            if (part.isEmpty()) {
                Fail("the key path has an empty name in it");
            }
            folded +=
                (folded.isEmpty() ? QString() : QStringLiteral("\\")) + FoldRegistryName(part);
            keys_.try_emplace(folded);
        }
        current_ = &keys_[folded];
    }

    void ReadValue(const QString& text) {
        if (current_ == nullptr) {
            Fail("a value before the first [key]");
        }
        qsizetype pos = 0;
        QString name;
        if (text.startsWith(u'@')) {
            pos = 1;
        } else {
            name = ReadQuoted(text, pos);
        }
        while (pos < text.size() && text[pos].isSpace()) {
            ++pos;
        }
        if (pos >= text.size() || text[pos] != u'=') {
            Fail("expected \"=\" after the value's name");
        }
        const QString data = text.mid(pos + 1).trimmed();
        (*current_)[FoldRegistryName(name)] = ReadData(data);
    }

    // Reads "..." starting at pos, with \\ and \" escapes; leaves pos after it.
    QString ReadQuoted(const QString& text, qsizetype& pos) const {
        QString out;
        for (++pos; pos < text.size(); ++pos) {
            const QChar c = text[pos];
            if (c == u'"') {
                ++pos;
                return out;
            }
            if (c == u'\\') {
                if (pos + 1 >= text.size() || (text[pos + 1] != u'\\' && text[pos + 1] != u'"')) {
                    Fail("only \\\\ and \\\" may follow a backslash in quotes");
                }
                ++pos;
            }
            out += text[pos];
        }
        Fail("the quotes are not closed");
    }

    RegeditValue ReadData(const QString& data) {
        if (data.startsWith(u'"')) {
            return ReadText(data);
        }
        if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            return ReadDword(QStringView(data).mid(6).trimmed());
        }
        if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            return ReadHex(data.mid(3));
        }
        if (data == QLatin1String("-")) {
            Fail("deleting values is not supported");
        }
        Fail("the value is not \"text\", dword: or hex:");
    }

    RegeditValue ReadText(const QString& data) const {
        qsizetype pos = 0;
        const QString text = ReadQuoted(data, pos);
        if (pos != data.size()) {
            Fail("text after the closing quote");
        }
        try {
            return {registry_type::Sz, EncodeAnsi(text.toStdU16String()) + '\0'};
        } catch (const std::invalid_argument& error) {
            Fail(std::string("the text has no ANSI form: ") + error.what());
        }
    }

    RegeditValue ReadDword(QStringView digits) const {
        const std::optional<std::uint32_t> value = ParseHex(digits, 8);
        if (!value) {
            Fail("dword: takes one to eight hexadecimal digits");
        }
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) {
            bytes[i] = static_cast<char>((*value >> (8 * i)) & 0xFF);
        }
        return {registry_type::Dword, bytes};
    }

    // rest is what follows "hex": ":bytes" or "(type):bytes".
    RegeditValue ReadHex(const QString& rest) {
        std::uint32_t type = registry_type::Binary;
        qsizetype colon = 0;
        if (rest.startsWith(u'(')) {
            const qsizetype close = rest.indexOf(u')');
            const std::optional<std::uint32_t> parsed =
                close < 0 ? std::nullopt : ParseHex(QStringView(rest).mid(1, close - 1), 8);
            if (!parsed) {
                Fail("hex( must hold the type in hexadecimal and close with \")\"");
            }
            type = *parsed;
            colon = close + 1;
        }
        if (colon >= rest.size() || rest[colon] != u':') {
            Fail("expected \":\" after hex");
        }
        return {type, ReadBytes(rest.mid(colon + 1).trimmed())};
    }

    // A list that ends in a backslash goes on at the next line.
    std::string ReadBytes(QString list) {
        const qsizetype first = line_;
        while (list.endsWith(u'\\')) {
            if (line_ + 1 >= lines_.size()) {
                Fail(first, "the byte list goes on past the end of the file");
            }
            list.chop(1);
            list += lines_[++line_].trimmed();
        }
        std::string bytes;
        if (list.trimmed().isEmpty()) {
            return bytes;
        }
        for (const QString& token : list.split(u',')) {
            const std::optional<std::uint32_t> byte = ParseHex(QStringView(token).trimmed(), 2);
            if (!byte) {
                Fail(first, "bytes are written as two hexadecimal digits between commas");
            }
            bytes += static_cast<char>(*byte);
        }
        return bytes;
    }

    QStringList lines_;
    std::string sourceName_;
    qsizetype line_ = 0;
    RegeditKeys keys_;
    RegeditValues* current_ = nullptr;
};

} // namespace

QString FoldRegistryName(const QString& name) {
    return name.toCaseFolded();
}

RegeditKeys ParseRegeditFile(std::string_view utf8, const std::string& sourceName) {
    // Stateless, so a sequence cut off at the end is an error too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    if (decoder.hasError()) {
        throw RegeditFileError(sourceName + ": not UTF-8 text");
    }
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return Parser(std::move(lines), sourceName).Parse();
}

} // namespace velnor
