#pragma once

#include "graphics/BitmapFiles.h"

namespace brivant {

// Picture files through QImage: the formats Qt reads come in whole or not at all; bitmaps
// go out one bit deep, animations as GIF (giflib) or a PNG strip.
class QtBitmapFiles : public BitmapFiles {
  public:
    Picture ReadPicture(const std::string& path) override;
    void Write(const std::string& path, const BitmapCanvas& canvas,
               PictureFormat format = PictureFormat::Bmp) override;
    void WriteAnimation(const std::string& path, const AnimationFile& animation) override;
};

// The bytes of a picture file as the adapter decodes them; `name` stands for the file in a
// refusal. Shared by ReadPicture and the fuzz target.
Picture DecodePicture(const Bytes& bytes, const std::string& name);

// The one adapter the window and the command line share.
BitmapFiles& PlatformBitmapFiles();

}  // namespace brivant
