#include "sample/SampleBuilder.h"

namespace brivant {

const std::vector<SampleFeature>& SampleFeatures() {
    static const std::vector<SampleFeature> features = {};
    return features;
}

}  // namespace brivant
