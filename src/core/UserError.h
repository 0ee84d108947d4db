#pragma once

#include <stdexcept>
#include <string>

namespace brivant {

// A failure the user sees: the text is shown as it stands (message box in the window,
// one line on stderr in the command line).
class UserError : public std::runtime_error {
  public:
    explicit UserError(const std::string& text) : std::runtime_error(text) {}
};

// Fills the "%s" places of a fixed message text in order.
std::string Format(std::string text, std::initializer_list<std::string> args);

}  // namespace brivant
