#include "ppm/FreeSpace.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/Clipboard.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/Session.h"
#include "ppm/PpmCopy.h"

namespace brivant {

namespace {
constexpr int kReserve = 62;

struct Direction {
    const char* tooSmall;
    const char* title;
    const char* prompt;
    const char* done;
};

constexpr Direction kToMcu = {"PPM bytes too small, MCU space can not be adjust",
                              "Adjust MCU Space",
                              "How many bytes to add in MCU?\n\rPlease Enter From 1 to ",
                              "MCU free space successfully adjusted"};
constexpr Direction kToPpm = {"MCU bytes too small, PPM space can not be adjust",
                              "Adjust PPM Space",
                              "How many bytes to add in PPM?\n\rPlease Enter From 1 to ",
                              "PPM free space successfully adjusted"};
constexpr const char* kPpmEndOutside =
    "The PPM end address %s in the image header lies outside the image (%s bytes); the PPM "
    "free space cannot be counted";
constexpr const char* kEnterCount = "Enter the number of bytes to move, 1 to %s";
constexpr const char* kFieldNotCount =
    "The free space fields must hold numbers of bytes: open the image again to count them";
constexpr const char* kNotFree =
    "Cannot move the PPM area by %s bytes: the bytes it would take over are not all free (FF)";
constexpr const char* kBehindMark =
    "Cannot add bytes to the MCU free space: it ends at its closing mark at offset %s, before the "
    "PPM "
    "area, so the bytes gained would lie behind the mark where nothing uses them. Nothing was "
    "changed";
constexpr const char* kDataBetween =
    "Cannot add bytes to the MCU free space: data lies between its end and the PPM area at offset "
    "%s, "
    "so the bytes gained would not join it. Nothing was changed";

// Offset of the header's DUMFILE text, searched from offset 1.
std::int32_t HeaderDumfile(Session& ed) {
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, kDumfileHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    return ed.FoundOffset;
}

// A count as typed: decimal digits only, without sign or spaces.
std::optional<std::int32_t> CountIn(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::int32_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string OffsetText(std::int64_t offset) {
    return "0x" + IntToHex(static_cast<std::uint32_t>(offset), 8);
}

// Why the bytes in front of the PPM marker at `b`, once freed, would not join the MCU free
// space that starts at FreeOffset; nothing when they would. Only FF bytes between the two
// let them join: a closing mark ends the free space before them, and any other byte would
// leave them a run of their own, apart from where every writer looks.
std::optional<std::string> CannotJoinMcu(const Session& ed, std::int32_t b) {
    const Bytes& image = ed.MainHex.Data();
    const std::int64_t from = ed.FreeOffset;
    if (from < 0 || from > b) return Format(kDataBetween, {OffsetText(b)});
    const Bytes mark = HexToBytes(kMcuMarkHex);
    const auto end = image.begin() + b;
    const auto hit = std::search(image.begin() + from, end, mark.begin(), mark.end());
    if (hit != end) return Format(kBehindMark, {OffsetText(hit - image.begin())});
    if (!std::all_of(image.begin() + from, end, [](std::uint8_t x) { return x == 0xFF; }))
        return Format(kDataBetween, {OffsetText(b)});
    return std::nullopt;
}

bool AllFree(const Bytes& image, std::int64_t from, std::int64_t to) {
    if (from < 0 || to >= static_cast<std::int64_t>(image.size())) return false;
    return std::all_of(image.begin() + from, image.begin() + to + 1,
                       [](std::uint8_t b) { return b == 0xFF; });
}
}  // namespace

void GetFreespace(Session& ed) {
    HexBuffer& m = ed.MainHex;
    m.SetSelectionStart(ed.FreeOffset);
    FindOffSet1(ed, kMcuMarkHex);
    const std::int32_t c = ed.FoundOffset > 1 ? ed.FoundOffset - 1 : 0;
    FindOffSet1(ed, kPpmMarkerHex);
    const std::int32_t p = ed.FoundOffset - 1;
    m.SetSelectionStart(ed.FreeOffset);
    m.SetSelectionEnd(c > 0 ? c : p);
    ed.mcuFreeField = std::to_string(m.SelectionLength());

    const std::int32_t d = HeaderDumfile(ed);
    m.SetSelectionStart(d + 24);
    m.SetSelectionEnd(d + 31);
    const Bytes fields = m.CopyBytes(d + 24, 8);
    SetCBText(fields.data(), fields.size());
    const auto address = static_cast<std::uint32_t>(HexTextToInt(ClipboardGet().substr(8, 8)));
    // Any 32-bit address may stand there: the offset is taken in 64 bits and must name a
    // byte of the image before the selection is made.
    const std::int64_t e = ToImageOffset(address);
    if (e < 0 || e >= m.Size())
        throw UserError(Format(kPpmEndOutside, {IntToHex(address, 8), std::to_string(m.Size())}));

    m.SetSelectionStart(d + 24);
    FindOffSet1(ed, kDumfileHex);
    m.SetSelectionStart(ed.FoundOffset);
    FindOffSet1(ed, std::string(112, 'F'));
    const std::int32_t g = ed.FoundOffset;
    m.SetSelectionStart(g);
    m.SetSelectionEnd(static_cast<std::int32_t>(e));
    ed.ppmFreeField = std::to_string(m.SelectionLength());
    m.SetSelectionStart(1);
}

void AdjustSpace(Session& ed, Interaction& ui, AdjustTarget target) {
    const Direction& dir = target == AdjustTarget::MCU ? kToMcu : kToPpm;
    HexBuffer& m = ed.MainHex;
    if (m.Empty()) {
        ui.error(kOpenFirstCap);
        return;
    }
    const auto given = CountIn(target == AdjustTarget::MCU ? ed.ppmFreeField : ed.mcuFreeField);
    if (!given) {
        ui.error(kFieldNotCount);
        return;
    }
    const std::int32_t giving = *given;
    if (giving < kReserve) {
        ui.error(dir.tooSmall);
        return;
    }
    const std::int32_t limit = giving - kReserve;
    std::int32_t n = 0;
    for (;;) {
        const auto answer = ui.askText(dir.title, dir.prompt + std::to_string(limit), "");
        if (!answer || answer->empty()) return;
        const auto typed = CountIn(*answer);
        if (typed && *typed >= 1 && *typed <= limit) {
            n = *typed;
            break;
        }
        ui.error(Format(kEnterCount, {std::to_string(limit)}));
    }

    const std::int32_t d = HeaderDumfile(ed);
    m.SetSelectionStart(1);
    FindOffSet1(ed, kPpmMarkerHex);
    const std::int32_t b = ed.FoundOffset;
    if (b < 0) throw UserError(HexBuffer::kInvalidSelStart);
    FindOffSet1(ed, kDumfileHex);
    if (ed.FoundOffset < 0) throw UserError(HexBuffer::kInvalidSelStart);
    FindOffSet1(ed, std::string(24, 'F'));
    const std::int32_t g = ed.FoundOffset;
    if (g < 0) throw UserError(HexBuffer::kInvalidSelStart);
    const Bytes block = m.ReadAt(b, g - b + 1);
    SetCBText(block.data(), block.size());
    const auto len = static_cast<std::int32_t>(block.size());

    // Only free bytes may be taken over: whatever else lies beside the PPM area (such as
    // the end mark of the MCU free space) would be destroyed by the move.
    const Bytes& image = m.Data();
    const bool up = target == AdjustTarget::MCU;
    const bool free = up ? AllFree(image, std::int64_t{g} + 1, std::int64_t{g} + n)
                         : AllFree(image, std::int64_t{b} - n, std::int64_t{b} - 1);
    if (!free) throw UserError(Format(kNotFree, {std::to_string(n)}));
    if (up) {
        if (const auto why = CannotJoinMcu(ed, b)) throw UserError(*why);
    }

    const std::int32_t newStart = up ? b + n : b - n;
    if (up) {
        m.WriteAt(b, Bytes(static_cast<std::size_t>(n), 0xFF));
        m.WriteAt(newStart, block);
    } else {
        m.WriteAt(newStart, block);
        m.WriteAt(newStart + len, Bytes(static_cast<std::size_t>(n), 0xFF));
    }
    Bytes field(4);
    PutBE32(field.data(), ToPhoneAddress(newStart));
    m.WriteAt(d + 24, field);

    GetFreespace(ed);
    ui.info(dir.done);
}

}  // namespace brivant
