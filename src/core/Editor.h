#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/HexBuffer.h"
#include "core/Stream.h"
#include "ppm/PpmCopy.h"
#include "texts/TextRows.h"
#include "tones/ToneRows.h"
#include "tones/ToptionFrm.h"

namespace brivant {

class Interaction;

enum class Tab { Tones = 0, Graphics = 1, Menu = 2, Languages = 3, Operators = 4 };

// The phone-type drop-down: entry 0 is "no type", then the 18 families.
struct PhoneTypeList {
    std::array<std::string, 19> entries;
    int selected = 0;
    bool enabled = false;
};

// The state of the window's controls that the commands set. The window renders it after
// every command; widgets never hold the truth.
struct WindowState {
    std::string fileNameField;
    Tab activeTab = Tab::Tones;

    // "Free Space" group: the two byte counts as the fields show them (the user may edit
    // them; Adjust reads its limits back from these texts).
    std::string mcuFreeField;
    std::string ppmFreeField;

    // "Security Code" group.
    bool patchEnabled = true;
    int securityOption = 0;  // 0 whole menu, 1 inbox, 2 outbox, 3 manual
    std::string securityOffset1, securityOffset2;

    // "A&dd" of the ringtone list.
    bool ringtoneAddEnabled = true;

    std::vector<RingtoneRow> ringtones;
    std::string ringtoneCount = "Ringtones Count: 0";
    int selectedRingtone = -1;  // -1: no row selected

    // "Alert Tones" group: the drop-down's entry and the "Change" / "Retrieve" choice.
    int alertKind = 0;
    bool alertChange = true;
    std::vector<LanguageRow> languages;
    std::string languageCount = "Languages Count:0";
    std::vector<CountryRow> countries;
    std::string countryCount = "Countries Count: 0";

    // Menu tab: the rows, the two selectors and the command button.
    std::vector<std::array<std::string, 3>> menuRows;
    std::string menuCount = "Menu Count: 0";
    std::vector<std::string> menuLanguages;
    std::vector<std::string> menuSecondSelector;
    bool menuCommandEnabled = false;
    bool menuBackEnabled = false;

    // Graphics tab.
    std::vector<std::string> bmpIds, aniIds, frames, frameBmpIds;
    std::string aniLengthField;
    std::vector<std::string> graphicsHidden1, graphicsHidden2, graphicsHidden3;
};

// The readers that feature modules hang on the shared flows. A reader that is not built
// yet is simply not called.
struct FeatureReaders {
    std::function<void(Editor&, Interaction&)> ringtones;  // after a phone type is chosen
    std::function<void(Editor&, Interaction&)> languages;  // Languages tab
    std::function<void(Editor&, Interaction&)> operators;  // Operators tab
    // Menu tab, after the languages were read: the language list's edit, then the root.
    std::function<void(Editor&, Interaction&)> menu;
    std::function<void(Editor&, Interaction&)> bitmaps;     // Graphics tab, empty selector
    std::function<void(Editor&, Interaction&)> animations;  // Graphics tab
};

void InstallFeatureReaders(FeatureReaders& readers);

// All program-wide state of one run: the window owns one, so does every command-line run
// and every test.
class Editor {
public:
    Editor();

    HexBuffer MainHex{true};
    HexBuffer SubHex{false};

    // Pattern search state shared by FindOffSet1 and FindOffSet2.
    std::int32_t FoundOffset = -1;
    Bytes searchPattern;
    bool searchIgnoreCase = false;

    PhoneTypeList phoneList;
    std::string ModelName;
    std::string UnitModelHex;
    std::int32_t FreeOffset = -1;
    bool PpmChanged = false;
    std::int32_t CommTextCount = 0;

    PpmCopy ppm;
    MemStream chunkStream;  // scratch for chunk checksums
    ToptionFrm Options;     // created once: keeps its repeat prefix between uses

    // Languages: the key list (ID + Length, 16 hex digits, in row order when last read;
    // index 0 is the COMM chunk), the menu's language text list, and what the Language
    // Editor keeps between uses.
    std::vector<std::string> languageKeys;
    std::vector<std::string> languageTexts;
    LangEditMemory langEdit;
    // Set while the menu browser is open; its language selector mirrors the Menu tab's.
    bool BrowseMode = false;
    std::vector<std::string> browseLanguages;
    int browseLanguageIndex = 0;

    WindowState win;
    FeatureReaders readers;

    int PhoneType() const { return phoneList.selected; }
    const std::string& PhoneTypeText() const { return phoneList.entries[phoneList.selected]; }
    bool Is62xx() const;
};

}  // namespace brivant
