#pragma once

#include "graphics/BitmapFiles.h"

namespace brivant {

// Bitmap files through QImage: any depth Qt reads comes in; pictures go out one bit deep.
class QtBitmapFiles : public BitmapFiles {
  public:
    BitmapCanvas Read(const std::string& path) override;
    void Write(const std::string& path, const BitmapCanvas& canvas) override;
};

// The one adapter the window and the command line share.
BitmapFiles& PlatformBitmapFiles();

}  // namespace brivant
