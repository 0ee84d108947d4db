#include "compare/ImageDiff.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "compare/ImageDiffParts.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"

namespace brivant {

namespace diff {

void Changed(Pair& p, const std::string& item, const std::string& va, const std::string& vb) {
    if (va != vb) p.Add("changed", item, va, vb);
}

std::vector<int> MatchByKey(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::map<std::string, std::deque<int>> free;
    for (std::size_t j = 0; j < b.size(); ++j) free[b[j]].push_back(static_cast<int>(j));
    std::vector<int> match(a.size(), -1);
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto it = free.find(a[i]);
        if (it == free.end() || it->second.empty()) continue;
        match[i] = it->second.front();
        it->second.pop_front();
    }
    return match;
}

}  // namespace diff

namespace {

using namespace diff;

// Differing bytes closer than this belong to one run: a changed field with a byte that
// happens to stay the same is still one change.
constexpr std::int64_t kRunGap = 8;
// The bytes of a run shown beside it.
constexpr std::int64_t kRunShown = 16;

constexpr const char* kNoTypeShown = "none";

std::string TypeText(const Editor& ed) {
    return ed.PhoneType() == 0 ? kNoTypeShown : ed.PhoneTypeText();
}

// The runs of bytes that differ at the same offset, and everything past the shorter image.
// Each run starts and ends with a differing byte: runs close to each other are joined only
// once the sections took what they explain, so that no equal bytes are left on their own.
Ranges DifferingRuns(const Bytes& a, const Bytes& b, std::int64_t* count) {
    Ranges runs;
    *count = 0;
    const std::size_t n = std::min(a.size(), b.size());
    auto note = [&](std::int64_t from, std::int64_t to) {
        *count += to - from;
        runs.emplace_back(from, to);
    };
    // Equal blocks are passed over by memcmp, which is far quicker than a byte loop.
    constexpr std::size_t kBlock = 4096;
    for (std::size_t block = 0; block < n; block += kBlock) {
        const std::size_t end = std::min(n, block + kBlock);
        if (std::memcmp(a.data() + block, b.data() + block, end - block) == 0) continue;
        for (std::size_t i = block; i < end;) {
            if (a[i] == b[i]) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < end && a[j] != b[j]) ++j;
            note(static_cast<std::int64_t>(i), static_cast<std::int64_t>(j));
            i = j;
        }
    }
    if (a.size() != b.size())
        note(static_cast<std::int64_t>(n), static_cast<std::int64_t>(std::max(a.size(), b.size())));
    return runs;
}

// What of `runs` no range of `covered` holds; pieces closer than kRunGap join again.
std::vector<ByteRun> Uncovered(const Ranges& runs, Ranges covered) {
    std::sort(covered.begin(), covered.end());
    std::vector<ByteRun> out;
    auto add = [&](std::int64_t from, std::int64_t to) {
        if (to <= from) return;
        if (!out.empty() && from - (out.back().offset + out.back().length) < kRunGap)
            out.back().length = to - out.back().offset;
        else
            out.push_back({from, to - from});
    };
    std::size_t c = 0;
    for (const auto& [from, to] : runs) {
        std::int64_t at = from;
        while (c < covered.size() && covered[c].second <= at) ++c;
        for (std::size_t k = c; k < covered.size() && covered[k].first < to && at < to; ++k) {
            add(at, covered[k].first);
            at = std::max(at, covered[k].second);
        }
        add(at, to);
    }
    return out;
}

std::string Shown(const Bytes& image, const ByteRun& r) {
    if (r.offset >= static_cast<std::int64_t>(image.size())) return {};
    const std::int64_t n =
        std::min({r.length, kRunShown, static_cast<std::int64_t>(image.size()) - r.offset});
    std::string text = BytesToHex(image.data() + r.offset, static_cast<std::size_t>(n));
    return n < r.length ? text + "..." : text;
}

void ComparePhone(Pair& p) {
    const Editor& a = p.a.ed;
    const Editor& b = p.b.ed;
    Changed(p, "Phone type", TypeText(a), TypeText(b));
    Changed(p, "Model", a.ModelName, b.ModelName);
    Changed(p, "Size", std::to_string(a.MainHex.Size()) + " bytes",
            std::to_string(b.MainHex.Size()) + " bytes");
}

// A stored check value beside the one its image's bytes give.
template <typename T>
std::string SumText(const Bytes& image, std::int64_t at, int digits,
                    const std::optional<T>& computed) {
    if (at < 0 || at + digits / 2 > static_cast<std::int64_t>(image.size())) return "-";
    const std::uint8_t* p = image.data() + at;
    const std::uint32_t stored = digits == 4 ? GetBE16(p) : GetBE32(p);
    std::string text = "stored " + IntToHex(stored, digits);
    if (!computed) return text + ", cannot be computed";
    text += ", computed " + IntToHex(*computed, digits);
    return stored == *computed ? text : text + " (wrong)";
}

void CompareChecksums(Pair& p) {
    const Bytes& a = p.a.Image();
    const Bytes& b = p.b.Image();
    const auto sa = static_cast<std::int64_t>(a.size());
    const auto sb = static_cast<std::int64_t>(b.size());
    const auto sumA = McuChecksum(a);
    const auto sumB = McuChecksum(b);
    const std::string mcuA = SumText(a, 34, 4, sumA);
    const std::string mcuB = SumText(b, 34, 4, sumB);
    const std::string copyA = SumText(a, sa - 6, 4, sumA);
    const std::string copyB = SumText(b, sb - 6, 4, sumB);
    const std::string fileA = SumText(a, sa - 4, 8, FlsCheckValue(a));
    const std::string fileB = SumText(b, sb - 4, 8, FlsCheckValue(b));
    Changed(p, "MCU checksum", mcuA, mcuB);
    Changed(p, "MCU checksum copy", copyA, copyB);
    Changed(p, "File check value", fileA, fileB);
    if (mcuA != mcuB) p.Explain(34, 2);
    for (const std::int64_t size : {sa, sb}) {
        if (copyA != copyB) p.Explain(size - 6, 2);
        if (fileA != fileB) p.Explain(size - 4, 4);
    }
}

// The PPM start field of the image header and the PPM marker.
struct PpmPlace {
    std::int64_t startField = -1;  // offset of the field
    std::string start = "-";       // its value as an address
    std::int64_t marker = -1;
    std::int64_t usedEnd = -1;  // one past the remainder piece
};

PpmPlace PlaceOf(const Side& s) {
    PpmPlace place;
    const std::int64_t d = Find(s, kDumfileHex, 1);
    if (d >= 0) {
        if (const auto field = s.Read(d + 24, 4)) {
            place.startField = d + 24;
            place.start = IntToHex(GetBE32(field->data()), 8);
        }
    }
    place.marker = Find(s, kPpmMarkerHex, 1);
    const PpmCopy& c = s.ed.ppm;
    if (c.split) {
        const auto plmn = static_cast<std::size_t>(Piece::PLMN);
        place.usedEnd =
            c.chunkOffset[plmn] +
            static_cast<std::int64_t>(c.pieces[plmn].size() / 2 + c[Piece::Remainder].size() / 2);
    }
    return place;
}

std::string Field(const std::string& text) {
    return text.empty() ? "-" : text;
}

void CompareFreeSpace(Pair& p) {
    const Editor& a = p.a.ed;
    const Editor& b = p.b.ed;
    Changed(p, "MCU free space start (FreeOffset)", OffsetText(a.FreeOffset),
            OffsetText(b.FreeOffset));
    Changed(p, "MCU free bytes", Field(a.mcuFreeField), Field(b.mcuFreeField));
    Changed(p, "PPM free bytes", Field(a.ppmFreeField), Field(b.ppmFreeField));
    const PpmPlace pa = PlaceOf(p.a);
    const PpmPlace pb = PlaceOf(p.b);
    Changed(p, "PPM start address", pa.start, pb.start);
    if (pa.start != pb.start) {
        p.Explain(pa.startField, 4);
        p.Explain(pb.startField, 4);
    }
    if (pa.marker != pb.marker && pa.marker >= 0 && pb.marker >= 0) {
        p.Add("moved", "PPM area", OffsetText(pa.marker), OffsetText(pb.marker));
        // The whole used PPM area moved: every byte between the old and the new place.
        if (pa.usedEnd >= 0 && pb.usedEnd >= 0) {
            const std::int64_t from = std::min(pa.marker, pb.marker);
            p.Explain(from, std::max(pa.usedEnd, pb.usedEnd) + 1 - from);
        }
    }
}

std::string ChunkText(const std::string& hex, bool chunk) {
    const Bytes bytes = HexToBytes(hex);
    std::string text = "Length " + IntToHex(static_cast<std::uint32_t>(bytes.size()), 8);
    if (!chunk) return text;
    const auto sum = ChunkChecksum(bytes);
    return text + (sum && GetBE32(bytes.data()) == *sum ? ", checksum ok" : ", checksum wrong");
}

void CompareChunks(Pair& p) {
    if (!p.Readable(SplitError(p.a), SplitError(p.b))) return;
    const PpmCopy& a = p.a.ed.ppm;
    const PpmCopy& b = p.b.ed.ppm;
    const std::int64_t markerA = Find(p.a, kPpmMarkerHex, 1);
    const std::int64_t markerB = Find(p.b, kPpmMarkerHex, 1);
    std::int64_t atA = 0, atB = 0;
    for (int i = 0; i < kPieceCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const bool chunk = i < kChunkCount;
        if (chunk) {
            atA = a.chunkOffset[k];
            atB = b.chunkOffset[k];
        }
        const std::int64_t lenA = static_cast<std::int64_t>(a.pieces[k].size() / 2);
        const std::int64_t lenB = static_cast<std::int64_t>(b.pieces[k].size() / 2);
        const std::string item = chunk ? std::string(PieceTag(static_cast<Piece>(i))) + " chunk"
                                       : "PPM data behind the chunks";
        bool explain = true;
        if (a.pieces[k] != b.pieces[k])
            p.Add("changed", item, ChunkText(a.pieces[k], chunk), ChunkText(b.pieces[k], chunk));
        else if (atA - markerA != atB - markerB)
            p.Add("moved", item, OffsetText(atA), OffsetText(atB));
        else
            explain = false;
        if (explain) {
            p.Explain(atA, lenA);
            p.Explain(atB, lenB);
        }
        atA += lenA;
        atB += lenB;
    }
}

struct Part {
    const char* key;
    const char* title;
    void (*compare)(Pair&);
    bool onlyWhenDifferent;  // identical images read the same; reading them again adds nothing
};

const Part kParts[] = {
    {"phone", "Phone type", ComparePhone, false},
    {"checksums", "Checksums", CompareChecksums, true},
    {"freeSpace", "Free Space", CompareFreeSpace, true},
    {"chunks", "PPM chunks", CompareChunks, true},
    {"ringtones", "Ringtones", CompareTones, true},
    {"alerts", "Alert tones", CompareAlerts, true},
    {"languages", "Languages", CompareLanguages, true},
    {"operators", "Operators", CompareOperators, true},
    {"menu", "Menu", CompareMenus, true},
    {"bitmaps", "Bitmaps", CompareBitmaps, true},
    {"animations", "Animations", CompareAnimations, true},
    {"patches", "Code patches", ComparePatches, true},
};

DiffImage Describe(const Editor& ed) {
    return {ed.MainHex.FileName(), TypeText(ed), ed.ModelName, ed.MainHex.Size()};
}

ImageDiff Compare(Side& a, Side& b) {
    ImageDiff d;
    d.a = Describe(a.ed);
    d.b = Describe(b.ed);
    const Ranges differing = DifferingRuns(a.Image(), b.Image(), &d.differingBytes);
    Ranges explained;
    d.sections.reserve(std::size(kParts) + 1);
    for (const Part& part : kParts) {
        d.sections.push_back({part.key, part.title, {}, {}, {}});
        if (part.onlyWhenDifferent && d.Equal()) continue;
        Pair p{a, b, d.sections.back(), explained};
        part.compare(p);
    }
    d.unexplained = Uncovered(differing, std::move(explained));
    DiffSection rest{kUnexplainedKey, "Other bytes", {}, {}, {}};
    for (const ByteRun& r : d.unexplained)
        rest.entries.push_back({"differ",
                                OffsetText(r.offset) + ", " + std::to_string(r.length) + " bytes",
                                Shown(a.Image(), r), Shown(b.Image(), r)});
    d.sections.push_back(std::move(rest));
    return d;
}

}  // namespace

const DiffSection* ImageDiff::Section(const std::string& key) const {
    for (const DiffSection& s : sections)
        if (s.key == key) return &s;
    return nullptr;
}

std::vector<std::string> ImageDiff::DifferingKeys() const {
    std::vector<std::string> keys;
    for (const DiffSection& s : sections)
        if (s.Differs()) keys.push_back(s.key);
    return keys;
}

std::optional<std::uint32_t> diff::PpmStartOf(const Side& s) {
    const PpmPlace place = PlaceOf(s);
    const auto field = s.Read(place.startField, 4);
    if (place.startField < 0 || !field) return std::nullopt;
    return GetBE32(field->data());
}

ImageDiff DiffImageFiles(const std::string& a, const std::string& b, int phoneType) {
    Editor ea, eb;
    Side sa(ea), sb(eb);
    OpenSide(sa, a, phoneType);
    OpenSide(sb, b, phoneType);
    return Compare(sa, sb);
}

}  // namespace brivant
