#include "patches/Fading.h"

#include <algorithm>

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/PatchState.h"
#include "patches/ThumbCall.h"
#include "ppm/FreeSpace.h"

namespace brivant {

namespace {
constexpr int kFadeTimesSize = 8;  // the fade-in and fade-out words end the payload

std::int32_t MarkerAt(const Bytes& payload, const char* marker) {
    const Bytes m = HexToBytes(marker);
    const auto it = std::search(payload.begin(), payload.end(), m.begin(), m.end());
    return static_cast<std::int32_t>(it - payload.begin());
}
}  // namespace

FadeResult InstallFade(Session& ed, const FadeChoice& c, const std::string& fadeIn,
                       const std::string& fadeOut) {
    const FadeVariant& v = *c.variant;
    if (!TFadeLeds::ValidTime(fadeIn) || !TFadeLeds::ValidTime(fadeOut))
        throw UserError(TFadeLeds::kBadTime);
    Bytes payload = HexToBytes(FadePayloadHex(c, fadeIn, fadeOut));
    const auto length = static_cast<std::int32_t>(payload.size());

    // The firmware's two calls and the call the second target is read from; the old
    // targets are read before anything changes.
    const std::int32_t h = FindHook(ed, c.hook);
    const std::int64_t a = std::int64_t{h} + kFirstSite;
    const std::int64_t b = a + c.secondSite;
    const std::int64_t t1 = DecodeBL(a, CallAt(ed, a));
    const std::int64_t t2 = DecodeBL(b + v.t2Read, CallAt(ed, b + v.t2Read));
    CallAt(ed, b);  // the second site is overwritten: it must be a call as well
    // A second routine would take over the calls and leave the first one behind, unused.
    std::vector<int> calls = v.toInner;
    calls.insert(calls.end(), v.toT1.begin(), v.toT1.end());
    calls.insert(calls.end(), v.toT2.begin(), v.toT2.end());
    if (RoutineAt(ed, t1, payload, calls, kFadeTimesSize))
        throw UserError(Format(kFadeApplied, {std::to_string(t1)}));

    const std::int32_t i = PayloadSpot(ed, payload);
    // The inner routine starts one halfword into its marker, inside the payload.
    const std::int64_t inner = std::int64_t{i} + MarkerAt(payload, v.marker) + 2;
    for (int f : v.toInner) PutCall(payload, f, i, inner);
    for (int f : v.toT1) PutCall(payload, f, i, t1);
    for (int f : v.toT2) PutCall(payload, f, i, t2);
    const Bytes callA = CallBytes(a, i);
    const Bytes callB = CallBytes(b, i);

    WritePayload(ed, i, payload);
    ed.MainHex.WriteAt(static_cast<std::int32_t>(a), callA);
    ed.MainHex.WriteAt(static_cast<std::int32_t>(b), callB);
    return {
        v.name,       i, length, h, {static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)},
        ed.FreeOffset};
}

std::optional<FadeResult> FadingLeds(Session& ed, PatchState& p, Interaction& ui) {
    // Checked before the dialog: without a phone type there is no routine to time.
    FadeChoice c;
    if (!ChooseFade(ed.PhoneTypeText(), ed.UnitModelHex, c)) {
        ui.error(kChooseModel);
        return std::nullopt;
    }
    TFadeLeds& d = p.fadeLeds;
    d.Open();
    if (!ui.askDialog(d)) d.PressCancel();
    if (d.Cancel) return std::nullopt;
    FadeResult r = InstallFade(ed, c, d.FadeIn(), d.FadeOut());
    GetFreespace(ed);
    return r;
}

}  // namespace brivant
