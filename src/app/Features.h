#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "image/PpmPieces.h"
#include "image/Session.h"

namespace brivant {

class Editor;
class Interaction;

// How a feature hangs on the shared flows. Every hook is optional.
struct Feature {
    const char* name{};
    // A new image was loaded: forget what was read from the last one.
    std::function<void(Editor&)> opened{};
    // A phone type was chosen and the PPM copy cut.
    std::function<void(Editor&, Interaction&)> typeChosen{};
    // The feature's tab, and what showing it reads.
    std::optional<Tab> tab{};
    std::function<void(Editor&, Interaction&)> tabShown{};
    // The chunk the feature lists, and its commands for the whole chunk: "Retrie&ve All"
    // writes it to a file, "&Load All" replaces it by one and reads the list again.
    std::optional<Piece> chunk{};
    std::function<void(Editor&, Interaction&)> retrieveAll{};
    std::function<void(Editor&, Interaction&)> loadAll{};
};

// The one list of features, in the order their hooks run.
const std::vector<Feature>& Features();

// The feature that lists this chunk, or nullptr.
const Feature* FeatureOfChunk(Piece piece);

}  // namespace brivant
