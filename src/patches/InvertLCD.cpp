#include "patches/InvertLCD.h"

#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Session.h"
#include "patches/CodePatch.h"
#include "patches/PatchState.h"
#include "patches/ThumbCall.h"
#include "ppm/FreeSpace.h"

namespace brivant {

namespace {
constexpr int kFirstCall = 8;    // from the hook pattern
constexpr int kSecondCall = 32;  // from the first call
constexpr int kPayloadCall = 4;  // the payload's own call

LcdResult NonBlinking(Session& ed) {
    Bytes payload = HexToBytes(kLcdPayloadHex);
    const std::int64_t s1 = std::int64_t{FindHook(ed, kLcdHookHex)} + kFirstCall;
    const std::int64_t s2 = s1 + kSecondCall;
    CallAt(ed, s1);
    const std::int64_t target = DecodeBL(s2, CallAt(ed, s2));
    // Installed twice, the value would be inverted twice: back to the start.
    const std::int64_t first = DecodeBL(s1, CallAt(ed, s1));
    if (RoutineAt(ed, first, payload, {kPayloadCall}, 0))
        throw UserError(Format(kLcdApplied, {std::to_string(first)}));

    const std::int32_t i = PayloadSpot(ed, payload);
    PutCall(payload, kPayloadCall, i, target);
    const Bytes call1 = CallBytes(s1, i);
    const Bytes call2 = CallBytes(s2, i);

    WritePayload(ed, i, payload);
    ed.MainHex.WriteAt(static_cast<std::int32_t>(s1), call1);
    ed.MainHex.WriteAt(static_cast<std::int32_t>(s2), call2);
    LcdResult r;
    r.mode = 0;
    r.payloadOffset = i;
    r.callSites = {static_cast<std::int32_t>(s1), static_cast<std::int32_t>(s2)};
    r.freeOffset = ed.FreeOffset;
    return r;
}

LcdResult Blinking(Session& ed) {
    HexBuffer& m = ed.MainHex;
    // Searched from the start of the free space on; without one there is nowhere to look.
    if (ed.FreeOffset < 0 || ed.FreeOffset >= m.Size()) throw UserError(kBlinkNotFound);
    m.SetSelectionStart(ed.FreeOffset);
    FindOffSet1(ed, kBlinkOldHex);
    const std::int32_t at = ed.FoundOffset;
    if (at < 0) throw UserError(kBlinkNotFound);
    m.WriteAt(at, HexToBytes(kBlinkNewHex));
    LcdResult r;
    r.mode = 1;
    r.offset = at;
    r.freeOffset = ed.FreeOffset;
    return r;
}
}  // namespace

LcdResult InvertLCD(Session& ed, int mode) {
    return mode == 1 ? Blinking(ed) : NonBlinking(ed);
}

std::optional<LcdResult> InvertedLcd(Session& ed, PatchState& p, Interaction& ui) {
    TInvertFrm& d = p.invertFrm;
    d.Open();
    if (!ui.askDialog(d)) d.PressCancel();
    if (d.Cancel) return std::nullopt;
    const LcdResult r = InvertLCD(ed, d.Mode());
    if (r.mode == 1) ui.info(kBlinkDone);
    if (ed.PhoneType() != 0) GetFreespace(ed);
    return r;
}

}  // namespace brivant
