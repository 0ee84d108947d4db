#pragma once

// Is this image safe to flash? Every reader the editor has is run over the image, and what
// each one finds, or fails on, is reported subsystem by subsystem, together with what no
// single reader sees: checksums, free space that is not free, pointers that lead out of the
// image, menus that open themselves, and two structures laid over the same bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/HexText.h"

namespace brivant {

class Editor;

struct CheckSubsystem {
    std::string name;     // for JSON and for people: "freeSpace", "menu", ...
    std::string summary;  // what was found: "98 ringtones", "12 levels, 57 items"
    std::vector<std::string> problems;

    bool Ok() const { return problems.empty(); }
};

struct CheckReport {
    std::vector<CheckSubsystem> subsystems;

    bool Ok() const;
    // Every problem, each prefixed with its subsystem's name ("menu: ...").
    std::vector<std::string> Problems() const;
    const CheckSubsystem* Find(const std::string& name) const;
};

struct CheckOptions {
    // The phone type when detection finds none (0: none given).
    int phoneType = 0;
    // The stored MCU checksum and file check value against the computed ones. An image being
    // edited carries stale ones until it is saved with a repair, so the window's check after a
    // save, which asks about them next anyway, leaves them out.
    bool checksums = true;
};

inline constexpr const char* kCheckSurvive = "This image has problems a phone may not survive: %s";

// The file as the open flow reads it. A file that cannot be read throws UserError; one that
// is not an image is reported as a problem.
CheckReport CheckFile(const std::string& path, const CheckOptions& o = {});
// Bytes in memory, opened as the file would be (`name` only names it). Taken by value: a
// caller done with its bytes moves them in, and the image is not copied.
CheckReport CheckBytes(Bytes image, const std::string& name, const CheckOptions& o = {});
// An image being edited, as its next save would write it (the chunk edits written back);
// its phone type is kept. The editor itself is left as it is.
CheckReport CheckEditor(const Editor& ed, CheckOptions o = {});

// After a save, before the checksum question: the message that tells what the check found
// in the written file (its checksums left out, the question is about them), or nothing when
// it found no problem. Never throws: a file that cannot be read again is not this check's
// to report.
std::optional<std::string> SavedImageWarning(const std::string& path, int phoneType);

}  // namespace brivant
