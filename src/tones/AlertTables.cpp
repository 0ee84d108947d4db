#include "tones/AlertTones.h"

namespace brivant {

const std::array<AlertKindInfo, kAlertKindCount>& AlertKinds() {
    static const std::array<AlertKindInfo, kAlertKindCount> kinds = {{
        {"Standard", "000000010000000053544E4400000000085374616E64617264", nullptr, "070BFFFF",
         "060B", 4, "0AFE060B46C0"},
        {"Special", "00000001000000005350434C00000000075370656369616C", nullptr, "070BFFFF", "060B",
         4, "0AFE060B46C0"},
        {"Beep Once", "000000010000000042454550000000000942656570204F6E6365", nullptr, "070BFFFF",
         "060B", 4, "0AFE060B46C0"},
        {"Ascending", "0000000100000000415344470000000009417363656E64696E67", nullptr, "070BFF",
         "060B", 4, "0AFE060B46C0"},
        {"Start/Shut Tone", "000000010000000053485554000000000A53746172742F53687574", "0002FD0A80",
         "070BFFFF", "0B", 2, "0AFE0B46C0"},
        {"Alarm Clock", "0000000100000000414C524D000000000B416C61726D20436C6F636B", nullptr,
         "070BFFFF", "060B", 4, "0AFE060B46C0"},
        {"Calendar", "000000010000000043414C45000000000843616C656E646172", nullptr, "070BFFFF",
         "060B", 4, "0AFE060B46C0"},
        // Only the final 0B goes: the sequence ends 06 0A FE 0B 46 C0.
        {"System Error", "0000000100000000534552520000000009537973204572726F72", "0002FD0A800502",
         "070BFFFF", "060B", 2, "0AFE0B46C0"},
    }};
    return kinds;
}

const AlertTable* AlertTableFor(int phoneType) {
    static constexpr const char* k0 = "00000000";
    static constexpr const char* k1 = "01000000";
    // Standard, Special, Beep Once, Ascending, Start/Shut, Alarm Clock, Calendar, System Error
    static const AlertTable tables[18] = {
        {nullptr, nullptr, {}},
        {k0, "002", {244, 252, 260, 268, 116, 92, -1, 36}},    // 51XX
        {k0, "002", {252, 260, 268, 276, 124, 92, 100, 36}},   // 61XX
        {k0, "002", {228, 236, 244, 252, 116, 92, -1, 36}},    // 3210
        {k1, "003", {452, 460, 468, 476, 164, 132, 140, 36}},  // 3310
        {k1, "004", {468, 476, 484, 492, 164, 132, 140, 36}},  // 3330
        {k1, "004", {468, 476, 484, 492, 164, 132, 140, 36}},  // 3350
        {k1, "003", {356, 364, 372, 380, 124, 92, 100, 36}},   // 3390
        {k1, "004", {476, 484, 492, 500, 164, 132, 140, 36}},  // 3410
        {k1, "004", {468, 476, 484, 492, 164, 132, 140, 36}},  // 3610
        {k0, "003", {268, 276, 284, 292, 124, 92, 100, 36}},   // 8210
        {k0, "003", {276, 284, 292, 300, 124, 92, 100, 36}},   // 8250
        {k0, "003", {268, 276, 284, 292, 124, 92, 100, 36}},   // 8850
        {k0, "003", {276, 284, 292, 300, 124, 92, 100, 36}},   // 8890
        // 8855: the Alarm Clock pointer is reasoned, not measured. The table holds 32-bit
        // pointers, so every entry is a multiple of 4, and wherever a family has a Calendar
        // entry the Alarm Clock entry sits 8 bytes below it: 124 - 8.
        {k1, "004", {460, 468, 476, 484, 148, 116, 124, 36}},  // 8855
        {k1, "004", {468, 476, 484, 492, 164, 132, 140, 36}},  // 5510
        {k1, "004", {476, 484, 492, 500, 164, 116, 124, 36}},  // 5210
        {k1, "003", {412, 420, 428, 436, 164, 132, 140, 36}},  // 2100
    };
    if (phoneType < 1 || phoneType > 17) return nullptr;
    return &tables[phoneType];
}

int AlertRow62xx(int kind, std::size_t catalogRows) {
    static constexpr int kFull[kAlertKindCount] = {25, 24, 26, 28, 7, 22, 23, 6};
    static constexpr int kShort[kAlertKindCount] = {23, 22, 24, 26, 7, 20, 21, 6};
    if (kind < 0 || kind >= kAlertKindCount) return -1;
    return catalogRows == 98 ? kFull[kind] : kShort[kind];
}

}  // namespace brivant
