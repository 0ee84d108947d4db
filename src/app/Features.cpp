#include "app/Features.h"

#include "app/ChunkReaders.h"
#include "app/Editor.h"
#include "graphics/AniCatalog.h"
#include "graphics/BitmapCatalog.h"
#include "menu/MenuLevels.h"
#include "menu/MenuTab.h"
#include "menu/SecurityState.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneCatalog.h"

namespace brivant {

// A feature joins the program by one entry here; the flows call its hooks.
const std::vector<Feature>& Features() {
    static const std::vector<Feature> list = {
        {.name = "tones",
         .opened = [](Editor& ed) { OpenedTones(ed.tones); },
         .typeChosen = [](Editor& ed, Interaction& ui) { TonesTypeChosen(ed, ed.tones, ui); },
         .chunk = Piece::TONE,
         .retrieveAll = [](Editor& ed, Interaction& ui) { RetrieveAllRingtones(ed, ui); },
         .loadAll = [](Editor& ed, Interaction& ui) { LoadAllRingtones(ed, ed.tones, ui); }},
        {.name = "languages",
         .opened = [](Editor& ed) { OpenedTexts(ed.texts); },
         .tab = Tab::Languages,
         .tabShown = [](Editor& ed, Interaction&) { ReadLanguages(ed, ed.texts); },
         .chunk = Piece::TEXT,
         .retrieveAll = [](Editor& ed, Interaction& ui) { RetrieveAllLanguages(ed, ui); },
         .loadAll = [](Editor& ed, Interaction& ui) { LoadAllLanguages(ed, ed.texts, ui); }},
        {.name = "operators",
         .tab = Tab::Operators,
         .tabShown = [](Editor& ed, Interaction&) { GetOperators(ed, ed.texts); },
         .chunk = Piece::PLMN,
         .retrieveAll = [](Editor& ed, Interaction& ui) { RetrieveAllOperators(ed, ui); },
         .loadAll = [](Editor& ed, Interaction& ui) { LoadAllOperators(ed, ed.texts, ui); }},
        {.name = "bitmaps",
         .opened = [](Editor& ed) { OpenedGraphics(ed.graphics); },
         .tab = Tab::Graphics,
         .tabShown = [](Editor& ed, Interaction& ui) { GraphicsTabShown(ed, ed.graphics, ui); }},
        {.name = "animations",
         .opened = [](Editor& ed) { OpenedAni(ed.ani); },
         .typeChosen = [](Editor& ed, Interaction&) { AniTypeChosen(ed.ani); },
         .tab = Tab::Graphics,
         .tabShown = [](Editor& ed, Interaction& ui) { GetAni(ed, ed.ani, ed.graphics, ui); }},
        {.name = "menu",
         .opened =
             [](Editor& ed) {
                 OpenedMenu(ed.menu);
                 OpenedSecurity(ed.security);
             },
         .typeChosen = [](Editor& ed, Interaction&) { SecurityTypeChosen(ed, ed.security); },
         .tab = Tab::Menu,
         .tabShown = [](Editor& ed, Interaction& ui) { ShowMenuTab(ed, ed.menu, ed.texts, ui); }},
    };
    // Files loaded as a whole TEXT or PLMN chunk are read by these lists before they go in.
    static const bool readersSet = (RegisterChunkReaders(), true);
    (void)readersSet;
    return list;
}

const Feature* FeatureOfChunk(Piece piece) {
    for (const Feature& f : Features())
        if (f.chunk == piece) return &f;
    return nullptr;
}

}  // namespace brivant
