#include "graphics/TImagEdit.h"

#include <algorithm>

namespace brivant {

void TImagEdit::Prepare(int width, int height, const Bytes& pixels) {
    // Every opening starts unaccepted: a flag left over from an earlier opening would write
    // a picture the user closed the window on.
    accepted = false;
    bytes_ = pixels;
    Resize(width, height);
    Redraw();
}

void TImagEdit::Resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    picture_ = BitmapCanvas(width_, height_);
    zoom_ = BitmapCanvas(kZoom * width_, kZoom * height_);
}

// The zoom view from scratch: white, the grid, then a black square per set bit. The
// picture follows the bytes.
void TImagEdit::Redraw() {
    zoom_.Fill(false);
    DrawGrid();
    Render();
}

void TImagEdit::Render() {
    if (bytes_.empty()) {
        zoom_.Fill(false);
        return;
    }
    picture_.Fill(false);
    const BitmapCanvas drawn = RenderPixels(bytes_, width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (!drawn.Dark(x, y)) continue;
            picture_.Set(x, y, true);
            for (int dy = 0; dy < kZoom; ++dy)
                for (int dx = 0; dx < kZoom; ++dx) zoom_.Set(kZoom * x + dx, kZoom * y + dy, true);
        }
}

void TImagEdit::DrawGrid() {
    for (int x = kZoom - 1; x < zoom_.width; x += kZoom)
        for (int y = 0; y < zoom_.height; ++y) zoom_.Set(x, y, true);
    for (int y = kZoom - 1; y < zoom_.height; y += kZoom)
        for (int x = 0; x < zoom_.width; ++x) zoom_.Set(x, y, true);
}

void TImagEdit::TakeBytes() {
    bytes_ = PixelsOf(picture_);
}

bool TImagEdit::SetPixel(int x, int y, bool black) {
    if (x < 0 || y < 0) return false;
    const int px = x / kZoom;
    const int py = y / kZoom;
    if (px >= width_ || py >= height_) return false;
    picture_.Set(px, py, black);
    TakeBytes();
    Redraw();
    accepted = true;
    return true;
}

void TImagEdit::Press(int x, int y, bool leftButton) {
    SetPixel(x, y, leftButton);
}

void TImagEdit::Move(int x, int y, const PointerState& held) {
    if (held.shift || held.ctrl || held.alt || held.other) return;
    if (held.left && !held.right) SetPixel(x, y, true);
    if (held.right && !held.left) SetPixel(x, y, false);
}

// The size controls crop or extend the picture at its right and bottom edges: every pixel
// inside both sizes stays where the user drew it, and the new ones are white.
void TImagEdit::SetWidth(int width) {
    const BitmapCanvas old = picture_;
    Resize(std::clamp(width, 0, kMaxSize), height_);
    for (int y = 0; y < std::min(old.height, height_); ++y)
        for (int x = 0; x < std::min(old.width, width_); ++x) picture_.Set(x, y, old.Dark(x, y));
    TakeBytes();
    Redraw();
}

void TImagEdit::SetHeight(int height) {
    const BitmapCanvas old = picture_;
    Resize(width_, std::clamp(height, 0, kMaxSize));
    for (int y = 0; y < std::min(old.height, height_); ++y)
        for (int x = 0; x < std::min(old.width, width_); ++x) picture_.Set(x, y, old.Dark(x, y));
    TakeBytes();
    Redraw();
}

void TImagEdit::Clear() {
    picture_.Fill(false);
    TakeBytes();
    Redraw();
    accepted = true;
}

void TImagEdit::Invert() {
    for (auto& d : picture_.dark) d = d ? 0 : 1;
    TakeBytes();
    Redraw();
    accepted = true;
}

}  // namespace brivant
