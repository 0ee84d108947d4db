#include "ppm/PpmCopy.h"

#include "core/Clipboard.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "ppm/Checksums.h"

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
}  // namespace

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
    ed.ppm.totalLength = total;
    ed.ppm.split = true;
}

void UpdatePPM(Session& ed) {
    HexBuffer& m = ed.MainHex;
    m.SetSelectionStart(1);
    std::string joined;
    for (const auto& p : ed.ppm.pieces) joined += p;
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
    const auto path = ui.askSaveFile(SaveDialog(title, kChunkSaveFilter, "bin"));
    if (!path) return false;
    ed.SubHex.SetHexText(ed.ppm[piece]);
    ed.SubHex.SaveFile(*path, true);
    return true;
}

bool LoadAllChunk(Session& ed, Interaction& ui, Piece piece, const std::string& title,
                  bool recomputeChecksum) {
    if (!ed.ppm.split) {
        ui.error(kNotSplit);
        return false;
    }
    const auto path = ui.askOpenFile(OpenDialog(title, kChunkOpenFilter));
    if (!path) return false;
    ed.SubHex.LoadFile(*path);
    if (recomputeChecksum) {
        ed.SubHex.SaveStream(ed.chunkStream);
        FixPPMCheckSum(ed.chunkStream);
        ed.SubHex.LoadStream(ed.chunkStream);
    }
    ed.ppm[piece] = ed.SubHex.HexText();
    ed.PpmChanged = true;
    return true;
}

}  // namespace brivant
