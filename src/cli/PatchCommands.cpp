#include <optional>

#include "cli/CliModule.h"
#include "cli/Json.h"
#include "patches/Fading.h"
#include "patches/InvertLCD.h"
#include "patches/PatchState.h"

namespace brivant {

namespace {

// The patches change MCU code only: no phone type is needed to open them, and the fading
// routine asks for one itself.
constexpr Flow kPatch{.saves = true};

struct LedArgs : ImageOptions {
    std::string fadeIn = "0300";
    std::string fadeOut = "0600";
};

struct LcdArgs : ImageOptions {
    bool blinking = false;
};

void PrintCallSites(Json& j, const std::array<std::int32_t, 2>& sites) {
    j.Key("callSites").BeginArray().Number(sites[0]).Number(sites[1]).EndArray();
}

std::optional<FadeResult> InstallLeds(CliSession& s, const LedArgs& a) {
    // The dialog as if the user had typed both times and pressed "&OK"; times it refuses
    // are told and end the command.
    s.ui.dialogs.On<TFadeLeds>() = [&a, &s](TFadeLeds& m) {
        m.fadeIn = a.fadeIn;
        m.fadeOut = a.fadeOut;
        if (const auto message = m.PressOk()) {
            s.ui.error(*message);
            return false;
        }
        return true;
    };
    return FadingLeds(s.ed, s.ed.patches, s.ui);
}

// What was installed, told once the image was saved: a failed save ends the command before.
void PrintLeds(std::ostream& out, const FadeResult* r, const LedArgs& a) {
    if (!r) return;
    if (a.json) {
        Json j;
        j.BeginObject().Key("variant").String(r->variant);
        j.Key("payloadOffset").Number(r->payloadOffset);
        j.Key("payloadLength").Number(r->payloadLength);
        j.Key("hook").Number(r->hook);
        PrintCallSites(j, r->callSites);
        j.Key("freeOffset").Number(r->freeOffset).EndObject();
        out << j.Text() << "\n";
        return;
    }
    out << "Variant: " << r->variant << "\n"
        << "Payload: " << r->payloadOffset << " (" << r->payloadLength << " bytes)\n"
        << "Hook: " << r->hook << "\n"
        << "Call sites: " << r->callSites[0] << ", " << r->callSites[1] << "\n"
        << "Free offset: " << r->freeOffset << "\n";
}

std::optional<LcdResult> InstallLcd(CliSession& s, const LcdArgs& a) {
    s.ui.dialogs.On<TInvertFrm>() = [&a](TInvertFrm& m) {
        m.choice = a.blinking ? TInvertFrm::kBlinkingMode : TInvertFrm::kNonBlinkingMode;
        m.PressOk();
        return true;
    };
    return InvertedLcd(s.ed, s.ed.patches, s.ui);
}

void PrintLcd(std::ostream& out, const LcdResult* r, const LcdArgs& a) {
    if (!r) return;
    const bool blinking = r->mode == TInvertFrm::kBlinkingMode;
    const char* mode = blinking ? "blinking" : "non-blinking";
    if (a.json) {
        Json j;
        j.BeginObject().Key("mode").String(mode);
        if (blinking) {
            j.Key("offset").Number(r->offset);
        } else {
            j.Key("payloadOffset").Number(r->payloadOffset);
            PrintCallSites(j, r->callSites);
            j.Key("freeOffset").Number(r->freeOffset);
        }
        out << j.EndObject().Text() << "\n";
        return;
    }
    out << "Mode: " << mode << "\n";
    if (blinking) {
        out << "Changed at: " << r->offset << "\n";
        return;
    }
    out << "Payload: " << r->payloadOffset << "\n"
        << "Call sites: " << r->callSites[0] << ", " << r->callSites[1] << "\n"
        << "Free offset: " << r->freeOffset << "\n";
}

}  // namespace

// The code patches of the "Miscellaneous" group.
void PatchCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* patch = AddGroup(app, "patch", "Install the fading-LED or inverted-LCD code patch");

    Command<LedArgs> leds(ctx, patch, "leds", "Make the LEDs fade in and out");
    leds.Image();
    leds->add_option("--fade-in", leds.args().fadeIn, "Fade-in time, four hex digits (0300)");
    leds->add_option("--fade-out", leds.args().fadeOut, "Fade-out time, four hex digits (0600)");
    leds.TypeOption().JsonFlag().Output().Runs([](CliContext& c, const LedArgs& a) {
        std::optional<FadeResult> r;
        RunOnImage(c, a, kPatch, [&](CliSession& s) { r = InstallLeds(s, a); });
        PrintLeds(c.out, r ? &*r : nullptr, a);
    });

    Command<LcdArgs> lcd(ctx, patch, "lcd", "Invert the display");
    lcd.Image();
    lcd->add_flag("--blinking", lcd.args().blinking,
                  "Change one instruction in place instead of adding a routine");
    lcd.TypeOption().JsonFlag().Output().Runs([](CliContext& c, const LcdArgs& a) {
        std::optional<LcdResult> r;
        RunOnImage(c, a, kPatch, [&](CliSession& s) { r = InstallLcd(s, a); });
        PrintLcd(c.out, r ? &*r : nullptr, a);
    });
}

}  // namespace brivant
