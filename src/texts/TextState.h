#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texts/TextRows.h"

namespace brivant {

// What the Languages and Operators tabs show, and what the language lists keep for the
// menus.
struct TextState {
    std::vector<LanguageRow> languages;
    std::string languageCount = "Languages Count:0";
    std::vector<CountryRow> countries;
    std::string countryCount = "Countries Count: 0";

    // The key list (ID + Length, 16 hex digits, in row order when last read; index 0 is
    // the COMM chunk), the language selector's entries ("Select Here" and every language
    // but COMM), and the texts of the language last chosen there.
    std::vector<std::string> languageKeys;
    std::vector<std::string> menuLanguages;
    std::vector<std::string> languageTexts;
    // The number of COMM texts, which offsets the text IDs of menu items.
    std::int32_t CommTextCount = 0;
    LangEditMemory langEdit;
};

}  // namespace brivant
