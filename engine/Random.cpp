#include "engine/Random.h"

#include <chrono>

namespace kw {

void Random::seedFromClock() {
    m_seed = uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

Random& Random::shared() {
    static Random generator;
    return generator;
}

} // namespace kw
