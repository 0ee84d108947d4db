#include "core/Editor.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/ToneCatalog.h"

namespace brivant {

// Hangs each feature's readers on the shared flows. A feature adds its line here when it
// is built; until then its tab simply reads nothing.
void InstallFeatureReaders(FeatureReaders& readers) {
    readers.ringtones = ShowRingtones;
    readers.languages = [](Editor& ed, Interaction&) { ReadLanguages(ed); };
    readers.operators = [](Editor& ed, Interaction&) { GetOperators(ed); };
    // The Menu tab's first visit counts the COMM texts through the language list's edit
    // step (the selector still on its entry 0); locating the menu root follows it.
    readers.menu = [](Editor& ed, Interaction&) { ReadMenuTexts(ed, 0); };
}

}  // namespace brivant
