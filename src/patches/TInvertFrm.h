#pragma once

#include "core/Interaction.h"

namespace brivant {

// The "Inverted LCD" dialog's model: which of the two ways to invert the display. It lives
// as long as the window and shows the way last chosen.
class TInvertFrm : public DialogModel {
  public:
    static constexpr const char* kTitle = "Inverted LCD";
    static constexpr const char* kNonBlinking = "Non-Blinking (Recommended)";
    static constexpr const char* kBlinking = "Blinking";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";

    static constexpr int kNonBlinkingMode = 0;
    static constexpr int kBlinkingMode = 1;

    int choice = kNonBlinkingMode;  // the radio button checked
    bool Cancel = false;

    // Before showing: the cancel flag cleared, the radio buttons at the mode last taken.
    void Open() {
        Cancel = false;
        choice = mode_;
    }
    // "&OK": takes the mode from the radio buttons.
    void PressOk() {
        mode_ = choice == kBlinkingMode ? kBlinkingMode : kNonBlinkingMode;
        Cancel = false;
    }
    // "&Cancel", and the window's close box.
    void PressCancel() { Cancel = true; }

    int Mode() const { return mode_; }

  private:
    int mode_ = kNonBlinkingMode;
};

}  // namespace brivant
