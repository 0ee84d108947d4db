#pragma once

#include <stdexcept>
#include <string>

#include "core/PrintableText.h"

namespace brivant {

// A failure the user sees: the text is shown as it stands (message box in the window,
// one line on stderr in the command line).
class UserError : public std::runtime_error {
  public:
    // A NUL would cut the text short wherever it is shown, so it is written out as \x00.
    explicit UserError(const std::string& text) : std::runtime_error(WithoutNul(text)) {}
};

// Fills the "%s" places of a fixed message text in order.
std::string Format(std::string text, std::initializer_list<std::string> args);

}  // namespace brivant
