#include <string>

#include "image/PhoneTypes.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/InvertLCD.h"
#include "sample/SampleBuilder.h"

namespace brivant {

namespace {
// Routines the firmware's calls go to: somewhere in the code ahead of the patched calls.
constexpr std::int32_t kFadeTarget1 = 0x100;
constexpr std::int32_t kFadeTarget2 = 0x140;
constexpr std::int32_t kFadeTarget3 = 0x180;
constexpr std::int32_t kLcdTarget1 = 0x200;
constexpr std::int32_t kLcdTarget2 = 0x240;
constexpr std::int32_t kTail = 16;  // code after the last call

// The designation's hex text, as the PPM header carries it.
std::string DesignationHex(const SampleOptions& o) {
    if (o.designation == kNoDesignation) return "";
    const auto& rows = Designations();
    if (o.designation >= 0) return rows.at(static_cast<std::size_t>(o.designation)).hex;
    for (const auto& d : rows)
        if (d.index == o.family) return d.hex;
    return "";
}

// Code that opens with `hook` and holds a real call at each of `calls` (offset in the
// block, target in the image).
void PlaceHookedCode(SampleContext& ctx, const std::string& hook,
                     const std::vector<std::pair<std::int32_t, std::int32_t>>& calls,
                     std::int32_t length, std::uint32_t seed) {
    Bytes block = Filler(static_cast<std::size_t>(length), seed);
    const Bytes pattern = HexToBytes(hook);
    std::copy(pattern.begin(), pattern.end(), block.begin());
    const std::int32_t at = ctx.PlaceMcu(block);
    for (const auto& [offset, target] : calls)
        ctx.PlaceMcuAt(at + offset, CallBytes(at + offset, target));
}

void FadingHook(SampleContext& ctx) {
    const SampleOptions& o = ctx.options;
    FadeChoice c;
    if (!ChooseFade(PhoneTypeTexts()[static_cast<std::size_t>(o.family)], DesignationHex(o), c))
        return;
    const std::int32_t code = ctx.Layout().codeStart;
    const std::int32_t a = kFirstSite;
    const std::int32_t b = a + c.secondSite;
    PlaceHookedCode(ctx, c.hook,
                    {{a, code + kFadeTarget1},
                     {b, code + kFadeTarget2},
                     {b + c.variant->t2Read, code + kFadeTarget3}},
                    b + 4 + kTail, o.seed + 60);
}

void LcdHook(SampleContext& ctx) {
    const std::int32_t code = ctx.Layout().codeStart;
    constexpr std::int32_t s1 = 8, s2 = s1 + 32;
    PlaceHookedCode(ctx, kLcdHookHex, {{s1, code + kLcdTarget1}, {s2, code + kLcdTarget2}},
                    s2 + 4 + kTail, ctx.options.seed + 61);
}

void PatchCode(SampleContext& ctx) {
    const SampleOptions& o = ctx.options;
    if (o.leaveOut != PatchHook::FadingLeds) FadingHook(ctx);
    if (o.leaveOut != PatchHook::InvertedLcd) LcdHook(ctx);
    // The instruction the blinking inversion changes: once among the firmware's code, where
    // it must stay, and once past the start of the MCU free space, behind its end mark.
    const Bytes blink = HexToBytes(kBlinkOldHex);
    ctx.PlaceMcu(blink);
    if (o.leaveOut != PatchHook::Blinking)
        ctx.PlaceMcuAt(ctx.Layout().freeOffset + o.size / 16 + 16, blink);
}
}  // namespace

SampleFeature PatchSampleFeature() {
    return {"patches", nullptr, PatchCode};
}

}  // namespace brivant
