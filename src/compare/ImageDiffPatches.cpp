// The code patches: where the firmware's calls lead, and whether a payload lies there.
#include "compare/ImageDiffParts.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/InvertLCD.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "patches/ThumbCall.h"

namespace brivant::diff {

namespace {

// Where the inverted-LCD patch hooks in: two calls behind its hook pattern, and the call
// its payload makes, as the patch places them.
constexpr std::int64_t kLcdFirstCall = 8;
constexpr std::int64_t kLcdSecondCall = 32;
constexpr std::size_t kLcdPayloadCall = 4;
// The fade-in and fade-out words end the fading routine; they are the user's to choose.
constexpr std::size_t kFadeTimes = 8;

// A payload as the patch writes it, with the bytes that depend on where it went and what
// the user chose masked out.
struct Payload {
    Bytes bytes;
    std::vector<bool> mask;

    void Mask(std::size_t at, std::size_t n) {
        for (std::size_t k = at; k < at + n && k < mask.size(); ++k) mask[k] = true;
    }
    bool FoundIn(const Side& s, std::int64_t at) const {
        const auto there = s.Read(at, static_cast<std::int64_t>(bytes.size()));
        if (!there) return false;
        for (std::size_t k = 0; k < bytes.size(); ++k)
            if (!mask[k] && (*there)[k] != bytes[k]) return false;
        return true;
    }
};

// One side's view of a patch: its call sites, where they lead, and the payload found there.
struct Hooked {
    bool applies = false;
    std::string error;
    std::vector<std::int64_t> sites;
    std::vector<std::optional<std::int64_t>> targets;
    std::optional<std::int64_t> payload;
    std::int64_t length = 0;
};

void Follow(const Side& s, Hooked& h, const Payload& payload) {
    h.length = static_cast<std::int64_t>(payload.bytes.size());
    for (const std::int64_t site : h.sites) {
        const auto word = s.Read(site, 4);
        std::optional<std::int64_t> target;
        if (word && IsBL(GetBE32(word->data()))) target = DecodeBL(site, GetBE32(word->data()));
        h.targets.push_back(target);
    }
    const auto& t = h.targets;
    if (!t.empty() && t[0] && std::all_of(t.begin(), t.end(), [&](auto x) { return x == t[0]; }) &&
        payload.FoundIn(s, *t[0]))
        h.payload = *t[0];
}

Hooked FadeView(Side& s) {
    Hooked h;
    FadeChoice c;
    if (!ChooseFade(s.ed.PhoneTypeText(), s.ed.UnitModelHex, c)) return h;
    h.applies = true;
    std::int32_t hook = -1;
    h.error = Attempt(s, [&] { hook = FindHook(s.ed, c.hook); });
    if (!h.error.empty()) return h;
    const std::int64_t first = std::int64_t{hook} + kFirstSite;
    h.sites = {first, first + c.secondSite};
    Payload p{HexToBytes(FadePayloadHex(c, "0000", "0000")), {}};
    p.mask.assign(p.bytes.size(), false);
    for (const auto* fixups : {&c.variant->toInner, &c.variant->toT1, &c.variant->toT2})
        for (const int f : *fixups) p.Mask(static_cast<std::size_t>(f), 4);
    p.Mask(p.bytes.size() - std::min(p.bytes.size(), kFadeTimes), kFadeTimes);
    Follow(s, h, p);
    return h;
}

Hooked LcdView(Side& s) {
    Hooked h;
    h.applies = true;
    std::int32_t hook = -1;
    h.error = Attempt(s, [&] { hook = FindHook(s.ed, kLcdHookHex); });
    if (!h.error.empty()) return h;
    const std::int64_t first = std::int64_t{hook} + kLcdFirstCall;
    h.sites = {first, first + kLcdSecondCall};
    Payload p{HexToBytes(kLcdPayloadHex), {}};
    p.mask.assign(p.bytes.size(), false);
    p.Mask(kLcdPayloadCall, 4);
    Follow(s, h, p);
    return h;
}

std::string CallText(const std::optional<std::int64_t>& target) {
    return target ? "calls " + OffsetText(*target) : "no call";
}

std::string PayloadText(std::int64_t at, std::int64_t length) {
    return "at " + OffsetText(at) + ", " + std::to_string(length) + " bytes";
}

void CompareHooked(Pair& p, const std::string& name, const Hooked& a, const Hooked& b) {
    if (!a.applies || !b.applies) return;
    if (a.error != b.error) {
        p.Add("unreadable", name, a.error, b.error);
        return;
    }
    if (!a.error.empty()) return;
    if (a.sites != b.sites) {
        p.Add("moved", name + " code", OffsetText(a.sites[0]), OffsetText(b.sites[0]));
        return;
    }
    for (std::size_t i = 0; i < a.sites.size(); ++i) {
        if (a.targets[i] == b.targets[i]) continue;
        p.Add("redirected", name + " call at " + OffsetText(a.sites[i]), CallText(a.targets[i]),
              CallText(b.targets[i]));
        p.Explain(a.sites[i], 4);
    }
    const std::string item = name + " payload";
    if (a.payload == b.payload) {
        if (a.payload && p.a.Read(*a.payload, a.length) != p.b.Read(*b.payload, b.length))
            p.Add("changed", item, BytesToHex(*p.a.Read(*a.payload, a.length)),
                  BytesToHex(*p.b.Read(*b.payload, b.length)));
        else
            return;
    } else if (!a.payload) {
        p.Add("installed", item, {}, PayloadText(*b.payload, b.length));
    } else if (!b.payload) {
        p.Add("removed", item, PayloadText(*a.payload, a.length));
    } else {
        p.Add("moved", item, PayloadText(*a.payload, a.length), PayloadText(*b.payload, b.length));
    }
    if (a.payload) p.Explain(*a.payload, a.length);
    if (b.payload) p.Explain(*b.payload, b.length);
}

// The blinking way changes one instruction behind the start of the MCU free space.
void CompareBlinking(Pair& p) {
    const Bytes before = HexToBytes(kBlinkOldHex);
    const Bytes after = HexToBytes(kBlinkNewHex);
    const std::string name = std::string(TInvertFrm::kTitle) + " (blinking) instruction at ";
    for (const bool forward : {true, false}) {
        const Side& from = forward ? p.a : p.b;
        const Side& to = forward ? p.b : p.a;
        if (from.ed.FreeOffset < 0) continue;
        const std::int64_t at = Find(from, kBlinkOldHex, from.ed.FreeOffset);
        if (at < 0 || to.Read(at, 4) != after) continue;
        p.Add("patched", name + OffsetText(at), BytesToHex(forward ? before : after),
              BytesToHex(forward ? after : before));
        p.Explain(at, 4);
    }
}

}  // namespace

void MakePatches(Side& a, Side& b, Recipe& r) {
    const Hooked fa = FadeView(a);
    const Hooked fb = FadeView(b);
    if (fa.applies && fa.error.empty() && fb.error.empty() && !fa.payload && fb.payload &&
        fa.sites == fb.sites) {
        // The fade-in and fade-out words end the routine; each time is their low half.
        const Bytes code = b.Read(*fb.payload, fb.length).value_or(Bytes{});
        if (code.size() >= kFadeTimes) {
            const std::size_t end = code.size();
            r.steps.push_back({"patch leds",
                               {{"fade-in", JsonText(BytesToHex(&code[end - 6], 2))},
                                {"fade-out", JsonText(BytesToHex(&code[end - 2], 2))}}});
        }
    }
    const Hooked la = LcdView(a);
    const Hooked lb = LcdView(b);
    if (la.error.empty() && lb.error.empty() && !la.payload && lb.payload && la.sites == lb.sites)
        r.steps.push_back({"patch lcd", {}});
    if (a.ed.FreeOffset >= 0) {
        const std::int64_t at = Find(a, kBlinkOldHex, a.ed.FreeOffset);
        if (at >= 0 && b.Read(at, 4) == HexToBytes(kBlinkNewHex))
            r.steps.push_back({"patch lcd", {{"blinking", JsonTrue()}}});
    }
}

void ComparePatches(Pair& p) {
    CompareHooked(p, TFadeLeds::kTitle, FadeView(p.a), FadeView(p.b));
    CompareHooked(p, TInvertFrm::kTitle, LcdView(p.a), LcdView(p.b));
    CompareBlinking(p);
}

}  // namespace brivant::diff
