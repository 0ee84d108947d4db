#pragma once

#include <QGridLayout>
#include <QLineEdit>
#include <array>
#include <optional>

#include "menu/MenuFields.h"

namespace brivant {

// The record fields of the Menu Editor and Add Menu dialogs, one labelled line each, from
// row `firstRow` of a grid on. `textPointerLabel`, when given, stands in the text pointer's
// label cell instead of a plain label (Add Menu puts a check box there).
class MenuFieldsForm {
  public:
    void build(QGridLayout* grid, int firstRow, const MenuFields& values,
               QWidget* textPointerLabel = nullptr);
    void setReadOnly(MenuField f, bool readOnly);
    QLineEdit* field(MenuField f) const { return edits_[static_cast<std::size_t>(f)]; }
    void store(MenuFields& values) const;
    void show(const MenuFields& values);

  private:
    std::array<QLineEdit*, kMenuFieldCount> edits_{};
};

// A dialog brought back after a refusal opens with the focus on the refused field.
void FocusRefused(MenuFieldsForm& form, const std::optional<MenuField>& refused);

}  // namespace brivant
