#pragma once

#include <array>
#include <string>

namespace brivant {

struct Session;

inline constexpr int kPhoneTypeCount = 18;
inline constexpr const char* k62xx = "62XX/7110";
inline constexpr const char* kSelectHere = "Select Here";
inline constexpr const char* kChooseModel = "Please choose correct phone model";

// The 18 entry texts, index 1..18 (index 0 of the array is unused and empty).
const std::array<std::string, 19>& PhoneTypeTexts();
// 1..18 for an entry text, 0 when it is none of them.
int PhoneTypeIndex(const std::string& text);

struct Designation {
    const char* name;  // "NSE-1"
    const char* hex;   // its hex text
    int index;
    const char* model;
};
// The designations in the order they are tried; a later match overrides an earlier one.
const std::array<Designation, 24>& Designations();

void FillPhoneTypeList(Session& s);
// The 48 bytes from the PPM marker on, as hex text, into UnitModelHex.
void GetUnitModel(Session& s);

}  // namespace brivant
