#include "core/PrintableText.h"

#include <filesystem>

namespace brivant {

std::string PrintableText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            out += "\\x";
            out.push_back(kDigits[c >> 4]);
            out.push_back(kDigits[c & 0x0F]);
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

std::string WithoutNul(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\0')
            out += "\\x00";
        else
            out.push_back(c);
    }
    return out;
}

std::string ShownFileName(const std::string& path) {
    return PrintableText(std::filesystem::path(path).filename().string());
}

}  // namespace brivant
