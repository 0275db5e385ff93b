#include "core/text/cp936_tables.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <system_error>

namespace velnor {
namespace {

// One direction of iconv, whole inputs at a time.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("cannot convert from ") + from + " to " + to +
                                     ": " + std::generic_category().message(errno));
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The converted bytes, or none when the converter refuses the input.
    std::string Convert(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return {};
        return std::string(out, sizeof out - outLeft);
    }

private:
    iconv_t cd_;
};

class IconvCp936 : public CodePageConverter {
public:
    std::u16string Decode(std::string_view bytes) override {
        const std::string units = toUtf16_.Convert(bytes);
        std::u16string text(units.size() / 2, u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                            static_cast<unsigned char>(units[2 * i + 1]) << 8);
        return text;
    }
    std::string Encode(std::u16string_view text) override {
        std::string units;
        for (const char16_t unit : text) {
            units += static_cast<char>(unit & 0xFF);
            units += static_cast<char>(unit >> 8);
        }
        return fromUtf16_.Convert(units);
    }

private:
    Iconv toUtf16_{"UTF-16LE", "CP936"};
    Iconv fromUtf16_{"CP936", "UTF-16LE"};
};

} // namespace

std::unique_ptr<CodePageConverter> MakeCp936Converter() {
    return std::make_unique<IconvCp936>();
}

} // namespace velnor
