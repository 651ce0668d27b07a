// The random generator seam: uniform values in [0, 1), seeded from the clock.
#pragma once

#include <cstdint>
#include <random>

namespace tavoro::platform {

class Random {
public:
    virtual ~Random() = default;
    virtual void seed(double value) = 0;
    // The next value, uniform in [0, 1).
    virtual double next() = 0;
};

class SystemRandom final : public Random {
public:
    SystemRandom();
    void seed(double value) override;
    double next() override;

private:
    std::mt19937_64 m_engine;
};

} // namespace tavoro::platform
