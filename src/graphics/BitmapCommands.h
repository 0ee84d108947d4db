#pragma once

#include <optional>
#include <string>

#include "core/HexText.h"
#include "graphics/BitmapFiles.h"
#include "graphics/BitmapFormat.h"

namespace brivant {

struct Session;
struct GraphicsState;
class Interaction;

inline constexpr const char* kCommands = "&Commands";
inline constexpr const char* kEditEntry = "&Edit";
inline constexpr const char* kLoadEntry = "&Load";
inline constexpr const char* kSaveEntry = "&Save";
inline constexpr const char* kLoadAllEntry = "Load &All";
inline constexpr const char* kSaveAllEntry = "Sa&ve All";

inline constexpr const char* kBmpSaveTitle = "Save Image As...";
inline constexpr const char* kBmpSaveAllTitle = "Save Images As...";
inline constexpr const char* kBmpSaveFilter =
    "1-bit BMP Files (*.bmp)|*.bmp|1-bit PNG Files (*.png)|*.png";
inline constexpr const char* kBmpOpenTitle = "Open Image Files...";
inline constexpr const char* kBmpOpenFilter =
    "Pictures (BMP, PNG, GIF, JPEG, PBM, "
    "XBM)|*.bmp;*.png;*.gif;*.jpg;*.jpeg;*.pbm;*.pgm;*.ppm;*.xbm"
    "|All Files (*.*)|*";

inline constexpr const char* kBadBitmapSize = "A bitmap must be 1 to 255 pixels wide and high";
inline constexpr const char* kRecordMoved = "The bitmap's record is no longer where it was read";
inline constexpr const char* kBitmapFileRefused = "%s cannot be loaded as this bitmap: %s";
inline constexpr const char* kBitmapNotReadBack =
    "the bitmap would not read back from the image as it was written; nothing was changed";
inline constexpr const char* kBitmapWouldDamage =
    "writing it would change the record of another bitmap; nothing was changed";
inline constexpr const char* kBitmapResized =
    "Bitmap %s is now %s × %s (was %s × %s) and was moved to free space at %s";
inline constexpr const char* kBitmapNoPixels = "Bitmap %s has no pixels to export";

// GetBmpHex: the picture's pixel bytes become the current entry's edited bitmap and are
// shown. Returns the bytes.
Bytes GetBmpHex(GraphicsState& g, const BitmapCanvas& picture);

// SaveBmpHex: writes the current entry's new plain pixel bytes (empty: the pixel bytes on
// show) with the size of its edited bitmap, in place or at FreeOffset, and rewrites its
// record where the catalog read it. Nothing is written when the bytes and size are
// unchanged. Refusals (bad size, no room, record gone, data past the image) are told and
// write nothing. Returns true unless refused.
bool SaveBmpHex(Session& ed, GraphicsState& g, Interaction& ui, Bytes pixels);

// A picture (file or editor) into the current entry: GetBmpHex then SaveBmpHex, checked
// first, and carried out on a copy of the image that the catalog's reader must read back,
// so that a refused import changes neither the image nor the catalog. `file` names the
// picture's file in a refusal.
bool ImportPicture(Session& ed, GraphicsState& g, Interaction& ui, const BitmapCanvas& picture,
                   const std::string& file = {});

// A picture file's pixels made black and white for the current entry as `g.import` says,
// asking how first (once per load) when the picture is not black and white already.
// Empty when the question was cancelled.
std::optional<BitmapCanvas> PictureForBitmap(GraphicsState& g, Interaction& ui,
                                             const Picture& picture);

// The "&Commands" entries, acting on the current bitmap.
void EditBitmap(Session& ed, GraphicsState& g, Interaction& ui);                      // "&Edit"
void LoadBitmap(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files);  // "&Load"
// "&Save" and "&Save All" write PNG when asked or when the chosen name ends in ".png".
void SaveBitmap(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files,
                std::optional<PictureFormat> format = std::nullopt);  // "&Save"
void LoadAllBitmaps(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files);
void SaveAllBitmaps(Session& ed, GraphicsState& g, Interaction& ui, BitmapFiles& files,
                    std::optional<PictureFormat> format = std::nullopt);

// The numbered names of "&Save All" (from any name) and "&Load All" (from a numbered one).
std::string SaveAllBase(const std::string& chosen, const char* suffix = ".bmp");
std::string LoadAllBase(const std::string& chosen);
std::string NumberedName(const std::string& base, int id, const char* suffix = ".bmp");

}  // namespace brivant
