#include "core/io/page_output.h"

#include "os/win32/console_text.h"
#include "os/win32/windows_api.h"

#include <io.h>

#include <array>

namespace velnor::io {
namespace {

// Bytes converted in one go, so any page takes the same memory.
constexpr std::size_t Piece = 32 * 1024;

// The bytes as text of the ANSI code page, whose lead bytes start a pair.
class ConsoleOutput : public PageOutput {
public:
    ConsoleOutput(HANDLE console, std::string name) : console_(console), name_(std::move(name)) {
        CPINFO info{};
        if (GetCPInfo(CP_ACP, &info)) {
            for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
                for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte)
                    lead_[byte] = true;
            }
        }
    }

    void Write(std::string_view bytes) override {
        if (held_ != 0 && !bytes.empty()) {
            const char pair[] = {held_, bytes.front()};
            held_ = 0;
            bytes.remove_prefix(1);
            Show(std::string_view(pair, 2));
        }
        std::size_t start = 0;
        std::size_t end = 0;
        while (end < bytes.size()) {
            const std::size_t width = lead_[static_cast<unsigned char>(bytes[end])] ? 2 : 1;
            if (end + width > bytes.size())
                break; // the pair's second byte comes with the next write
            end += width;
            if (end - start >= Piece) {
                Show(bytes.substr(start, end - start));
                start = end;
            }
        }
        Show(bytes.substr(start, end - start));
        if (end < bytes.size())
            held_ = bytes.back();
    }

    void Finish() override {
        if (held_ != 0) {
            const char lone = held_;
            held_ = 0;
            Show(std::string_view(&lone, 1));
        }
    }

private:
    void Show(std::string_view bytes) {
        if (bytes.empty())
            return;
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                text.data(), static_cast<int>(text.size()))));
        WriteConsoleText(console_, text, name_);
    }

    HANDLE console_;
    std::string name_;
    std::array<bool, 256> lead_{};
    char held_ = 0; // a lead byte whose second byte is still to come
};

} // namespace

std::unique_ptr<PageOutput> MakePageOutput(int fd, const std::string& name) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle != INVALID_HANDLE_VALUE && IsConsole(handle))
        return std::make_unique<ConsoleOutput>(handle, name);
    return std::make_unique<PageBytesOutput>(fd, name);
}

} // namespace velnor::io
