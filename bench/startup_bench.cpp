// Start-up to first paint: Quindle with an empty, the shipped and a 50 MB list, and a bare Qt window with one
// QPlainTextEdit, each started as a process in turn, several rounds; prints the medians and their ratios.
// Uses the display it is given, or the offscreen platform when there is none.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace
{

using Clock = std::chrono::steady_clock;

// Milliseconds from starting the program until it reports its first paint; negative if it never does.
double TimeToFirstPaint(const std::vector<std::string> &command)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char *> argv;
    for (const auto &arg : command)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[64];
    const ssize_t got = spawned == 0 ? read(pipeEnds[0], buffer, sizeof buffer) : -1;
    const auto end = Clock::now();
    close(pipeEnds[0]);
    if (spawned == 0)
        waitpid(child, nullptr, 0);
    if (got <= 0)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// About 50 MB of lower-case pseudo-words, one a line, nearly all distinct.
std::string WriteLargeList(const std::filesystem::path &path)
{
    std::mt19937 random(4242u);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> length(3, 11);
    std::string bytes;
    bytes.reserve(50'000'100);
    while (bytes.size() < 50'000'000) {
        for (int n = length(random); n > 0; --n)
            bytes.push_back(static_cast<char>(letter(random)));
        bytes.push_back('\n');
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 11;
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quindle-startup-bench";
    std::filesystem::create_directories(folder);
    const std::string largeList = WriteLargeList(folder / "wordlist.txt");
    const std::string emptyList = (folder / "empty.txt").string();
    std::ofstream {emptyList};

    struct Program {
        const char *name;
        std::vector<std::string> command;
        std::vector<double> times;
    };
    std::vector<Program> programs {
        {"bare QPlainTextEdit window", {QUINDLE_BARE_PROBE}, {}},
        {"Quindle, empty list", {QUINDLE_PROBE, emptyList}, {}},
        {"Quindle, shipped list", {QUINDLE_PROBE, QUINDLE_WORDLIST}, {}},
        {"Quindle, 50 MB list", {QUINDLE_PROBE, largeList}, {}},
    };
    // One warm-up start each, so the first measured start does not pay for cold caches alone.
    for (auto &program : programs)
        TimeToFirstPaint(program.command);
    for (int round = 0; round < rounds; ++round) {
        for (auto &program : programs) {
            const double ms = TimeToFirstPaint(program.command);
            if (ms < 0) {
                std::fprintf(stderr, "%s did not report its first paint\n", program.name);
                return 1;
            }
            program.times.push_back(ms);
        }
    }
    std::filesystem::remove_all(folder);

    const double bare = Median(programs[0].times);
    std::printf("start-up to first paint, median of %d runs (%s)\n", rounds,
        std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "display");
    for (const auto &program : programs) {
        const auto [lo, hi] = std::minmax_element(program.times.begin(), program.times.end());
        std::printf("  %-28s %7.1f ms  (%.1f-%.1f)  %.2fx bare\n", program.name, Median(program.times), *lo,
            *hi, Median(program.times) / bare);
    }
    return 0;
}
