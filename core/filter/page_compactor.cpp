#include "core/filter/page_compactor.h"

#include <algorithm>

namespace velnor {

using namespace detail;

namespace {

// What a byte is to the rules at the start of a character. Whether a
// character is kept depends only on its class, the previous character's
// class, whether any region is open and the options; the region tests run
// only after "<" and ">", and a character above ASCII is always kept.
enum Class : unsigned { Other, Blank, Return, Newline, Percent, Open, Close, High };

struct ClassTable {
    std::array<std::uint8_t, 256> of{};

    constexpr ClassTable() {
        of[Tab] = Blank;
        of[Space] = Blank;
        of[CarriageReturn] = Return;
        of[LineFeed] = Newline;
        of['%'] = Percent;
        of['<'] = Open;
        of['>'] = Close;
        for (std::size_t byte = 0x80; byte < of.size(); ++byte)
            of[byte] = High;
    }
};

constexpr ClassTable Classes;

constexpr std::size_t RegionOpen = 64;

} // namespace

PageCompactor::PageCompactor(RemovalOptions options, const Cp936Tables& tables) : tables_(tables) {
    // Indexed by RegionOpen or 0, plus previous class * 8 + current class.
    for (std::size_t region : {std::size_t(0), RegionOpen})
        for (unsigned prev = Other; prev < High; ++prev)
            for (unsigned cur = Other; cur < High; ++cur) {
                const bool afterBreak = prev == Return || prev == Newline || prev == Percent;
                const bool protectBreaks = region && !afterBreak;
                const bool protectSpaces = region && !afterBreak && prev != Blank;
                const bool blank = cur == Blank;
                bool keepChar = true;
                if (options.RemoveSpaces && !protectSpaces && blank)
                    keepChar = false;
                if (options.RemoveBreaks && !protectBreaks &&
                    (blank || cur == Return || cur == Newline))
                    keepChar = false;
                keep_[region + prev * 8 + cur] = cur != Newline && keepChar;
            }
}

// Scans the characters from `from` on, writing every byte and advancing the
// output only past kept ones, so the common case takes no branch. Stops before
// a character whose tests need bytes past the end, unless this is the last of
// the page. The bytes before `from` are the ones scanned just before.
std::size_t PageCompactor::Scan(std::string_view bytes, std::size_t from, bool last,
                                std::string& out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    const std::size_t base = out.size();
    out.resize(base + (size - from));
    char* dst = out.data() + base;
    std::size_t kept = 0;
    std::uint64_t pairs = 0;
    std::size_t i = from;
    // Where the run of single-byte ASCII characters up to i starts: a pair's
    // trail byte can be an ASCII letter, and an "s" that ends a pair is no "s".
    std::size_t asciiFrom = from - asciiTail_;
    unsigned prev = prev_;
    std::size_t region = regions_.Any() ? RegionOpen : 0;
    std::size_t end = size;

    // A character above ASCII: its lead byte and, when the table has the
    // pair, the next byte too. Always kept.
    const auto copyHigh = [&](unsigned lead) {
        const bool pair = i + 1 < size && tables_.Pair[(lead - 0x80) * 256 + in[i + 1]] != 0;
        dst[kept++] = char(lead);
        if (pair) {
            dst[kept++] = char(in[i + 1]);
            ++pairs;
        }
        i += pair ? 2 : 1;
        asciiFrom = i;
        prev = Other;
    };

    if (bytesIn_ == 0 && i < size) {
        // The page's first character is kept without a step.
        const unsigned byte = in[i];
        if (byte < 0x80) {
            dst[kept++] = char(byte);
            prev = Classes.of[byte];
            ++i;
        } else if (last || size - i >= 2) {
            copyHigh(byte);
        } else {
            end = i;
        }
    }

    while (i < end) {
        const unsigned byte = in[i];
        const unsigned cls = Classes.of[byte];
        if (prev >= Open || cls == High) [[unlikely]] {
            if (!last && size - i < (prev == Open ? Ahead : cls == High ? 2 : 1))
                break;
            // The windows are compared bytewise over the ASCII run: after "<"
            // (a character of its own), "script", " %" or CR LF "%" match as
            // bytes exactly when they do as characters, since each of their
            // bytes follows an ASCII character and so starts one.
            const std::string_view run = bytes.substr(asciiFrom);
            if (prev == Open)
                OpeningTests(run, i - asciiFrom, regions_);
            else if (prev == Close)
                ClosingTests(run, i - asciiFrom, regions_);
            region = regions_.Any() ? RegionOpen : 0;
            if (cls == High) {
                copyHigh(byte);
                continue;
            }
        }
        dst[kept] = char(byte);
        kept += keep_[region + prev * 8 + cls];
        prev = cls;
        ++i;
    }

    out.resize(base + kept);
    prev_ = prev;
    asciiTail_ = std::min(History, i - asciiFrom);
    bytesIn_ += i - from;
    bytesOut_ += kept;
    pairs_ += pairs;
    return i;
}

// Keeps the last scanned bytes for the look-back and the unscanned rest.
void PageCompactor::Keep(std::string_view bytes, std::size_t end) {
    heldScanned_ = std::min(History, end);
    heldWaiting_ = bytes.size() - end;
    std::copy(bytes.begin() + std::ptrdiff_t(end - heldScanned_), bytes.end(), held_.begin());
}

// The held bytes and the block's first ones are scanned joined, so every test
// near the boundary sees contiguous bytes; the rest of the block in place.
void PageCompactor::Feed(std::string_view block, std::string& out) {
    const std::size_t held = heldScanned_ + heldWaiting_;
    const std::size_t head = std::min(block.size(), History + Ahead);
    std::array<char, 2 * (History + Ahead)> joined;
    std::copy_n(held_.begin(), held, joined.begin());
    std::copy_n(block.begin(), head, joined.begin() + std::ptrdiff_t(held));
    const std::string_view start(joined.data(), held + head);
    const std::size_t end = Scan(start, heldScanned_, false, out);
    if (head == block.size()) {
        Keep(start, end);
        return;
    }
    // At most Ahead - 1 bytes wait at a stop, so the block resumes at History
    // or later and its look-back stays inside it.
    Keep(block, Scan(block, end - held, false, out));
}

void PageCompactor::Finish(std::string& out) {
    const std::string_view held(held_.data(), heldScanned_ + heldWaiting_);
    Keep(held, Scan(held, heldScanned_, true, out));
}

PageCounts PageCompactor::Counts() const {
    const std::uint64_t characters = bytesIn_ - pairs_;
    if (characters == 0)
        return {};
    // Every pair is kept: the output holds bytesOut_ - pairs_ characters.
    return {characters, bytesOut_ - pairs_ - 1, characters - 1};
}

std::string CompactPage(std::string_view bytes, RemovalOptions options, PageCounts& counts) {
    PageCompactor compactor(options, GetCp936Tables());
    std::string out;
    compactor.Feed(bytes, out);
    compactor.Finish(out);
    counts = compactor.Counts();
    return out;
}

} // namespace velnor
