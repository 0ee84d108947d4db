#include "core/Search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "core/HexBuffer.h"

namespace brivant {

namespace {

// How often a byte turns up in a flash image, roughly: erased flash and padding are FF and
// 00, code and texts are full of ASCII values. The scan for candidates looks for the pattern
// byte that is rarest by this measure.
int Commonness(std::uint8_t b) {
    if (b == 0x00 || b == 0xFF) return 2;
    return b >= 0x20 && b < 0x7F ? 1 : 0;
}

const std::uint8_t* FindAnywhere(const std::uint8_t* first, const std::uint8_t* last,
                                 const std::uint8_t* pattern, std::size_t n) {
#if defined(__GLIBC__) || defined(__EMSCRIPTEN__)
    // Linear in the worst case, also where the rarest pattern byte is everywhere.
    return static_cast<const std::uint8_t*>(
        ::memmem(first, static_cast<std::size_t>(last - first), pattern, n));
#else
    const auto it =
        std::search(first, last, std::boyer_moore_horspool_searcher(pattern, pattern + n));
    return it == last ? nullptr : it;
#endif
}

// A run of n bytes of value b: free space (FF) and padding (00) are searched this way. The
// byte a whole pattern length ahead decides: where it differs, no run can start before it;
// where it matches, the bytes behind it are checked down to those already known to match.
// Each byte is looked at once at most, and most of a broken run not at all.
const std::uint8_t* FindRun(const std::uint8_t* first, const std::uint8_t* last, std::uint8_t b,
                            std::size_t n) {
    const std::uint8_t* p = first;      // the earliest start still possible
    const std::uint8_t* known = first;  // [p, known) hold b
    while (static_cast<std::size_t>(last - p) >= n) {
        const std::uint8_t* q = p + n - 1;
        if (*q != b) {
            p = known = q + 1;
            continue;
        }
        const std::uint8_t* r = q;
        while (r > known && r[-1] == b) --r;
        if (r == known) return p;
        p = r;
        known = q + 1;
    }
    return nullptr;
}

// Candidates for one pattern byte (index k) come at memory speed from `next(p, stop)`, the
// next place at or after p where that byte stands; most of an image never holds a rare byte.
// Returns the first start `matches` accepts, or nullptr. Should candidates turn up every few
// bytes after all, it returns nothing and moves `first` to the first start not yet tried,
// where the general searcher takes over.
template <typename Next, typename Matches>
std::optional<const std::uint8_t*> ScanCandidates(const std::uint8_t*& first,
                                                  const std::uint8_t* last, std::size_t n,
                                                  std::size_t k, Next next, Matches matches) {
    const std::uint8_t* p = first + k;
    const std::uint8_t* const stop = last - (n - 1 - k);
    std::size_t misses = 0;
    while (p < stop) {
        p = next(p, stop);
        if (!p) return nullptr;
        const std::uint8_t* start = p - k;
        if (matches(start)) return start;
        ++p;
        if (++misses > 64 && misses * 32 > static_cast<std::size_t>(p - first)) {
            first = start + 1;
            return std::nullopt;
        }
    }
    return nullptr;
}

const std::uint8_t* FindExact(const std::uint8_t* first, const std::uint8_t* last,
                              const std::uint8_t* pattern, std::size_t n) {
    if (n == 1)
        return static_cast<const std::uint8_t*>(
            std::memchr(first, pattern[0], static_cast<std::size_t>(last - first)));
    if (std::all_of(pattern + 1, pattern + n, [&](std::uint8_t c) { return c == pattern[0]; }))
        return FindRun(first, last, pattern[0], n);
    std::size_t k = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (Commonness(pattern[i]) < Commonness(pattern[k])) k = i;
    if (Commonness(pattern[k]) < 2) {
        const auto hit = ScanCandidates(
            first, last, n, k,
            [&](const std::uint8_t* p, const std::uint8_t* stop) {
                return static_cast<const std::uint8_t*>(
                    std::memchr(p, pattern[k], static_cast<std::size_t>(stop - p)));
            },
            [&](const std::uint8_t* start) { return std::memcmp(start, pattern, n) == 0; });
        if (hit) return *hit;
    }
    return FindAnywhere(first, last, pattern, n);
}

struct CaseTable {
    std::array<std::uint8_t, 256> lower{};
    constexpr CaseTable() {
        for (int c = 0; c < 256; ++c)
            lower[static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
};
constexpr CaseTable kCase;

// Horspool's scan with a shift table that treats both cases of a letter alike: the window
// moves by how far the byte under its last position lies from the pattern's end.
const std::uint8_t* FindFoldedAnywhere(const std::uint8_t* first, const std::uint8_t* last,
                                       const std::uint8_t* pattern, std::size_t n) {
    std::array<std::size_t, 256> shift;
    shift.fill(n);
    for (std::size_t i = 0; i + 1 < n; ++i) shift[pattern[i]] = n - 1 - i;
    for (int c = 'A'; c <= 'Z'; ++c)
        shift[static_cast<std::size_t>(c)] = shift[static_cast<std::size_t>(c + 32)];
    const std::uint8_t tail = pattern[n - 1];
    for (const std::uint8_t* p = first; static_cast<std::size_t>(last - p) >= n;) {
        const std::uint8_t end = p[n - 1];
        if (kCase.lower[end] == tail) {
            std::size_t i = 0;
            while (i + 1 < n && kCase.lower[p[i]] == pattern[i]) ++i;
            if (i + 1 == n) return p;
        }
        p += shift[end];
    }
    return nullptr;
}

bool IsLower(std::uint8_t c) {
    return c >= 'a' && c <= 'z';
}

// The occurrences of one byte value, found by memchr as a scan passes them.
class Occurrences {
  public:
    explicit Occurrences(std::uint8_t b) : b_(b) {}
    // The first occurrence in [p, stop); nullptr when there is none. A scan asks with one
    // stop and p never going back.
    const std::uint8_t* From(const std::uint8_t* p, const std::uint8_t* stop) {
        if (!none_ && (!at_ || at_ < p)) {
            at_ = static_cast<const std::uint8_t*>(
                std::memchr(p, b_, static_cast<std::size_t>(stop - p)));
            none_ = !at_;
        }
        return at_;
    }

  private:
    std::uint8_t b_;
    const std::uint8_t* at_ = nullptr;
    bool none_ = false;
};

// As FindExact, for a lower-cased pattern that matches either case: candidates come from
// memchr on the pattern's rarest byte (both cases of a letter, a byte of one value rather than
// a letter where the pattern has one), the general scan taking over where they are many.
const std::uint8_t* FindFolded(const std::uint8_t* first, const std::uint8_t* last,
                               const std::uint8_t* pattern, std::size_t n) {
    const auto rank = [&](std::size_t i) {
        return Commonness(pattern[i]) * 2 + IsLower(pattern[i]);
    };
    std::size_t k = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (rank(i) < rank(k)) k = i;
    if (Commonness(pattern[k]) < 2) {
        const bool letter = IsLower(pattern[k]);
        Occurrences small(pattern[k]);
        Occurrences capital(static_cast<std::uint8_t>(letter ? pattern[k] - 32 : 0));
        const auto hit = ScanCandidates(
            first, last, n, k,
            [&](const std::uint8_t* p, const std::uint8_t* stop) {
                const std::uint8_t* a = small.From(p, stop);
                const std::uint8_t* b = letter ? capital.From(p, stop) : nullptr;
                return !a ? b : !b ? a : std::min(a, b);
            },
            [&](const std::uint8_t* start) {
                std::size_t i = 0;
                while (i < n && kCase.lower[start[i]] == pattern[i]) ++i;
                return i == n;
            });
        if (hit) return *hit;
    }
    return FindFoldedAnywhere(first, last, pattern, n);
}

// The value of each hex digit in either case; 16 for every other character.
struct HexTable {
    std::array<std::uint8_t, 256> value{};
    constexpr HexTable() {
        for (int c = 0; c < 256; ++c) {
            int v = 16;
            if (c >= '0' && c <= '9') v = c - '0';
            if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
            value[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(v);
        }
    }
};
constexpr HexTable kHex;

int HexDigit(char c) {
    return kHex.value[static_cast<unsigned char>(c)];
}

}  // namespace

std::uint8_t FoldCase(std::uint8_t b) {
    return kCase.lower[b];
}

const std::uint8_t* FindBytes(const std::uint8_t* first, const std::uint8_t* last,
                              const std::uint8_t* pattern, std::size_t n, bool ignoreCase) {
    if (n == 0 || last < first || static_cast<std::size_t>(last - first) < n) return nullptr;
    return ignoreCase ? FindFolded(first, last, pattern, n) : FindExact(first, last, pattern, n);
}

void FindOffSet(SearchState& ed, HexBuffer& buffer, std::string_view pattern) {
    if (buffer.Empty()) return;
    ed.FoundOffset = -1;
    ed.searchIgnoreCase = false;
    ed.searchPattern.clear();
    if (pattern.empty()) return;

    if (pattern[0] == 'T' || pattern[0] == 't') {
        ed.searchPattern.assign(pattern.begin() + 1, pattern.end());
    } else {
        // Lower-cased, every character that is not a hex digit dropped, a leading "0" for an
        // odd count: the digits are counted first, so the bytes come in one pass.
        std::size_t digits = 0;
        for (char c : pattern) digits += HexDigit(c) < 16;
        if (digits == 0) return;
        ed.searchPattern.resize((digits + 1) / 2);
        int high = digits % 2 ? 0 : -1;
        std::size_t at = 0;
        for (char c : pattern) {
            const int v = HexDigit(c);
            if (v == 16) continue;
            if (high < 0) {
                high = v;
            } else {
                ed.searchPattern[at++] = static_cast<std::uint8_t>(high << 4 | v);
                high = -1;
            }
        }
    }
    if (ed.searchPattern.empty()) return;
    ed.searchIgnoreCase = pattern[0] == 'T';

    const auto n = static_cast<std::int32_t>(ed.searchPattern.size());
    const std::int32_t hit = buffer.Search(ed.searchPattern.data(), n, buffer.CursorPosition(),
                                           buffer.Size() - 1, ed.searchIgnoreCase);
    ed.FoundOffset = hit;
    if (hit >= 0) {
        buffer.SetSelectionStart(hit + n - 1);
        buffer.SetSelectionEnd(hit);
    }
}

}  // namespace brivant
