#pragma once

#include <optional>
#include <string>

#include "core/Interaction.h"
#include "menu/MenuFields.h"

namespace brivant {

// "Menu Editor": the raw fields of one menu record. The name is shown read-only; a short
// record's tip pointer shows "00000000" and cannot be edited.
class TMenuEdit : public DialogModel {
  public:
    static constexpr const char* kTitle = "Menu Editor";
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kCancel = "&Cancel";

    TMenuEdit(std::string name, const std::string& record);

    const std::string& Name() const { return name_; }
    bool LongForm() const { return long_; }
    bool ReadOnly(MenuField f) const { return f == MenuField::TipPointer && !long_; }
    MenuFields fields;

    // "&OK": checks every field; a refusal is the message to show while the dialog stays
    // open. On success the record is rebuilt and the dialog counts as accepted.
    std::optional<std::string> PressOk();
    bool Accepted() const { return accepted_; }
    // The field the last refusal was about: the dialog comes back with the focus there.
    std::optional<MenuField> refused;
    const std::string& Record() const { return record_; }

  private:
    std::string name_;
    bool long_;
    bool accepted_ = false;
    std::string record_;
};

}  // namespace brivant
