#include "sample/SampleBuilder.h"

namespace brivant {

SampleFeature ToneSampleFeature();      // ToneSample.cpp
SampleFeature TextSampleFeature();      // TextSample.cpp
SampleFeature MenuSampleFeature();      // MenuSample.cpp
SampleFeature SecuritySampleFeature();  // SecuritySample.cpp
SampleFeature GraphicsSampleFeature();  // GraphicsSample.cpp
SampleFeature PatchSampleFeature();     // PatchSample.cpp
SampleFeature AniSampleFeature();       // AniSample.cpp

const std::vector<SampleFeature>& SampleFeatures() {
    static const std::vector<SampleFeature> features = {
        ToneSampleFeature(),  TextSampleFeature(),     MenuSampleFeature(), SecuritySampleFeature(),
        PatchSampleFeature(), GraphicsSampleFeature(), AniSampleFeature()};
    return features;
}

}  // namespace brivant
