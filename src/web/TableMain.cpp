// Writes the command table and the phone types as a script the page loads beside itself (a
// file the page can read when opened from the disk, where it may fetch nothing).
#include <iostream>

#include "cli/Json.h"
#include "image/PhoneTypes.h"
#include "web/CommandTableJson.h"

int main() {
    brivant::Json types;
    types.BeginArray();
    const auto& texts = brivant::PhoneTypeTexts();
    // The first entry is the drop-down's empty choice.
    for (std::size_t i = 1; i < texts.size(); ++i) types.String(texts[i]);
    types.EndArray();
    std::cout << "window.BRIVANT_COMMANDS = " << brivant::web::CommandTableJson() << ";\n"
              << "window.BRIVANT_TYPES = " << types.Text() << ";\n";
    return std::cout.flush() ? 0 : 1;
}
