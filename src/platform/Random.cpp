// The real random generator.
#include "Random.h"

#include <bit>
#include <cstring>

namespace tavoro::platform {

SystemRandom::SystemRandom() : m_engine(std::random_device{}()) {}

void SystemRandom::seed(double value)
{
    // Seeding from the clock: mix in a device value too, so that two PCs started in the
    // same second do not draw the same problems.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    std::seed_seq seq{std::uint32_t(bits), std::uint32_t(bits >> 32), std::random_device{}()};
    m_engine.seed(seq);
}

double SystemRandom::next()
{
    // 53 random bits give every double in [0, 1) on a uniform grid; never 1.
    return double(m_engine() >> 11) * 0x1.0p-53;
}

} // namespace tavoro::platform
