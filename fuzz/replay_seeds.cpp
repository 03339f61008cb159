// Runs a fuzz target once on each seed file, or on each file in each seed folder, given on the command line,
// so that the seeds run under ctest with any compiler and without libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace
{

namespace fs = std::filesystem;

std::vector<fs::path> SeedFiles(const fs::path &arg)
{
    if (!fs::is_directory(arg))
        return {arg};
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(arg)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            files.push_back(entry.path());
    }
    // A fixed order, so that a failure is reproduced by the same run.
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path &file : SeedFiles(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "Cannot read %s\n", file.string().c_str());
                return 1;
            }
            const std::vector<std::uint8_t> bytes(
                (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // Printed first, so that a seed that aborts is named just above the report.
            std::printf("%s\n", file.filename().string().c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "No seeds given\n");
        return 1;
    }
    std::printf("%d seeds replayed\n", replayed);
    return 0;
}
