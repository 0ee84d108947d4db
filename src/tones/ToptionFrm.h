#pragma once

#include <optional>
#include <string>

#include "core/Interaction.h"

namespace brivant {

// The Options dialog's model: how often the alert tone repeats and whether it rises. It
// lives as long as the window and keeps its last prefix between uses.
class ToptionFrm : public DialogModel {
  public:
    static constexpr const char* kTitle = "Options";
    static constexpr const char* kRepeat = "Repeat";
    static constexpr const char* kTimes = "times.";
    static constexpr const char* kNormal = "Normal";
    static constexpr const char* kAscendingText = "Ascending";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";
    static constexpr const char* kRangeMessage = "Please enter repeat times from 1 to 20 only";
    static constexpr int kCountMaxLength = 2;

    std::string count = "2";  // the count field as typed
    bool ascending = false;   // "Ascending" chosen instead of "Normal"

    // "&OK": on success builds the prefix and returns nothing; otherwise returns the
    // message to show while the dialog stays open (for the range message the count
    // field takes the focus back: countNeedsFocus).
    std::optional<std::string> PressOk();

    // Whether a prefix from an earlier "&OK" exists (Cancel never makes one).
    bool CanClose() const { return !prefix_.empty(); }
    bool HasPrefix() const { return !prefix_.empty(); }
    // Hex text of the repeat prefix, such as "0002FD0A800502".
    const std::string& Prefix() const { return prefix_; }
    bool countNeedsFocus = false;

  private:
    std::string prefix_;
};

}  // namespace brivant
