// The bitmap catalog and the animations.
#include "compare/ImageDiffParts.h"
#include "graphics/AniCatalog.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapFormat.h"
#include "image/Address.h"

namespace brivant::diff {

namespace {

// The catalog is read once per side: the bitmaps and the animations both need it, and only
// the first reading tells what went wrong.
const std::string& CatalogError(Side& s) {
    if (!s.catalogError)
        s.catalogError = Attempt(s, [&] { GraphicsTabShown(s.ed, s.ed.graphics, s.ui); });
    return *s.catalogError;
}

std::string SizeText(const BitmapEntry& e) {
    return std::to_string(e.Width()) + "x" + std::to_string(e.Height());
}

// How many bytes of the image the pixels take where they are stored: run-length groups are
// counted until they give the plain form's number of bytes.
std::int64_t StoredLength(const Side& s, int id) {
    const GraphicsState& g = s.ed.graphics;
    const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(id)];
    const std::int64_t plain = PixelByteCount(e.Width(), e.Height());
    if (!IsRunLengthForm(s.ed, g.mainCount, id)) return plain;
    const Bytes& m = s.Image();
    const std::int64_t at = ToImageOffset(e.Address());
    std::int64_t used = 0;
    for (std::int64_t made = 0;
         made < plain && at >= 0 && at + used + 3 <= static_cast<std::int64_t>(m.size());
         used += 3) {
        const std::uint8_t counts = m[static_cast<std::size_t>(at + used)];
        made += (counts >> 4) + (counts & 0x0F);
    }
    return used;
}

std::optional<Bytes> Stored(const Side& s, int id) {
    const BitmapEntry& e = s.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    return s.Read(ToImageOffset(e.Address()), StoredLength(s, id));
}

std::optional<BitmapCanvas> Canvas(Side& s, int id, std::string* error) {
    const BitmapEntry& e = s.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    std::optional<BitmapCanvas> canvas;
    *error = Attempt(s, [&] {
        canvas = RenderPixels(ReadBitmapPixels(s.ed, s.ed.graphics, id), e.Width(), e.Height());
    });
    return canvas;
}

void ExplainBitmap(Pair& p, const Side& s, int id) {
    const BitmapEntry& e = s.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    p.Explain(e.recordOffset, kRecordSize);
    p.Explain(ToImageOffset(e.Address()), StoredLength(s, id));
}

void CompareBitmap(Pair& p, int id) {
    const BitmapEntry& ea = p.a.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    const BitmapEntry& eb = p.b.ed.graphics.bitmaps[static_cast<std::size_t>(id)];
    if (ea.record == eb.record && Stored(p.a, id) == Stored(p.b, id)) return;
    const std::size_t before = p.section.entries.size();
    const std::string item = "Bmp ID " + BitmapIdText(id);
    if (ea.Width() != eb.Width() || ea.Height() != eb.Height()) {
        p.Add("resized", item, SizeText(ea), SizeText(eb));
    } else {
        std::string errA, errB;
        const auto ca = Canvas(p.a, id, &errA);
        const auto cb = Canvas(p.b, id, &errB);
        if (ca && cb) {
            std::size_t differ = 0;
            for (std::size_t k = 0; k < ca->dark.size() && k < cb->dark.size(); ++k)
                differ += ca->dark[k] != cb->dark[k];
            if (differ > 0)
                p.Add("pixels changed", item, SizeText(ea),
                      std::to_string(differ) + " of " + std::to_string(ca->dark.size()) +
                          " pixels differ");
        } else {
            p.Add("unreadable", item, errA, errB);
        }
    }
    if (ea.Address() != eb.Address())
        p.Add("moved", item, IntToHex(ea.Address(), 8), IntToHex(eb.Address(), 8));
    // A rewritten record or stored form that shows the same picture at the same place.
    if (p.section.entries.size() == before)
        p.Add("changed", item, BytesToHex(ea.record), BytesToHex(eb.record));
    ExplainBitmap(p, p.a, id);
    ExplainBitmap(p, p.b, id);
}

}  // namespace

void CompareBitmaps(Pair& p) {
    if (!p.Readable(CatalogError(p.a), CatalogError(p.b))) return;
    const auto& ga = p.a.ed.graphics.bitmaps;
    const auto& gb = p.b.ed.graphics.bitmaps;
    const std::size_t n = std::min(ga.size(), gb.size());
    for (std::size_t id = 0; id < n; ++id) CompareBitmap(p, static_cast<int>(id));
    for (std::size_t id = n; id < ga.size(); ++id)
        p.Add("removed", "Bmp ID " + BitmapIdText(static_cast<int>(id)), SizeText(ga[id]));
    for (std::size_t id = n; id < gb.size(); ++id)
        p.Add("added", "Bmp ID " + BitmapIdText(static_cast<int>(id)), {}, SizeText(gb[id]));
}

namespace {

std::string AniError(Side& s) {
    const std::string catalog = CatalogError(s);
    if (!catalog.empty()) return catalog;
    Editor& ed = s.ed;
    return Attempt(s, [&] { GetAni(ed, ed.ani, ed.graphics, s.ui); });
}

Bytes FrameBytes(const Side& s, const AniEntry& e) {
    return s.Read(ToImageOffset(e.address), e.lengthByte).value_or(Bytes{});
}

// The frames as the bitmaps they name, as "Frame:" and its "Bmp ID:" show them.
std::string FramesText(const Side& s, const AniEntry& e) {
    const Bytes list = FrameBytes(s, e);
    const int count = static_cast<int>(s.ed.graphics.bitmaps.size());
    std::string text;
    for (std::size_t k = 0; k + 1 < list.size(); k += 2) {
        const std::uint16_t value = GetBE16(&list[k]);
        const auto id = BitmapOfFrameValue(s.ed, value, count);
        text += (text.empty() ? "" : " ") + (id ? BitmapIdText(*id) : "?" + IntToHex(value, 4));
    }
    return text;
}

void ExplainList(Pair& p, const AniEntry& e) {
    // A list written to the free space is padded to a whole word.
    p.Explain(ToImageOffset(e.address), (e.lengthByte + 3) / 4 * 4);
}

}  // namespace

void CompareAnimations(Pair& p) {
    if (!p.Readable(AniError(p.a), AniError(p.b))) return;
    const AniState& a = p.a.ed.ani;
    const AniState& b = p.b.ed.ani;
    const std::size_t n = std::min(a.catalog.size(), b.catalog.size());
    for (std::size_t i = 0; i < n; ++i) {
        const AniEntry& ea = a.catalog[i];
        const AniEntry& eb = b.catalog[i];
        const std::string item = "Ani ID " + BitmapIdText(static_cast<int>(i));
        const bool framesDiffer =
            ea.lengthByte != eb.lengthByte || FrameBytes(p.a, ea) != FrameBytes(p.b, eb);
        if (framesDiffer) p.Add("frames changed", item, FramesText(p.a, ea), FramesText(p.b, eb));
        if (ea.address != eb.address) {
            p.Add("moved", item, IntToHex(ea.address, 8), IntToHex(eb.address, 8));
            p.Explain(ea.slot, 4);
            p.Explain(eb.slot, 4);
        }
        if (framesDiffer || ea.address != eb.address) {
            ExplainList(p, ea);
            ExplainList(p, eb);
        }
        if (ea.lengthByte != eb.lengthByte) {
            if (a.lengthTableOffset >= 0)
                p.Explain(a.lengthTableOffset + static_cast<std::int64_t>(i), 1);
            if (b.lengthTableOffset >= 0)
                p.Explain(b.lengthTableOffset + static_cast<std::int64_t>(i), 1);
        }
    }
    for (std::size_t i = n; i < a.catalog.size(); ++i)
        p.Add("removed", "Ani ID " + BitmapIdText(static_cast<int>(i)),
              FramesText(p.a, a.catalog[i]));
    for (std::size_t i = n; i < b.catalog.size(); ++i)
        p.Add("added", "Ani ID " + BitmapIdText(static_cast<int>(i)), {},
              FramesText(p.b, b.catalog[i]));
}

}  // namespace brivant::diff
