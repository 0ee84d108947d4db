#pragma once

#include <ostream>

#include "compare/ImageDiff.h"

namespace brivant {

// A comparison as `diff` prints it: lines for people, or one JSON object.
void PrintDiff(std::ostream& out, const ImageDiff& d, bool json);

}  // namespace brivant
