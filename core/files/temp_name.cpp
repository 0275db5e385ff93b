#include "core/files/temp_name.h"

#include <random>
#include <string>
#include <string_view>
#include <type_traits>

namespace velnor {
namespace {

using Native = std::filesystem::path::string_type; // char here, wchar_t on Windows

constexpr std::string_view TempMarker = ".velnor-";
constexpr std::size_t RandomLength = 6;
constexpr std::size_t MaxNameLength = 255; // NAME_MAX of the usual file systems
constexpr std::string_view Letters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string RandomSuffix() {
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, Letters.size() - 1);
    std::string suffix;
    for (std::size_t i = 0; i < RandomLength; ++i)
        suffix += Letters[pick(generator)];
    return suffix;
}

// "." and the target's name, cut to leave room for the rest.
Native TempPrefix(const std::filesystem::path& target) {
    Native name = target.filename().native();
    const std::size_t room = MaxNameLength - 1 - TempMarker.size() - RandomLength;
    if (name.size() > room)
        name.resize(room);
    return Native(1, '.') + name;
}

// The pattern is ASCII, so it is matched unit by unit in any encoding.
bool EndsInMarkerAndLetters(const Native& name) {
    const std::size_t tail = TempMarker.size() + RandomLength;
    if (name.size() < tail)
        return false;
    for (std::size_t i = 0; i < tail; ++i) {
        const auto unit =
            static_cast<std::make_unsigned_t<Native::value_type>>(name[name.size() - tail + i]);
        const bool matches =
            i < TempMarker.size()
                ? unit == static_cast<unsigned char>(TempMarker[i])
                : unit < 0x80 && Letters.find(static_cast<char>(unit)) != Letters.npos;
        if (!matches)
            return false;
    }
    return true;
}

} // namespace

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
    std::filesystem::path temp = target.parent_path() / TempPrefix(target);
    temp += std::string(TempMarker) + RandomSuffix();
    return temp;
}

bool IsTempName(const std::filesystem::path& name) {
    const Native& text = name.native();
    return text.size() > TempMarker.size() + RandomLength && text.front() == '.' &&
           EndsInMarkerAndLetters(text);
}

bool IsTempNameOf(const std::filesystem::path& name, const std::filesystem::path& target) {
    const Native prefix = TempPrefix(target);
    const Native& text = name.native();
    return text.size() == prefix.size() + TempMarker.size() + RandomLength &&
           text.starts_with(prefix) && EndsInMarkerAndLetters(text);
}

} // namespace velnor
