#pragma once

// What the comparison's parts share: one image being read, the byte ranges a section
// accounts for, and small helpers for naming things as the lists do.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ImageReading.h"
#include "compare/ImageDiff.h"
#include "compare/Recipe.h"
#include "core/HexText.h"
#include "core/Interaction.h"

namespace brivant::diff {

// Half-open byte ranges [first, second) of the images that the reported differences cover.
using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;

// What every section's comparison gets: both images, where to put what it finds, and where
// to note the bytes that its findings explain.
struct Pair {
    Side& a;
    Side& b;
    DiffSection& section;
    Ranges& explained;

    void Add(std::string change, std::string item, std::string va = {}, std::string vb = {}) {
        section.entries.push_back(
            {std::move(change), std::move(item), std::move(va), std::move(vb)});
    }
    void Explain(std::int64_t at, std::int64_t n) {
        if (at >= 0 && n > 0) explained.emplace_back(at, at + n);
    }
    // Marks the subsystem unreadable where a side failed; true when both sides can be
    // compared.
    bool Readable(const std::string& errorA, const std::string& errorB) {
        section.unreadableA = errorA;
        section.unreadableB = errorB;
        return errorA.empty() && errorB.empty();
    }
    // Runs a reader on each side (Attempt) and marks what failed (Readable); true when both
    // read cleanly.
    bool ReadBoth(const std::function<void(Side&)>& read) {
        const std::string errorA = Attempt(a, [&] { read(a); });
        const std::string errorB = Attempt(b, [&] { read(b); });
        return Readable(errorA, errorB);
    }
};

// Where both sides differ, the two texts; an entry is added when they do.
void Changed(Pair& p, const std::string& item, const std::string& va, const std::string& vb);

// Pairs the items of two lists by key, in order (the n-th item of a key in A with the n-th
// of that key in B). Returns for every A item the index of its B partner, or -1.
std::vector<int> MatchByKey(const std::vector<std::string>& a, const std::vector<std::string>& b);

// The address the image header gives as the start of the PPM area; nothing when the header
// is not found.
std::optional<std::uint32_t> PpmStartOf(const Side& s);

// The sections, each comparing one subsystem.
void CompareTones(Pair& p);
void CompareAlerts(Pair& p);
void CompareLanguages(Pair& p);
void CompareOperators(Pair& p);
void CompareMenus(Pair& p);
void CompareBitmaps(Pair& p);
void CompareAnimations(Pair& p);
void ComparePatches(Pair& p);

// The steps of a recipe that a subsystem can give: the code patches B has and A lacks, and
// the menu items edited, moved, deleted or added (with the security patch).
void MakePatches(Side& a, Side& b, Recipe& r);
// True when the menu steps say every difference of the menus.
bool MakeMenus(Side& a, Side& b, Recipe& r);

}  // namespace brivant::diff
