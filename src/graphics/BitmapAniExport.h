#pragma once

#include <string>

#include "graphics/BitmapFiles.h"

namespace brivant {

struct Session;
struct GraphicsState;
struct AniState;
class Interaction;

inline constexpr const char* kAniExportEntry = "Export…";
inline constexpr const char* kAniExportTitle = "Export Animation As...";
inline constexpr const char* kAniExportFilter =
    "Animated GIF Files (*.gif)|*.gif|PNG Strip Files (*.png)|*.png";
inline constexpr const char* kAniFrameWithoutBitmap =
    "Frame %s of animation %s names no bitmap; nothing was written";
inline constexpr int kAniFrameMs = 300;  // as the window plays it

// The frames of animation `id` as the window plays them: each frame's bitmap (a loaded or
// drawn one as shown). Throws UserError when a frame names no bitmap.
std::vector<BitmapCanvas> AnimationFrames(Session& ed, const AniState& a, const GraphicsState& g,
                                          int id);

// Asks for the file (a GIF, or a PNG strip when the name ends in ".png", unless `format`
// says which) and writes the animation there. The open image is refused as the target.
void ExportAnimation(Session& ed, const AniState& a, const GraphicsState& g, Interaction& ui,
                     BitmapFiles& files, int id, int scale = 1, int delayMs = kAniFrameMs,
                     AnimationFormat format = AnimationFormat::ByName);

}  // namespace brivant
