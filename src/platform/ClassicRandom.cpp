#include "platform/ClassicRandom.h"

namespace kyklos {

ClassicRandom& ProcessRandom()
{
    static ClassicRandom generator;
    return generator;
}

} // namespace kyklos
