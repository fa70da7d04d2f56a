#include "document/GaussianNoiseSource.h"

#include <cmath>

namespace kyklos {

double GaussianNoiseSource::GaussianNoise(double mean, double deviation)
{
    if (cachedValid_) {
        cachedValid_ = false;
        return mean + deviation * cached_;
    }
    double u, v, s;
    do {
        // 2/32767: u and v lie in [−1, 1].
        u = random_.Next() * 0.00006103701895199438 - 1.0;
        v = random_.Next() * 0.00006103701895199438 - 1.0;
        s = u * u + v * v;
    } while (!(s < 1.0));
    const double f = std::sqrt(-2.0 * std::log(s) / s);
    cached_ = v * f;
    cachedValid_ = true;
    return mean + deviation * (u * f);
}

GaussianNoiseSource& ProcessNoise()
{
    static GaussianNoiseSource source(ProcessRandom());
    return source;
}

} // namespace kyklos
