#pragma once

// The picture formats the exports write, and how one is chosen for a run: by --format, else
// by the output name's extension, else the export's first format. Every picture export
// chooses here, so a build with other picture writers changes this one list.

#include <string>
#include <vector>

#include "cli/CliModule.h"

namespace brivant {

// A format an export offers: its --format name (also the extension that chooses it) and
// what it writes, for the help texts and messages.
struct PictureFormatName {
    const char* name;
    const char* writes;
};
using PictureFormats = std::vector<PictureFormatName>;

// What each picture export writes; the first is the default.
const PictureFormats& BitmapExportFormats();     // bmp export, bmp export-all
const PictureFormats& SheetExportFormats();      // bmp sheet
const PictureFormats& AnimationExportFormats();  // ani export

// Declares --format with the export's choices.
CLI::Option* AddFormatOption(CLI::App* cmd, std::string& format, const PictureFormats& offered);

// The format `file` is written in: `asked` when given, else the one its extension names, else
// (no extension, or "-") the first offered. An extension the export cannot write is wrong
// usage, with a message naming what it can write.
std::string ChosenFormat(CliContext& ctx, const std::string& command, const std::string& file,
                         const std::string& asked, const PictureFormats& offered);

}  // namespace brivant
