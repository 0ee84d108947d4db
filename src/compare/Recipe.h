#pragma once

// A recipe: editing commands of the command line, in order, to be run on one image as one
// change. Files a step reads are either paths (relative to the recipe) or embedded.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compare/JsonReader.h"
#include "core/HexText.h"

namespace brivant {

inline constexpr const char* kRecipeTag = "brivant-recipe";
inline constexpr int kRecipeVersion = 1;

struct RecipeStep {
    std::string command;                                  // "tones add"
    std::vector<std::pair<std::string, JsonValue>> args;  // in the file's order
};

struct Recipe {
    std::string phoneType;  // empty: any
    std::vector<RecipeStep> steps;
    // What the comparison found and no step says: applying the steps alone gives an image
    // that differs from the one the recipe was made from.
    std::vector<std::string> notExpressed;
};

// Reads and checks the shape of a recipe (not yet whether its commands exist). Throws
// UserError naming what is wrong.
Recipe ParseRecipe(std::string_view text);
// The recipe as a JSON document, one step a line.
std::string RecipeText(const Recipe& r);

// A value for a step's arguments.
JsonValue JsonText(std::string text);
JsonValue JsonInteger(long long v);
JsonValue JsonTrue();
// An embedded file: {"base64": ..., "name": ...}.
JsonValue EmbeddedFile(const Bytes& bytes, const std::string& name);

std::string Base64Encode(const Bytes& bytes);
// Strict: the standard alphabet with padding, no spaces; nothing when it is not base64.
std::optional<Bytes> Base64Decode(std::string_view text);

// A JSON value written compactly.
std::string JsonValueText(const JsonValue& v);

}  // namespace brivant
