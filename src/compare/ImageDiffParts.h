#pragma once

// What the comparison's parts share: one image being read, the byte ranges a section
// accounts for, and small helpers for naming things as the lists do.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "compare/ImageDiff.h"
#include "compare/Recipe.h"
#include "core/HexText.h"
#include "core/Interaction.h"

namespace brivant::diff {

// The readers may tell instead of throwing; nobody is there to answer a question, so every
// question is cancelled and every error remembered.
class RecordingUi : public Interaction {
  public:
    std::string lastError;

    std::optional<std::string> askOpenFile(const FileDialog&) override { return std::nullopt; }
    std::optional<std::string> askSaveFile(const FileDialog&) override { return std::nullopt; }
    void tell(const std::string& text, MessageKind kind) override {
        if (kind == MessageKind::Error) lastError = text;
    }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    bool confirmChecksum(const std::string&) override { return false; }
    SaveChoice askSaveChanges(const std::string&) override { return SaveChoice::Cancel; }
    bool askDialog(DialogModel&) override { return false; }
};

// One of the two images.
struct Side {
    Editor& ed;
    RecordingUi ui;
    std::string openError;  // what the open flow failed with after the file was loaded
    std::optional<std::string> catalogError;  // the bitmap catalog's reading, once read

    explicit Side(Editor& e) : ed(e) {}
    const Bytes& Image() const { return ed.MainHex.Data(); }
    // n bytes at `at`, or nothing when they do not all lie in the image.
    std::optional<Bytes> Read(std::int64_t at, std::int64_t n) const;
};

// Runs a reader of one side; the text of what it threw or told as an error, empty when it
// read cleanly. Only this side's state is touched.
std::string Attempt(Side& s, const std::function<void()>& read);

// Half-open byte ranges [first, second) of the images that the reported differences cover.
using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;

// What every section's comparison gets: both images, where to put what it finds, and where
// to note the bytes that its findings explain.
struct Pair {
    Side& a;
    Side& b;
    DiffSection& section;
    Ranges& explained;

    void Add(std::string change, std::string item, std::string va = {}, std::string vb = {}) {
        section.entries.push_back(
            {std::move(change), std::move(item), std::move(va), std::move(vb)});
    }
    void Explain(std::int64_t at, std::int64_t n) {
        if (at >= 0 && n > 0) explained.emplace_back(at, at + n);
    }
    // Marks the subsystem unreadable where a side failed; true when both sides can be
    // compared.
    bool Readable(const std::string& errorA, const std::string& errorB) {
        section.unreadableA = errorA;
        section.unreadableB = errorB;
        return errorA.empty() && errorB.empty();
    }
    // Runs a reader on each side (Attempt) and marks what failed (Readable); true when both
    // read cleanly.
    bool ReadBoth(const std::function<void(Side&)>& read) {
        const std::string errorA = Attempt(a, [&] { read(a); });
        const std::string errorB = Attempt(b, [&] { read(b); });
        return Readable(errorA, errorB);
    }
};

// Opens a file into the side's editor through the open flow (`phoneType` where detection
// finds none). A file that cannot be loaded throws UserError; a failure after it was loaded
// is kept in openError.
void OpenSide(Side& s, const std::string& path, int phoneType);

// Why the PPM copy of a side is missing; empty when it was cut.
std::string SplitError(const Side& s);
// The first hit of a hex pattern at or after `from`, -1 when there is none.
std::int64_t Find(const Side& s, const char* hex, std::int64_t from);

// Quoted, as the lists show names (stored bytes, one character each).
std::string Quoted(const std::string& latin1);
// "0x001234AB": an image offset.
std::string OffsetText(std::int64_t offset);
// Where both sides differ, the two texts; an entry is added when they do.
void Changed(Pair& p, const std::string& item, const std::string& va, const std::string& vb);

// Pairs the items of two lists by key, in order (the n-th item of a key in A with the n-th
// of that key in B). Returns for every A item the index of its B partner, or -1.
std::vector<int> MatchByKey(const std::vector<std::string>& a, const std::vector<std::string>& b);

// The sections, each comparing one subsystem.
void CompareTones(Pair& p);
void CompareLanguages(Pair& p);
void CompareOperators(Pair& p);
void CompareMenus(Pair& p);
void CompareBitmaps(Pair& p);
void CompareAnimations(Pair& p);
void ComparePatches(Pair& p);

// The steps of a recipe that a subsystem can give: the code patches B has and A lacks, and
// the menu items edited, moved, deleted or added (with the security patch).
void MakePatches(Side& a, Side& b, Recipe& r);
// True when the menu steps say every difference of the menus.
bool MakeMenus(Side& a, Side& b, Recipe& r);

}  // namespace brivant::diff
