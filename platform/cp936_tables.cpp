#include "platform/cp936_tables.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>
#include <system_error>

namespace velnor {
namespace {

constexpr const char* CodePage = "CP936";
constexpr const char* Utf16 = "UTF-16LE";
constexpr char16_t EscapeBase = 0xDC00;

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("cannot convert from ") + from + " to " + to +
                                     ": " + std::system_category().message(errno));
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in; returns the number of output bytes, or -1 when the
    // converter refuses the input or it needs more than out holds.
    int Convert(const char* in, std::size_t inSize, char* out, std::size_t outSize) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        std::size_t outLeft = outSize;
        if (iconv(cd_, &inPtr, &inSize, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return -1;
        }
        return static_cast<int>(outSize - outLeft);
    }

private:
    iconv_t cd_;
};

class TableBuilder {
public:
    explicit TableBuilder(Cp936Tables& tables)
        : tables_(tables), decoder_(Utf16, CodePage), encoder_(CodePage, Utf16) {}

    void Build() {
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            const char in[] = {static_cast<char>(byte)};
            const char16_t ch = RoundTrip(in, 1);
            tables_.Single[byte - 0x80] = ch;
            if (ch != 0) {
                tables_.Bytes[ch] = static_cast<std::uint16_t>(byte);
            }
        }
        for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
            for (unsigned trail = 0; trail <= 0xFF; ++trail) {
                const char in[] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t ch = RoundTrip(in, 2);
                tables_.Pair[(lead - 0x80) * 256 + trail] = ch;
                if (ch != 0) {
                    tables_.Bytes[ch] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            tables_.Bytes[EscapeBase + byte] = static_cast<std::uint16_t>(byte);
        }
    }

private:
    // The one 16-bit character that the bytes decode to, if it encodes back
    // to exactly those bytes; otherwise 0.
    char16_t RoundTrip(const char* in, std::size_t size) {
        char unit[4];
        if (decoder_.Convert(in, size, unit, sizeof unit) != 2) {
            return 0;
        }
        const char16_t ch = static_cast<char16_t>(static_cast<unsigned char>(unit[0]) |
                                                  static_cast<unsigned char>(unit[1]) << 8);
        if (ch < 0x80) {
            return 0;
        }
        char back[4];
        const int backSize = encoder_.Convert(unit, 2, back, sizeof back);
        if (backSize != static_cast<int>(size) || std::char_traits<char>::compare(back, in, size)) {
            return 0;
        }
        return ch;
    }

    Cp936Tables& tables_;
    Converter decoder_;
    Converter encoder_;
};

struct BuiltTables {
    BuiltTables() { TableBuilder(tables).Build(); }
    Cp936Tables tables;
};

} // namespace

const Cp936Tables& GetCp936Tables() {
    static const BuiltTables built;
    return built.tables;
}

} // namespace velnor
