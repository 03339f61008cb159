// Seeds for the randomized tests: a fixed set and a fresh one each run, or the one QUINDLE_SEED names.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace seeds
{

// Run a failure again with QUINDLE_SEED set to the seed its message names.
inline std::vector<std::uint32_t> ForThisRun()
{
    if (const char *chosen = std::getenv("QUINDLE_SEED"))
        return {static_cast<std::uint32_t>(std::strtoul(chosen, nullptr, 10))};
    std::vector<std::uint32_t> all {20261207u, 1u, 2u, 3u, 4u, 5u, 6u, 7u};
    all.push_back(std::random_device {}());
    return all;
}

inline std::string Name(std::uint32_t seed)
{
    return "QUINDLE_SEED=" + std::to_string(seed);
}

} // namespace seeds
