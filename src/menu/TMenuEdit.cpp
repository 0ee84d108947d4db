#include "menu/TMenuEdit.h"

#include "menu/MenuRecord.h"

namespace brivant {

TMenuEdit::TMenuEdit(std::string name, const std::string& record)
    : fields(FieldsOfRecord(record)), name_(std::move(name)), long_(!IsShortRecord(record)) {}

std::optional<std::string> TMenuEdit::PressOk() {
    if (auto refusal = CheckMenuFields(fields, long_)) return refusal;
    record_ = RecordOfFields(fields, long_);
    accepted_ = true;
    return std::nullopt;
}

}  // namespace brivant
