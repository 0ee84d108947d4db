#pragma once

#include "core/HexText.h"
#include "core/Interaction.h"
#include "graphics/BitmapFormat.h"

namespace brivant {

// The buttons and modifier keys held while the pointer moves over the zoom view.
struct PointerState {
    bool left = false;
    bool right = false;
    bool other = false;  // any further button
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The Image Editor's model: the picture, its bytes, and the zoom view (five screen pixels
// per picture pixel, with a grid) that the view paints as it stands. Created once; its
// accepted flag starts at false on every opening, and only "&OK" makes the edit count.
class TImagEdit : public DialogModel {
  public:
    static constexpr const char* kTitle = "Image Editor";
    static constexpr const char* kWidth = "Width:";
    static constexpr const char* kHeight = "Height:";
    static constexpr const char* kClear = "&Clear";
    static constexpr const char* kInvert = "&Invert";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";
    static constexpr int kZoom = 5;
    static constexpr int kMaxSize = 100;  // the width and height controls

    // Opening from the current bitmap: its size and pixel bytes.
    void Prepare(int width, int height, const Bytes& pixels);

    // Pointer in zoom-view coordinates. Left draws black, any other button white.
    void Press(int x, int y, bool leftButton);
    // Draws only with exactly the left (black) or exactly the right (white) button held.
    void Move(int x, int y, const PointerState& held);
    // The width and height controls, 0 to 100; the bytes flow into the new size.
    void SetWidth(int width);
    void SetHeight(int height);
    void Clear();
    void Invert();
    void Ok() { accepted = true; }
    void Cancel() { accepted = false; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    const Bytes& ByteText() const { return bytes_; }
    const BitmapCanvas& Picture() const { return picture_; }
    const BitmapCanvas& Zoom() const { return zoom_; }

    bool accepted = false;

  private:
    void Resize(int width, int height);
    void Redraw();
    void Render();
    void DrawGrid();
    void TakeBytes();
    bool SetPixel(int x, int y, bool black);

    int width_ = 0;
    int height_ = 0;
    Bytes bytes_;
    BitmapCanvas picture_;
    BitmapCanvas zoom_;
};

}  // namespace brivant
