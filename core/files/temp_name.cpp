#include "core/files/temp_name.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>

namespace velnor {
namespace {

using Unit = EntryName::value_type; // char here, wchar_t on Windows

constexpr std::string_view TempMarker = ".velnor-";
constexpr std::size_t TargetLength = 6;
constexpr std::size_t RandomLength = 6;
constexpr std::size_t CheckLength = 4;
constexpr std::size_t CodeLength = TargetLength + RandomLength + CheckLength;
constexpr std::size_t TailLength = TempMarker.size() + CodeLength;
constexpr std::size_t MaxNameLength = 255; // NAME_MAX of the usual file systems
constexpr std::string_view Letters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// FNV-1a over the units of a name, whatever their width.
std::uint64_t Hash(const Unit* units, std::size_t count) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= static_cast<std::make_unsigned_t<Unit>>(units[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

void AppendLetters(EntryName& name, std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        name += static_cast<Unit>(Letters[value % Letters.size()]);
        value /= Letters.size();
    }
}

void AppendRandom(EntryName& name) {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    AppendLetters(name, generator(), RandomLength);
}

// "." and the target's name, cut to leave room for the rest, then the marker
// and the letters that stand for the whole name.
EntryName Head(const EntryName& target) {
    EntryName head(1, Unit('.'));
    head.append(target, 0, MaxNameLength - 1 - TailLength);
    for (const char c : TempMarker)
        head += static_cast<Unit>(c);
    AppendLetters(head, Hash(target.data(), target.size()), TargetLength);
    return head;
}

void AppendCheck(EntryName& name) {
    AppendLetters(name, Hash(name.data(), name.size()), CheckLength);
}

bool IsLetter(Unit unit) {
    const auto value = static_cast<std::make_unsigned_t<Unit>>(unit);
    return value < 0x80 && Letters.find(static_cast<char>(value)) != Letters.npos;
}

} // namespace

EntryName TempNameFor(const EntryName& target) {
    EntryName name = Head(target);
    AppendRandom(name);
    AppendCheck(name);
    return name;
}

bool IsTempName(const EntryName& name) {
    if (name.size() <= TailLength || name.front() != Unit('.'))
        return false;
    const std::size_t marker = name.size() - TailLength;
    for (std::size_t i = 0; i < TempMarker.size(); ++i)
        if (name[marker + i] != static_cast<Unit>(TempMarker[i]))
            return false;
    for (std::size_t i = marker + TempMarker.size(); i < name.size(); ++i)
        if (!IsLetter(name[i]))
            return false;
    EntryName checked = name.substr(0, name.size() - CheckLength);
    AppendCheck(checked);
    return checked == name;
}

bool IsTempNameOf(const EntryName& name, const EntryName& target) {
    const EntryName head = Head(target);
    return name.size() == head.size() + RandomLength + CheckLength && name.starts_with(head) &&
           IsTempName(name);
}

} // namespace velnor
