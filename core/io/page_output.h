#pragma once

#include "core/io/stream_io.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace velnor::io {

// Where a page's bytes go: a file or a pipe gets them exactly. A Windows
// console is shown the text they are in the ANSI code page, a character whose
// bytes come in two writes shown whole (taken as UTF-8, as the program's own
// lines are, they would come out as U+FFFD). Failures throw std::system_error
// naming the stream.
class PageOutput {
public:
    virtual ~PageOutput() = default;

    virtual void Write(std::string_view bytes) = 0;
    // The end of the page: whatever was held back goes out.
    virtual void Finish() = 0;
};

// The bytes as they are.
class PageBytesOutput : public PageOutput {
public:
    PageBytesOutput(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

    void Write(std::string_view bytes) override { WriteAll(fd_, bytes, name_); }
    void Finish() override {}

private:
    int fd_;
    std::string name_;
};

// For the C library's descriptor fd (1: standard output); from the OS layer.
std::unique_ptr<PageOutput> MakePageOutput(int fd, const std::string& name);

} // namespace velnor::io
