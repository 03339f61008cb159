// Seeds for the randomized tests: QUINDLE_SEED=N replays one; by default a fixed set and a fresh one.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

inline std::vector<std::uint32_t> TestSeeds(std::uint32_t fixedCount = 100)
{
    if (const char *chosen = std::getenv("QUINDLE_SEED"); chosen && *chosen)
        return {static_cast<std::uint32_t>(std::strtoul(chosen, nullptr, 10))};
    std::vector<std::uint32_t> seeds;
    for (std::uint32_t seed = 1; seed <= fixedCount; ++seed)
        seeds.push_back(seed);
    const std::uint32_t fresh = std::random_device {}();
    std::printf("Fresh seed %u this run\n", static_cast<unsigned>(fresh));
    seeds.push_back(fresh);
    return seeds;
}

// The seed being run, named if a broken check aborts the test before it can report it.
inline volatile std::sig_atomic_t g_runningSeed = 0;
inline void (*g_abortBeforeSeeds)(int) = SIG_DFL;

inline void NameSeedOnAbort(int signal)
{
    std::fprintf(stderr, "Aborted with seed %u: QUINDLE_SEED=%u replays it\n", unsigned(g_runningSeed),
        unsigned(g_runningSeed));
    std::signal(signal, g_abortBeforeSeeds);
    std::raise(signal);
}

// Runs `body` with each seed until `failed()` turns true, and then names the seed that replays the failure.
template <typename Body, typename Failed>
void ForEachSeed(Body body, Failed failed, std::uint32_t fixedCount = 100)
{
    g_abortBeforeSeeds = std::signal(SIGABRT, NameSeedOnAbort);
    struct Restore {
        ~Restore() { std::signal(SIGABRT, g_abortBeforeSeeds); }
    } restore;
    for (const std::uint32_t seed : TestSeeds(fixedCount)) {
        g_runningSeed = std::sig_atomic_t(seed);
        body(seed);
        if (failed()) {
            std::fprintf(stderr, "Failed with seed %u: QUINDLE_SEED=%u replays it\n",
                static_cast<unsigned>(seed), static_cast<unsigned>(seed));
            return;
        }
    }
}
