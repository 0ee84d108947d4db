#pragma once

#include <optional>
#include <string>

#include "core/Interaction.h"

namespace brivant {

// The "Fading Leds" dialog's model: the fade-in and fade-out times, four hex digits each.
// It lives as long as the window; the times last confirmed are offered the next time.
class TFadeLeds : public DialogModel {
  public:
    static constexpr const char* kTitle = "Fading Leds";
    static constexpr const char* kFadeInLabel = "Fade in time:";
    static constexpr const char* kFadeOutLabel = "Fade out time:";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";
    static constexpr const char* kBadTime = "Please enter each fade time as four hex digits";
    static constexpr int kTimeDigits = 4;

    // The two fields as typed.
    std::string fadeIn = "0300";
    std::string fadeOut = "0600";
    bool Cancel = false;

    // Before showing: the cancel flag cleared, the fields back at the confirmed times.
    void Open();
    // "&OK": takes both times and clears the flag; a time that is not four hex digits
    // is refused with the message returned, and the dialog stays open.
    std::optional<std::string> PressOk();
    // "&Cancel", and the window's close box.
    void PressCancel() { Cancel = true; }

    const std::string& FadeIn() const { return confirmedIn_; }
    const std::string& FadeOut() const { return confirmedOut_; }

    static bool ValidTime(const std::string& text);

  private:
    std::string confirmedIn_ = "0300";
    std::string confirmedOut_ = "0600";
};

}  // namespace brivant
