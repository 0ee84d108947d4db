#pragma once

#include <string>
#include <vector>

#include "core/HexText.h"
#include "core/Interaction.h"
#include "texts/OperatorRecord.h"

namespace brivant {

inline constexpr const char* kOpEditTitle = "Operators Editor";
inline constexpr const char* kNewOperatorName = "NewOperator";
inline constexpr const char* kNewOperatorCode = "00";
inline constexpr const char* kBadNetworkCode =
    "The network code of %s must be two digits (00 to 99)";
inline constexpr const char* kOperatorNameTooLong =
    "The name %s is too long: at most 248 bytes fit in one operator entry";
inline constexpr const char* kOperatorBadEscape = "Operator %s: %s";
inline constexpr const char* kOperatorNameMissing =
    "Type the new operator's name and its two-digit network code, then press Add";
inline constexpr const char* kTooManyOperators = "A country holds at most 255 operators";

// The Operators Editor without its widgets: the operators of one country, the name and
// network-code fields, Add, Delete and the entries that "&OK" builds for the Edit command.
class TOpEdit : public DialogModel {
  public:
    TOpEdit(std::string countryCode, std::vector<OperatorItem> operators)
        : countryCode_(std::move(countryCode)), operators_(std::move(operators)) {}

    // Before the dialog appears: operators without a name are dropped and the first one
    // is selected (both fields empty when none is left).
    void Show();

    const std::string& CountryCode() const { return countryCode_; }
    const std::vector<OperatorItem>& Operators() const { return operators_; }
    int Selected() const { return selected_; }
    const std::string& NameField() const { return nameField_; }
    const std::string& CodeField() const { return codeField_; }

    // -1 selects nothing and empties the fields.
    void Select(int row);
    // Typing in "Name:" renames the selected operator at once.
    void SetName(const std::string& name);
    // Typing in the network-code field stores it for the selected operator; a single
    // digit gets its leading "0".
    void SetCode(const std::string& code);
    // "&Add". With an operator selected: a new operator "NewOperator" with network code
    // "00" at the end of the list, selected so that typing names it. With none selected:
    // the name and code typed in the fields become the new operator. False, with the
    // message in `error`, when the typed name or code cannot be used (nothing is added).
    bool Add(std::string* error = nullptr);
    // "&Delete": removes the selected operator; nothing is selected afterwards.
    void Delete();

    // "&OK": checks every operator and builds the entries. False, with the message in
    // `error`, keeps the dialog open.
    bool Ok(std::string* error);
    void Cancel() { accepted_ = false; }

    bool Accepted() const { return accepted_; }
    const Bytes& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(operators_.size()); }

  private:
    std::string countryCode_;
    std::vector<OperatorItem> operators_;
    int selected_ = -1;
    std::string nameField_, codeField_;
    bool accepted_ = false;
    Bytes entries_;
};

}  // namespace brivant
