#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velnor {

// The system's own converter for code page 936, which the tables are asked of.
class CodePageConverter {
public:
    virtual ~CodePageConverter() = default;
    // The UTF-16 text the bytes stand for; empty when the converter refuses them.
    virtual std::u16string Decode(std::string_view bytes) = 0;
    // The bytes of the text; empty when the converter has none for it.
    virtual std::string Encode(std::u16string_view text) = 0;
};

// The system's converter (iconv or MultiByteToWideChar); from the OS layer,
// which is all the core ever calls it through: each program hands it in.
// Throws std::runtime_error when the system has none for code page 936.
std::unique_ptr<CodePageConverter> MakeCp936Converter();

using ConverterMaker = std::unique_ptr<CodePageConverter> (*)();

// Gives the codec the system's converter, which it asks for its tables at
// first use. Every program does so before it decodes or encodes anything.
void UseCodePageConverter(ConverterMaker make);

// Lookup tables of code page 936, asked of the system's converter once and
// kept only where a character converts back to exactly the bytes it came from.
struct Cp936Tables {
    // Character of the pair lead/trail at (lead - 0x80) * 256 + trail; 0 where
    // the pair is no such character.
    std::array<char16_t, 128 * 256> Pair{};
    // Character of the single byte 0x80 + i; 0 where the byte is none.
    std::array<char16_t, 128> Single{};
    // Bytes of each character from U+0080 on: 0 for none, below 0x100 one
    // byte, otherwise lead << 8 | trail. The escapes U+DC80..U+DCFF map to
    // their byte here too, so encoding is one lookup.
    std::array<std::uint16_t, 0x10000> Bytes{};
};

Cp936Tables BuildCp936Tables(CodePageConverter& converter);

// Built from the converter handed in, at first use; thread-safe. Throws
// std::logic_error when none was.
const Cp936Tables& GetCp936Tables();

} // namespace velnor
