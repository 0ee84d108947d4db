#pragma once

#include <vector>

#include "core/HexText.h"

namespace brivant {

// The bitmaps every sample image carries, as plain pixel bytes (the image stores the
// main-table ones in run-length form where the family does).
struct SampleBitmap {
    int width;
    int height;
    Bytes pixels;
};

// The main table: 14 bitmaps, among them one of height 12, one of width 0 and, at IDs 9
// and 10, two entries whose records are identical.
const std::vector<SampleBitmap>& SampleMainBitmaps();
// The extra bitmaps that follow the index table (the family uses the first 6 or all 9).
const std::vector<SampleBitmap>& SampleExtraBitmaps();

inline constexpr int kSampleSharedFirst = 9;  // IDs 9 and 10 share one record

// Whether the family's index table starts with the sixteen-bit signature.
bool SampleWideIndex(int family);

}  // namespace brivant
