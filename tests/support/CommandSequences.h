#pragma once

// Sequences of editing commands of the command line on demo images, run one by one (each
// command reads the image the one before wrote), keeping the commands that succeeded. The
// same commands make a recipe, so a test can hold a recipe against its steps, and the image
// they made against the one a recipe from `diff` makes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "compare/Recipe.h"
#include "support/TestSupport.h"

namespace brivant::test {

// One command: its words for a command line and its form as a recipe step.
struct CommandStep {
    std::string command;  // "menu edit"
    // Positionals behind the image, in the command's order, by their name in lower case.
    std::vector<std::pair<std::string, std::string>> positionals;
    // Options by their long name; an empty value is a flag.
    std::vector<std::pair<std::string, std::string>> options;

    std::vector<std::string> Line(const std::string& in, const std::string& out) const;
    RecipeStep Step() const;
    std::string Text() const;
};

struct CommandSequence {
    std::string type;                // the demo's phone type
    std::string a, b;                // the demo, and what the commands made of it
    std::vector<CommandStep> steps;  // the commands that succeeded, in order

    std::string Text() const;
};

// Runs the sequence the bytes describe on a demo image in `dir`: [family][step count][per
// step: command, two arguments]. Commands that fail are left out (a failed command writes
// nothing, so the next one reads the same image).
CommandSequence RunCommandSequence(TempDir& dir, const std::uint8_t* data, std::size_t n);

// The steps as a recipe for the sequence's phone type.
Recipe RecipeOf(const CommandSequence& s);

}  // namespace brivant::test
