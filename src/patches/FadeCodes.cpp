#include "patches/FadeCodes.h"

#include <array>
#include <cctype>

namespace brivant {

namespace {
// The routines as they are installed, big-endian Thumb. Each ends in its literal pool.
constexpr const char* kCode1 =
    "B500B41F1C0BB408F7DEFC23BC084925780A2140400AB40EF7DEFC28BC0E48252B00D0014822404A2A00D01B"
    "F000F81E220024004B1D2B00D007781B2C00D0012B7FD10F2B7FD10024011C113901DAFDF000F80C1C013901"
    "DAFDF000F80732013801DCE7BC1FF7DEFBF4BD00B51FF7DEFBF0490B2900D0032002780A4042700A49082900"
    "D0032040780A4042700A49062900D002780A4302700AF7DEFBE7BD1F00000000000200200002002400020030";
constexpr const char* kCode2 =
    "B500B47F240140214822780009C04048D1264822405B2901D001481F1C5B4052406D4E1A2E00D00778362D00"
    "D0012E7FD1112E7FD10025011C1140633901DAFDF000F8121C0140633901DAFDF000F80C32013801DCE52180"
    "4A0E781040487010BC7FF7ADFE6DBD00B53F4809220049062B00D00043C9B40BF7ADFE62BC0B1C802201F7AD"
    "FE5DBD3F0000FFF50002002A0000003000112424";
constexpr const char* kCode3 =
    "B500B41F1C0BB408F7B5F9F7BC084924780A2102400AB40EF7B5F9FCBC0E48252B00D0014822404A2A00D01B"
    "F000F81E220024004B1D2B00D007781B2C00D0012B7FD10F2B7FD10024011C113901DAFDF000F80C1C013901"
    "DAFDF000F80732013801DCE7BC1FF7B5F9C8BD00B51FF7B5F9C4490B2900D0032002780A4042700A49082900"
    "D0032008780A4042700A49062900D002780A4302700AF7B5F9BBBD1F0002003300020020000200240002002A";
constexpr const char* kCode4 =
    "B500B47F240140214822780009C04048D1264822405B2901D001481F1C5B4052406D4E1A2E00D00778362D00"
    "D0012E7FD1112E7FD10025011C1140633901DAFDF000F8121C0140633901DAFDF000F80C32013801DCE52180"
    "4A0E781040487010BC7FF7ADFE6DBD00B53F4809220049062B00D00043C9B40BF7ADFE62BC0B1C802201F7AD"
    "FE5DBD3F0000FFF50002002A0000002F00163A55";

const FadeVariant kFade1{"FadeCode1",   kCode1,    "BD00B51F", {44, 80, 90},
                         {8, 102, 110}, {24, 154}, -12};
const FadeVariant kFade2{"FadeCode2", kCode2, "BD00B53F", {64, 76}, {}, {98, 120, 130}, -34};
const FadeVariant kFade3{"FadeCode3",   kCode3,    "BD00B51F", {44, 80, 90},
                         {8, 102, 110}, {24, 154}, -12};
const FadeVariant kFade4{"FadeCode4", kCode4, "BD00B53F", {64, 76}, {}, {98, 120, 130}, -20};

// The 7110's designation in the PPM header.
constexpr const char* k7110Hex = "4E53452D35";

struct Fade3Type {
    const char* type;
    FadeGroup group;
    const char* hook;
};
// Group Y firmware keeps two of the pool's words elsewhere and makes its second call sooner.
constexpr std::array<Fade3Type, 15> kFade3Types = {{
    {"3310", FadeGroup::X, "431A2A00D140"},
    {"3330", FadeGroup::X, "431A2A00D140"},
    {"5510", FadeGroup::X, "431A2A00D140"},
    {"3350", FadeGroup::X, "4AB478537892"},
    {"3410", FadeGroup::X, "4AB478937852"},
    {"3390", FadeGroup::Y, "78120892D21C"},
    {"2100", FadeGroup::Y, "78120892D21C"},
    {"62XX/7110", FadeGroup::Y, "78120892D21C"},
    {"3610", FadeGroup::Y, "431A2A00D11C2800D01A2901D00C"},
    {"5210", FadeGroup::Y, "431A2A00D11C2800D01A2901D00C"},
    {"8855", FadeGroup::Y, "431A2A00D11C2800D01A2901D00C"},
    {"8210", FadeGroup::Y, "78120892D21C2800D01A2901D00C"},
    {"8250", FadeGroup::Y, "78120892D21C2800D01A2901D00C"},
    {"8850", FadeGroup::Y, "78120892D21C2800D01A2901D00C"},
    {"8890", FadeGroup::Y, "78120892D21C2800D01A2901D00C"},
}};

constexpr std::size_t kGroupYKept = 165;  // bytes of the base code group Y keeps
constexpr const char* kGroupYPool = "000000000000000002002A";

void ReplaceFirst(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
}
}  // namespace

bool ChooseFade(const std::string& phoneType, const std::string& unitModelHex, FadeChoice& out) {
    out = FadeChoice{};
    if (phoneType == "51XX" || phoneType == "61XX") {
        out = {&kFade1, FadeGroup::None, "78120892D22E", 44, false};
        return true;
    }
    if (phoneType == "3210") {
        out = {&kFade2, FadeGroup::None, "2800D0302901D017", 48, false};
        return true;
    }
    const bool is62xx = phoneType == "62XX/7110";
    if (is62xx && unitModelHex.find(k7110Hex) != std::string::npos) {
        out = {&kFade4, FadeGroup::None, "2800D0202901D00E202F", 30, true};
        return true;
    }
    for (const Fade3Type& t : kFade3Types) {
        if (phoneType != t.type) continue;
        out = {&kFade3, t.group, t.hook, t.group == FadeGroup::X ? 62 : 26, is62xx};
        return true;
    }
    return false;
}

std::string FadePayloadHex(const FadeChoice& c, const std::string& fadeIn,
                           const std::string& fadeOut) {
    std::string x = c.variant->baseCode;
    if (c.variant == &kFade3) {
        if (c.group == FadeGroup::Y) x = x.substr(0, kGroupYKept * 2) + kGroupYPool;
        if (c.is62xx) {
            // This firmware switches the LEDs by another bit of the same port byte.
            ReplaceFirst(x, "4924780A2102400A", "4924780A2120400A");
            ReplaceFirst(x, "D0032002780A4042", "D0032020780A4042");
        }
    }
    auto word = [](std::string t) {
        for (char& ch : t) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return "0000" + t;
    };
    return x + word(fadeIn) + word(fadeOut);
}

}  // namespace brivant
