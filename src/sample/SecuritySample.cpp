#include <algorithm>
#include <string>
#include <vector>

#include "image/PhoneTypes.h"
#include "menu/MenuRecord.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityPatterns.h"
#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

namespace brivant {

namespace {

using namespace samplebytes;
constexpr std::uint32_t kHiddenText = kPhoneBase;  // Text Pointer of a level's record 0
constexpr std::uint32_t kEnterCodeFunction = 0x71;
constexpr const char* kSubMenuItem = "00000387";  // Bmp ID 0000, Func ID 0387

// An inline menu text: 04 FF, the characters two bytes each, 00 00.
Bytes InlineText(const std::string& s) {
    Bytes t = {0x04, 0xFF};
    for (const char c : s) Append(t, {0x00, static_cast<std::uint8_t>(c)});
    Append(t, {0x00, 0x00});
    return t;
}

// A record in the family's form: the Text Pointer (and Tip Pointer), then Func Pointer, Bmp
// ID, Func ID, the two Unknowns, Class and Animation, with `pattern` laid over those last 16
// bytes from `at` on, as the firmware's items carry it.
Bytes Record(bool longForm, std::uint32_t text, std::uint32_t func, const std::string& pattern,
             std::size_t at) {
    Bytes tail = BE32(func);
    tail.resize(16, 0x00);
    const Bytes p = HexToBytes(pattern);
    std::copy(p.begin(), p.end(), tail.begin() + static_cast<std::ptrdiff_t>(at));
    Bytes r = BE32(text);
    if (longForm) Append(r, BE32(text));
    Append(r, tail);
    return r;
}

Bytes Descriptor(std::uint32_t items, int count) {
    Bytes d = BE32(items);
    Append(d, {static_cast<std::uint8_t>(count), 0x80, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00});
    return d;
}

// One level: record 0 without a row, then the items; returns its descriptor's address.
std::uint32_t PlaceLevel(SampleContext& ctx, bool longForm, const std::vector<Bytes>& items) {
    Bytes array = Record(longForm, kHiddenText, 0, "", 0);
    for (const Bytes& r : items) Append(array, r);
    const std::int32_t at = ctx.PlaceMcu(array);
    return ToPhoneAddress(
        ctx.PlaceMcu(Descriptor(ToPhoneAddress(at), static_cast<int>(items.size()))));
}

std::uint32_t PlaceText(SampleContext& ctx, const std::string& s) {
    return ToPhoneAddress(ctx.PlaceMcu(InlineText(s)));
}

std::uint32_t FuncPointerOfPattern(const char* pattern) {
    return GetBE32(HexToBytes(pattern).data());
}

// The variants whose items an image carries: the one its designation picks, and those told
// apart by their firmware version rather than by a designation (the sample's version text is
// fixed, so a test switches it afterwards and needs both sets).
std::vector<const SecurityVariant*> CarriedVariants(int family, const std::string& headerHex) {
    std::vector<const SecurityVariant*> carried;
    const SecurityVariant* picked = FindSecurityVariant(family, headerHex);
    for (const SecurityVariant& v : SecurityVariants()) {
        if (v.family != family || &v == picked) continue;
        const bool byVersion =
            v.modelHex &&
            std::none_of(Designations().begin(), Designations().end(),
                         [&](const Designation& d) { return v.modelHex == std::string(d.hex); });
        if (byVersion) carried.push_back(&v);
    }
    // The picked variant's items come last, so that its items are the last occurrences.
    if (picked) carried.push_back(picked);
    return carried;
}

// The Messages submenu with its Inbox and Outbox and the security settings with the
// security item, for one variant; returns the two items that open them, the Messages item
// being the one the whole-menu pattern finds.
Bytes PlaceVariant(SampleContext& ctx, bool longForm, const SecurityVariant& v,
                   std::uint32_t messagesText, std::uint32_t settingsText) {
    const std::uint32_t inbox = PlaceText(ctx, "Inbox");
    const std::uint32_t outbox = PlaceText(ctx, "Outbox");
    const std::uint32_t code = PlaceText(ctx, "Security code");
    const std::uint32_t messages =
        PlaceLevel(ctx, longForm,
                   {Record(longForm, inbox, FuncPointerOfPattern(v.inbox), v.inbox, 0),
                    Record(longForm, outbox, FuncPointerOfPattern(v.outbox), v.outbox, 0)});
    const std::uint32_t settings = PlaceLevel(
        ctx, longForm, {Record(longForm, code, FuncPointerOfPattern(v.security), v.security, 0)});
    Bytes items =
        Record(longForm, messagesText, messages, v.whole, static_cast<std::size_t>(v.wholeBack));
    Append(items, Record(longForm, settingsText, settings, kSubMenuItem, 4));
    return items;
}

// The menu tree's root, when the image has one: its items get ours behind them, in an array
// of their own (the old one has no room to grow). Without a root they stay where they are.
void JoinRoot(SampleContext& ctx, bool longForm, const Bytes& items) {
    Bytes& image = ctx.Image();
    const Bytes kind = HexToBytes(kRootKindHex);
    const auto end = image.begin() + ctx.Layout().ppmStart;
    const auto hit = std::search(image.begin() + 1, end, kind.begin(), kind.end());
    if (hit == end) {
        ctx.PlaceMcu(items);
        return;
    }
    const auto descriptor = static_cast<std::int32_t>(hit - image.begin()) - 5;
    std::uint8_t* d = &image[static_cast<std::size_t>(descriptor)];
    const std::int64_t array = ToImageOffset(GetBE32(d));
    const std::size_t size = longForm ? kLongRecordSize : kShortRecordSize;
    const std::size_t count = static_cast<std::size_t>(d[4]) + 1;
    Bytes records(image.begin() + array,
                  image.begin() + array + static_cast<std::ptrdiff_t>(count * size));
    Append(records, items);
    const std::int32_t at = ctx.PlaceMcu(records);
    d = &image[static_cast<std::size_t>(descriptor)];
    PutBE32(d, ToPhoneAddress(at));
    d[4] = static_cast<std::uint8_t>(records.size() / size - 1);
}

void SecurityMcu(SampleContext& ctx) {
    const int family = ctx.options.family;
    const auto& image = ctx.Image();
    const std::string headerHex =
        BytesToHex(&image[static_cast<std::size_t>(ctx.Layout().ppmStart)], 48);
    const std::vector<const SecurityVariant*> variants = CarriedVariants(family, headerHex);
    if (variants.empty()) return;
    const bool longForm = LongMenuRecords(family);

    // Where the phone goes once the code was entered: a level of its own, which the redirect
    // block's Func Pointer addresses.
    const std::uint32_t enter = PlaceText(ctx, "Enter code");
    const std::uint32_t codes =
        PlaceLevel(ctx, longForm, {Record(longForm, enter, kEnterCodeFunction, "009905E0", 4)});
    Bytes redirect = BE32(codes);
    Append(redirect, HexToBytes(kRedirectPattern));
    ctx.PlaceMcu(redirect);

    const std::uint32_t messagesText = PlaceText(ctx, "Messages");
    const std::uint32_t settingsText = PlaceText(ctx, "Security settings");
    Bytes items;
    for (const SecurityVariant* v : variants)
        Append(items, PlaceVariant(ctx, longForm, *v, messagesText, settingsText));
    JoinRoot(ctx, longForm, items);
}
}  // namespace

SampleFeature SecuritySampleFeature() {
    return {"security", nullptr, SecurityMcu};
}

}  // namespace brivant
