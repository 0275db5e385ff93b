#include "core/text/cp936_tables.h"

#include <windows.h>

#include <iterator>
#include <stdexcept>

namespace velnor {
namespace {

constexpr UINT Cp936 = 936;

// The system's own tables of code page 936 (no iconv on Windows).
class Win32Cp936 : public CodePageConverter {
public:
    std::u16string Decode(std::string_view bytes) override {
        wchar_t units[8];
        const int length =
            MultiByteToWideChar(Cp936, MB_ERR_INVALID_CHARS, bytes.data(),
                                static_cast<int>(bytes.size()), units, std::size(units));
        return std::u16string(units, units + length);
    }

    std::string Encode(std::u16string_view text) override {
        char bytes[16];
        BOOL usedDefault = FALSE;
        // no best fit: a character without bytes of its own has none
        const int length = WideCharToMultiByte(
            Cp936, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()),
            static_cast<int>(text.size()), bytes, sizeof bytes, nullptr, &usedDefault);
        return usedDefault ? std::string() : std::string(bytes, static_cast<std::size_t>(length));
    }
};

} // namespace

std::unique_ptr<CodePageConverter> MakeCp936Converter() {
    if (!IsValidCodePage(Cp936)) {
        throw std::runtime_error("code page 936 is not installed");
    }
    return std::make_unique<Win32Cp936>();
}

} // namespace velnor
