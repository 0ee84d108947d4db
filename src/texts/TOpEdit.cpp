#include "texts/TOpEdit.h"

#include <algorithm>

#include "core/UserError.h"
#include "texts/TextEscapes.h"

namespace brivant {

void TOpEdit::Show() {
    std::erase_if(operators_, [](const OperatorItem& o) { return o.name.empty(); });
    selected_ = -1;
    nameField_.clear();
    codeField_.clear();
    accepted_ = false;
    if (!operators_.empty()) Select(0);
}

void TOpEdit::Select(int row) {
    if (row < 0) {
        // Nothing selected: the fields are free for a new operator.
        selected_ = -1;
        nameField_.clear();
        codeField_.clear();
        return;
    }
    if (row >= Count()) return;
    selected_ = row;
    nameField_ = operators_[static_cast<std::size_t>(row)].name;
    codeField_ = operators_[static_cast<std::size_t>(row)].code;
}

void TOpEdit::SetName(const std::string& name) {
    nameField_ = name;
    if (selected_ >= 0) operators_[static_cast<std::size_t>(selected_)].name = name;
}

void TOpEdit::SetCode(const std::string& code) {
    codeField_ = code;
    if (selected_ >= 0)
        operators_[static_cast<std::size_t>(selected_)].code = code.size() == 1 ? "0" + code : code;
}

bool TOpEdit::Add(std::string* error) {
    auto fail = [&](std::string text) {
        if (error) *error = std::move(text);
        return false;
    };
    if (operators_.size() >= 255) return fail(kTooManyOperators);
    OperatorItem item{kNewOperatorName, kNewOperatorCode, ""};
    if (selected_ < 0) {
        // What the user typed with nothing selected is the operator to add.
        const std::string code = codeField_.size() == 1 ? "0" + codeField_ : codeField_;
        if (nameField_.empty()) return fail(kOperatorNameMissing);
        if (!IsNetworkCode(code)) return fail(Format(kBadNetworkCode, {nameField_}));
        item = {nameField_, code, ""};
    }
    operators_.push_back(std::move(item));
    Select(Count() - 1);
    return true;
}

void TOpEdit::Delete() {
    if (selected_ < 0) return;
    operators_.erase(operators_.begin() + selected_);
    selected_ = -1;
    nameField_.clear();
    codeField_.clear();
}

bool TOpEdit::Ok(std::string* error) {
    auto fail = [&](std::string text) {
        if (error) *error = std::move(text);
        accepted_ = false;
        return false;
    };
    if (operators_.size() > 255) return fail(kTooManyOperators);
    Bytes entries;
    for (const auto& o : operators_) {
        // A code read from the image is written back as it was, even when it is not two
        // plain digits; a typed one must be.
        if (!IsNetworkCode(o.code) && !(o.code == o.storedCode && o.code.size() == 2))
            return fail(Format(kBadNetworkCode, {o.name}));
        std::string why;
        const auto name = UnescapeText(o.name, &why);
        if (!name) return fail(Format(kOperatorBadEscape, {o.name, why}));
        if (name->size() > kMaxOperatorName) return fail(Format(kOperatorNameTooLong, {o.name}));
        const Bytes e = BuildOperatorEntry(*name, o.code);
        entries.insert(entries.end(), e.begin(), e.end());
    }
    entries_ = std::move(entries);
    accepted_ = true;
    return true;
}

}  // namespace brivant
