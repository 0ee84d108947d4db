#include "texts/Languages.h"

#include "image/Session.h"
#include "texts/TextState.h"
#include "core/FileIO.h"
#include "core/Interaction.h"
#include "image/PhoneTypes.h"
#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "texts/TLangEdit.h"

namespace brivant {

namespace {
constexpr const char* kCommHex = "434F4D4D";

bool ValidRow(const TextState& t, int row) {
    return row >= 0 && row < static_cast<int>(t.languages.size());
}

void SetCount(TextState& t) {
    t.languageCount = kLanguagesCount + std::to_string(t.languages.size());
}

void LoadTextPiece(Session& ed) {
    ed.SubHex.SetHexText(ed.ppm[Piece::TEXT]);
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

// The chunk of a row, Length bytes, from the TEXT piece in SubHex.
Bytes ChunkOfRow(Session& ed, const LanguageRow& row) {
    const std::int32_t at = FindByKey(ed, row.id, row.length);
    const std::int64_t length = static_cast<std::uint32_t>(HexTextToInt(row.length));
    if (length < 16 || at + length > ed.SubHex.Size())
        throw UserError(Format(kLanguageTooLong, {row.language}));
    return ed.SubHex.CopyBytes(at, static_cast<std::int32_t>(length));
}

std::int32_t Find(const HexBuffer& b, const Bytes& what, std::int32_t from) {
    return b.Search(what.data(), static_cast<std::int32_t>(what.size()), from, b.Size() - 1, false);
}

void Replace(HexBuffer& b, std::int32_t at, std::int32_t n, const Bytes& with) {
    b.SetSelectionStart(at);
    b.SetSelectionEnd(at + n - 1);
    b.ReplaceSelected(with);
}
}  // namespace

void ReadLanguages(Session& ed, TextState& t) {
    
    if (!t.languages.empty()) return;
    t.languageKeys.clear();
    t.menuLanguages.assign(1, kSelectHere);

    LoadTextPiece(ed);
    HexBuffer& s = ed.SubHex;
    s.SetSelectionStart(1);
    FindOffSet2(ed, kCommHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    std::int32_t a = ed.FoundOffset - 8;
    if (a < 0) throw UserError(HexBuffer::kInvalidSelStart);

    while (a < s.Size() - 16) {
        const Bytes head = s.CopyBytes(a, 12);
        const std::uint32_t length = GetBE32(&head[4]);
        LanguageRow row;
        row.language.assign(head.begin() + 8, head.end());
        row.id = BytesToHex(head.data(), 4);
        row.length = BytesToHex(head.data() + 4, 4);
        t.languages.push_back(row);
        t.languageKeys.push_back(row.id + row.length);
        if (row.language != "COMM") {
            t.menuLanguages.push_back(row.language);
        }
        // The next chunk starts at the first 00 00 behind this one (its ID's high half);
        // a Length that points nowhere ends the walk instead of looping on it.
        const std::int64_t next = std::int64_t{a} + length;
        if (length < 12 || next >= s.Size()) break;
        s.SetSelectionStart(static_cast<std::int32_t>(next));
        FindOffSet2(ed, "0000");
        if (ed.FoundOffset < 0) break;
        a = ed.FoundOffset;
    }
    SetCount(t);
}

LanguageTexts ReadLanguageTexts(Session& ed, const std::string& id, const std::string& length) {
    LoadTextPiece(ed);
    LanguageRow row{"", id, length};
    const std::int32_t at = FindByKey(ed, id, length);
    const Bytes tag = ed.SubHex.CopyBytes(at + 8, 4);
    row.language.assign(tag.begin(), tag.end());
    return DecodeLanguageChunk(ChunkOfRow(ed, row));
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
    const LanguageTexts old = DecodeLanguageChunk(ChunkOfRow(ed, r));

    TLangEdit dialog(t.langEdit);
    dialog.Load(old.texts, old.twoByte);
    const bool ok = ui.askDialog(dialog);
    t.langEdit = dialog.Memory();
    if (!ok || dialog.Result().empty()) return;

    Bytes chunk(old.chunk.begin(), old.chunk.begin() + 16);
    chunk.insert(chunk.end(), dialog.Result().begin(), dialog.Result().end());
    PutBE32(&chunk[4], static_cast<std::uint32_t>(chunk.size()));
    chunk = PadToFour(std::move(chunk));

    // The old chunk is replaced together with its padding; when the padding is not there
    // the chunk cannot be told apart from what follows it, so nothing is written.
    LoadTextPiece(ed);
    const Bytes oldPadded = PadToFour(old.chunk);
    const std::int32_t at = Find(ed.SubHex, oldPadded, 1);
    if (at < 0) {
        ui.error(Format(kLanguageUnpadded, {r.language}));
        return;
    }
    Replace(ed.SubHex, at, static_cast<std::int32_t>(oldPadded.size()), chunk);
    SealChunk(ed, Piece::TEXT);
    t.languages.clear();
    ReadLanguages(ed, t);
}

void AddLanguage(Session& ed, TextState& t, Interaction& ui) {
    const auto path = ui.askOpenFile(OpenDialog(kAddLanguageTitle, kAddLanguageFilter));
    LoadTextPiece(ed);
    if (path) {
        HexBuffer file(false);
        file.LoadFile(*path);
        Bytes data = file.Data();
        if (data.size() < 16) {
            ui.error(Format(kNotALanguageFile, {*path}));
            return;
        }
        LanguageRow row;
        row.id = BytesToHex(data.data(), 4);
        row.length = BytesToHex(data.data() + 4, 4);
        row.language.assign(data.begin() + 8, data.begin() + 12);
        const Bytes trailer = HexToBytes(kTrailerHex);
        data.insert(data.end(), trailer.begin(), trailer.end());

        HexBuffer& s = ed.SubHex;
        s.SetSelectionStart(1);
        FindOffSet2(ed, kTrailerHex);
        if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
        Replace(s, ed.FoundOffset, 16, data);
        t.languages.push_back(row);
    }
    SetCount(t);
    SealChunk(ed, Piece::TEXT);
}

void RetrieveLanguage(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const LanguageRow& r = t.languages[static_cast<std::size_t>(row)];
    LoadTextPiece(ed);
    const Bytes data = PadToFour(ChunkOfRow(ed, r));
    const auto path = ui.askSaveFile(SaveDialog(kRetrieveLanguageTitle, kRetrieveLanguageFilter,
                                                "lng", Latin1ToUtf8(r.language)));
    if (!path) return;
    WriteFileAtomic(*path, data);
}

void DeleteLanguage(Session& ed, TextState& t, Interaction& ui, int row) {
    if (!ValidRow(t, row)) return;
    const LanguageRow r = t.languages[static_cast<std::size_t>(row)];
    LoadTextPiece(ed);
    const Bytes padded = PadToFour(ChunkOfRow(ed, r));
    const std::int32_t at = Find(ed.SubHex, padded, 0);
    if (at < 0) {
        ui.error(Format(kLanguageUnpadded, {r.language}));
        return;
    }
    Replace(ed.SubHex, at, static_cast<std::int32_t>(padded.size()), {});
    t.languages.erase(t.languages.begin() + row);
    SealChunk(ed, Piece::TEXT);
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
