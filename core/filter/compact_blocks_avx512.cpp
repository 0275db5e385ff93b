#include "core/filter/compact_blocks_avx512.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#include <bit>
#include <cstdint>

namespace velnor::detail {

bool Avx512Available() {
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi2");
}

namespace {

using Mask = std::uint32_t;

[[gnu::target("avx512bw")]] Mask Equal(__m512i v, char16_t c) {
    return _mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(short(c)));
}

// Lanes from `from` up to, not including, `to`.
Mask Lanes(unsigned from, unsigned to) {
    const std::uint64_t upTo = (std::uint64_t(1) << to) - 1;
    return Mask(upTo & ~((std::uint64_t(1) << from) - 1));
}

} // namespace

// Per block, the keep decision of every lane is worked out from bit masks of
// the character classes, the same masks shifted one lane for the previous
// character, and a mask of the lanes scanned inside a region. The region tests
// themselves run one by one, only at the lanes that follow a "<" or ">".
[[gnu::target("avx512bw,avx512vbmi2")]] void
CompactBlocksAvx512(std::u16string_view text, RemovalOptions options, FastState& s, char16_t* out) {
    const char16_t* src = text.data();
    const Mask removeSpaces = options.RemoveSpaces ? ~Mask(0) : 0;
    const Mask removeBreaks = options.RemoveBreaks ? ~Mask(0) : 0;
    std::size_t i = s.next;
    std::size_t kept = s.kept;
    unsigned prev = s.prevClass;

    for (; i + 32 <= text.size(); i += 32) {
        const __m512i v = _mm512_loadu_si512(src + i);
        const Mask blank = Equal(v, Space) | Equal(v, Tab);
        const Mask ret = Equal(v, CarriageReturn);
        const Mask feed = Equal(v, LineFeed);
        const Mask percent = Equal(v, u'%');
        const Mask open = Equal(v, u'<');
        const Mask close = Equal(v, u'>');

        const Mask prevBlank = (blank << 1) | (prev == Blank);
        const Mask prevBreak =
            ((ret | feed | percent) << 1) | (prev == Return || prev == Feed || prev == Percent);
        Mask changes = ((open | close) << 1) | (prev == Open || prev == Close);

        // The lanes scanned while some region is open.
        Mask inRegion = 0;
        unsigned from = 0;
        while (changes) {
            const unsigned lane = unsigned(std::countr_zero(changes));
            changes &= changes - 1;
            if (s.regions.Any())
                inRegion |= Lanes(from, lane);
            const bool afterOpen = lane == 0 ? prev == Open : ((open >> (lane - 1)) & 1);
            if (afterOpen)
                OpeningTestsInline(text, i + lane, s.regions);
            else
                ClosingTestsInline(text, i + lane, s.regions);
            from = lane;
        }
        if (s.regions.Any())
            inRegion |= Lanes(from, 32);

        const Mask protectBreaks = inRegion & ~prevBreak;
        const Mask protectSpaces = protectBreaks & ~prevBlank;
        const Mask drop = feed | (removeSpaces & blank & ~protectSpaces) |
                          (removeBreaks & (blank | ret | feed) & ~protectBreaks);
        const Mask keep = ~drop;

        // The whole vector is stored; what lies past the kept lanes is overwritten later
        // or cut off, and never reaches past the block just read.
        _mm512_storeu_si512(out + kept, _mm512_maskz_compress_epi16(keep, v));
        kept += unsigned(std::popcount(keep));

        const char16_t last = src[i + 31];
        prev = last == Space || last == Tab ? Blank
               : last == CarriageReturn     ? Return
               : last == LineFeed           ? Feed
               : last == u'%'               ? Percent
               : last == u'<'               ? Open
               : last == u'>'               ? Close
                                            : Other;
    }
    s.next = i;
    s.kept = kept;
    s.prevClass = prev;
}

} // namespace velnor::detail

#else

namespace velnor::detail {

bool Avx512Available() {
    return false;
}

void CompactBlocksAvx512(std::u16string_view, RemovalOptions, FastState&, char16_t*) {}

} // namespace velnor::detail

#endif
