#include "sample/GraphicsSample.h"

#include <string>

#include "graphics/BitmapFormat.h"
#include "image/PhoneTypes.h"
#include "sample/SampleBuilder.h"
#include "sample/SampleBytes.h"

namespace brivant {

namespace {

using namespace samplebytes;
// Bytes that never repeat long enough to look like free space or a table.
Bytes Pattern(int w, int h, int seed) {
    Bytes b(static_cast<std::size_t>(w * ((h + 7) / 8)));
    for (std::size_t k = 0; k < b.size(); ++k)
        b[k] = static_cast<std::uint8_t>((static_cast<int>(k) * 37 + seed * 11 + 5) & 0xFF);
    // Rows below the height stay clear, as the firmware's own pictures have them.
    const int rest = h % 8;
    if (rest != 0)
        for (std::size_t k = b.size() - static_cast<std::size_t>(w); k < b.size(); ++k)
            b[k] &= static_cast<std::uint8_t>((1 << rest) - 1);
    return b;
}

SampleBitmap Make(int w, int h, int seed) {
    return {w, h, Pattern(w, h, seed)};
}

// Long runs of equal bytes: the run-length form must split them into runs of nine.
SampleBitmap Runs() {
    SampleBitmap b{12, 24, Bytes(12, 0x00)};
    b.pixels.insert(b.pixels.end(), 14, 0xAA);
    b.pixels.insert(b.pixels.end(), {0x55, 0x55, 0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81});
    return b;
}

const char* SampleModel(const SampleOptions& o) {
    if (o.designation == kNoDesignation) return "";
    const auto& rows = Designations();
    if (o.designation >= 0) return rows.at(static_cast<std::size_t>(o.designation)).model;
    for (const auto& d : rows)
        if (d.index == o.family) return d.model;
    return "";
}

// Run-length form for the main table of these families and models.
bool RunLengthFamily(int family, const std::string& model) {
    const std::string& type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
    return type == "3410" || type == "2100" || (type == k62xx && model != "7110");
}

std::vector<std::int32_t> Steps(int family, const std::string& model) {
    const std::string& type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
    if (type == k62xx) {
        if (model == "7110") return {24, 92, 20, 16, 16, 16, 16, 16};
        if (model == "6250") return {24, 68, 16, 16, 16, 16, 16, 16};
        return {24, 64, 16, 16, 16, 16, 20, 12};
    }
    if (type == "3350" || type == "3410" || type == "3610" || type == "2100")
        return {20, 40, 16, 16, 20};
    return {20, 64, 16, 12, 16, 16, 20, 12};
}

Bytes Record(std::int32_t pixelsAt, const SampleBitmap& b, int tag) {
    Bytes r(12);
    PutBE32(r.data(), ToPhoneAddress(pixelsAt));
    r[4] = 0x12;
    r[5] = 0x34;
    r[6] = static_cast<std::uint8_t>(0x50 + tag);
    r[7] = 0x01;
    r[8] = static_cast<std::uint8_t>(b.width);
    r[9] = static_cast<std::uint8_t>(b.height);
    r[10] = 0x00;
    r[11] = static_cast<std::uint8_t>(tag);
    return r;
}

// The main record table (a zero record, then one record per bitmap, the firmware's
// pointer pointing a little past the last), the index table with the extra records after
// it, and the pointer pair that names both.
void BitmapTables(SampleContext& ctx) {
    const SampleOptions& o = ctx.options;
    const std::string model = SampleModel(o);
    const bool rle = RunLengthFamily(o.family, model);
    const auto& mains = SampleMainBitmaps();

    Bytes records(12, 0x00);
    std::int32_t shared = 0;
    for (std::size_t i = 0; i < mains.size(); ++i) {
        const SampleBitmap& b = mains[i];
        const int id = static_cast<int>(i);
        if (id == kSampleSharedFirst + 1) {
            Append(records, Record(shared, mains[kSampleSharedFirst], kSampleSharedFirst));
            continue;
        }
        Bytes stored = b.pixels;
        if (rle && !stored.empty()) {
            stored = EncodeRunLength(b.pixels);
            // A group with no counts produces nothing; the reader goes on with the next.
            if (id == 3) stored.insert(stored.begin(), {0x00, 0x12, 0x34});
        }
        if (stored.empty()) stored = Bytes{0x99, 0x98, 0x97, 0x96};  // width 0: never read
        const std::int32_t at = ctx.PlaceMcu(stored);
        if (id == kSampleSharedFirst) shared = at;
        Append(records, Record(at, b, id));
    }
    const bool short62xx = PhoneTypeTexts()[static_cast<std::size_t>(o.family)] == k62xx &&
                           model != std::string("7110");
    Append(records, Filler(short62xx ? 13 : 12, o.seed + 70));
    const std::int32_t table = ctx.PlaceMcu(records);
    const std::int32_t pastRecords = table + static_cast<std::int32_t>(records.size());

    const std::vector<std::int32_t> steps = Steps(o.family, model);
    const auto& extras = SampleExtraBitmaps();
    std::vector<std::int32_t> extraAt;
    for (std::size_t i = 0; i <= steps.size(); ++i)
        extraAt.push_back(ctx.PlaceMcu(extras[i].pixels));

    const bool wide = SampleWideIndex(o.family);
    Bytes index;
    for (std::uint32_t v = 0; v <= mains.size() + 1; ++v) {
        if (wide) index.push_back(static_cast<std::uint8_t>(v >> 8));
        index.push_back(static_cast<std::uint8_t>(v));
    }
    Append(index, Filler((4 - index.size() % 4) % 4 + 12, o.seed + 71));
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        Append(index, Record(extraAt[i], extras[i], 0x40 + static_cast<int>(i)));
        if (i < steps.size())
            Append(index, Filler(static_cast<std::size_t>(steps[i] - 12), o.seed + 72));
    }
    const std::int32_t s = ctx.PlaceMcu(index);

    Bytes pointers(8);
    PutBE32(pointers.data(), ToPhoneAddress(s));
    PutBE32(pointers.data() + 4, ToPhoneAddress(pastRecords));
    ctx.PlaceMcu(pointers);
}
}  // namespace

const std::vector<SampleBitmap>& SampleMainBitmaps() {
    static const std::vector<SampleBitmap> list = [] {
        std::vector<SampleBitmap> v = {
            Make(84, 48, 0), Make(16, 12, 1),  {0, 10, {}},     Make(8, 8, 3), Make(24, 16, 4),
            Make(3, 8, 5),   Make(6, 8, 6),    Make(5, 8, 7),   Runs(),        Make(10, 10, 9),
            Make(10, 10, 9), Make(10, 10, 11), Make(32, 8, 12), Make(7, 5, 13)};
        // Rows 12 to 15 of the height-12 bitmap's second band hold set bits that are never
        // shown.
        for (std::size_t k = 16; k < 32; ++k) v[1].pixels[k] |= 0xF0;
        return v;
    }();
    return list;
}

const std::vector<SampleBitmap>& SampleExtraBitmaps() {
    static const std::vector<SampleBitmap> list = {
        Make(8, 8, 20),  Make(16, 8, 21), Make(10, 12, 22), Make(4, 4, 23),  Make(20, 16, 24),
        Make(12, 8, 25), Make(8, 16, 26), Make(6, 6, 27),   Make(14, 10, 28)};
    return list;
}

bool SampleWideIndex(int family) {
    const std::string& type = PhoneTypeTexts()[static_cast<std::size_t>(family)];
    return type == "3350" || type == "3410" || type == "3610" || type == "5510" || type == "5210" ||
           type == "2100" || type == k62xx;
}

SampleFeature GraphicsSampleFeature() {
    return {"graphics", nullptr, BitmapTables};
}

}  // namespace brivant
