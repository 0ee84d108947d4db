#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivant {

// One difference between two images, in the words of the editor's lists: what happened to
// which item, and its value in the first and in the second image (UTF-8; empty where that
// image has none).
struct DiffEntry {
    std::string change;  // "added", "removed", "changed", "moved", ...
    std::string item;
    std::string a, b;
    bool operator==(const DiffEntry&) const = default;
};

// What one subsystem found. A subsystem that could not be read in an image says why; it is
// a difference only when the two images fail differently.
struct DiffSection {
    std::string key;    // for JSON: "ringtones"
    std::string title;  // for people: "Ringtones"
    std::vector<DiffEntry> entries;
    std::string unreadableA, unreadableB;

    bool Differs() const { return !entries.empty() || unreadableA != unreadableB; }
};

// A run of differing bytes that no subsystem accounts for.
struct ByteRun {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

// The sections in a fixed order; the last one lists the bytes no other section explains.
inline constexpr const char* kUnexplainedKey = "unexplained";

struct DiffImage {
    std::string file, phoneType, model;
    std::int64_t size = 0;
};

struct ImageDiff {
    DiffImage a, b;
    std::int64_t differingBytes = 0;  // bytes at the same offset that differ, or lie past one end
    std::vector<DiffSection> sections;
    std::vector<ByteRun> unexplained;

    bool Equal() const { return differingBytes == 0; }
    const DiffSection* Section(const std::string& key) const;
    // The keys of the sections that report a difference.
    std::vector<std::string> DifferingKeys() const;
};

// Opens each file into an editor of its own through the open flow (the phone type detected,
// or `phoneType` where detection finds none), reads every subsystem and compares them.
// Nothing is written. A file that cannot be loaded throws UserError; a subsystem that cannot
// be read is reported as such.
ImageDiff DiffImageFiles(const std::string& a, const std::string& b, int phoneType = 0);

}  // namespace brivant
