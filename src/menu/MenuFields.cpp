#include "menu/MenuFields.h"

#include <cctype>

#include "core/UserError.h"
#include "menu/MenuRecord.h"

namespace brivant {

namespace {
bool AllHex(const std::string& s) {
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

int MenuFieldDigits(MenuField f) {
    switch (f) {
        case MenuField::TextPointer:
        case MenuField::TipPointer:
        case MenuField::FuncPointer:
            return 8;
        default:
            return 4;
    }
}

MenuFields FieldsOfRecord(std::string_view record) {
    const bool longForm = !IsShortRecord(record);
    MenuFields f;
    std::size_t at = 0;
    for (int i = 0; i < kMenuFieldCount; ++i) {
        const auto field = static_cast<MenuField>(i);
        if (field == MenuField::TipPointer && !longForm) {
            f[static_cast<std::size_t>(i)] = kNoTipPointer;
            continue;
        }
        const auto n = static_cast<std::size_t>(MenuFieldDigits(field));
        f[static_cast<std::size_t>(i)] =
            at < record.size() ? std::string(record.substr(at, n)) : std::string();
        at += n;
    }
    return f;
}

std::optional<std::string> CheckMenuFields(const MenuFields& f, bool longForm) {
    for (int i = 0; i < kMenuFieldCount; ++i) {
        const auto field = static_cast<MenuField>(i);
        if (field == MenuField::TipPointer && !longForm) continue;
        const std::string& v = f[static_cast<std::size_t>(i)];
        const int n = MenuFieldDigits(field);
        if (static_cast<int>(v.size()) != n || !AllHex(v)) {
            std::string label = kMenuFieldLabels[static_cast<std::size_t>(i)];
            if (field == MenuField::Unknown1) label = "Unknown: (first)";
            if (field == MenuField::Unknown2) label = "Unknown: (second)";
            return Format(kBadMenuField, {label, std::to_string(n)});
        }
    }
    return std::nullopt;
}

std::string RecordOfFields(const MenuFields& f, bool longForm) {
    std::string r;
    for (int i = 0; i < kMenuFieldCount; ++i) {
        if (static_cast<MenuField>(i) == MenuField::TipPointer && !longForm) continue;
        r += f[static_cast<std::size_t>(i)];
    }
    return Upper(r);
}

}  // namespace brivant
