#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/HexText.h"
#include "core/Search.h"

using namespace brivant;

namespace {
Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A run of `n` bytes of `value` broken by `other` every `period` bytes, as free space looks
// when no run of the searched length is left in it.
Bytes BrokenRuns(std::size_t n, std::uint8_t value, std::uint8_t other, std::size_t period) {
    Bytes b(n, value);
    for (std::size_t i = period - 1; i < n; i += period) b[i] = other;
    return b;
}

std::ptrdiff_t Find(const Bytes& hay, const Bytes& pattern, bool ignoreCase) {
    const std::uint8_t* hit =
        FindBytes(hay.data(), hay.data() + hay.size(), pattern.data(), pattern.size(), ignoreCase);
    return hit ? hit - hay.data() : -1;
}

Bytes Planted(Bytes hay, std::size_t at, const Bytes& what) {
    std::copy(what.begin(), what.end(), hay.begin() + static_cast<std::ptrdiff_t>(at));
    return hay;
}
}  // namespace

TEST(FindBytes, EdgesOfTheRangeOverlapsCaseAndCommonBytes) {
    const Bytes zeros = BrokenRuns(20000, 0x00, 0x01, 12);
    const Bytes ones = BrokenRuns(20000, 0xFF, 0xFE, 12);
    const Bytes run00(12, 0x00), runFF(12, 0xFF);
    Bytes manyCandidates(5000, 0x01);
    manyCandidates.push_back(0x02);
    struct Case {
        const char* name;
        Bytes hay, pattern;
        bool ignoreCase;
        std::ptrdiff_t expected;
    };
    const std::vector<Case> cases = {
        {"at 0", B("abcdef"), B("abc"), false, 0},
        {"at the end", B("xxabc"), B("abc"), false, 2},
        {"overlapping start", B("aaaab"), B("aab"), false, 2},
        {"first of two", B("xabxab"), B("ab"), false, 1},
        {"absent", B("abcdef"), B("abd"), false, -1},
        {"runs past the end", B("xxab"), B("abc"), false, -1},
        {"longer than the buffer", B("ab"), B("abc"), false, -1},
        {"one byte", B("xyz"), B("z"), false, 2},
        {"one byte absent", B("xyz"), B("q"), false, -1},
        {"case ignored", B("xxAbC"), B("abc"), true, 2},
        {"case kept", B("xxAbCabc"), B("abc"), false, 5},
        {"case ignored at the end", B("abXYZ"), B("xyz"), true, 2},
        {"case ignored overlapping", B("AAAAB"), B("aab"), true, 2},
        {"case ignored absent", B("abcdef"), B("abd"), true, -1},
        {"case ignored longer than the buffer", B("AB"), B("abc"), true, -1},
        {"only A-Z fold", B("\xC4[@"), B("\xE4{`"), true, -1},
        {"non-letters exact", B("x[@"), B("[@"), true, 1},
        {"00 run absent", zeros, run00, false, -1},
        {"00 run near the end", Planted(zeros, 19944, run00), run00, false, 19944},
        {"FF run absent", ones, runFF, false, -1},
        {"FF run near the end", Planted(ones, 19944, runFF), runFF, false, 19944},
        {"FF run at 0", Planted(ones, 0, runFF), runFF, false, 0},
        {"run behind shorter runs", Bytes{0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF}, Bytes(3, 0xFF),
         false, 3},
        {"run cut by the end", Bytes{0xFF, 0x00, 0xFF, 0xFF}, Bytes(3, 0xFF), false, -1},
        {"run inside a longer run", Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, Bytes(3, 0xFF),
         false, 1},
        {"rare byte on every position", manyCandidates, Bytes{0x01, 0x02}, false, 4999},
        {"rare byte then common run",
         Planted(BrokenRuns(4000, 0xFF, 0x41, 3), 3000, Bytes{0x41, 0xFF, 0xFF, 0xFF}),
         Bytes{0x41, 0xFF, 0xFF, 0xFF}, false, 3000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Find(c.hay, c.pattern, c.ignoreCase), c.expected) << c.name;
}

// Every searcher (candidate scan, its hand-over, the general searcher, the case-folding scan)
// against the plain definition: the first start whose bytes match and fit the range.
TEST(FindBytes, AgreesWithThePlainDefinition) {
    std::mt19937 rng(7);
    const std::uint8_t alphabet[] = {0x00, 0xFF, 'a', 'A', 'b', 'B', 0x01, '['};
    const auto pick = [&] { return alphabet[rng() % sizeof alphabet]; };
    const auto fold = [](std::uint8_t a, std::uint8_t b) { return FoldCase(a) == FoldCase(b); };
    for (int round = 0; round < 600; ++round) {
        Bytes hay(1 + rng() % 3000);
        // Mostly one byte value, as images are, so that candidates crowd.
        const std::uint8_t common = pick();
        for (auto& c : hay) c = rng() % 4 ? common : pick();
        Bytes pattern(1 + rng() % 14);
        if (rng() % 2 && pattern.size() <= hay.size()) {
            const std::size_t at = rng() % (hay.size() - pattern.size() + 1);
            std::copy_n(hay.begin() + static_cast<std::ptrdiff_t>(at), pattern.size(),
                        pattern.begin());
        } else {
            for (auto& c : pattern) c = rng() % 3 ? common : pick();
        }
        const bool ignoreCase = rng() % 3 == 0;
        if (ignoreCase)
            for (auto& c : pattern) c = FoldCase(c);
        const auto expected =
            ignoreCase ? std::search(hay.begin(), hay.end(), pattern.begin(), pattern.end(), fold)
                       : std::search(hay.begin(), hay.end(), pattern.begin(), pattern.end());
        ASSERT_EQ(Find(hay, pattern, ignoreCase),
                  expected == hay.end() ? -1 : expected - hay.begin())
            << "round " << round << " pattern " << BytesToHex(pattern);
    }
}
