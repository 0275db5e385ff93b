#include "core/about/regedit_registry.h"

#include "core/text/ansi_codec.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace velnor {
namespace {

const char* RootName(RegistryRoot root) {
    switch (root) {
    case registry_root::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case registry_root::CurrentUser:
        return "HKEY_CURRENT_USER";
    case registry_root::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case registry_root::Users:
        return "HKEY_USERS";
    case registry_root::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    default:
        return nullptr;
    }
}

std::u16string FoldAnsi(const std::string& name) {
    return FoldRegistryName(DecodeAnsi(name));
}

RegeditKeys ReadKeys(const std::filesystem::path& file) {
    std::error_code missing;
    if (!std::filesystem::exists(file, missing) && !missing)
        return {};
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open())
        throw std::runtime_error("cannot read " + file.string() + ": " +
                                 std::generic_category().message(errno));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error("cannot read " + file.string());
    return ParseRegeditFile(bytes, file.string());
}

} // namespace

RegeditRegistry::RegeditRegistry(std::filesystem::path file) : file_(std::move(file)) {}

const RegeditKeys& RegeditRegistry::Keys() {
    if (!keys_) {
        keys_ = ReadKeys(file_);
    }
    return *keys_;
}

std::int32_t RegeditRegistry::Open(RegistryRoot root, const std::string& path,
                                   std::uint32_t /*options*/, std::uint32_t /*accessMask*/,
                                   RegistryKey& handle) {
    const char* rootName = RootName(root);
    if (rootName == nullptr) {
        return registry_status::InvalidHandle;
    }
    std::u16string fullPath = FoldAnsi(rootName);
    if (!path.empty()) {
        fullPath += u'\\' + FoldAnsi(path);
    }
    const RegeditKeys& keys = Keys();
    const auto key = keys.find(fullPath);
    if (key == keys.end()) {
        return registry_status::FileNotFound;
    }
    handle = nextHandle_++;
    open_[handle] = &key->second;
    return registry_status::Success;
}

std::int32_t RegeditRegistry::QueryValue(RegistryKey handle, const std::string& name,
                                         std::uint32_t& type, unsigned char* data,
                                         std::uint32_t& size) {
    const auto key = open_.find(handle);
    if (key == open_.end()) {
        return registry_status::InvalidHandle;
    }
    const auto value = key->second->find(FoldAnsi(name));
    if (value == key->second->end()) {
        return registry_status::FileNotFound;
    }
    const std::string& bytes = value->second.data;
    const std::uint32_t room = size;
    type = value->second.type;
    size = static_cast<std::uint32_t>(bytes.size());
    if (data == nullptr) {
        return registry_status::Success;
    }
    if (bytes.size() > room) {
        return registry_status::MoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    return registry_status::Success;
}

std::int32_t RegeditRegistry::Close(RegistryKey handle) {
    return open_.erase(handle) == 1 ? registry_status::Success : registry_status::InvalidHandle;
}

} // namespace velnor
