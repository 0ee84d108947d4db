#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brivant {

// The clipboard text slot. Commands use it as scratch storage between their steps, so a
// round trip must give back exactly the text stored. Without a desktop binding it is a
// process-wide text variable; the window mirrors it to the desktop clipboard.
struct ClipboardBinding {
    std::function<void(const std::string&)> set;
};

void BindClipboard(ClipboardBinding binding);
void UnbindClipboard();
void ClipboardSet(const std::string& text);
std::string ClipboardGet();
void ClipboardClear();

// Clears the slot and stores the n bytes there as upper-case hex text.
void SetCBText(const std::uint8_t* data, std::size_t n);

}  // namespace brivant
