#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/HexBuffer.h"
#include "core/Search.h"
#include "core/Stream.h"
#include "image/PpmPieces.h"

namespace brivant {

class Interaction;
struct FileDialog;

enum class Tab { Tones = 0, Graphics = 1, Menu = 2, Languages = 3, Operators = 4 };

// The phone-type drop-down: entry 0 is "no type", then the 18 families.
struct PhoneTypeList {
    std::array<std::string, 19> entries;
    int selected = 0;
    bool enabled = false;
};

// What belongs to the opened image: the buffers, the last search, the phone type, the MCU
// free space, the chunk edits not yet written back, and the fields of the top row and the
// "Free Space" group that the flows set. Each feature keeps its own state beside it.
struct Session : SearchState {
    Session();

    HexBuffer MainHex{true};
    HexBuffer SubHex{false};

    PhoneTypeList phoneList;
    std::string ModelName;
    std::string UnitModelHex;
    std::int32_t FreeOffset = -1;
    bool PpmChanged = false;

    PpmCopy ppm;
    MemStream chunkStream;  // scratch for chunk checksums

    std::string fileNameField;
    Tab activeTab = Tab::Tones;
    // "Free Space" group: the two byte counts as the fields show them (the user may edit
    // them; Adjust reads its limits back from these texts).
    std::string mcuFreeField;
    std::string ppmFreeField;

    int PhoneType() const { return phoneList.selected; }
    const std::string& PhoneTypeText() const { return phoneList.entries[phoneList.selected]; }
    bool Is62xx() const;
};

void FindOffSet1(Session& s, std::string_view pattern);  // in MainHex
void FindOffSet2(Session& s, std::string_view pattern);  // in SubHex

// The start of the MCU free space (FindMcuFreeStart), kept in FreeOffset.
std::int32_t GetFreeOffset(Session& s);

// Shared guards of the chunk commands: tell and return false when no type is chosen or no
// image is open.
bool RequireTypeAndImage(Session& s, Interaction& ui);

// Exports (a record, a chunk, a picture) go through these: a file written over the open
// image would replace the image by the exported piece, so the image itself is refused,
// under any spelling of its path or through a link.
inline constexpr const char* kExportIsImage =
    "%s is the open image; write the export to another file (the image stays as it is)";
void RefuseImageAsExport(const Session& s, const std::string& path);
std::optional<std::string> AskExportFile(const Session& s, Interaction& ui, const FileDialog& d);

inline constexpr const char* kOpenFirst = "Please open flash file first";
inline constexpr const char* kOpenFirstCap = "Please open Flash file first";

}  // namespace brivant
