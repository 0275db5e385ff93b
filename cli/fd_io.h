#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace velnor::cli {

// Bytes read whole, without the zero-filling a std::string would do first.
class ByteBuffer {
public:
    ByteBuffer() = default;
    std::string_view View() const { return {data_.get(), size_}; }
    std::size_t Size() const { return size_; }
    void Release() {
        data_.reset();
        size_ = capacity_ = 0;
    }

private:
    friend ByteBuffer ReadAll(int fd, const std::string& name);
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Reads everything up to end of file. A regular file is read in one go into a
// buffer of its size; a pipe or terminal in growing chunks. Throws
// std::system_error naming `name` on failure.
ByteBuffer ReadAll(int fd, const std::string& name);

// Opens and reads a whole file.
ByteBuffer ReadFile(const std::string& path);

// Writes every byte, retrying short writes and interruptions. Throws
// std::system_error naming `name` on failure.
void WriteAll(int fd, std::string_view bytes, const std::string& name);

// Reads one line (without its end) for an answer typed at a terminal; false at
// end of input.
bool ReadLine(int fd, std::string& line);

} // namespace velnor::cli
