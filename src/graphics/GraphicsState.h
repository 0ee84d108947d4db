#pragma once

#include <string>
#include <vector>

#include "core/HexText.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapFormat.h"
#include "graphics/BitmapPicture.h"
#include "graphics/TImagEdit.h"

namespace brivant {

// What the bitmap half of the Graphics tab shows and remembers.
struct GraphicsState {
    std::vector<BitmapEntry> bitmaps;  // the catalog, IDs in order
    int mainCount = 0;                 // entries from the main table; extra ones follow
    bool built = false;                // the catalog was read (or tried) for this image

    int selected = -1;    // the "Bmp ID:" list's selection: always the entry on show
    int current = -1;     // the entry last shown; the commands act on it
    int shownWidth = 0;   // "Width:"
    int shownHeight = 0;  // "Height:"
    Bytes pixels;         // the pixel bytes on show; empty: no preview

    TImagEdit imageEditor;              // created once: keeps its accepted flag between openings
    PictureImport import;               // how loaded pictures become black and white (remembered)
    std::vector<BitmapResize> resized;  // what the last load said about changed sizes

    // The preview canvas (W x H); empty when nothing is shown.
    BitmapCanvas Preview() const;
    BitmapEntry* Current();
};

}  // namespace brivant
