#pragma once

// Runs of user actions on the real main window, offscreen: tabs, rows, languages and menu
// levels chosen, keys pressed, context-menu entries and group buttons with their dialogs
// answered (OK with good and bad values, Cancel), phone types chosen, saves and reopens.
// After every action the window must show what a freshly opened window shows for the
// image's current bytes and the same choices, its title must carry "*" exactly when the
// bytes differ from those last saved or opened, undo then redo must give back the same
// bytes and view, no dialog may be left open, and every selection must be on a row.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brivant::uitest {

inline constexpr int kMaxWindowSteps = 40;

struct WindowOutcome {
    std::string family;
    std::vector<std::string> steps;  // what was done, in order
    std::optional<std::string> finding;

    // The sequence and what broke, for a report.
    std::string Text() const;
};

// The sequence that `seed` describes: its family (one of the command-layer engine's), and
// `steps` actions (1 to kMaxWindowSteps).
WindowOutcome RunWindowSequence(std::uint32_t seed, int steps);

}  // namespace brivant::uitest
