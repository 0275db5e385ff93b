#include "core/text/cp936_tables.h"

#include <atomic>
#include <stdexcept>

namespace velnor {
namespace {

constexpr char16_t EscapeBase = 0xDC00;

std::atomic<ConverterMaker> converterMaker{nullptr};

// The one character above ASCII that the bytes decode to, if it encodes back
// to exactly those bytes; otherwise 0.
char16_t RoundTrip(CodePageConverter& converter, std::string_view bytes) {
    const std::u16string text = converter.Decode(bytes);
    if (text.size() != 1 || text[0] < 0x80)
        return 0;
    return converter.Encode(text) == bytes ? text[0] : 0;
}

} // namespace

Cp936Tables BuildCp936Tables(CodePageConverter& converter) {
    Cp936Tables tables;
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        const char16_t ch = RoundTrip(converter, std::string(1, static_cast<char>(byte)));
        tables.Single[byte - 0x80] = ch;
        if (ch != 0)
            tables.Bytes[ch] = static_cast<std::uint16_t>(byte);
    }
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t ch = RoundTrip(converter, std::string_view(pair, 2));
            tables.Pair[(lead - 0x80) * 256 + trail] = ch;
            if (ch != 0)
                tables.Bytes[ch] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
        tables.Bytes[EscapeBase + byte] = static_cast<std::uint16_t>(byte);
    return tables;
}

void UseCodePageConverter(ConverterMaker make) {
    converterMaker = make;
}

const Cp936Tables& GetCp936Tables() {
    static const Cp936Tables tables = [] {
        const ConverterMaker make = converterMaker;
        if (make == nullptr)
            throw std::logic_error("no code page converter was handed to the codec");
        return BuildCp936Tables(*make());
    }();
    return tables;
}

} // namespace velnor
