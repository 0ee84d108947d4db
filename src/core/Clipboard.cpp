#include "core/Clipboard.h"

#include "core/HexText.h"

namespace brivant {

namespace {
std::string& Slot() {
    static std::string text;
    return text;
}
ClipboardBinding& Binding() {
    static ClipboardBinding binding;
    return binding;
}
}  // namespace

void BindClipboard(ClipboardBinding binding) {
    Binding() = std::move(binding);
}
void UnbindClipboard() {
    Binding() = {};
}

void ClipboardSet(const std::string& text) {
    Slot() = text;
    if (Binding().set) Binding().set(text);
}

std::string ClipboardGet() {
    // Commands read back what they stored a step earlier; the desktop copy only mirrors it
    // so that the user can paste it, and another program's text must never feed a step.
    return Slot();
}

void ClipboardClear() {
    ClipboardSet(std::string());
}

void SetCBText(const std::uint8_t* data, std::size_t n) {
    ClipboardClear();
    ClipboardSet(BytesToHex(data, n));
}

}  // namespace brivant
