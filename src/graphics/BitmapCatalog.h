#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/HexText.h"

namespace brivant {

struct Session;
struct GraphicsState;
class Interaction;

inline constexpr const char* kSignature16 = "000000010002000300040005";
inline constexpr const char* kSignature8 = "000102030405";
inline constexpr std::int32_t kRecordSize = 12;
inline constexpr const char* kNoBitmapTable = "No bitmap table was found in this flash file";

// A bitmap loaded from a file or drawn in the Image Editor for one ID; shown instead of the
// image's own bytes from then on.
struct EditedBitmap {
    int width = 0;
    int height = 0;
    Bytes pixels;  // plain form
};

// One row of the "Bmp ID:" list.
struct BitmapEntry {
    Bytes record;                    // the 12 record bytes as they now stand in the image
    std::int32_t recordOffset = -1;  // where the record lies in the image
    Bytes kept{};                    // pixel bytes last read from the image or written to it
    std::optional<EditedBitmap> edited{};

    std::uint32_t Address() const { return GetBE32(record.data()); }
    int Width() const { return record[8]; }
    int Height() const { return record[9]; }
};

// "000", "001", ... "00A": how the list shows an ID.
std::string BitmapIdText(int id);

// Whether the bitmap of this ID is stored in run-length form: main-table bitmaps of
// "3410", "2100" and of "62XX/7110" models other than "7110".
bool IsRunLengthForm(const Session& s, int mainCount, int id);
// The distances between the extra records for the chosen type and model; one entry fewer
// than there are extra records.
std::vector<std::int32_t> ExtraRecordSteps(const Session& s);

// Builds the catalog (main table by the backward walk, then the extra records) and shows
// ID 0. An image without the index table, or whose walk leaves the image, gets an empty
// catalog and kNoBitmapTable; it is not built again until the next open.
void GetGraphic(Session& ed, GraphicsState& g, Interaction& ui);

// Shows a bitmap: it becomes the current entry, its size goes to "Width:" and "Height:",
// and its pixel bytes (the edited bitmap's, or read from the image) to the preview. The
// "Bmp ID:" selection is left as it is (animation frames show bitmaps this way).
// Range errors of the buffer propagate.
void ShowBitmap(Session& ed, GraphicsState& g, int id);
// A choice in the "Bmp ID:" list (and the list taking the focus): selects and shows.
void SelectBitmap(Session& ed, GraphicsState& g, int id);

// Reads the pixel bytes of an entry from the image in its form (plain bytes cut at the
// end of the image; run-length groups decoded whole, so a few bytes more may come).
Bytes ReadBitmapPixels(Session& ed, const GraphicsState& g, int id);

// The hooks: a new image forgets the catalog; the tab's first visit per image builds it.
void OpenedGraphics(GraphicsState& g);
void GraphicsTabShown(Session& ed, GraphicsState& g, Interaction& ui);

}  // namespace brivant
