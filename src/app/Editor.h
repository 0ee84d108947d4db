#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Features.h"
#include "app/History.h"
#include "graphics/AniState.h"
#include "graphics/GraphicsState.h"
#include "image/Session.h"
#include "menu/MenuState.h"
#include "menu/SecurityState.h"
#include "patches/PatchState.h"
#include "texts/TextState.h"
#include "tones/ToneState.h"

namespace brivant {

// All state of one run: the opened image and every feature's state beside it. The window
// owns one, so does every command-line run and every test.
class Editor : public Session {
  public:
    ToneState tones;
    TextState texts;
    MenuState menu;
    SecurityState security;
    PatchState patches;
    GraphicsState graphics;
    AniState ani;
    // What the window can undo and redo of this image.
    History history;

    // The features' hooks that the flows call; a copy of the one list, so that a test can
    // replace a hook of its own editor.
    std::vector<Feature> features = Features();
    // Run by the save flow once the file is written, before the checksum question; the
    // window looks at the written image there. Nothing by default.
    std::function<void(Editor&, Interaction&, const std::string& path)> written;
    Feature& Hook(const char* name);
};

}  // namespace brivant
