#pragma once

#include <string>

#include "compare/Recipe.h"

namespace brivant {

// The steps that turn image A into image B, for everything a subsystem can say in its own
// terms; what no step says goes to `notExpressed`. Both images are opened as `diff` opens
// them; nothing is written but scratch files. Throws UserError when a file cannot be loaded.
Recipe MakeRecipe(const std::string& a, const std::string& b, int phoneType = 0);

}  // namespace brivant
