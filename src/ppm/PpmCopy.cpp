#include "ppm/PpmCopy.h"

#include <algorithm>
#include <filesystem>

#include "core/Clipboard.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "ppm/Checksums.h"
#include "ppm/FreeSpace.h"

namespace brivant {

namespace {
constexpr const char* kNoTrailer = "The %s chunk has no end marker; the PPM area cannot be read";
constexpr const char* kNoPpmEnd =
    "Cannot find the end of the PPM data (its DUMFILE text followed by free space)";
constexpr const char* kNoHeaderEnd =
    "Cannot find the PPM end address: the image header has no DUMFILE text";
constexpr const char* kTooBig =
    "The edited chunks need %s bytes more than the PPM area holds (it ends at offset %s). "
    "Nothing was saved: free PPM space first (Adjust, option PPM)";
constexpr const char* kNotSplit = "The PPM area of this image has not been read";
constexpr std::size_t kChunkHeader = 12;  // checksum, length, tag
constexpr std::size_t kTrailerBytes = 16;

std::array<ChunkReader, kChunkCount>& Readers() {
    static std::array<ChunkReader, kChunkCount> readers;
    return readers;
}

bool Contains(const Bytes& b, std::size_t from, const Bytes& what, std::size_t* at = nullptr) {
    if (from > b.size()) return false;
    const auto hit = std::search(b.begin() + static_cast<std::ptrdiff_t>(from), b.end(),
                                 what.begin(), what.end());
    if (hit == b.end()) return false;
    if (at) *at = static_cast<std::size_t>(hit - b.begin());
    return true;
}

// The chunk-directory reader's view of a chunk put in place of `piece`.
std::string LayoutFault(Piece piece, const Bytes& c) {
    const std::size_t n = c.size();
    if (n < kChunkHeader + kTrailerBytes)
        return Format("it is %s bytes long, shorter than a chunk (%s bytes)",
                      {std::to_string(n), std::to_string(kChunkHeader + kTrailerBytes)});
    const std::string tag = PieceTag(piece);
    const std::string found(c.begin() + 8, c.begin() + 12);
    if (found != tag) return Format("its tag is \"%s\", not \"%s\"", {PrintableText(found), tag});
    const std::uint32_t length = GetBE32(&c[4]);
    if (length != n)
        return Format("its length field says %s bytes, the file has %s",
                      {std::to_string(length), std::to_string(n)});
    const Bytes trailer = HexToBytes(kTrailerHex);
    if (!std::equal(trailer.begin(), trailer.end(), c.end() - kTrailerBytes))
        return "it does not end with the chunk end marker";
    // The end marker is searched from the tag's last byte: met earlier, it cuts the chunk.
    std::size_t at = 0;
    if (Contains(c, 11, trailer, &at) && at < n - kTrailerBytes)
        return Format(
            "its end marker already occurs at byte %s, so the image would end the "
            "chunk there",
            {std::to_string(at)});
    // The next chunk is searched from this one's start, the PPM end text after PLMN.
    const auto next = static_cast<int>(piece) + 1;
    const std::string nextHex =
        next < kChunkCount ? PieceTagHex(static_cast<Piece>(next)) : kDumfileHex;
    if (Contains(c, 0, HexToBytes(nextHex), &at)) {
        const Bytes what = HexToBytes(nextHex);
        return Format(
            "it holds the text \"%s\" at byte %s, where the image would find what "
            "follows the chunk",
            {std::string(what.begin(), what.end()), std::to_string(at)});
    }
    return {};
}
}  // namespace

void SetChunkReader(Piece piece, ChunkReader reader) {
    Readers().at(static_cast<std::size_t>(piece)) = std::move(reader);
}

std::string ChunkFault(Session& ed, Piece piece, const Bytes& chunk, const ChunkReader& reader) {
    std::string fault = LayoutFault(piece, chunk);
    if (!fault.empty()) return fault;
    const ChunkReader& read = reader ? reader : Readers().at(static_cast<std::size_t>(piece));
    return read ? read(ed, chunk) : std::string();
}

std::int32_t FindChunk(Session& ed, const char* tagHex) {
    FindOffSet1(ed, tagHex);
    const std::int32_t t = ed.FoundOffset;
    if (t < 0) throw UserError(HexBuffer::kInvalidSelStart);
    FindOffSet1(ed, kTrailerHex);
    const std::int32_t r = ed.FoundOffset;
    if (r < 0) {
        const Bytes tag = HexToBytes(tagHex);
        throw UserError(Format(kNoTrailer, {std::string(tag.begin(), tag.end())}));
    }
    ed.MainHex.SetSelectionStart(t - 8);
    ed.MainHex.SetSelectionEnd(r + 15);
    return t - 8;
}

void SplitPPM(Session& ed) {
    HexBuffer& m = ed.MainHex;
    ed.ppm.split = false;
    m.SetSelectionStart(1);
    FindOffSet1(ed, kPpmMarkerHex);
    m.SetSelectionStart(ed.FoundOffset);

    std::int32_t end = 0;
    for (int i = 0; i < kChunkCount; ++i) {
        const std::int32_t at = FindChunk(ed, PieceTagHex(static_cast<Piece>(i)));
        const Bytes chunk = m.CopyBytes(at, m.SelectionLength());
        SetCBText(chunk.data(), chunk.size());
        ed.ppm.pieces[static_cast<std::size_t>(i)] = ClipboardGet();
        ed.ppm.chunkOffset[static_cast<std::size_t>(i)] = at;
        end = at + m.SelectionLength();
    }

    FindOffSet1(ed, kDumfileHex);
    if (ed.FoundOffset < 0) throw UserError(kNoPpmEnd);
    FindOffSet1(ed, "FFFFFF");
    const std::int32_t f = ed.FoundOffset;
    if (f <= end) throw UserError(kNoPpmEnd);
    m.SetSelectionStart(end);
    m.SetSelectionEnd(f - 1);
    const Bytes rest = m.CopyBytes(end, m.SelectionLength());
    SetCBText(rest.data(), rest.size());
    ed.ppm[Piece::Remainder] = ClipboardGet();

    std::int32_t total = 0;
    for (const auto& p : ed.ppm.pieces) total += static_cast<std::int32_t>(p.size());
    ed.ppm.totalLength = ed.ppm.writtenLength = total;
    ed.ppm.split = true;
}

void UpdatePPM(Session& ed) {
    HexBuffer& m = ed.MainHex;
    m.SetSelectionStart(1);
    std::string joined;
    for (const auto& p : ed.ppm.pieces) joined += p;
    const auto written = static_cast<std::int32_t>(joined.size());
    if (static_cast<std::int32_t>(joined.size()) < ed.ppm.totalLength)
        joined.append(static_cast<std::size_t>(ed.ppm.totalLength) - joined.size(), 'F');
    const auto n = static_cast<std::int32_t>(joined.size() / 2);

    // Where the copy goes, and how far it may reach, before any byte is written.
    FindOffSet1(ed, kPpmMarkerHex);
    m.SetSelectionStart(ed.FoundOffset);
    FindOffSet1(ed, "4C504353");
    const std::int32_t start = ed.FoundOffset - 8;
    m.SetSelectionStart(start);
    m.SetSelectionEnd(start + n - 1);

    m.SetSelectionStart(1);
    FindOffSet1(ed, kDumfileHex);
    if (ed.FoundOffset < 0) throw UserError(kNoHeaderEnd);
    const Bytes field = m.CopyBytes(ed.FoundOffset + 28, 4);
    if (field.size() < 4) throw UserError(kNoHeaderEnd);
    const std::int64_t ppmEnd = ToImageOffset(GetBE32(field.data()));
    const std::int64_t last = std::int64_t{start} + n - 1;
    if (last > ppmEnd)
        throw UserError(Format(kTooBig, {std::to_string(last - ppmEnd), std::to_string(ppmEnd)}));

    ed.SubHex.SetHexText(joined);
    ClipboardSet(joined);
    ed.SubHex.SelectAll();
    const Bytes data = ed.SubHex.CopyBytes(0, ed.SubHex.SelectionLength());
    m.SetSelectionStart(start);
    m.SetSelectionEnd(start + n - 1);
    m.ReplaceSelected(data);
    ed.ppm.totalLength = static_cast<std::int32_t>(joined.size());
    ed.ppm.writtenLength = written;
}

void RecountFreeSpace(Session& ed) {
    if (ed.MainHex.Empty() || ed.PhoneType() == 0) return;
    SettleFreeOffset(ed);
    try {
        GetFreespace(ed);
    } catch (const UserError&) {
        // An image whose PPM end cannot be found keeps the figures it had.
        return;
    }
    if (!ed.ppm.split) return;
    std::int64_t pieces = 0;
    for (const auto& p : ed.ppm.pieces) pieces += static_cast<std::int64_t>(p.size());
    // The image still holds the copy as last cut or written; the next save writes the
    // pieces as they are now, and that is the space the user has.
    const std::int64_t grown = (pieces - ed.ppm.writtenLength) / 2;
    if (grown == 0) return;
    const std::int64_t free = StrToInt(ed.ppmFreeField) - grown;
    ed.ppmFreeField = std::to_string(free);
}

void SealChunk(Session& ed, Piece piece) {
    HexBuffer& s = ed.SubHex;
    const std::int32_t n = s.Size();
    Bytes len(4);
    PutBE32(len.data(), static_cast<std::uint32_t>(n));
    s.WriteAt(4, len);
    s.SaveStream(ed.chunkStream);
    FixPPMCheckSum(ed.chunkStream);
    s.LoadStream(ed.chunkStream);
    ed.ppm[piece] = s.HexText();
    ed.PpmChanged = true;
}

bool RetrieveAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title) {
    if (!ed.ppm.split) {
        ui.error(kNotSplit);
        return false;
    }
    const auto path = AskExportFile(ed, ui, SaveDialog(title, kChunkSaveFilter, "bin"));
    if (!path) return false;
    ed.SubHex.SetHexText(ed.ppm[piece]);
    ed.SubHex.SaveFile(*path, true);
    return true;
}

bool LoadAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title,
                  bool recomputeChecksum, const ChunkReader& reader) {
    if (!ed.ppm.split) {
        ui.error(kNotSplit);
        return false;
    }
    const auto path = ui.askOpenFile(OpenDialog(title, kChunkOpenFilter));
    if (!path) return false;
    ed.SubHex.LoadFile(*path);
    const std::size_t size = ed.SubHex.Data().size();
    // The checksum is summed over whole words of a chunk; what is no chunk keeps its bytes.
    if (recomputeChecksum && size >= kChunkHeader + kTrailerBytes) {
        ed.SubHex.SaveStream(ed.chunkStream);
        FixPPMCheckSum(ed.chunkStream);
        ed.SubHex.LoadStream(ed.chunkStream);
    }
    // SubHex is the readers' scratch: the candidate is kept apart from it.
    const Bytes chunk = ed.SubHex.Data();
    const std::string fault = ChunkFault(ed, piece, chunk, reader);
    if (!fault.empty())
        throw UserError(Format(kNotAChunkFile, {ShownFileName(*path), PieceTag(piece), fault}));
    ed.ppm[piece] = BytesToHex(chunk);
    ed.PpmChanged = true;
    return true;
}

}  // namespace brivant
