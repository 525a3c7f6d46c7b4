// The large-shop generator's random numbers: xoshiro256** seeded through splitmix64, with
// its own integer and real draws, so that one seed gives the same shop on every compiler and
// standard library (the distributions of <random> differ between libraries).
#pragma once

#include <cstdint>

class ShopRandom {
public:
    explicit ShopRandom(std::uint64_t seed) {
        for (auto &word : state_)
            word = splitmix(seed);
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 45);
        return result;
    }

    // A whole number in [0, n), by multiply-and-shift (no modulo bias worth the name).
    std::uint64_t below(std::uint64_t n) {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(next()) * n) >> 64);
    }
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<std::uint64_t>(high - low + 1)));
    }
    // A real number in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    bool chance(double probability) { return unit() < probability; }

    // A separate stream for one part of the shop, so that changing one table's size leaves
    // the others as they were.
    static ShopRandom stream(std::uint64_t seed, std::uint64_t part) {
        return ShopRandom(seed ^ (0x9e3779b97f4a7c15ULL * (part + 1)));
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static std::uint64_t splitmix(std::uint64_t &x) {
        std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_[4];
};
