#include "menu/MenuRecord.h"

#include "core/HexText.h"
#include "core/UserError.h"
#include "image/Address.h"

namespace brivant {

namespace {
// Up to n digits from pos; a record or descriptor text too short for the field gives the
// digits it has (none past its end) rather than an exception no caller expects.
std::string_view Digits(std::string_view text, std::size_t pos, std::size_t n) {
    return pos >= text.size() ? std::string_view{} : text.substr(pos, n);
}
}  // namespace

bool LongMenuRecords(int phoneType) {
    // 61XX, 3390, 8210, 8250, 8850, 8890, 8855 and 5210.
    switch (phoneType) {
        case 2:
        case 7:
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 16:
            return true;
        default:
            return false;
    }
}

int MenuRecordSize(int phoneType) {
    return LongMenuRecords(phoneType) ? kLongRecordSize : kShortRecordSize;
}

bool IsShortRecord(std::string_view record) {
    return record.size() == 2 * kShortRecordSize;
}

std::string TextPointerOf(std::string_view record) {
    return std::string(Digits(record, 0, 8));
}

std::string FuncPointerOf(std::string_view record) {
    return std::string(Digits(record, IsShortRecord(record) ? 8 : 16, 8));
}

std::uint32_t FuncPointerValue(std::string_view record) {
    return static_cast<std::uint32_t>(HexTextToInt(FuncPointerOf(record)));
}

bool IsSubMenuRecord(std::string_view record) {
    return record.find(kSubMenuMark, 15) != std::string_view::npos;
}

bool IsHiddenRecord(std::string_view record) {
    return record.find(kHiddenMark) != std::string_view::npos;
}

std::uint32_t ItemsPointerOf(std::string_view descriptor) {
    return static_cast<std::uint32_t>(HexTextToInt(Digits(descriptor, 0, 8)));
}

int ItemCountOf(std::string_view descriptor) {
    return HexTextToInt(Digits(descriptor, 8, 2));
}

bool TextPointerInImage(std::int64_t q, std::int64_t imageSize) {
    // The listing reads the two bytes behind the first one.
    return q <= 0 || q + 3 <= imageSize;
}

bool SubMenuInImage(std::int64_t at, std::int64_t imageSize) {
    return at >= 0 && at + kDescriptorSize <= imageSize;
}

std::optional<std::string> MenuPointerOutside(std::string_view record, std::int64_t imageSize) {
    const std::string text(TextPointerOf(record));
    if (!TextPointerInImage(ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(text))),
                            imageSize))
        return Format(kMenuPointerOutside, {"Text Pointer:", text});
    if (!IsSubMenuRecord(record)) return std::nullopt;
    const std::int64_t at = ToImageOffset(FuncPointerValue(record));
    // A short record's submenu below the image is refused as "no offsets" when entered.
    if (IsShortRecord(record) && at < 1) return std::nullopt;
    if (!SubMenuInImage(at, imageSize))
        return Format(kMenuPointerOutside, {"Func Pointer:", std::string(FuncPointerOf(record))});
    return std::nullopt;
}

}  // namespace brivant
