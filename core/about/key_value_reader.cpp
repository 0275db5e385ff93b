#include "core/about/key_value_reader.h"

#include "core/text/ansi_codec.h"
#include "core/text/utf8.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velnor {
namespace {

// Closes the key on every way out, an error included; the status is of no use then.
class KeyCloser {
public:
    KeyCloser(Registry& registry, RegistryKey handle) : registry_(registry), handle_(handle) {}
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;
    ~KeyCloser() { registry_.Close(handle_); }

private:
    Registry& registry_;
    RegistryKey handle_;
};

std::u16string DwordText(std::string_view bytes, const std::u16string& name) {
    if (bytes.size() > 4) {
        throw std::invalid_argument("the REG_DWORD value " + Utf16ToUtf8(name) +
                                    " holds more than four bytes");
    }
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    std::u16string digits;
    do {
        digits.insert(digits.begin(), u"0123456789ABCDEF"[value % 16]);
        value /= 16;
    } while (value != 0);
    return u"&h" + digits;
}

} // namespace

bool GetKeyValue(Registry& registry, const RegistryRoot& KeyRoot, const std::u16string& KeyName,
                 const std::u16string& SubKeyRef, std::u16string& KeyVal) {
    const std::string keyName = EncodeAnsi(KeyName);
    const std::string valueName = EncodeAnsi(SubKeyRef);

    RegistryKey handle = 0;
    if (registry.Open(KeyRoot, keyName, 0, KeyAccessMask, handle) != registry_status::Success) {
        KeyVal.clear();
        return false;
    }
    const KeyCloser closer(registry, handle);

    std::array<unsigned char, KeyValueBufferSize> buffer{};
    std::uint32_t size = KeyValueBufferSize;
    std::uint32_t type = 0;
    if (registry.QueryValue(handle, valueName, type, buffer.data(), size) !=
        registry_status::Success) {
        KeyVal.clear();
        return false;
    }
    if (size == 0) {
        throw std::invalid_argument("the registry value " + Utf16ToUtf8(SubKeyRef) + " of " +
                                    Utf16ToUtf8(KeyName) + " holds no data");
    }
    if (size > buffer.size()) {
        throw std::length_error("the registry reported more data than the buffer holds");
    }
    std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), size);
    // Only one: a second NUL is part of the text as stored.
    if (bytes.back() == '\0') {
        bytes.remove_suffix(1);
    }
    switch (type) {
    case registry_type::Sz:
        KeyVal = DecodeAnsi(bytes);
        break;
    case registry_type::Dword:
        KeyVal = DwordText(bytes, SubKeyRef);
        break;
    default:
        break;
    }
    return true;
}

} // namespace velnor
