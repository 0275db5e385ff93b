#include "core/files/temp_name.h"

#include <random>
#include <string>

namespace velnor {
namespace {

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
std::string TempPrefix(const std::filesystem::path& target) {
    std::string name = target.filename().string();
    const std::size_t room = MaxNameLength - 1 - TempMarker.size() - RandomLength;
    if (name.size() > room)
        name.resize(room);
    return "." + name;
}

} // namespace

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
    return target.parent_path() / (TempPrefix(target) + std::string(TempMarker) + RandomSuffix());
}

bool IsTempName(std::string_view name) {
    const std::size_t tail = TempMarker.size() + RandomLength;
    if (name.size() < 1 + tail || name.front() != '.')
        return false;
    const std::string_view suffix = name.substr(name.size() - tail);
    return suffix.starts_with(TempMarker) &&
           suffix.substr(TempMarker.size()).find_first_not_of(Letters) == std::string_view::npos;
}

bool IsTempNameOf(std::string_view name, const std::filesystem::path& target) {
    const std::string prefix = TempPrefix(target);
    return IsTempName(name) && name.size() == prefix.size() + TempMarker.size() + RandomLength &&
           name.starts_with(prefix);
}

} // namespace velnor
