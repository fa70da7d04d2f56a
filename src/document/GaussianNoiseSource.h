#pragma once
// Normal deviates by the polar method, one value kept for the next call. One
// source lives for the whole program run (ProcessNoise), so successive File
// New commands continue the same sequence; tests may bring their own.

#include "platform/ClassicRandom.h"

namespace kyklos {

class GaussianNoiseSource {
public:
    explicit GaussianNoiseSource(ClassicRandom& random) : random_(random) {}

    // mean + deviation × a standard normal deviate.
    double GaussianNoise(double mean, double deviation);

private:
    ClassicRandom& random_;
    double cached_ = 0.0;
    bool cachedValid_ = false;
};

// The process-wide source over ProcessRandom().
GaussianNoiseSource& ProcessNoise();

} // namespace kyklos
