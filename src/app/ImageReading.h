#pragma once

// One image read by a tool over the whole editor (the check, the comparison): an editor of its
// own, readers that may fail without stopping the tool, and how offsets and names are shown.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/Editor.h"
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

// Why the PPM copy of a side is missing; empty when it was cut.
std::string SplitError(const Side& s);
// The first hit of a hex pattern at or after `from`, -1 when there is none.
std::int64_t Find(const Side& s, const char* hex, std::int64_t from);
// Quoted, as the lists show names (stored bytes, one character each).
std::string Quoted(const std::string& latin1);
// "0x001234AB": an image offset.
std::string OffsetText(std::int64_t offset);
// Opens a file into the side's editor through the open flow (`phoneType` where detection
// finds none). A file that cannot be loaded throws UserError; a failure after it was loaded
// is kept in openError.
void OpenSide(Side& s, const std::string& path, int phoneType);

}  // namespace brivant::diff
