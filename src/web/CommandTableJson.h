#pragma once

#include <string>

namespace brivant::web {

// Every command of the command line with its arguments and options, as JSON, read from the
// same command table that parses them and writes the manual pages: the page makes its forms
// from it.
std::string CommandTableJson();

}  // namespace brivant::web
