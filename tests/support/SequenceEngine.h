#pragma once

// Sequences of editing commands on sample images, with undo, redo, saves and reopens among
// them, each step followed by the checks every edit must pass: the whole-image check finds
// nothing new, the bytes a command changed are its own (or free bytes it took), undo and
// redo give back exactly the states they should, and a saved and reopened image lists what
// the editor listed. The fuzz target and the seeded test both run it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brivant::sequence {

inline constexpr int kMaxSteps = 30;

// Families with each kind of layout: short and long menu records, run-length bitmaps, the
// 62XX/7110 tone list, the three alert-table prefixes. The window's engine runs the same.
inline constexpr std::array<int, 8> kFamilies = {4, 2, 10, 5, 18, 8, 1, 16};
// The smallest sample the builder makes: every structure, with free space for a few dozen
// additions, and a quarter of the copying a megabyte would cost at every step and check.
inline constexpr std::int32_t kSampleSize = 0x40000;

struct Outcome {
    std::string family;
    std::vector<std::string> steps;  // what was run, in order ("delete ringtone 3", ...)
    std::optional<std::string> finding;

    // The sequence and what broke, for a report.
    std::string Text() const;
};

// Runs the sequence the bytes describe: [family][step count][per step: command, arguments].
// Missing bytes read as 0, so every input is a sequence.
Outcome RunSequence(const std::uint8_t* data, std::size_t n);

}  // namespace brivant::sequence
