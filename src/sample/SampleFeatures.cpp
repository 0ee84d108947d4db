#include "sample/SampleBuilder.h"

namespace brivant {

SampleFeature ToneSampleFeature();  // ToneSample.cpp
SampleFeature TextSampleFeature();  // TextSample.cpp

const std::vector<SampleFeature>& SampleFeatures() {
    static const std::vector<SampleFeature> features = {ToneSampleFeature(), TextSampleFeature()};
    return features;
}

}  // namespace brivant
