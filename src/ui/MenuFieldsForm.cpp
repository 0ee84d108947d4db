#include "ui/MenuFieldsForm.h"

#include <QLabel>

#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
constexpr std::array<const char*, kMenuFieldCount> kNames = {
    "textPointer", "tipPointer", "funcPointer", "bmpId",    "funcId",
    "unknown1",    "unknown2",   "class",       "animation"};
}

void MenuFieldsForm::build(QGridLayout* grid, int firstRow, const MenuFields& values,
                           QWidget* textPointerLabel) {
    for (int i = 0; i < kMenuFieldCount; ++i) {
        auto* edit = new QLineEdit(FromBytes(values[static_cast<std::size_t>(i)]));
        edit->setObjectName(QString::fromLatin1(kNames[static_cast<std::size_t>(i)]));
        edit->setMaxLength(MenuFieldDigits(static_cast<MenuField>(i)));
        QWidget* label = nullptr;
        if (i == 0 && textPointerLabel) {
            label = textPointerLabel;
        } else {
            auto* text =
                new QLabel(QString::fromLatin1(kMenuFieldLabels[static_cast<std::size_t>(i)]));
            text->setBuddy(edit);
            label = text;
        }
        grid->addWidget(label, firstRow + i, 0);
        grid->addWidget(edit, firstRow + i, 1);
        edits_[static_cast<std::size_t>(i)] = edit;
    }
}

void MenuFieldsForm::setReadOnly(MenuField f, bool readOnly) {
    ShowReadOnly(field(f), readOnly);
}

void MenuFieldsForm::store(MenuFields& values) const {
    for (int i = 0; i < kMenuFieldCount; ++i)
        values[static_cast<std::size_t>(i)] = ToBytes(edits_[static_cast<std::size_t>(i)]->text());
}

void MenuFieldsForm::show(const MenuFields& values) {
    for (int i = 0; i < kMenuFieldCount; ++i)
        edits_[static_cast<std::size_t>(i)]->setText(
            FromBytes(values[static_cast<std::size_t>(i)]));
}

void FocusRefused(MenuFieldsForm& form, const std::optional<MenuField>& refused) {
    if (!refused) return;
    QLineEdit* field = form.field(*refused);
    field->setFocus();
    field->selectAll();
}

}  // namespace brivant
