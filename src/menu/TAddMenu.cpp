#include "menu/TAddMenu.h"

#include "core/UserError.h"
#include "menu/MenuRecord.h"
#include "texts/TextEscapes.h"

namespace brivant {

namespace {
std::string& Field(MenuFields& f, MenuField which) {
    return f[static_cast<std::size_t>(which)];
}
}  // namespace

TAddMenu::TAddMenu(const std::string& record0, bool longForm, bool subMenu)
    : name(kDefaultName), withSubMenu(subMenu), long_(longForm) {
    const MenuFields r = FieldsOfRecord(record0);
    Field(fields, MenuField::TipPointer) = kNoTipPointer;
    Field(fields, MenuField::FuncPointer) = "00000000";
    Field(fields, MenuField::BmpId) = r[static_cast<std::size_t>(MenuField::BmpId)];
    Field(fields, MenuField::Animation) = r[static_cast<std::size_t>(MenuField::Animation)];
    for (MenuField f :
         {MenuField::FuncId, MenuField::Unknown1, MenuField::Unknown2, MenuField::Class})
        Field(fields, f) = "0000";
}

void TAddMenu::SetNameChecked(bool checked) {
    nameChecked_ = checked;
    if (checked) {
        Field(fields, MenuField::TextPointer).clear();
        name = kDefaultName;
    } else {
        name.clear();
    }
}

void TAddMenu::SetTextPointerChecked(bool checked) {
    nameChecked_ = !checked;
    if (checked) {
        name.clear();
        Field(fields, MenuField::TextPointer) = "00000000";
    } else {
        Field(fields, MenuField::TextPointer).clear();
    }
}

std::optional<std::string> TAddMenu::PressOk() {
    if (withSubMenu) Field(fields, MenuField::FuncId) = "0387";
    MenuFields checked = fields;
    // The text pointer is only taken when its box is set; a new text gets its own.
    if (nameChecked_) Field(checked, MenuField::TextPointer) = "00000000";
    if (withSubMenu) Field(checked, MenuField::FuncPointer) = "00000000";
    if (auto refusal = CheckMenuFields(checked, long_)) return refusal;
    // A backslash that does not start \xHH would lose the characters behind it.
    std::string why;
    if (nameChecked_ && !UnescapeText(name, &why)) return Format(kBadNameText, {why});
    accepted_ = true;
    return std::nullopt;
}

}  // namespace brivant
