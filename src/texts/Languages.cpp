#include "texts/Languages.h"

#include <algorithm>
#include <optional>

#include "core/FileIO.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "image/Session.h"
#include "ppm/PpmCopy.h"
#include "texts/TLangEdit.h"
#include "texts/TextEscapes.h"
#include "texts/TextState.h"

namespace brivant {

namespace {
constexpr const char* kCommTag = "COMM";

bool ValidRow(const TextState& t, int row) {
    return row >= 0 && row < static_cast<int>(t.languages.size());
}

void SetCount(TextState& t) {
    t.languageCount = kLanguagesCount + std::to_string(t.languages.size());
}

void LoadTextPiece(Session& ed) {
    ed.SubHex.SetHexText(ed.ppm[Piece::TEXT]);
}

// A tag as a message shows it: control bytes spelled out.
std::string Shown(const std::string& tag) {
    return EscapeBytes(reinterpret_cast<const std::uint8_t*>(tag.data()), tag.size());
}

LanguageRow RowOf(const LanguageAt& c) {
    LanguageRow row;
    row.language.assign(c.head.begin() + 8, c.head.end());
    row.id = BytesToHex(c.head.data(), 4);
    row.length = BytesToHex(c.head.data() + 4, 4);
    row.offset = c.offset;
    return row;
}

// The offset of the chunk whose first 8 bytes are the key, searched from offset 1 of the
// TEXT piece in SubHex. A key that is no longer there (a deleted language still offered by
// a selector) fails as the buffer does for a selection at -1.
std::int32_t FindByKey(Session& ed, const std::string& id, const std::string& length) {
    ed.SubHex.SetSelectionStart(1);
    FindOffSet2(ed, id + length);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    return ed.FoundOffset;
}

// Where the chunk of a row lies in the TEXT piece in SubHex. The row keeps the offset it
// was listed from, so of two identical chunks each row acts on its own; its key (ID and
// Length) must still be there, or the list no longer matches the piece.
std::int32_t OffsetOfRow(Session& ed, const LanguageRow& row) {
    if (row.offset < 0) return FindByKey(ed, row.id, row.length);
    const Bytes key = HexToBytes(row.id + row.length);
    const Bytes& s = ed.SubHex.Data();
    if (std::int64_t{row.offset} + 8 > static_cast<std::int64_t>(s.size()) ||
        !std::equal(key.begin(), key.end(), s.begin() + row.offset))
        throw UserError(Format(kLanguageMoved, {Shown(row.language)}));
    return row.offset;
}

// The chunk of a row, Length bytes, from the TEXT piece in SubHex.
Bytes ChunkOfRow(Session& ed, const LanguageRow& row, std::int32_t* where = nullptr) {
    const std::int32_t at = OffsetOfRow(ed, row);
    const std::int64_t length = static_cast<std::uint32_t>(HexTextToInt(row.length));
    if (length < 16 || at + length > ed.SubHex.Size())
        throw UserError(Format(kLanguageTooLong, {Shown(row.language)}));
    if (where) *where = at;
    return ed.SubHex.CopyBytes(at, static_cast<std::int32_t>(length));
}

// The padded chunk must be what lies at `at`: Edit and Delete take it together with its
// padding, and without it the chunk cannot be told apart from what follows.
bool PaddedAt(const Bytes& piece, std::int32_t at, const Bytes& padded) {
    return std::int64_t{at} + static_cast<std::int64_t>(padded.size()) <=
               static_cast<std::int64_t>(piece.size()) &&
           std::equal(padded.begin(), padded.end(), piece.begin() + at);
}

// A change to the TEXT piece is made on a copy and kept only when the list walk reads the
// copy back as expected: the chunks before `at` where they were, `inserted` (when given)
// whole at `at` with exactly its bytes, the chunks behind moved by the size change, and the
// walk whole unless it was not whole before. Returns what is wrong, or nothing.
std::optional<std::string> CheckChange(const Bytes& before, const Bytes& after, std::int32_t at,
                                       std::int32_t removed, const Bytes* inserted) {
    const LanguageWalk old = WalkLanguages(before);
    const LanguageWalk now = WalkLanguages(after);
    const auto added = static_cast<std::int32_t>(inserted ? PadToFour(*inserted).size() : 0);
    std::vector<LanguageAt> expected;
    for (const LanguageAt& c : old.chunks) {
        if (c.offset < at) {
            expected.push_back(c);
        } else if (c.offset >= at + removed) {
            LanguageAt moved = c;
            moved.offset += added - removed;
            expected.push_back(moved);
        }
    }
    if (inserted) {
        LanguageAt c;
        c.offset = at;
        c.head.assign(inserted->begin(), inserted->begin() + 12);
        c.length = GetBE32(&c.head[4]);
        const auto pos = std::find_if(expected.begin(), expected.end(),
                                      [at](const LanguageAt& e) { return e.offset > at; });
        expected.insert(pos, c);
    }
    if (old.Whole() && !now.Whole()) return now.problem;
    if (now.chunks != expected)
        return std::string(now.comm ? "the list of languages would not read back as it should"
                                    : now.problem);
    if (inserted && !std::equal(inserted->begin(), inserted->end(), after.begin() + at))
        return std::string("its bytes would not read back as they are");
    return std::nullopt;
}

// Stores a checked TEXT piece: sealed, PpmChanged set.
void StorePiece(Session& ed, const Bytes& piece) {
    ed.SubHex.SetHexText(BytesToHex(piece));
    SealChunk(ed, Piece::TEXT);
}

Bytes Spliced(const Bytes& piece, std::int32_t at, std::int32_t removed, const Bytes& with) {
    Bytes out(piece.begin(), piece.begin() + at);
    out.insert(out.end(), with.begin(), with.end());
    out.insert(out.end(), piece.begin() + at + removed, piece.end());
    return out;
}
}  // namespace

void ReadLanguages(Session& ed, TextState& t) {
    if (!t.languages.empty()) return;
    t.languageKeys.clear();
    t.menuLanguages.assign(1, kSelectHere);

    LoadTextPiece(ed);
    // The rows are what the walk finds, also when it is not whole: the list shows the
    // image as it is.
    const LanguageWalk walk = WalkLanguages(ed.SubHex.Data());
    if (!walk.comm) throw UserError(Format(kNoLanguageList, {walk.problem}));
    for (const LanguageAt& c : walk.chunks) {
        const LanguageRow row = RowOf(c);
        t.languages.push_back(row);
        t.languageKeys.push_back(row.id + row.length);
        if (row.language != kCommTag) t.menuLanguages.push_back(row.language);
    }
    SetCount(t);
}

LanguageTexts ReadLanguageTexts(Session& ed, const std::string& id, const std::string& length) {
    LoadTextPiece(ed);
    LanguageRow row{"", id, length};
    const std::int32_t at = FindByKey(ed, id, length);
    const Bytes tag = ed.SubHex.CopyBytes(at + 8, 4);
    row.language.assign(tag.begin(), tag.end());
    row.offset = at;
    return DecodeLanguageChunk(ChunkOfRow(ed, row));
}

LanguageTexts ReadRowTexts(Session& ed, const TextState& t, int row) {
    if (!ValidRow(t, row)) throw UserError(HexBuffer::kInvalidSelStart);
    LoadTextPiece(ed);
    return DecodeLanguageChunk(ChunkOfRow(ed, t.languages[static_cast<std::size_t>(row)]));
}

void ReadMenuTexts(Session& ed, TextState& t, int index) {
    if (index < 0 || index >= static_cast<int>(t.languageKeys.size()))
        throw UserError(HexBuffer::kInvalidSelStart);
    const std::string& key = t.languageKeys[static_cast<std::size_t>(index)];
    LanguageTexts texts = ReadLanguageTexts(ed, key.substr(0, 8), key.substr(8, 8));
    if (t.CommTextCount == 0) {
        t.CommTextCount = static_cast<std::int32_t>(texts.lengths.size());
        return;
    }
    t.languageTexts = std::move(texts.texts);
}

void EditLanguage(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const LanguageRow r = t.languages[static_cast<std::size_t>(row)];
    LoadTextPiece(ed);
    std::int32_t at = -1;
    const LanguageTexts old = DecodeLanguageChunk(ChunkOfRow(ed, r, &at));

    TLangEdit dialog(t.langEdit);
    dialog.Load(old.texts, old.twoByte);
    dialog.KeepNotTexts(old.notTexts, old.notTextBytes);
    const bool ok = ui.askDialog(dialog);
    t.langEdit = dialog.Memory();
    if (!ok || dialog.Result().empty()) return;

    Bytes chunk(old.chunk.begin(), old.chunk.begin() + 16);
    chunk.insert(chunk.end(), dialog.Result().begin(), dialog.Result().end());
    PutBE32(&chunk[4], static_cast<std::uint32_t>(chunk.size()));

    // The old chunk is replaced together with its padding; when the padding is not there
    // the chunk cannot be told apart from what follows it, so nothing is written.
    LoadTextPiece(ed);
    const Bytes before = ed.SubHex.Data();
    const Bytes oldPadded = PadToFour(old.chunk);
    if (!PaddedAt(before, at, oldPadded)) {
        ui.error(Format(kLanguageUnpadded, {Shown(r.language)}));
        return;
    }
    const auto removed = static_cast<std::int32_t>(oldPadded.size());
    const Bytes after = Spliced(before, at, removed, PadToFour(chunk));
    std::string why = LanguageChunkProblem(chunk);
    if (why.empty()) why = CheckChange(before, after, at, removed, &chunk).value_or("");
    if (!why.empty()) {
        ui.error(Format(kLanguageEditRefused, {Shown(r.language), why}));
        return;
    }
    StorePiece(ed, after);
    t.languages.clear();
    ReadLanguages(ed, t);
}

void AddLanguage(Session& ed, TextState& t, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kAddLanguageTitle, kAddLanguageFilter));
    LoadTextPiece(ed);
    if (path) {
        HexBuffer file(false);
        file.LoadFile(*path);
        const Bytes& data = file.Data();
        // The file is the chunk's Length bytes and its FF padding, as Retrieve writes it; a
        // file without the padding gets it, since every chunk in the TEXT chunk has it.
        std::string why;
        Bytes chunk;
        if (data.size() < 16) {
            why = LanguageChunkProblem(data);
        } else {
            const std::uint32_t length = GetBE32(&data[4]);
            const std::size_t padded = (std::size_t{length} + 3) / 4 * 4;
            if (length > data.size() || (data.size() != length && data.size() != padded)) {
                why = Format("its length field says %s bytes, the file has %s",
                             {std::to_string(length), std::to_string(data.size())});
            } else {
                chunk.assign(data.begin(), data.begin() + length);
                if (PadToFour(chunk) != PadToFour(data))
                    why = "the bytes behind its Length are not FF padding";
                else
                    why = LanguageChunkProblem(chunk);
            }
        }
        const Bytes before = ed.SubHex.Data();
        const Bytes trailer = HexToBytes(kTrailerHex);
        const std::int64_t hit =
            before.size() > 1 ? ed.SubHex.Search(trailer.data(), 16, 1, ed.SubHex.Size() - 1, false)
                              : -1;
        if (hit < 0) throw UserError(HexBuffer::kInvalidSelStart);
        const auto at = static_cast<std::int32_t>(hit);
        Bytes after;
        if (why.empty()) {
            after = Spliced(before, at, 0, PadToFour(chunk));
            why = CheckChange(before, after, at, 0, &chunk).value_or("");
        }
        if (!why.empty()) {
            ui.error(Format(kNotALanguageFile, {*path, why}));
            return;
        }
        ed.SubHex.SetHexText(BytesToHex(after));
        LanguageAt c;
        c.offset = at;
        c.head.assign(chunk.begin(), chunk.begin() + 12);
        t.languages.push_back(RowOf(c));
    }
    SetCount(t);
    SealChunk(ed, Piece::TEXT);
}

void RetrieveLanguage(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const LanguageRow& r = t.languages[static_cast<std::size_t>(row)];
    LoadTextPiece(ed);
    const Bytes data = PadToFour(ChunkOfRow(ed, r));
    const auto path = AskExportFile(ed, ui,
                                    SaveDialog(kRetrieveLanguageTitle, kRetrieveLanguageFilter,
                                               "lng", Latin1ToUtf8(r.language)));
    if (!path) return;
    WriteFileAtomic(*path, data);
}

void DeleteLanguage(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const LanguageRow r = t.languages[static_cast<std::size_t>(row)];
    LoadTextPiece(ed);
    std::int32_t at = -1;
    const Bytes padded = PadToFour(ChunkOfRow(ed, r, &at));
    const Bytes before = ed.SubHex.Data();
    if (!PaddedAt(before, at, padded)) {
        ui.error(Format(kLanguageUnpadded, {Shown(r.language)}));
        return;
    }
    // Without COMM, or with a chunk whose removal the walk would misread, the list could
    // not be read again; such a delete is refused.
    const auto removed = static_cast<std::int32_t>(padded.size());
    const Bytes after = Spliced(before, at, removed, {});
    if (const auto why = CheckChange(before, after, at, removed, nullptr)) {
        ui.error(Format(kLanguageDeleteRefused, {Shown(r.language), *why}));
        return;
    }
    StorePiece(ed, after);
    t.languages.erase(t.languages.begin() + row);
    for (LanguageRow& later : t.languages)
        if (later.offset > at) later.offset -= removed;
    SetCount(t);
}

void RetrieveAllLanguages(Session& ed, Interaction& ui) {
    RetrieveAllChunk(ed, ui, Piece::TEXT, kRetrieveAllLanguagesTitle);
}

void LoadAllLanguages(Session& ed, TextState& t, Interaction& ui) {
    if (!RequireTypeAndImage(ed, ui)) return;
    if (!LoadAllChunk(ed, ui, Piece::TEXT, kLoadAllLanguagesTitle, true)) return;
    t.languages.clear();
    ReadLanguages(ed, t);
    SetCount(t);
}

void OpenedTexts(TextState& t) {
    t.CommTextCount = 0;
    t.languages.clear();
    t.countries.clear();
    t.menuLanguages.clear();
    t.languageCount = kLanguagesCount + std::string("0");
}

}  // namespace brivant
