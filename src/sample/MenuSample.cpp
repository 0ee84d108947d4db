#include <string>
#include <vector>

#include "menu/MenuRecord.h"
#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

namespace brivant {

namespace {

using namespace samplebytes;
constexpr std::uint32_t kNoText = kPhoneBase;            // Text Pointer that gives no row
constexpr std::uint32_t kSimText = kPhoneBase - 0x1000;  // below the image: "SIM Card Menu"
constexpr std::uint16_t kRunsFunction = 0x05E0;
constexpr std::uint16_t kOpensSubMenu = 0x0387;
// Text IDs into the sample languages (five COMM texts): 6 names each language's text 1,
// 5 is the COMM count itself ("Net Monitor").
constexpr std::uint16_t kLanguageText = 6;
constexpr std::uint16_t kCommCountText = 5;

// One item as the firmware keeps it; the Bmp IDs used here (00A0 and up) appear in none of
// the security patch's patterns, so its searches only find its own items.
struct Item {
    std::uint32_t text;
    std::uint32_t func;
    std::uint16_t bmp;
    std::uint16_t funcId;
    std::uint16_t unknown = 0;
};

Bytes Record(bool longForm, const Item& it) {
    Bytes r = BE32(it.text);
    if (longForm) Append(r, BE32(it.text));  // the Tip Pointer
    Append(r, BE32(it.func));
    Append(r, BE16(it.bmp));
    Append(r, BE16(it.funcId));
    Append(r, BE16(it.unknown));
    Append(r, BE16(0));
    Append(r, BE16(0x0001));  // Class
    Append(r, BE16(0x0000));  // Animation
    return r;
}

class MenuBuilder {
  public:
    MenuBuilder(SampleContext& ctx, bool longForm) : ctx_(ctx), long_(longForm) {}

    // 04 FF, the characters two bytes each, 00 00.
    std::uint32_t InlineText(const std::string& s) {
        Bytes t = {0x04, 0xFF};
        for (const char c : s) Append(t, {0x00, static_cast<std::uint8_t>(c)});
        Append(t, {0x00, 0x00});
        return ToPhoneAddress(ctx_.PlaceMcu(t));
    }
    // A reference to a language text: one spare byte, then the 16-bit ID.
    std::uint32_t TextId(std::uint16_t id) {
        Bytes t = {0x01};
        Append(t, BE16(id));
        return ToPhoneAddress(ctx_.PlaceMcu(t));
    }
    // The array of records, then its descriptor with these kind bytes; returns the
    // descriptor's address.
    std::uint32_t Level(const std::vector<Item>& items, const Bytes& kind) {
        Bytes array;
        for (const Item& it : items) Append(array, Record(long_, it));
        const std::int32_t at = ctx_.PlaceMcu(array);
        Bytes d = BE32(ToPhoneAddress(at));
        d.push_back(static_cast<std::uint8_t>(items.size() - 1));
        Append(d, kind);
        Append(d, {0x00, 0x00, 0x01});
        return ToPhoneAddress(ctx_.PlaceMcu(d));
    }

  private:
    SampleContext& ctx_;
    bool long_;
};

// The tree: a root with function items, a SIM Card Menu, "Net Monitor" and a language text,
// and the Extras submenu (record 0 hidden by 00DC0000, a record without a row in the
// middle) holding the Games submenu, two levels down. The security patch's sample adds the
// Messages and security items behind the root's.
void MenuMcu(SampleContext& ctx) {
    // 62XX/7110 images carry a tree too; the editor only refuses to show it.
    MenuBuilder b(ctx, LongMenuRecords(ctx.options.family));
    const Bytes sub = {0x20, 0x01, 0x01, 0x00};
    const std::uint16_t hidden = 0x00DC;

    const std::uint32_t games = b.Level({{b.InlineText("Games"), 0, 0x00A0, 0, hidden},
                                         {b.InlineText("Snake"), 0x18, 0x00A8, kRunsFunction},
                                         {b.InlineText("Memory"), 0x19, 0x00A9, kRunsFunction},
                                         {b.InlineText(""), 0x1A, 0x00AA, kRunsFunction}},
                                        sub);
    const std::uint32_t extras = b.Level({{b.InlineText("Extras"), 0, 0x00A0, 0, hidden},
                                          {b.InlineText("Calculator"), 0x15, 0x00A5, kRunsFunction},
                                          {kNoText, 0x16, 0x00A6, kRunsFunction},
                                          {b.InlineText("Games"), games, 0x00A7, kOpensSubMenu},
                                          {b.TextId(kLanguageText), 0x17, 0x00AB, kRunsFunction}},
                                         sub);
    b.Level({{kNoText, 0, 0x00A0, 0},
             {b.InlineText("Phone book"), 0x10, 0x00A1, kRunsFunction},
             {b.TextId(kLanguageText), 0x11, 0x00A2, kRunsFunction},
             {b.InlineText("Extras"), extras, 0x00A3, kOpensSubMenu},
             {kSimText, 0x12, 0x00A4, kRunsFunction},
             {b.TextId(kCommCountText), 0x13, 0x00AC, kRunsFunction}},
            HexToBytes(kRootKindHex));
}
}  // namespace

SampleFeature MenuSampleFeature() {
    return {"menu", nullptr, MenuMcu};
}

}  // namespace brivant
