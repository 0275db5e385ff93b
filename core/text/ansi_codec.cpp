#include "core/text/ansi_codec.h"

#include "core/text/cp936_tables.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace velnor {
namespace {

constexpr char16_t EscapeBase = 0xDC00;

// Pages are mostly ASCII, so runs of it are tested and converted a block at a
// time; the rest goes character by character through the tables.
constexpr std::size_t Block = 16;
// Output is gathered in a small buffer and appended in bulk: sizing the
// string up front would have it zero-filled first, a second pass over memory.
constexpr std::size_t Chunk = 4096;

using ByteBlock = std::uint8_t __attribute__((vector_size(Block)));
using UnitBlock = std::uint16_t __attribute__((vector_size(Block * 2)));

bool IsAsciiBlock(const unsigned char* in) {
    std::uint64_t words[2];
    std::memcpy(words, in, sizeof words);
    return ((words[0] | words[1]) & 0x8080808080808080u) == 0;
}

bool IsAsciiBlock(const char16_t* in) {
    std::uint64_t words[4];
    std::memcpy(words, in, sizeof words);
    return ((words[0] | words[1] | words[2] | words[3]) & 0xFF80FF80FF80FF80u) == 0;
}

void WidenBlock(const unsigned char* in, char16_t* out) {
    ByteBlock bytes;
    std::memcpy(&bytes, in, sizeof bytes);
    const UnitBlock units = __builtin_convertvector(bytes, UnitBlock);
    std::memcpy(out, &units, sizeof units);
}

void NarrowBlock(const char16_t* in, char* out) {
    UnitBlock units;
    std::memcpy(&units, in, sizeof units);
    const ByteBlock bytes = __builtin_convertvector(units, ByteBlock);
    std::memcpy(out, &bytes, sizeof bytes);
}

// The bytes that text can take at most: one per character, two for each
// character above ASCII.
std::size_t EncodedSizeBound(std::u16string_view text) {
    std::size_t bound = text.size();
    std::size_t i = 0;
    for (; i + Block <= text.size(); i += Block) {
        if (!IsAsciiBlock(text.data() + i)) {
            for (std::size_t k = 0; k < Block; ++k) {
                bound += text[i + k] >= 0x80;
            }
        }
    }
    for (; i < text.size(); ++i) {
        bound += text[i] >= 0x80;
    }
    return bound;
}

std::string Describe(std::u16string_view text, std::size_t at) {
    char32_t code = text[at];
    if (code >= 0xD800 && code < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    }
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "U+%04X at character %zu has no encoding in code page 936",
                  static_cast<unsigned>(code), at);
    return buffer;
}

} // namespace

std::u16string DecodeAnsi(std::string_view bytes) {
    const Cp936Tables& tables = GetCp936Tables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::u16string text;
    text.reserve(size); // never more characters than bytes
    char16_t chunk[Chunk];
    std::size_t fill = 0;
    std::size_t i = 0;
    while (i < size) {
        if (fill > Chunk - Block) {
            text.append(chunk, fill);
            fill = 0;
        }
        if (i + Block <= size && IsAsciiBlock(in + i)) {
            WidenBlock(in + i, chunk + fill);
            fill += Block;
            i += Block;
            continue;
        }
        const unsigned lead = in[i];
        if (lead < 0x80) {
            chunk[fill++] = static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        const char16_t pair = i + 1 < size ? tables.Pair[(lead - 0x80) * 256 + in[i + 1]] : 0;
        if (pair != 0) {
            chunk[fill++] = pair;
            i += 2;
        } else {
            const char16_t single = tables.Single[lead - 0x80];
            chunk[fill++] = single != 0 ? single : static_cast<char16_t>(EscapeBase + lead);
            ++i;
        }
    }
    text.append(chunk, fill);
    return text;
}

std::string EncodeAnsi(std::u16string_view text) {
    const Cp936Tables& tables = GetCp936Tables();
    const std::size_t size = text.size();
    std::string bytes;
    // Exact for ASCII; at the first other character, room for the worst case
    // of the rest, so the string is never moved while it grows.
    bytes.reserve(size);
    bool sized = false;
    char chunk[Chunk];
    std::size_t fill = 0;
    std::size_t i = 0;
    while (i < size) {
        if (fill > Chunk - Block) {
            bytes.append(chunk, fill);
            fill = 0;
        }
        if (i + Block <= size && IsAsciiBlock(text.data() + i)) {
            NarrowBlock(text.data() + i, chunk + fill);
            fill += Block;
            i += Block;
            continue;
        }
        const char16_t ch = text[i];
        if (ch >= 0x80 && !sized) {
            bytes.reserve(bytes.size() + fill + EncodedSizeBound(text.substr(i)));
            sized = true;
        }
        const std::uint16_t code = ch < 0x80 ? ch : tables.Bytes[ch];
        if (code == 0 && ch != 0) {
            throw std::invalid_argument(Describe(text, i));
        }
        if (code >= 0x100) {
            chunk[fill++] = static_cast<char>(code >> 8);
        }
        chunk[fill++] = static_cast<char>(code & 0xFF);
        ++i;
    }
    bytes.append(chunk, fill);
    return bytes;
}

} // namespace velnor
