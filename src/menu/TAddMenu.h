#pragma once

#include <optional>
#include <string>

#include "core/Interaction.h"
#include "menu/MenuFields.h"

namespace brivant {

// "Add Menu": a new item for the level shown, named by a new text or by an existing text
// pointer, plain or opening a new empty submenu. The two check boxes exclude each other.
class TAddMenu : public DialogModel {
  public:
    static constexpr const char* kTitle = "Add Menu";
    static constexpr const char* kDefaultName = "Menu Name";
    static constexpr const char* kSingleMenu = "Single Menu";
    static constexpr const char* kWithSubMenu = "Menu With Sub Menu";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";
    static constexpr const char* kBadName =
        "The menu name can only hold characters of the single-byte code page";
    static constexpr const char* kBadNameText = "The menu name cannot be stored: %s";

    // `record0` gives the bitmap and animation of the new item; `withSubMenu` is the radio
    // choice of the previous add.
    TAddMenu(const std::string& record0, bool longForm, bool withSubMenu);

    bool LongForm() const { return long_; }
    bool ReadOnly(MenuField f) const { return f == MenuField::TipPointer && !long_; }

    // The two check boxes and what they enable.
    bool NameChecked() const { return nameChecked_; }
    bool TextPointerChecked() const { return !nameChecked_; }
    bool NameEnabled() const { return nameChecked_; }
    bool TextPointerEnabled() const { return !nameChecked_; }
    void SetNameChecked(bool checked);
    void SetTextPointerChecked(bool checked);

    std::string name;   // bytes, one character each
    MenuFields fields;  // the text-pointer field is fields[TextPointer]
    bool withSubMenu;

    // "&OK": checks the fields in use; with "Menu With Sub Menu" the Func ID becomes 0387.
    std::optional<std::string> PressOk();
    bool Accepted() const { return accepted_; }
    // The field the last refusal was about: the dialog comes back with the focus there.
    std::optional<MenuField> refused;

  private:
    bool long_;
    bool nameChecked_ = true;
    bool accepted_ = false;
};

}  // namespace brivant
