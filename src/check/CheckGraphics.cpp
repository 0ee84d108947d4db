// The bitmaps, the animations and the code patches: what lies in the MCU area behind the
// tables and calls that lead there.
#include "check/CheckParts.h"
#include "core/UserError.h"
#include "graphics/AniCatalog.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapFormat.h"
#include "image/Address.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/InvertLCD.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "patches/ThumbCall.h"

namespace brivant::check {

namespace {

constexpr const char* kBitmapFails = "Bmp ID %s cannot be read: %s";
constexpr const char* kNoBitmapOfFrame = "Ani ID %s frame %s: value %s names no bitmap";
constexpr const char* kCallOutside = "The %s call at %s leads to %s, outside the MCU area";

std::string BitmapItem(int id) {
    return "Bmp ID " + BitmapIdText(id);
}

// How many bytes the pixels take where they are stored: run-length groups are counted until
// they give the plain form's number of bytes.
std::int64_t StoredLength(Checker& c, int id) {
    const GraphicsState& g = c.ed().graphics;
    const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(id)];
    const std::int64_t plain = PixelByteCount(e.Width(), e.Height());
    if (!IsRunLengthForm(c.ed(), g.mainCount, id)) return plain;
    const Bytes& m = c.Image();
    const std::int64_t at = ToImageOffset(e.Address());
    std::int64_t used = 0;
    for (std::int64_t made = 0; made < plain && at >= 0 && at + used + 3 <= c.Size(); used += 3) {
        const std::uint8_t counts = m[static_cast<std::size_t>(at + used)];
        if (counts == 0) return used + 3;  // a group that makes nothing ends nothing either
        made += (counts >> 4) + (counts & 0x0F);
    }
    return used;
}

// Reads the bitmap catalog once; its error, empty when it was read.
std::string Catalog(Checker& c) {
    if (!c.side().catalogError) {
        Editor& ed = c.ed();
        c.side().catalogError =
            diff::Attempt(c.side(), [&] { GraphicsTabShown(ed, ed.graphics, c.side().ui); });
    }
    return *c.side().catalogError;
}

}  // namespace

void CheckBitmaps(Checker& c) {
    c.Begin("bitmaps");
    Editor& ed = c.ed();
    if (const std::string error = Catalog(c); !error.empty()) {
        c.Problem(Format(kReadFails, {"bitmap catalog", error}));
        return;
    }
    const auto count = static_cast<int>(ed.graphics.bitmaps.size());
    for (int id = 0; id < count; ++id) {
        const BitmapEntry& e = ed.graphics.bitmaps[static_cast<std::size_t>(id)];
        const std::string item = BitmapItem(id);
        c.Claim(e.recordOffset, kRecordSize, "bitmap table", "the bitmap table");
        const std::int64_t at = ToImageOffset(e.Address());
        const std::int64_t n = StoredLength(c, id);
        if (!c.RequireMcu(item, at, std::max<std::int64_t>(n, 1))) continue;
        c.Claim(at, n, "bitmap", item);
        const std::string error =
            diff::Attempt(c.side(), [&] { (void)ReadBitmapPixels(ed, ed.graphics, id); });
        if (!error.empty()) c.Problem(Format(kBitmapFails, {BitmapIdText(id), error}));
    }
    c.Summary(std::to_string(count) + " bitmaps");
}

void CheckAnimations(Checker& c) {
    c.Begin("animations");
    Editor& ed = c.ed();
    if (!Catalog(c).empty()) {
        c.Summary("not read without the bitmap catalog");
        return;
    }
    const std::string error =
        diff::Attempt(c.side(), [&] { GetAni(ed, ed.ani, ed.graphics, c.side().ui); });
    if (!error.empty()) c.Problem(Format(kReadFails, {"animation table", error}));
    const AniState& a = ed.ani;
    if (!a.enabled) {
        c.Summary("no animations");
        return;
    }
    const auto bitmaps = static_cast<int>(ed.graphics.bitmaps.size());
    for (std::size_t i = 0; i < a.catalog.size(); ++i) {
        const AniEntry& e = a.catalog[i];
        const std::string id = BitmapIdText(static_cast<int>(i));
        c.Claim(e.slot, 4, "animation table", "the animation table");
        const std::int64_t at = ToImageOffset(e.address);
        if (!c.RequireMcu("Ani ID " + id + "'s frame list", at, e.lengthByte)) continue;
        c.Claim(at, e.lengthByte, "frame list", "Ani ID " + id + "'s frame list");
        for (std::size_t k = 0; k + 1 < e.lengthByte; k += 2) {
            const std::uint16_t value = GetBE16(&c.Image()[static_cast<std::size_t>(at) + k]);
            if (!BitmapOfFrameValue(ed, value, bitmaps))
                c.Problem(
                    Format(kNoBitmapOfFrame, {id, std::to_string(k / 2), IntToHex(value, 4)}));
        }
    }
    if (a.lengthTableOffset >= 0)
        c.Claim(a.lengthTableOffset, static_cast<std::int64_t>(a.catalog.size()),
                "animation lengths", "the animation length table");
    c.Summary(std::to_string(a.catalog.size()) + " animations");
}

namespace {

// A payload as the patch writes it; the bytes that depend on where it went and on what the
// user chose are not compared.
struct Payload {
    Bytes bytes;
    std::vector<bool> mask;

    void Mask(std::size_t at, std::size_t n) {
        for (std::size_t k = at; k < at + n && k < mask.size(); ++k) mask[k] = true;
    }
    bool FoundIn(const Checker& c, std::int64_t at) const {
        if (!c.InImage(at, static_cast<std::int64_t>(bytes.size()))) return false;
        for (std::size_t k = 0; k < bytes.size(); ++k)
            if (!mask[k] && c.Image()[static_cast<std::size_t>(at) + k] != bytes[k]) return false;
        return true;
    }
};

// Follows a patch's calls: a call that leads out of the MCU area is a problem; a payload
// found where they lead claims its bytes.
void Follow(Checker& c, const std::string& name, const std::string& hook,
            const std::vector<std::int64_t>& sites, const Payload& p) {
    std::int32_t at = -1;
    const std::string error = diff::Attempt(c.side(), [&] { at = FindHook(c.ed(), hook); });
    if (!error.empty() || at < 0) {
        c.Summary(name + ": no code to patch");
        return;
    }
    bool installed = false;
    for (const std::int64_t site : sites) {
        if (!c.InImage(at + site, 4)) continue;
        const std::uint32_t word = GetBE32(&c.Image()[static_cast<std::size_t>(at + site)]);
        if (!IsBL(word)) continue;
        const std::int64_t target = DecodeBL(at + site, word);
        if (!c.InMcu(target, 2)) {
            c.Problem(Format(kCallOutside,
                             {name, diff::OffsetText(at + site), diff::OffsetText(target)}));
            continue;
        }
        if (p.FoundIn(c, target)) {
            c.Claim(target, static_cast<std::int64_t>(p.bytes.size()), "patch payload",
                    "the " + name + " routine");
            installed = true;
        }
    }
    c.Summary(name + (installed ? ": installed" : ": not installed"));
}

}  // namespace

void CheckPatches(Checker& c) {
    c.Begin("patches");
    Editor& ed = c.ed();
    FadeChoice f;
    if (ChooseFade(ed.PhoneTypeText(), ed.UnitModelHex, f)) {
        Payload p{HexToBytes(FadePayloadHex(f, "0000", "0000")), {}};
        p.mask.assign(p.bytes.size(), false);
        for (const auto* fixups : {&f.variant->toInner, &f.variant->toT1, &f.variant->toT2})
            for (const int k : *fixups) p.Mask(static_cast<std::size_t>(k), 4);
        p.Mask(p.bytes.size() - std::min<std::size_t>(p.bytes.size(), 8), 8);
        Follow(c, TFadeLeds::kTitle, f.hook, {kFirstSite, kFirstSite + f.secondSite}, p);
    }
    // The inverted LCD hooks two calls behind its pattern; its routine calls back once.
    Payload lcd{HexToBytes(kLcdPayloadHex), {}};
    lcd.mask.assign(lcd.bytes.size(), false);
    lcd.Mask(4, 4);
    Follow(c, TInvertFrm::kTitle, kLcdHookHex, {8, 40}, lcd);
}

}  // namespace brivant::check
